// Stand-in program runtime: command line, folder, icon, mutexes and the end of the process.
#include <unistd.h>

#include <climits>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/text.h"
#include "user/user_state.h"

namespace portable::user {

void setCommandLine(const std::u16string& commandLine) { state().commandLine = commandLine; }

void setProgramFile(const std::u16string& path) { state().programFile = path; }

void setProgramIcon(win::HICON icon) { state().programIcon = icon; }
const std::vector<win::HICON>& destroyedIcons() { return state().destroyedIcons; }

std::vector<std::string> mutexNames() {
  std::set<std::string> names(state().foreignMutexes);
  for (const auto& [name, holders] : state().mutexHolders)
    if (holders > 0) names.insert(name);
  return std::vector<std::string>(names.begin(), names.end());
}

void addForeignMutex(const std::string& name) { state().foreignMutexes.insert(name); }

}  // namespace portable::user

namespace win {

using portable::user::state;

HANDLE CreateMutexA(void*, BOOL, const char* lpName) {
  const std::string name = lpName ? lpName : "";
  if (state().foreignMutexes.count(name) != 0) {
    SetLastError(static_cast<DWORD>(ERROR_ACCESS_DENIED));
    return nullptr;
  }
  const auto handle = portable::user::newHandle();
  bool existed = false;
  if (!name.empty()) {
    int& holders = state().mutexHolders[name];
    existed = holders > 0;
    ++holders;
  }
  state().mutexHandles[handle] = name;
  SetLastError(existed ? static_cast<DWORD>(ERROR_ALREADY_EXISTS) : 0);
  return reinterpret_cast<HANDLE>(handle);
}

BOOL CloseHandle(HANDLE hObject) {
  auto& handles = state().mutexHandles;
  const auto it = handles.find(reinterpret_cast<std::uintptr_t>(hObject));
  if (it == handles.end()) {
    SetLastError(static_cast<DWORD>(ERROR_INVALID_HANDLE));
    return 0;
  }
  if (!it->second.empty() && --state().mutexHolders[it->second] == 0) state().mutexHolders.erase(it->second);
  handles.erase(it);
  return 1;
}

}  // namespace win

namespace platform {

using portable::user::state;

std::u16string commandLine() { return state().commandLine; }

std::u16string programFileName() {
  if (!state().programFile.empty()) return state().programFile;
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  return fromUtf8(std::string_view(path, static_cast<std::size_t>(n)));
}

void endProcess() { throw portable::user::ProcessEnded{}; }

win::HICON loadProgramIcon() { return state().programIcon; }
void destroyIcon(win::HICON icon) {
  if (icon != nullptr) state().destroyedIcons.push_back(icon);
}

}  // namespace platform
