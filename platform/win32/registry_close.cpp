// Closing a key, the one registry call that every user of the registry makes.
#include "platform/registry.h"

#include <windows.h>

namespace win {

LONG RegCloseKey(HKEY hKey) { return ::RegCloseKey(hKey); }

}  // namespace win
