// advapi32 registry functions, wide forms, behind our declarations. On 95/98/Me they exist but fail.
#include "platform/registry.h"

#include <windows.h>

#include "wide.h"

namespace win {

using detail::dw;
using detail::wide;

LONG RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult) {
  return ::RegOpenKeyExW(hKey, wide(lpSubKey), ulOptions, samDesired, phkResult);
}

LONG RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD Reserved, char16_t* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition) {
  return ::RegCreateKeyExW(hKey, wide(lpSubKey), Reserved, wide(lpClass), dwOptions, samDesired,
                           static_cast<LPSECURITY_ATTRIBUTES>(lpSecurityAttributes), phkResult,
                           dw(lpdwDisposition));
}

LONG RegDeleteKeyW(HKEY hKey, const char16_t* lpSubKey) { return ::RegDeleteKeyW(hKey, wide(lpSubKey)); }

LONG RegDeleteValueW(HKEY hKey, const char16_t* lpValueName) { return ::RegDeleteValueW(hKey, wide(lpValueName)); }

LONG RegQueryValueExW(HKEY hKey, const char16_t* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  return ::RegQueryValueExW(hKey, wide(lpValueName), dw(lpReserved), dw(lpType), lpData, dw(lpcbData));
}

LONG RegSetValueExW(HKEY hKey, const char16_t* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return ::RegSetValueExW(hKey, wide(lpValueName), Reserved, dwType, lpData, cbData);
}

LONG RegQueryInfoKeyW(HKEY hKey, char16_t* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
  return ::RegQueryInfoKeyW(hKey, wide(lpClass), dw(lpcchClass), dw(lpReserved), dw(lpcSubKeys),
                            dw(lpcbMaxSubKeyLen), dw(lpcbMaxClassLen), dw(lpcValues), dw(lpcbMaxValueNameLen),
                            dw(lpcbMaxValueLen), dw(lpcbSecurityDescriptor), detail::ft(lpftLastWriteTime));
}

LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, char16_t* lpName, DWORD cchName) {
  return ::RegEnumKeyW(hKey, dwIndex, wide(lpName), cchName);
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, char16_t* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return ::RegEnumValueW(hKey, dwIndex, wide(lpValueName), dw(lpcchValueName), dw(lpReserved), dw(lpType), lpData,
                         dw(lpcbData));
}

}  // namespace win
