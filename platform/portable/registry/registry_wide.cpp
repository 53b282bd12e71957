// The W registry functions: UTF-16 names, data passed through as stored.
#include <cstring>

#include "platform/registry.h"
#include "registry/registry_bytes.h"
#include "registry/registry_guard.h"
#include "registry/registry_key_info.h"
#include "registry/registry_operations.h"

namespace win {

using portable::guarded;
using portable::injectedResult;
using portable::orEmpty;

namespace {

constexpr LONG kErrorNoAccess = 998;

// Windows ends string data with a zero in the caller's buffer when there is room for it.
void terminateString(DWORD type, BYTE* data, DWORD size, DWORD capacity) {
  if (!portable::isStringType(type) || size < 2 || size % 2 != 0 || size + 2 > capacity) return;
  if (data[size - 2] == 0 && data[size - 1] == 0) return;
  data[size] = 0;
  data[size + 1] = 0;
}

// Copies data that fits into the caller's buffer (none given: nothing to copy).
LONG deliver(const portable::RegistryValue& value, BYTE* lpData, DWORD capacity) {
  if (!lpData) return ERROR_SUCCESS;
  const DWORD size = static_cast<DWORD>(value.data.size());
  if (size > capacity) return ERROR_MORE_DATA;
  if (size) std::memcpy(lpData, value.data.data(), size);
  terminateString(value.type, lpData, size, capacity);
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD, REGSAM samDesired, HKEY* phkResult) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegOpenKeyExW")) return rc;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    HKEY opened = nullptr;
    LONG rc = portable::openKey(hKey, orEmpty(lpSubKey), samDesired, opened);
    if (rc == ERROR_SUCCESS) *phkResult = opened;
    return rc;
  });
}

LONG RegCreateKeyExW(HKEY hKey, const char16_t* lpSubKey, DWORD, char16_t*, DWORD, REGSAM samDesired, void*,
                     HKEY* phkResult, DWORD* lpdwDisposition) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegCreateKeyExW")) return rc;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    HKEY created = nullptr;
    DWORD disposition = 0;
    LONG rc = portable::createKey(hKey, orEmpty(lpSubKey), samDesired, created, disposition);
    if (rc != ERROR_SUCCESS) return rc;
    *phkResult = created;
    if (lpdwDisposition) *lpdwDisposition = disposition;
    return rc;
  });
}

LONG RegCloseKey(HKEY hKey) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegCloseKey")) return rc;
    return portable::closeKey(hKey);
  });
}

LONG RegDeleteKeyW(HKEY hKey, const char16_t* lpSubKey) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegDeleteKeyW")) return rc;
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    return portable::deleteKey(hKey, lpSubKey, 0);
  });
}

LONG RegDeleteKeyExW(HKEY hKey, const char16_t* lpSubKey, REGSAM samDesired, DWORD) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegDeleteKeyExW")) return rc;
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    return portable::deleteKey(hKey, lpSubKey, samDesired);
  });
}

LONG RegDeleteTreeW(HKEY hKey, const char16_t* lpSubKey) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegDeleteTreeW")) return rc;
    return portable::deleteTree(hKey, orEmpty(lpSubKey));
  });
}

LONG RegDeleteValueW(HKEY hKey, const char16_t* lpValueName) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegDeleteValueW")) return rc;
    return portable::deleteValue(hKey, orEmpty(lpValueName));
  });
}

LONG RegQueryValueExW(HKEY hKey, const char16_t* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegQueryValueExW")) return rc;
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    // A size query starts from 0, so a failed one reports 0 bytes, as on Windows.
    if (!lpData && lpcbData) *lpcbData = 0;
    const DWORD capacity = lpData ? *lpcbData : 0;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG rc = portable::readValue(hKey, orEmpty(lpValueName), lpData, capacity, type, size);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return rc;
    if (rc == ERROR_SUCCESS && lpData) terminateString(type, lpData, size, capacity);
    if (lpType) *lpType = type;
    if (lpcbData) *lpcbData = size;
    return rc;
  });
}

LONG RegSetValueExW(HKEY hKey, const char16_t* lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegSetValueExW")) return rc;
    if (!lpData && cbData) return kErrorNoAccess;
    std::vector<BYTE> data(lpData, lpData + (lpData ? cbData : 0));
    return portable::setValue(hKey, orEmpty(lpValueName), dwType, std::move(data));
  });
}

LONG RegQueryInfoKeyW(HKEY hKey, char16_t* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegQueryInfoKeyW")) return rc;
    return portable::reportKeyInfo(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                                   lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                                   lpcbSecurityDescriptor, lpftLastWriteTime);
  });
}

LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, char16_t* lpName, DWORD cchName) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegEnumKeyW")) return rc;
    if (!lpName) return ERROR_INVALID_PARAMETER;
    std::u16string name;
    LONG rc = portable::enumKey(hKey, dwIndex, name);
    if (rc != ERROR_SUCCESS) return rc;
    if (name.size() + 1 > cchName) return ERROR_MORE_DATA;
    std::memcpy(lpName, name.c_str(), (name.size() + 1) * sizeof(char16_t));
    return ERROR_SUCCESS;
  });
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, char16_t* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegEnumValueW")) return rc;
    if (lpReserved || !lpValueName || !lpcchValueName || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    portable::RegistryValue value;
    LONG rc = portable::enumValue(hKey, dwIndex, value);
    if (rc != ERROR_SUCCESS) return rc;
    if (value.name.size() >= *lpcchValueName) {
      rc = ERROR_MORE_DATA;
    } else {
      std::memcpy(lpValueName, value.name.c_str(), (value.name.size() + 1) * sizeof(char16_t));
      *lpcchValueName = static_cast<DWORD>(value.name.size());
      rc = deliver(value, lpData, lpData ? *lpcbData : 0);
    }
    if (lpType) *lpType = value.type;
    if (lpcbData) *lpcbData = static_cast<DWORD>(value.data.size());
    return rc;
  });
}

}  // namespace win
