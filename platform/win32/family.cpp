#include "family.h"

#include "platform/sysinfo.h"

namespace win::detail {

bool ansiFamily() {
  static const bool ansi = (win::GetVersion() & 0x80000000u) != 0;
  return ansi;
}

}  // namespace win::detail
