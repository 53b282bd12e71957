// RegQueryInfoKeyW and RegQueryInfoKeyA report alike: keys here have no class, and the
// A form gets the UTF-16 counts, as Windows gives them.
#pragma once

#include "registry/registry_operations.h"

namespace portable {

template <typename Char>
win::LONG reportKeyInfo(win::HKEY hKey, Char* lpClass, win::DWORD* lpcchClass, win::DWORD* lpReserved,
                        win::DWORD* lpcSubKeys, win::DWORD* lpcbMaxSubKeyLen, win::DWORD* lpcbMaxClassLen,
                        win::DWORD* lpcValues, win::DWORD* lpcbMaxValueNameLen, win::DWORD* lpcbMaxValueLen,
                        win::DWORD* lpcbSecurityDescriptor, win::FILETIME* lpftLastWriteTime) {
  if (lpReserved || (lpClass && !lpcchClass)) return win::ERROR_INVALID_PARAMETER;
  KeyInfo info;
  info.wantSubKeys = lpcSubKeys || lpcbMaxSubKeyLen;
  info.wantValues = lpcValues || lpcbMaxValueNameLen || lpcbMaxValueLen;
  win::LONG rc = queryInfo(hKey, info);
  if (rc != win::ERROR_SUCCESS) return rc;
  if (lpcchClass) {
    if (lpClass && *lpcchClass > 0) lpClass[0] = 0;
    *lpcchClass = 0;
  }
  if (lpcSubKeys) *lpcSubKeys = info.subKeys;
  if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = info.maxSubKeyLen;
  if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
  if (lpcValues) *lpcValues = info.values;
  if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = info.maxValueNameLen;
  if (lpcbMaxValueLen) *lpcbMaxValueLen = info.maxValueLen;
  if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
  if (lpftLastWriteTime) *lpftLastWriteTime = info.lastWrite;
  return win::ERROR_SUCCESS;
}

}  // namespace portable
