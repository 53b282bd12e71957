#include "shared/name_folding.h"

namespace portable {

char16_t upcaseWide(char16_t c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17E) {
    // Latin Extended-A: capital then small, on even code points except between U+0139
    // and U+0148 and from U+0179 on, where the pairs start on odd ones.
    bool oddPairs = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) return c;
    bool isSmall = oddPairs ? (c % 2 == 0) : (c % 2 == 1);
    return isSmall ? static_cast<char16_t>(c - 1) : c;
  }
  if (c >= 0x3B1 && c <= 0x3CB) return c == 0x3C2 ? char16_t{0x3A3} : static_cast<char16_t>(c - 0x20);
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return static_cast<char16_t>(c - 0x25);
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return static_cast<char16_t>(c - 0x3F);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

std::u16string foldName(std::u16string_view name) {
  std::u16string out(name);
  for (char16_t& c : out) c = upcaseChar(c);
  return out;
}

bool sameFoldedText(std::u16string_view a, std::u16string_view b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && upcaseChar(a[i]) != upcaseChar(b[i])) return false;
  }
  return true;
}

bool foldedLess(std::u16string_view a, std::u16string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] == b[i]) continue;
    char16_t x = upcaseChar(a[i]);
    char16_t y = upcaseChar(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace portable
