// Windowing services (user32), named mutexes, and the runtime of a windowless program:
// its command line, directory, icon, hidden windows and message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/resource.h"
#include "platform/win_types.h"

namespace win {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using UINT_PTR = std::uintptr_t;

struct POINT {
  LONG x;
  LONG y;
};

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;

constexpr UINT GW_HWNDPREV = 3;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// lpMutexAttributes is always null in this code base. When the mutex already existed the
// handle is still returned and GetLastError() (platform/files.h) reports ERROR_ALREADY_EXISTS;
// an existing mutex that this process may not open gives null and ERROR_ACCESS_DENIED.
HANDLE CreateMutexA(void* lpMutexAttributes, BOOL bInitialOwner, const char* lpName);
BOOL CloseHandle(HANDLE hObject);

// A top-level window with this class and caption (null: any), or null.
HWND FindWindowA(const char* lpClassName, const char* lpWindowName);
// GW_HWNDPREV: the window directly above in Z order, or null.
HWND GetWindow(HWND hWnd, UINT uCmd);
BOOL OpenIcon(HWND hWnd);
BOOL SetForegroundWindow(HWND hWnd);
BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The message number of a name shared by every program of the session (0xC000 to 0xFFFF);
// the same name always gives the same number. 0 when it fails.
UINT RegisterWindowMessageW(const char16_t* lpString);

BOOL GetCursorPos(POINT* lpPoint);
HMENU CreatePopupMenu();
BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, const char16_t* lpNewItem);
BOOL DestroyMenu(HMENU hMenu);
// With TPM_RETURNCMD the result is the chosen item's identifier, 0 when the menu was dismissed.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const void* prcRect);

// Upper-cases the first cchLength code units in place with the system's case table (every
// script, not only Latin); returns the number of code units handled.
DWORD CharUpperBuffW(char16_t* lpsz, DWORD cchLength);

// On 95/98/Me, where the wide forms are stubs that fail, the Windows backend makes the calls
// above in their ANSI forms, with text through the ANSI code page (characters outside it
// are left as they are by CharUpperBuffW).

}  // namespace win

namespace platform {

inline void closeHandle(win::HANDLE h) { win::CloseHandle(h); }
inline void destroyMenu(win::HMENU m) { win::DestroyMenu(m); }
using unique_handle = unique_any<win::HANDLE, closeHandle>;
using unique_hmenu = unique_any<win::HMENU, destroyMenu>;

// The process command line without the program path (empty when there is none).
std::u16string commandLine();
// The running program's module file name, with its folder.
std::u16string programFileName();
// The folder of the running program, without a trailing backslash.
std::u16string programDirectory();
// Ends the process at once: nothing is unloaded or destroyed.
[[noreturn]] void endProcess();

// The program's icon (resource 1) in the size of the notification area.
win::HICON loadProgramIcon();
void destroyIcon(win::HICON icon);
using unique_hicon = unique_any<win::HICON, destroyIcon>;

// Window class of the hidden main window that carries the application title.
inline constexpr char kApplicationWindowClass[] = "ThunderRT6Main";

// The program's hidden top-level main window; its caption is the application title.
class ApplicationWindow {
 public:
  explicit ApplicationWindow(std::u16string_view title);
  ~ApplicationWindow();
  ApplicationWindow(const ApplicationWindow&) = delete;
  ApplicationWindow& operator=(const ApplicationWindow&) = delete;

  std::u16string title() const;
  void setTitle(std::u16string_view title);
  win::HWND handle() const { return handle_; }

 private:
  win::HWND handle_ = nullptr;
};

// Messages of a MessageWindow go to its handler; true means handled (nothing else happens,
// in particular WM_CLOSE does not destroy the window).
using MessageHandler = std::function<bool(win::UINT message, win::WPARAM wParam, win::LPARAM lParam)>;

// A hidden top-level window that is never shown and hands its messages to a handler. The
// handler may run inside the platform's calls (popup menus, processing pending messages);
// it must not destroy the window it is running for.
class MessageWindow {
 public:
  explicit MessageWindow(MessageHandler handler);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  win::HWND handle() const { return handle_; }

 private:
  std::unique_ptr<MessageHandler> handler_;  // its address is handed to the window
  win::HWND handle_ = nullptr;
};

// Dispatches messages until quitMessageLoop() was called (also before the loop started).
void runMessageLoop();
void quitMessageLoop();
// Dispatches the messages already waiting, then returns.
void processPendingMessages();

}  // namespace platform
