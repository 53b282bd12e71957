// The A registry functions: names and string data in the ANSI code page, converted at
// this edge; sizes of string data are reported in ANSI bytes.
#include <cstring>

#include "platform/registry.h"
#include "platform/text.h"
#include "registry/registry_bytes.h"
#include "registry/registry_guard.h"
#include "registry/registry_key_info.h"
#include "registry/registry_operations.h"

namespace win {

using portable::guarded;
using portable::injectedResult;

namespace {

constexpr LONG kErrorNoAccess = 998;

std::u16string wide(const char* text) { return text ? platform::fromAnsi(text) : std::u16string(); }

// The value's data as an A caller sees it.
std::string ansiData(const portable::RegistryValue& value) {
  if (portable::isStringType(value.type)) return platform::toAnsi(portable::unitsOf(value.data));
  return std::string(value.data.begin(), value.data.end());
}

// Copies data that fits; string data gets a terminating zero when there is room for one.
LONG deliver(DWORD type, const std::string& data, BYTE* lpData, DWORD* lpcbData) {
  if (!lpData) return ERROR_SUCCESS;
  DWORD size = static_cast<DWORD>(data.size());
  if (size > *lpcbData) return ERROR_MORE_DATA;
  if (size) std::memcpy(lpData, data.data(), size);
  if (portable::isStringType(type) && size > 0 && data.back() != '\0' && size < *lpcbData) lpData[size] = 0;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD, REGSAM samDesired, HKEY* phkResult) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegOpenKeyExA")) return rc;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    HKEY opened = nullptr;
    LONG rc = portable::openKey(hKey, wide(lpSubKey), samDesired, opened);
    if (rc == ERROR_SUCCESS) *phkResult = opened;
    return rc;
  });
}

LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD, char*, DWORD, REGSAM samDesired, void*,
                     HKEY* phkResult, DWORD* lpdwDisposition) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegCreateKeyExA")) return rc;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    HKEY created = nullptr;
    DWORD disposition = 0;
    LONG rc = portable::createKey(hKey, wide(lpSubKey), samDesired, created, disposition);
    if (rc != ERROR_SUCCESS) return rc;
    *phkResult = created;
    if (lpdwDisposition) *lpdwDisposition = disposition;
    return rc;
  });
}

LONG RegDeleteKeyA(HKEY hKey, const char* lpSubKey) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegDeleteKeyA")) return rc;
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    return portable::deleteKey(hKey, wide(lpSubKey), 0);
  });
}

LONG RegDeleteValueA(HKEY hKey, const char* lpValueName) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegDeleteValueA")) return rc;
    return portable::deleteValue(hKey, wide(lpValueName));
  });
}

LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegQueryValueExA")) return rc;
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    // As on Windows: a size query starts from 0 bytes and the type from REG_NONE, so a
    // failed query reports those.
    if (!lpData && lpcbData) *lpcbData = 0;
    if (lpType) *lpType = REG_NONE;
    portable::RegistryValue value;
    LONG rc = portable::queryValue(hKey, wide(lpValueName), value);
    if (rc != ERROR_SUCCESS) return rc;
    std::string data = ansiData(value);
    rc = deliver(value.type, data, lpData, lpcbData);
    if (lpType) *lpType = value.type;
    if (lpcbData) *lpcbData = static_cast<DWORD>(data.size());
    return rc;
  });
}

LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegSetValueExA")) return rc;
    if (!lpData && cbData) return kErrorNoAccess;
    std::vector<BYTE> data(lpData, lpData + (lpData ? cbData : 0));
    if (portable::isStringType(dwType)) {
      data = portable::bytesOf(
          platform::fromAnsi(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())));
    }
    return portable::setValue(hKey, wide(lpValueName), dwType, std::move(data));
  });
}

LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD* lpReserved, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegQueryInfoKeyA")) return rc;
    return portable::reportKeyInfo(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen,
                                   lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen,
                                   lpcbSecurityDescriptor, lpftLastWriteTime);
  });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD cchName) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegEnumKeyA")) return rc;
    if (!lpName) return ERROR_INVALID_PARAMETER;
    std::u16string name;
    LONG rc = portable::enumKey(hKey, dwIndex, name);
    if (rc != ERROR_SUCCESS) return rc;
    std::string ansi = platform::toAnsi(name);
    if (ansi.size() + 1 > cchName) return ERROR_MORE_DATA;
    std::memcpy(lpName, ansi.c_str(), ansi.size() + 1);
    return ERROR_SUCCESS;
  });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return guarded([&]() -> LONG {
    if (LONG rc = injectedResult("RegEnumValueA")) return rc;
    if (lpReserved || !lpValueName || !lpcchValueName || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    portable::RegistryValue value;
    LONG rc = portable::enumValue(hKey, dwIndex, value);
    if (rc != ERROR_SUCCESS) return rc;
    std::string name = platform::toAnsi(value.name);
    std::string data = ansiData(value);
    if (name.size() >= *lpcchValueName) {
      rc = ERROR_MORE_DATA;
    } else {
      std::memcpy(lpValueName, name.c_str(), name.size() + 1);
      *lpcchValueName = static_cast<DWORD>(name.size());
      rc = deliver(value.type, data, lpData, lpcbData);
    }
    if (lpType) *lpType = value.type;
    if (lpcbData) *lpcbData = static_cast<DWORD>(data.size());
    return rc;
  });
}

}  // namespace win
