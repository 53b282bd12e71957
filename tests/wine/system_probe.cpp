#include "system_probe.h"

#include <windows.h>

namespace probe {

unsigned ansiCodePage() { return ::GetACP(); }

std::uint64_t systemTimeTicks() {
  ::FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

bool readStringValue(win::HKEY key, const std::u16string& name, std::u16string& value) {
  wchar_t buffer[256] = {};
  ::DWORD size = sizeof buffer - sizeof(wchar_t);  // room for a terminator of our own
  ::DWORD type = 0;
  if (::RegQueryValueExW(key, reinterpret_cast<const wchar_t*>(name.c_str()), nullptr, &type,
                         reinterpret_cast<::BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  value.assign(reinterpret_cast<const char16_t*>(buffer), size / sizeof(wchar_t));
  if (!value.empty() && value.back() == u'\0') value.pop_back();
  return true;
}

}  // namespace probe
