// Paths derived from the running program's module file name.
#include "platform/user.h"

namespace platform {

std::u16string programDirectory() {
  std::u16string path = programFileName();
  const auto separator = path.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return u".";
  path.resize(separator);
  return path;
}

}  // namespace platform
