#include "utf16_zero.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::size_t firstZeroUnit(const void* data, std::size_t units) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t length = 0;
  // Texts are mostly long: eight code units at a time with SSE2, else four, until a group
  // holds a zero one; then unit by unit. Unaligned loads: the data carries no promise.
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; length + 8 <= units; length += 8) {
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + length * sizeof(char16_t)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(group, zero)) != 0) break;
  }
#endif
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
