// Shared state of the portable windowing stand-in.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/user.h"
#include "portable/user_control.h"

namespace portable::user {

struct Window {
  win::HWND handle;
  std::string className;
  std::u16string caption;
  const platform::MessageHandler* handler;  // null for windows without one
};

struct PostedMessage {
  win::HWND hwnd;
  win::UINT message;
  win::WPARAM wParam;
  win::LPARAM lParam;
};

struct Menu {
  std::vector<MenuEntry> entries;
};

struct UserState {
  std::vector<Window> windows;  // top of the Z order first
  std::uintptr_t nextHandle = 0x10010;
  std::vector<win::HWND> openedIcons;
  std::vector<win::HWND> foregroundWindows;
  std::map<std::string, int> mutexHolders;            // name -> open handles
  std::map<std::uintptr_t, std::string> mutexHandles;  // handle -> name
  std::set<std::string> foreignMutexes;               // held elsewhere, refused to us
  std::u16string commandLine;
  std::u16string programFile;  // empty: the running executable
  win::HICON programIcon = reinterpret_cast<win::HICON>(std::uintptr_t{0x3A5C});
  std::vector<win::HICON> destroyedIcons;
  std::deque<PostedMessage> posted;
  bool quit = false;
  int pendingRuns = 0;
  std::function<bool()> onIdle;
  win::POINT cursor{0, 0};
  win::UINT_PTR menuChoice = 0;
  std::vector<PopupCall> popupCalls;
  std::map<std::uintptr_t, Menu> menus;
  std::map<std::u16string, win::UINT> registeredMessages;  // by upper-cased name
};

UserState& state();
std::uintptr_t newHandle();
Window* findWindow(win::HWND hwnd);
// Hands the message to the window's handler; false when there is none or it declined.
bool deliver(const PostedMessage& message);

}  // namespace portable::user
