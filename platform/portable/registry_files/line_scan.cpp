#include "registry_files/line_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace portable {

namespace {

template <typename Unit>
std::size_t findEitherSlowly(const Unit* text, std::size_t from, std::size_t size, Unit a, Unit b) {
  while (from < size && text[from] != a && text[from] != b) ++from;
  return from;
}

}  // namespace

std::size_t findEither(const char16_t* text, std::size_t from, std::size_t size, char16_t a, char16_t b) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi16(static_cast<short>(a)), second = _mm_set1_epi16(static_cast<short>(b));
  const auto found = [&](std::size_t from) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, first), _mm_cmpeq_epi16(units, second))));
  };
  for (; at + 16 <= size; at += 16) {
    const unsigned hits = found(at) | (found(at + 8) << 16);
    if (hits != 0) return at + static_cast<std::size_t>(__builtin_ctz(hits)) / 2;
  }
#endif
  return findEitherSlowly(text, at, size, a, b);
}

std::size_t findEither(const char* text, std::size_t from, std::size_t size, char a, char b) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(a), second = _mm_set1_epi8(b);
  for (; at + 16 <= size; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second)));
    if (hits != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
  }
#endif
  return findEitherSlowly(text, at, size, a, b);
}

}  // namespace portable
