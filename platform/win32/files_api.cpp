// kernel32 file services behind our declarations.
#include "platform/files.h"

#include <windows.h>

namespace win {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD dwErrCode) { ::SetLastError(dwErrCode); }

UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize) { return ::GetWindowsDirectoryA(lpBuffer, uSize); }

DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer) { return ::GetTempPathA(nBufferLength, lpBuffer); }

UINT GetTempFileNameA(const char* lpPathName, const char* lpPrefixString, UINT uUnique, char* lpTempFileName) {
  return ::GetTempFileNameA(lpPathName, lpPrefixString, uUnique, lpTempFileName);
}

BOOL DeleteFileA(const char* lpFileName) { return ::DeleteFileA(lpFileName); }

BOOL MoveFileExA(const char* lpExistingFileName, const char* lpNewFileName, DWORD dwFlags) {
  return ::MoveFileExA(lpExistingFileName, lpNewFileName, dwFlags);
}

BOOL MoveFileA(const char* lpExistingFileName, const char* lpNewFileName) {
  return ::MoveFileA(lpExistingFileName, lpNewFileName);
}

}  // namespace win
