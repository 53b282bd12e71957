// Registry functions of Windows Vista and later, found at run time: importing them would
// keep every binary that links the platform from loading on older releases. Only tests
// call them.
#include "platform/registry.h"

#include <windows.h>

#include "wide.h"

namespace win {

namespace {

template <typename Function>
Function advapi32Function(const char* name) {
  const HMODULE advapi32 = ::GetModuleHandleA("advapi32.dll");
  if (advapi32 == nullptr) return nullptr;
  // Through the generic function pointer type, which converts to any other without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(advapi32, name)));
}

}  // namespace

LONG RegDeleteKeyExW(HKEY hKey, const char16_t* lpSubKey, REGSAM samDesired, DWORD Reserved) {
  using Fn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, ::DWORD);
  static const Fn function = advapi32Function<Fn>("RegDeleteKeyExW");
  if (function == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
  return function(hKey, detail::wide(lpSubKey), samDesired, Reserved);
}

LONG RegDeleteTreeW(HKEY hKey, const char16_t* lpSubKey) {
  using Fn = LONG(WINAPI*)(HKEY, LPCWSTR);
  static const Fn function = advapi32Function<Fn>("RegDeleteTreeW");
  if (function == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
  return function(hKey, detail::wide(lpSubKey));
}

}  // namespace win
