// Cutting converted text at a character boundary, whatever the code page.
#include "platform/text.h"

namespace platform {

std::string toAnsiPrefix(std::u16string_view text, std::size_t maxBytes) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t units = surrogatePairAt(text, i) ? 2 : 1;
    const std::string bytes = toAnsi(text.substr(i, units));
    if (out.size() + bytes.size() > maxBytes) break;
    out += bytes;
    i += units;
  }
  return out;
}

}  // namespace platform
