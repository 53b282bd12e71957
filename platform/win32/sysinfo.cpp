// kernel32 version and environment functions behind our declarations.
#include "platform/sysinfo.h"

#include <windows.h>

#include "wide.h"

static_assert(sizeof(::OSVERSIONINFOA) == sizeof(win::OSVERSIONINFOA), "OSVERSIONINFOA layouts differ");

namespace win {

using detail::wide;

BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(lpVersionInformation));
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

DWORD GetVersion() {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  return ::GetVersion();
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

DWORD ExpandEnvironmentStringsW(const char16_t* lpSrc, char16_t* lpDst, DWORD nSize) {
  return ::ExpandEnvironmentStringsW(wide(lpSrc), wide(lpDst), nSize);
}

DWORD ExpandEnvironmentStringsA(const char* lpSrc, char* lpDst, DWORD nSize) {
  return ::ExpandEnvironmentStringsA(lpSrc, lpDst, nSize);
}

}  // namespace win
