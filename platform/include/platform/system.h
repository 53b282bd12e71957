// Process and system services (kernel32) under their Windows names.
#pragma once

#include "platform/win_types.h"

namespace win {

HMODULE GetModuleHandleW(const char16_t* lpModuleName);
FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName);
HANDLE GetCurrentProcess();
using IsWow64ProcessFn = BOOL(WINPLAT_STDCALL*)(HANDLE hProcess, BOOL* Wow64Process);

// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2);

// Dynamic loading of a shared library (Wendlow.dll / libWendlow.so) by a host.
HMODULE LoadLibraryW(const char16_t* lpLibFileName);
BOOL FreeLibrary(HMODULE hLibModule);

}  // namespace win
