// The stand-in shell: records notification and execute calls and keeps the shown icons.
#include "platform/shell.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "portable/shell_control.h"

namespace {

struct ShellState {
  std::vector<portable::shell::NotifyCall> notifyCalls;
  std::vector<portable::shell::ExecuteCall> executeCalls;
  std::vector<std::pair<win::HANDLE32, win::UINT>> icons;
  bool notificationArea = true;
};

ShellState& state() {
  static ShellState s;
  return s;
}

std::optional<std::string> text(const char* s) {
  if (s == nullptr) return std::nullopt;
  return std::string(s);
}

// The shell's answer to a notification for the icon (window, id).
win::BOOL applyToIcons(win::DWORD message, win::HANDLE32 hWnd, win::UINT uID) {
  if (!state().notificationArea) return 0;
  auto& icons = state().icons;
  const auto key = std::make_pair(hWnd, uID);
  const auto found = std::find(icons.begin(), icons.end(), key);
  switch (message) {
    case win::NIM_ADD:
      if (found != icons.end()) return 0;
      icons.push_back(key);
      return 1;
    case win::NIM_DELETE:
      if (found == icons.end()) return 0;
      icons.erase(found);
      return 1;
    case win::NIM_MODIFY:
    case win::NIM_SETVERSION:
      return found != icons.end() ? 1 : 0;
    default:
      return 0;
  }
}

}  // namespace

namespace portable::shell {

const std::vector<NotifyCall>& notifyCalls() { return state().notifyCalls; }
const std::vector<ExecuteCall>& executeCalls() { return state().executeCalls; }
std::size_t visibleIconCount() { return state().icons.size(); }
void reset() { state() = ShellState(); }

void setNotificationArea(bool present) {
  state().notificationArea = present;
  if (!present) state().icons.clear();
}

}  // namespace portable::shell

namespace win {

BOOL Shell_NotifyIconW(DWORD dwMessage, NOTIFYICONDATAW* lpData) {
  if (lpData == nullptr) return 0;
  portable::shell::NotifyCall call{};
  call.message = dwMessage;
  call.wide = true;
  std::memcpy(&call.w, lpData, sizeof call.w);
  state().notifyCalls.push_back(call);
  return applyToIcons(dwMessage, lpData->hWnd, lpData->uID);
}

BOOL Shell_NotifyIconA(DWORD dwMessage, NOTIFYICONDATAA* lpData) {
  if (lpData == nullptr) return 0;
  portable::shell::NotifyCall call{};
  call.message = dwMessage;
  call.wide = false;
  std::memcpy(&call.a, lpData, sizeof call.a);
  state().notifyCalls.push_back(call);
  return applyToIcons(dwMessage, lpData->hWnd, lpData->uID);
}

HINSTANCE ShellExecuteA(HWND hwnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                        const char* lpDirectory, int nShowCmd) {
  state().executeCalls.push_back(
      {hwnd, text(lpOperation), text(lpFile), text(lpParameters), text(lpDirectory), nShowCmd});
  // Anything above 32 reports success.
  return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
}

}  // namespace win
