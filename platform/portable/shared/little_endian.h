// Numbers stored least significant byte first, as registry files store them, read from bytes
// that carry no alignment.
#pragma once

#include <cstdint>

namespace portable {

inline std::uint16_t littleEndian16(const unsigned char* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

inline std::uint32_t littleEndian32(const unsigned char* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t{at[3]} << 24;
}

}  // namespace portable
