#include "text_rules.h"

namespace tray {

std::u16string TrimSpaces(std::u16string_view text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return std::u16string();
  const auto last = text.find_last_not_of(u' ');
  return std::u16string(text.substr(first, last - first + 1));
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) {
    const bool asciiLower = c >= u'a' && c <= u'z';
    const bool latin1Lower = c >= 0xE0 && c <= 0xFE && c != 0xF7;
    if (asciiLower || latin1Lower) c = static_cast<char16_t>(c - 0x20);
    else if (c == 0xFF) c = 0x178;  // y with diaeresis
  }
  return result;
}

}  // namespace tray
