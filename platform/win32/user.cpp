// user32 windowing and kernel32 mutexes behind our declarations. The calls that carry text
// take their ANSI forms on 95/98/Me.
#include "platform/code_page_case.h"
#include "platform/text.h"
#include "platform/user.h"

#include <windows.h>

#include <string>

#include "family.h"
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
  if (detail::ansiFamily()) return ::PostMessageA(hWnd, Msg, wParam, lParam);
  return ::PostMessageW(hWnd, Msg, wParam, lParam);
}
UINT RegisterWindowMessageW(const char16_t* lpString) {
  if (lpString == nullptr) return 0;
  if (detail::ansiFamily()) return ::RegisterWindowMessageA(platform::toAnsi(lpString).c_str());
  return ::RegisterWindowMessageW(detail::wide(lpString));
}

BOOL GetCursorPos(POINT* lpPoint) { return ::GetCursorPos(reinterpret_cast<::POINT*>(lpPoint)); }
HMENU CreatePopupMenu() { return ::CreatePopupMenu(); }
BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, const char16_t* lpNewItem) {
  if (!detail::ansiFamily()) return ::AppendMenuW(hMenu, uFlags, uIDNewItem, detail::wide(lpNewItem));
  // Only a string item's text is text; other items pass the pointer on as it is.
  if ((uFlags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) != 0 || lpNewItem == nullptr)
    return ::AppendMenuA(hMenu, uFlags, uIDNewItem, reinterpret_cast<const char*>(lpNewItem));
  return ::AppendMenuA(hMenu, uFlags, uIDNewItem, platform::toAnsi(lpNewItem).c_str());
}
BOOL DestroyMenu(HMENU hMenu) { return ::DestroyMenu(hMenu); }
DWORD CharUpperBuffW(char16_t* lpsz, DWORD cchLength) {
  if (!detail::ansiFamily()) return ::CharUpperBuffW(detail::wide(lpsz), cchLength);
  if (lpsz == nullptr || cchLength == 0) return 0;
  platform::upperThroughCodePage(lpsz, cchLength, platform::toAnsi, platform::fromAnsi, [](std::string& bytes) {
    ::CharUpperBuffA(bytes.data(), static_cast<::DWORD>(bytes.size()));
  });
  return cchLength;
}
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const void* prcRect) {
  return ::TrackPopupMenu(hMenu, uFlags, x, y, nReserved, hWnd, static_cast<const ::RECT*>(prcRect));
}

}  // namespace win
