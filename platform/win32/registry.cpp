// advapi32 registry functions behind our declarations.
#include "platform/registry.h"

#include <windows.h>

#include "wide.h"

namespace win {

using detail::dw;
using detail::wide;

LONG RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult) {
  return ::RegOpenKeyExW(hKey, wide(lpSubKey), ulOptions, samDesired, phkResult);
}

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult) {
  return ::RegOpenKeyExA(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD Reserved, char16_t* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition) {
  return ::RegCreateKeyExW(hKey, wide(lpSubKey), Reserved, wide(lpClass), dwOptions, samDesired,
                           static_cast<LPSECURITY_ATTRIBUTES>(lpSecurityAttributes), phkResult,
                           dw(lpdwDisposition));
}

LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition) {
  return ::RegCreateKeyExA(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired,
                           static_cast<LPSECURITY_ATTRIBUTES>(lpSecurityAttributes), phkResult,
                           dw(lpdwDisposition));
}

LONG RegCloseKey(HKEY hKey) { return ::RegCloseKey(hKey); }

LONG RegDeleteKeyW(HKEY hKey, const char16_t* lpSubKey) { return ::RegDeleteKeyW(hKey, wide(lpSubKey)); }

LONG RegDeleteKeyA(HKEY hKey, const char* lpSubKey) { return ::RegDeleteKeyA(hKey, lpSubKey); }

LONG RegDeleteKeyExW(HKEY hKey, const char16_t* lpSubKey, REGSAM samDesired, DWORD Reserved) {
  return ::RegDeleteKeyExW(hKey, wide(lpSubKey), samDesired, Reserved);
}

LONG RegDeleteTreeW(HKEY hKey, const char16_t* lpSubKey) { return ::RegDeleteTreeW(hKey, wide(lpSubKey)); }

LONG RegDeleteValueW(HKEY hKey, const char16_t* lpValueName) { return ::RegDeleteValueW(hKey, wide(lpValueName)); }

LONG RegDeleteValueA(HKEY hKey, const char* lpValueName) { return ::RegDeleteValueA(hKey, lpValueName); }

LONG RegQueryValueExW(HKEY hKey, const char16_t* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  return ::RegQueryValueExW(hKey, wide(lpValueName), dw(lpReserved), dw(lpType), lpData, dw(lpcbData));
}

LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  return ::RegQueryValueExA(hKey, lpValueName, dw(lpReserved), dw(lpType), lpData, dw(lpcbData));
}

LONG RegSetValueExW(HKEY hKey, const char16_t* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return ::RegSetValueExW(hKey, wide(lpValueName), Reserved, dwType, lpData, cbData);
}

LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return ::RegSetValueExA(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegQueryInfoKeyW(HKEY hKey, char16_t* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
  return ::RegQueryInfoKeyW(hKey, wide(lpClass), dw(lpcchClass), dw(lpReserved), dw(lpcSubKeys),
                            dw(lpcbMaxSubKeyLen), dw(lpcbMaxClassLen), dw(lpcValues), dw(lpcbMaxValueNameLen),
                            dw(lpcbMaxValueLen), dw(lpcbSecurityDescriptor), detail::ft(lpftLastWriteTime));
}

LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
  return ::RegQueryInfoKeyA(hKey, lpClass, dw(lpcchClass), dw(lpReserved), dw(lpcSubKeys), dw(lpcbMaxSubKeyLen),
                            dw(lpcbMaxClassLen), dw(lpcValues), dw(lpcbMaxValueNameLen), dw(lpcbMaxValueLen),
                            dw(lpcbSecurityDescriptor), detail::ft(lpftLastWriteTime));
}

LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, char16_t* lpName, DWORD cchName) {
  return ::RegEnumKeyW(hKey, dwIndex, wide(lpName), cchName);
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD cchName) {
  return ::RegEnumKeyA(hKey, dwIndex, lpName, cchName);
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, char16_t* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return ::RegEnumValueW(hKey, dwIndex, wide(lpValueName), dw(lpcchValueName), dw(lpReserved), dw(lpType), lpData,
                         dw(lpcbData));
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return ::RegEnumValueA(hKey, dwIndex, lpValueName, dw(lpcchValueName), dw(lpReserved), dw(lpType), lpData,
                         dw(lpcbData));
}

}  // namespace win
