// Type bridges between our platform types and the Windows SDK ones. Both sides lay the
// data out identically; only the C++ types differ. Include our platform headers first,
// then <windows.h>, then this one: the SDK macros would break our declarations.
#pragma once

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be a UTF-16 code unit");
static_assert(sizeof(::DWORD) == sizeof(win::DWORD), "DWORD must be 32 bits");
static_assert(sizeof(::FILETIME) == sizeof(win::FILETIME), "FILETIME layouts differ");

namespace win::detail {

inline const wchar_t* wide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* wide(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const char16_t* utf16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* utf16(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }

// Ours is unsigned int, Windows' is unsigned long.
inline ::DWORD* dw(DWORD* p) { return reinterpret_cast<::DWORD*>(p); }

inline ::FILETIME* ft(FILETIME* p) { return reinterpret_cast<::FILETIME*>(p); }
inline const ::FILETIME* ft(const FILETIME* p) { return reinterpret_cast<const ::FILETIME*>(p); }

}  // namespace win::detail
