// Version query and environment services (kernel32) under their Windows names.
#pragma once

#include "platform/win_types.h"

namespace win {

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;  // must be 148 (sizeof this record) before the call
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;  // on the 95/98/ME family the high word repeats major and minor
  DWORD dwPlatformId;   // 1: 95/98/ME, 2: NT family
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA has the Windows layout");

constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// Fills the record and returns 1; 0 (record untouched) when the size field is not 148.
BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation);

// Low byte major, next byte minor, high word the build (NT) or bit 31 set (95/98/ME).
DWORD GetVersion();

// Replaces %NAME% references by the variables' values (names compared case-insensitively;
// unknown references stay as written). Returns the characters needed including the
// terminator; the text is written only when nSize is at least that. 0 on failure.
DWORD ExpandEnvironmentStringsW(const char16_t* lpSrc, char16_t* lpDst, DWORD nSize);
// The same in the ANSI code page; counts are in bytes.
DWORD ExpandEnvironmentStringsA(const char* lpSrc, char* lpDst, DWORD nSize);

// Sets a variable of this process (null value: removes it). Nonzero on success.
BOOL SetEnvironmentVariableW(const char16_t* lpName, const char16_t* lpValue);

}  // namespace win
