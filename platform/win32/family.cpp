#include "family.h"

#include <windows.h>

namespace win::detail {

bool ansiFamily() {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  static const bool ansi = (::GetVersion() & 0x80000000u) != 0;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  return ansi;
}

}  // namespace win::detail
