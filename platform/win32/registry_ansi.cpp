// advapi32 registry functions, ANSI forms, behind our declarations. Every Windows release has them.
#include "platform/registry.h"

#include <windows.h>

#include "wide.h"

namespace win {

using detail::dw;

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult) {
  return ::RegOpenKeyExA(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition) {
  return ::RegCreateKeyExA(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                           static_cast<LPSECURITY_ATTRIBUTES>(lpSecurityAttributes), phkResult,
                           dw(lpdwDisposition));
}

LONG RegDeleteKeyA(HKEY hKey, const char* lpSubKey) { return ::RegDeleteKeyA(hKey, lpSubKey); }

LONG RegDeleteValueA(HKEY hKey, const char* lpValueName) { return ::RegDeleteValueA(hKey, lpValueName); }

LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  return ::RegQueryValueExA(hKey, lpValueName, dw(lpReserved), dw(lpType), lpData, dw(lpcbData));
}

LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return ::RegSetValueExA(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
  return ::RegQueryInfoKeyA(hKey, lpClass, dw(lpcchClass), dw(lpReserved), dw(lpcSubKeys), dw(lpcbMaxSubKeyLen),
                            dw(lpcbMaxClassLen), dw(lpcValues), dw(lpcbMaxValueNameLen), dw(lpcbMaxValueLen),
                            dw(lpcbSecurityDescriptor), detail::ft(lpftLastWriteTime));
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD cchName) {
  return ::RegEnumKeyA(hKey, dwIndex, lpName, cchName);
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return ::RegEnumValueA(hKey, dwIndex, lpValueName, dw(lpcchValueName), dw(lpReserved), dw(lpType), lpData,
                         dw(lpcbData));
}

}  // namespace win
