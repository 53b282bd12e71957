// Registry names compare without regard to case. Windows compares them upper-cased, which
// also fixes the order in which subkeys are enumerated.
// Folded here: ASCII, Latin-1, Latin Extended-A, Greek (with tonos, final sigma) and the
// basic Cyrillic letters. Every other character compares as it is.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace portable {

// Beyond ASCII.
char16_t upcaseWide(char16_t c);
inline char16_t upcaseChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  return upcaseWide(c);
}
std::u16string foldName(std::u16string_view name);
// Whether two names of the same length differ at most in case.
bool sameFoldedText(std::u16string_view a, std::u16string_view b);
// Most names compared differ in length, and most that match are spelt alike: both are told
// without a call.
inline bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0) return true;
  return sameFoldedText(a, b);
}
// The order of the folded names (the enumeration order of subkeys), without folded copies.
bool foldedLess(std::u16string_view a, std::u16string_view b);

}  // namespace portable
