// Windows types, constants and result codes as the rest of the code sees them.
// Layouts match the Win32 ones so the Windows backend can pass them straight through.
// Never include <windows.h> before this header: its macros share these names.
#pragma once

#include <cstdint>

struct HKEY__;
struct HWND__;
struct HICON__;
struct HINSTANCE__;
struct HMENU__;

#if defined(_WIN32)
#define WINPLAT_STDCALL __stdcall
#else
#define WINPLAT_STDCALL
#endif

namespace win {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;
using REGSAM = DWORD;
using HKEY = ::HKEY__*;
using HWND = ::HWND__*;
using HICON = ::HICON__*;
using HINSTANCE = ::HINSTANCE__*;
using HMODULE = HINSTANCE;
using HMENU = ::HMENU__*;
using HANDLE = void*;
using FARPROC = void (*)();
using BSTR = char16_t*;  // OLE Automation string: length-prefixed, zero-terminated UTF-16

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// Predefined keys: sign-extended 32-bit values, exactly as Windows defines them.
inline HKEY predefinedKey(std::uint32_t value) {
  return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
inline const HKEY HKEY_CLASSES_ROOT = predefinedKey(0x80000000u);
inline const HKEY HKEY_CURRENT_USER = predefinedKey(0x80000001u);
inline const HKEY HKEY_LOCAL_MACHINE = predefinedKey(0x80000002u);
inline const HKEY HKEY_USERS = predefinedKey(0x80000003u);

// Result codes.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_BADKEY = 1010;
constexpr LONG ERROR_CHILD_MUST_BE_VOLATILE = 1021;

// Access rights.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

}  // namespace win
