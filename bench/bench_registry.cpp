#include "bench_registry.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/system.h"

namespace bench {
namespace {

const std::u16string kUninstall = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::u16string kAppPaths = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// The scan reads its eight names in code-unit order.
const std::array<const char16_t*, 8> kValueNamesInOrder = {
    u"DisplayIcon", u"DisplayName", u"DisplayVersion", u"HelpLink",
    u"InstallDate", u"InstallLocation", u"Publisher",  u"UninstallString"};

bool setText(win::HKEY key, const char16_t* name, const std::u16string& text, win::DWORD type = win::REG_SZ) {
  return win::RegSetValueExW(key, name, 0, type, reinterpret_cast<const win::BYTE*>(text.c_str()),
                             static_cast<win::DWORD>((text.size() + 1) * sizeof(char16_t))) == win::ERROR_SUCCESS;
}

platform::unique_hkey create(const std::u16string& path) {
  win::HKEY key = nullptr;
  if (win::RegCreateKeyExW(win::HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, win::REG_OPTION_NON_VOLATILE,
                           win::KEY_ALL_ACCESS, nullptr, &key, nullptr) != win::ERROR_SUCCESS) {
    return platform::unique_hkey();
  }
  return platform::unique_hkey(key);
}

void removeFrom(const std::u16string& area) {
  win::HKEY raw = nullptr;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, area.c_str(), 0, win::KEY_ALL_ACCESS, &raw) != win::ERROR_SUCCESS)
    return;
  platform::unique_hkey root(raw);
  std::vector<std::u16string> ours;
  char16_t name[256];
  for (win::DWORD i = 0; win::RegEnumKeyW(root.get(), i, name, 256) == win::ERROR_SUCCESS; ++i) {
    std::u16string subkey(name);
    if (subkey.compare(0, kBenchPrefix.size(), kBenchPrefix) == 0) ours.push_back(subkey);
  }
  for (const std::u16string& subkey : ours) win::RegDeleteTreeW(root.get(), subkey.c_str());
}

// One root as the scan enumerates it: every subkey opened by its full path from HKLM.
std::size_t walkRoot(const std::u16string& rootPath, win::REGSAM access, const char16_t* const* names,
                     std::size_t nameCount, win::FILETIME* time, char16_t* nameBuffer, win::BYTE* valueBuffer) {
  win::HKEY raw = nullptr;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, rootPath.c_str(), 0, access, &raw) != win::ERROR_SUCCESS) return 0;
  platform::unique_hkey root(raw);
  if (time != nullptr) {
    win::RegQueryInfoKeyW(root.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, time);
  }
  std::size_t opened = 0;
  std::u16string path;
  for (win::DWORD index = 0; win::RegEnumKeyW(root.get(), index, nameBuffer, 20000) == win::ERROR_SUCCESS; ++index) {
    path.assign(rootPath).append(nameBuffer);
    win::HKEY sub = nullptr;
    if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &sub) != win::ERROR_SUCCESS) continue;
    platform::unique_hkey subkey(sub);
    ++opened;
    for (std::size_t n = 0; n < nameCount; ++n) {
      win::DWORD size = 20000;
      win::RegQueryValueExW(subkey.get(), names[n], nullptr, nullptr, valueBuffer, &size);
    }
  }
  return opened;
}

}  // namespace

bool populate(std::size_t uninstallCount, std::size_t appPathCount) {
  for (std::size_t i = 0; i < uninstallCount; ++i) {
    const std::u16string id = decimal(i);
    platform::unique_hkey key = create(kUninstall + kBenchPrefix + u"Program " + id);
    if (!key) return false;
    const std::u16string folder = u"C:\\Program Files (x86)\\Bench Vendor " + id + u"\\Program " + id;
    bool ok = setText(key.get(), u"DisplayName", u"Bench Program " + id + u" (Community Edition)") &&
              setText(key.get(), u"DisplayVersion", u"12.4." + id) &&
              setText(key.get(), u"Publisher", u"Bench Vendor " + id + u" Software Ltd") &&
              setText(key.get(), u"InstallDate", u"20240311") &&
              setText(key.get(), u"InstallLocation", folder + u"\\") &&
              setText(key.get(), u"DisplayIcon", u"%ProgramFiles%\\Bench\\program.exe,0", win::REG_EXPAND_SZ) &&
              setText(key.get(), u"UninstallString", u"\"" + folder + u"\\uninstall.exe\" /S") &&
              setText(key.get(), u"HelpLink", u"https://support.bench.example/" + id);
    win::DWORD size = static_cast<win::DWORD>(1000 + i);
    ok = ok && win::RegSetValueExW(key.get(), u"EstimatedSize", 0, win::REG_DWORD,
                                   reinterpret_cast<const win::BYTE*>(&size), sizeof size) == win::ERROR_SUCCESS;
    if (!ok) return false;
  }
  for (std::size_t i = 0; i < appPathCount; ++i) {
    const std::u16string id = decimal(i);
    platform::unique_hkey key = create(kAppPaths + kBenchPrefix + id + u".exe");
    if (!key || !setText(key.get(), u"", u"C:\\Program Files\\Bench\\" + id + u".exe") ||
        !setText(key.get(), u"Path", u"C:\\Program Files\\Bench")) {
      return false;
    }
  }
  return true;
}

void removePopulated() {
  removeFrom(kUninstall);
  removeFrom(kAppPaths);
}

std::size_t bareScanLoop(bool wow64) {
  auto nameBuffer = std::make_unique<char16_t[]>(20000);
  auto valueBuffer = std::make_unique<win::BYTE[]>(20000);
  const char16_t* const pathName[] = {u"Path"};
  win::FILETIME time{};
  std::size_t opened = 0;
  for (win::REGSAM access : {win::KEY_READ, win::KEY_READ | win::KEY_WOW64_64KEY}) {
    if (access != win::KEY_READ && !wow64) break;
    opened += walkRoot(kUninstall, access, kValueNamesInOrder.data(), kValueNamesInOrder.size(), &time,
                       nameBuffer.get(), valueBuffer.get());
    opened += walkRoot(kAppPaths, access, pathName, 1, nullptr, nameBuffer.get(), valueBuffer.get());
  }
  return opened;
}

bool processIsWow64() {
  win::HMODULE kernel = win::GetModuleHandleW(u"kernel32");
  auto isWow64Process = kernel == nullptr ? nullptr
                                          : reinterpret_cast<win::IsWow64ProcessFn>(
                                                win::GetProcAddress(kernel, "IsWow64Process"));
  win::BOOL wow64 = 0;
  return isWow64Process != nullptr && isWow64Process(win::GetCurrentProcess(), &wow64) != 0 && wow64 == 1;
}

std::u16string decimal(std::size_t n) {
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n != 0);
  return text;
}

}  // namespace bench
