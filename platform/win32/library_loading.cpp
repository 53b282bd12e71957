// Loading a shared library at run time, as the detector's hosts do.
#include "platform/system.h"

#include <windows.h>

#include "wide.h"

namespace win {

HMODULE LoadLibraryW(const char16_t* lpLibFileName) { return ::LoadLibraryW(detail::wide(lpLibFileName)); }

BOOL FreeLibrary(HMODULE hLibModule) { return ::FreeLibrary(hLibModule); }

}  // namespace win
