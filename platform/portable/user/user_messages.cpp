// Stand-in message windows and message loop: messages come only from tests and PostMessageW.
#include <algorithm>

#include "shared/name_folding.h"
#include "user/user_state.h"

namespace portable::user {

bool deliver(const PostedMessage& m) {
  const Window* w = findWindow(m.hwnd);
  if (w == nullptr || w->handler == nullptr) return false;
  // A copy: the handler may be replaced while it runs.
  const platform::MessageHandler handler = *w->handler;
  return handler(m.message, m.wParam, m.lParam);
}

bool sendMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  return deliver({hwnd, message, wParam, lParam});
}

win::HWND lastMessageWindow() {
  // Message windows are created on top, so the first one found is the newest.
  for (const Window& w : state().windows)
    if (w.handler != nullptr) return w.handle;
  return nullptr;
}

void setIdleHandler(std::function<bool()> onIdle) { state().onIdle = std::move(onIdle); }
int pendingMessageRuns() { return state().pendingRuns; }
bool quitRequested() { return state().quit; }

}  // namespace portable::user

namespace win {

BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (portable::user::findWindow(hWnd) == nullptr) return 0;
  portable::user::state().posted.push_back({hWnd, Msg, wParam, lParam});
  return 1;
}

UINT RegisterWindowMessageW(const char16_t* lpString) {
  if (lpString == nullptr || *lpString == u'\0') return 0;
  // Names are compared without regard to case, as Windows compares them.
  std::u16string name = portable::foldName(lpString);
  auto& registered = portable::user::state().registeredMessages;
  const auto found = registered.find(name);
  if (found != registered.end()) return found->second;
  const UINT number = 0xC000 + static_cast<UINT>(registered.size());
  if (number > 0xFFFF) return 0;
  registered.emplace(std::move(name), number);
  return number;
}

}  // namespace win

namespace platform {

using portable::user::state;

MessageWindow::MessageWindow(MessageHandler handler)
    : handler_(std::make_unique<MessageHandler>(std::move(handler))) {
  handle_ = reinterpret_cast<win::HWND>(portable::user::newHandle());
  state().windows.insert(state().windows.begin(), portable::user::Window{handle_, "", u"", handler_.get()});
}

MessageWindow::~MessageWindow() {
  auto& list = state().windows;
  list.erase(std::remove_if(list.begin(), list.end(), [this](const auto& w) { return w.handle == handle_; }),
             list.end());
  auto& posted = state().posted;
  posted.erase(std::remove_if(posted.begin(), posted.end(), [this](const auto& m) { return m.hwnd == handle_; }),
               posted.end());
}

namespace {
// One waiting message; false when none waits.
bool dispatchOne() {
  auto& posted = state().posted;
  if (posted.empty()) return false;
  const portable::user::PostedMessage m = posted.front();
  posted.pop_front();
  portable::user::deliver(m);
  return true;
}
}  // namespace

void runMessageLoop() {
  while (!state().quit) {
    if (dispatchOne()) continue;
    if (!state().onIdle || !state().onIdle()) break;
  }
  state().quit = false;
}

void quitMessageLoop() { state().quit = true; }

void processPendingMessages() {
  ++state().pendingRuns;
  while (!state().quit && dispatchOne()) {
  }
}

}  // namespace platform
