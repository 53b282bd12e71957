// Registry operations under their Windows names. Text is UTF-16 (char16_t) in the W forms
// and bytes in the system ANSI code page in the A forms; results are Windows error codes.
// Out-parameters are left untouched when a call fails, except where noted below.
#pragma once

#include "platform/win_types.h"

namespace win {

LONG RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult);
LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult);

// lpSecurityAttributes is always null in this code base.
LONG RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD Reserved, char16_t* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition);
LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition);

LONG RegCloseKey(HKEY hKey);

LONG RegDeleteKeyW(HKEY hKey, const char16_t* lpSubKey);
LONG RegDeleteKeyA(HKEY hKey, const char* lpSubKey);
// Deletes a key without subkeys in the view chosen by samDesired (KEY_WOW64_64KEY / KEY_WOW64_32KEY).
LONG RegDeleteKeyExW(HKEY hKey, const char16_t* lpSubKey, REGSAM samDesired, DWORD Reserved);
// Deletes a key with all its subkeys and values (lpSubKey null or empty: the contents of hKey).
LONG RegDeleteTreeW(HKEY hKey, const char16_t* lpSubKey);

LONG RegDeleteValueW(HKEY hKey, const char16_t* lpValueName);
LONG RegDeleteValueA(HKEY hKey, const char* lpValueName);

// As on Windows, a failed query still sets *lpcbData to 0 when lpData is null, and the A
// form sets *lpType to REG_NONE before it looks.
LONG RegQueryValueExW(HKEY hKey, const char16_t* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData);
LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData);

LONG RegSetValueExW(HKEY hKey, const char16_t* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);

LONG RegQueryInfoKeyW(HKEY hKey, char16_t* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime);
LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime);

LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, char16_t* lpName, DWORD cchName);
LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD cchName);

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, char16_t* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData);

}  // namespace win
