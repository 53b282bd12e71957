// kernel32 process services behind our declarations.
#include "platform/system.h"

#include <windows.h>

#include "wide.h"

namespace win {

HMODULE GetModuleHandleW(const char16_t* lpModuleName) { return ::GetModuleHandleW(detail::wide(lpModuleName)); }

FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName) {
  // Callers cast the result to the function's real type, as with the Windows FARPROC.
  return reinterpret_cast<FARPROC>(::GetProcAddress(hModule, lpProcName));
}

HANDLE GetCurrentProcess() { return ::GetCurrentProcess(); }

LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2) {
  return ::CompareFileTime(detail::ft(lpFileTime1), detail::ft(lpFileTime2));
}

}  // namespace win
