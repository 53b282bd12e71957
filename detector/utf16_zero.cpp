#include "utf16_zero.h"

#include <cstdint>
#include <cstring>

std::size_t firstZeroUnit(const void* data, std::size_t units) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t length = 0;
  // Four code units at a time until a group holds a zero one (texts are mostly long),
  // then unit by unit; memcpy because of the alignment.
  for (; length + 4 <= units; length += 4) {
    std::uint64_t group;
    std::memcpy(&group, bytes + length * sizeof(char16_t), sizeof group);
    if ((group - 0x0001000100010001ull) & ~group & 0x8000800080008000ull) break;
  }
  for (; length < units; ++length) {
    char16_t unit;
    std::memcpy(&unit, bytes + length * sizeof(char16_t), sizeof unit);
    if (unit == 0) break;
  }
  return length;
}
