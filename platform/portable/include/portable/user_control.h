// Test controls of the portable windowing stand-in: a list of top-level windows in Z order,
// named mutexes, a scripted popup-menu choice, injected window messages and the program's
// command line, folder and icon. Only tests (and tools that imitate a machine) include this.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/user.h"

namespace portable::user {

// Thrown by platform::endProcess(), so a test sees the process end without losing itself.
struct ProcessEnded {};

// Back to the start: no windows, mutexes or records; empty command line; the program folder
// and icon at their defaults; no scripted choice; no idle handler.
void reset();

struct WindowInfo {
  win::HWND handle;
  std::string className;
  std::u16string caption;
};
// Top-level windows from the top of the Z order down.
std::vector<WindowInfo> windows();
// A window of another program, put on top of the Z order.
win::HWND addWindow(const std::string& className, const std::u16string& caption);

// Windows passed to OpenIcon and SetForegroundWindow, in call order.
const std::vector<win::HWND>& openedIcons();
const std::vector<win::HWND>& foregroundWindows();

// Names of the mutexes that exist (created and not yet closed by every holder).
std::vector<std::string> mutexNames();
// A mutex that another user's process holds: it exists, and CreateMutexA refuses it to us
// with ERROR_ACCESS_DENIED.
void addForeignMutex(const std::string& name);

void setCommandLine(const std::u16string& commandLine);
// The module file name the program reports (its folder is the program directory). Empty:
// the host path of the running executable.
void setProgramFile(const std::u16string& path);
// The handle loadProgramIcon() returns (default 0x3A5C); icons destroyed so far.
void setProgramIcon(win::HICON icon);
const std::vector<win::HICON>& destroyedIcons();

// Delivers a message to a MessageWindow's handler at once; false when no handler took it.
bool sendMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);
// The MessageWindow created last (null when none exists).
win::HWND lastMessageWindow();
// Called by runMessageLoop() whenever no message waits; returning false ends the loop
// (the stand-in has no input to wait for). Without a handler the loop ends when idle.
void setIdleHandler(std::function<bool()> onIdle);
// Times processPendingMessages() ran.
int pendingMessageRuns();
bool quitRequested();

struct MenuEntry {
  win::UINT flags;
  win::UINT_PTR id;
  std::u16string text;
};
struct PopupCall {
  win::HWND owner;
  win::POINT position;
  win::UINT flags;
  std::vector<MenuEntry> entries;
};
// The cursor position GetCursorPos reports.
void setCursorPos(win::POINT position);
// The identifier the next TrackPopupMenu calls answer (0: the menu is dismissed).
void scriptMenuChoice(win::UINT_PTR id);
const std::vector<PopupCall>& popupCalls();
// Menus created and not yet destroyed.
int liveMenuCount();

}  // namespace portable::user
