#include "cache_time_text.h"

#include <cstdint>

std::u16string timeHalfToText(win::DWORD half) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + half % 10));
    half /= 10;
  } while (half != 0);
  return digits;
}

win::DWORD timeHalfFromText(std::u16string_view text) {
  std::uint64_t value = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') break;
    value = value * 10 + static_cast<std::uint64_t>(unit - u'0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  return static_cast<win::DWORD>(value);
}
