// Setting a process variable: only tests and hosts do, so it lives apart from the queries.
#include "platform/sysinfo.h"

#include <windows.h>

#include "wide.h"

namespace win {

BOOL SetEnvironmentVariableW(const char16_t* lpName, const char16_t* lpValue) {
  return ::SetEnvironmentVariableW(detail::wide(lpName), detail::wide(lpValue));
}

}  // namespace win
