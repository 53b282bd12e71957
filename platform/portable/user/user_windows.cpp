// Stand-in top-level windows: a list in Z order with classes and captions.
#include <algorithm>

#include "platform/text.h"
#include "user/user_state.h"

namespace portable::user {

UserState& state() {
  static UserState s;
  return s;
}

std::uintptr_t newHandle() {
  const std::uintptr_t h = state().nextHandle;
  state().nextHandle += 4;
  return h;
}

Window* findWindow(win::HWND hwnd) {
  auto& list = state().windows;
  const auto it = std::find_if(list.begin(), list.end(), [hwnd](const Window& w) { return w.handle == hwnd; });
  return it == list.end() ? nullptr : &*it;
}

void reset() { state() = UserState(); }

std::vector<WindowInfo> windows() {
  std::vector<WindowInfo> result;
  for (const Window& w : state().windows) result.push_back({w.handle, w.className, w.caption});
  return result;
}

win::HWND addWindow(const std::string& className, const std::u16string& caption) {
  const auto handle = reinterpret_cast<win::HWND>(newHandle());
  state().windows.insert(state().windows.begin(), Window{handle, className, caption, nullptr});
  return handle;
}

const std::vector<win::HWND>& openedIcons() { return state().openedIcons; }
const std::vector<win::HWND>& foregroundWindows() { return state().foregroundWindows; }

}  // namespace portable::user

namespace win {

using portable::user::state;

HWND FindWindowA(const char* lpClassName, const char* lpWindowName) {
  for (const auto& w : state().windows) {
    if (lpClassName != nullptr && w.className != lpClassName) continue;
    if (lpWindowName != nullptr && platform::toAnsi(w.caption) != lpWindowName) continue;
    return w.handle;
  }
  return nullptr;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  if (uCmd != GW_HWNDPREV) return nullptr;
  auto& list = state().windows;
  const auto it = std::find_if(list.begin(), list.end(), [hWnd](const auto& w) { return w.handle == hWnd; });
  if (it == list.end() || it == list.begin()) return nullptr;
  return std::prev(it)->handle;
}

BOOL OpenIcon(HWND hWnd) {
  state().openedIcons.push_back(hWnd);
  return portable::user::findWindow(hWnd) != nullptr;
}

BOOL SetForegroundWindow(HWND hWnd) {
  state().foregroundWindows.push_back(hWnd);
  return portable::user::findWindow(hWnd) != nullptr;
}

}  // namespace win

namespace platform {

using portable::user::state;

ApplicationWindow::ApplicationWindow(std::u16string_view title) {
  handle_ = reinterpret_cast<win::HWND>(portable::user::newHandle());
  state().windows.insert(state().windows.begin(),
                         portable::user::Window{handle_, kApplicationWindowClass, std::u16string(title), nullptr});
}

ApplicationWindow::~ApplicationWindow() {
  auto& list = state().windows;
  list.erase(std::remove_if(list.begin(), list.end(), [this](const auto& w) { return w.handle == handle_; }),
             list.end());
}

std::u16string ApplicationWindow::title() const {
  const auto* w = portable::user::findWindow(handle_);
  return w ? w->caption : std::u16string();
}

void ApplicationWindow::setTitle(std::u16string_view title) {
  if (auto* w = portable::user::findWindow(handle_)) w->caption = std::u16string(title);
}

}  // namespace platform
