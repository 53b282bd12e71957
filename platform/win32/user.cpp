// user32 windowing and kernel32 mutexes behind our declarations.
#include "platform/user.h"

#include <windows.h>

#include "wide.h"

static_assert(sizeof(::POINT) == sizeof(win::POINT), "POINT layouts differ");

namespace win {

HANDLE CreateMutexA(void* lpMutexAttributes, BOOL bInitialOwner, const char* lpName) {
  return ::CreateMutexA(static_cast<LPSECURITY_ATTRIBUTES>(lpMutexAttributes), bInitialOwner, lpName);
}

BOOL CloseHandle(HANDLE hObject) { return ::CloseHandle(hObject); }

HWND FindWindowA(const char* lpClassName, const char* lpWindowName) {
  return ::FindWindowA(lpClassName, lpWindowName);
}

HWND GetWindow(HWND hWnd, UINT uCmd) { return ::GetWindow(hWnd, uCmd); }
BOOL OpenIcon(HWND hWnd) { return ::OpenIcon(hWnd); }
BOOL SetForegroundWindow(HWND hWnd) { return ::SetForegroundWindow(hWnd); }
BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(hWnd, Msg, wParam, lParam);
}

BOOL GetCursorPos(POINT* lpPoint) { return ::GetCursorPos(reinterpret_cast<::POINT*>(lpPoint)); }
HMENU CreatePopupMenu() { return ::CreatePopupMenu(); }
BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, const char16_t* lpNewItem) {
  return ::AppendMenuW(hMenu, uFlags, uIDNewItem, detail::wide(lpNewItem));
}
BOOL DestroyMenu(HMENU hMenu) { return ::DestroyMenu(hMenu); }
DWORD CharUpperBuffW(char16_t* lpsz, DWORD cchLength) { return ::CharUpperBuffW(detail::wide(lpsz), cchLength); }
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const void* prcRect) {
  return ::TrackPopupMenu(hMenu, uFlags, x, y, nReserved, hWnd, static_cast<const ::RECT*>(prcRect));
}

}  // namespace win
