// kernel32 wide file functions behind our declarations.
#include "platform/files.h"

#include <windows.h>

#include "wide.h"

namespace win {

BOOL CopyFileW(const char16_t* lpExistingFileName, const char16_t* lpNewFileName, BOOL bFailIfExists) {
  return ::CopyFileW(detail::wide(lpExistingFileName), detail::wide(lpNewFileName), bFailIfExists);
}

BOOL MoveFileExW(const char16_t* lpExistingFileName, const char16_t* lpNewFileName, DWORD dwFlags) {
  return ::MoveFileExW(detail::wide(lpExistingFileName), detail::wide(lpNewFileName), dwFlags);
}

BOOL DeleteFileW(const char16_t* lpFileName) { return ::DeleteFileW(detail::wide(lpFileName)); }

}  // namespace win
