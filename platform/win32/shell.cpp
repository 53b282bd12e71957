// shell32 notification icons and program starts behind our declarations.
#include "platform/shell.h"

// The records of shell version 5 (with balloons), whatever release the binary targets: the
// shell reads only cbSize bytes of them.
#if !defined(_WIN32_IE) || _WIN32_IE < 0x0500
#undef _WIN32_IE
#define _WIN32_IE 0x0500
#endif

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

// Our records are the first bytes of the SDK ones; the shell reads only cbSize bytes.
static_assert(sizeof(::HWND) == 4 && sizeof(::HICON) == 4, "the records hold 32-bit handles");
static_assert(offsetof(::NOTIFYICONDATAW, szTip) == offsetof(win::NOTIFYICONDATAW, szTip));
static_assert(offsetof(::NOTIFYICONDATAW, szInfo) == offsetof(win::NOTIFYICONDATAW, szInfo));
static_assert(offsetof(::NOTIFYICONDATAW, szInfoTitle) == offsetof(win::NOTIFYICONDATAW, szInfoTitle));
static_assert(offsetof(::NOTIFYICONDATAW, dwInfoFlags) == offsetof(win::NOTIFYICONDATAW, dwInfoFlags));
static_assert(offsetof(::NOTIFYICONDATAA, szInfo) == offsetof(win::NOTIFYICONDATAA, szInfo));
static_assert(offsetof(::NOTIFYICONDATAA, dwInfoFlags) == offsetof(win::NOTIFYICONDATAA, dwInfoFlags));
static_assert(NOTIFYICONDATAW_V2_SIZE == 936 && NOTIFYICONDATAA_V2_SIZE == 488);

namespace win {

BOOL Shell_NotifyIconW(DWORD dwMessage, NOTIFYICONDATAW* lpData) {
  // Looked up, not imported: the shell of 95/98/Me need not have the wide form.
  using Fn = BOOL(WINAPI*)(::DWORD, ::NOTIFYICONDATAW*);
  static const Fn function = [] {
    const HMODULE shell32 = ::GetModuleHandleA("shell32.dll");
    return shell32 == nullptr
               ? Fn{}
               : reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(shell32, "Shell_NotifyIconW")));
  }();
  if (function == nullptr) return 0;
  return function(dwMessage, reinterpret_cast<::NOTIFYICONDATAW*>(lpData));
}

BOOL Shell_NotifyIconA(DWORD dwMessage, NOTIFYICONDATAA* lpData) {
  return ::Shell_NotifyIconA(dwMessage, reinterpret_cast<::NOTIFYICONDATAA*>(lpData));
}

HINSTANCE ShellExecuteA(HWND hwnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                        const char* lpDirectory, int nShowCmd) {
  return ::ShellExecuteA(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
}

}  // namespace win
