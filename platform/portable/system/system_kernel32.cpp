// kernel32 services: the simulated machine's IsWow64Process, file times and dynamic loading.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/system.h"
#include "platform/text.h"
#include "registry/registry_store.h"
#include "shared/name_folding.h"

namespace win {

namespace {

constexpr BOOL kTrue = 1;
constexpr BOOL kFalse = 0;

// Stands for kernel32 in GetModuleHandleW and GetProcAddress.
char kernel32Module;
HMODULE kernel32Handle() { return reinterpret_cast<HMODULE>(&kernel32Module); }

BOOL WINPLAT_STDCALL isWow64Process(HANDLE, BOOL* Wow64Process) {
  if (!Wow64Process) return kFalse;
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  *Wow64Process = store.machine() == portable::Machine::x64 ? kTrue : kFalse;
  return kTrue;
}

bool isKernel32(std::u16string_view name) {
  return portable::sameName(name, u"kernel32") || portable::sameName(name, u"kernel32.dll");
}

std::string directoryOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string executableDirectory() {
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return std::string();
  return directoryOf(std::string(buffer, static_cast<std::size_t>(length)));
}

std::string platformLibraryDirectory() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&isWow64Process), &info) || !info.dli_fname) return std::string();
  return directoryOf(info.dli_fname);
}

// "Name.dll" and "Name" become "libName.so"; a directory part is kept.
std::string sharedObjectName(const std::string& windowsName) {
  std::string name = windowsName;
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  std::string directory = directoryOf(name);
  std::string file = name.substr(directory.size());
  if (file.size() > 4 && (file.compare(file.size() - 4, 4, ".dll") == 0 || file.compare(file.size() - 4, 4, ".DLL") == 0)) {
    file.resize(file.size() - 4);
  }
  if (file.size() < 3 || file.compare(file.size() - 3, 3, ".so") != 0) file = "lib" + file + ".so";
  return directory + file;
}

}  // namespace

HMODULE GetModuleHandleW(const char16_t* lpModuleName) {
  if (!lpModuleName) return reinterpret_cast<HMODULE>(dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD));
  std::u16string_view name(lpModuleName);
  if (isKernel32(name)) return kernel32Handle();
  try {
    void* handle = dlopen(sharedObjectName(platform::toUtf8(name)).c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);  // no reference is taken, as on Windows
    return reinterpret_cast<HMODULE>(handle);
  } catch (...) {
    return nullptr;
  }
}

FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName) {
  if (!hModule || !lpProcName) return nullptr;
  if (hModule == kernel32Handle()) {
    if (std::strcmp(lpProcName, "IsWow64Process") != 0) return nullptr;
    portable::RegistryStore& store = portable::registryStore();
    auto lock = store.lock();
    if (!store.isWow64ProcessPresent()) return nullptr;
    return reinterpret_cast<FARPROC>(&isWow64Process);
  }
  return reinterpret_cast<FARPROC>(dlsym(reinterpret_cast<void*>(hModule), lpProcName));
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2) {
  auto value = [](const FILETIME* t) {
    return (static_cast<std::uint64_t>(t->dwHighDateTime) << 32) | t->dwLowDateTime;
  };
  std::uint64_t a = value(lpFileTime1);
  std::uint64_t b = value(lpFileTime2);
  return a < b ? -1 : (a > b ? 1 : 0);
}

HMODULE LoadLibraryW(const char16_t* lpLibFileName) {
  if (!lpLibFileName) return nullptr;
  std::u16string_view name(lpLibFileName);
  if (isKernel32(name)) return kernel32Handle();
  try {
    std::string file = sharedObjectName(platform::toUtf8(name));
    void* handle = nullptr;
    // Beside the program first, then beside this library, then the usual search.
    if (file.find('/') == std::string::npos) {
      for (const std::string& directory : {executableDirectory(), platformLibraryDirectory()}) {
        if (directory.empty()) continue;
        std::string candidate = directory + file;
        if (access(candidate.c_str(), F_OK) == 0 && (handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL))) break;
      }
    }
    if (!handle) handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    return reinterpret_cast<HMODULE>(handle);
  } catch (...) {
    return nullptr;
  }
}

BOOL FreeLibrary(HMODULE hLibModule) {
  if (!hLibModule) return kFalse;
  if (hLibModule == kernel32Handle()) return kTrue;
  return dlclose(reinterpret_cast<void*>(hLibModule)) == 0 ? kTrue : kFalse;
}

}  // namespace win
