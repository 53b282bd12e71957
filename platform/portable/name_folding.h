// Registry names compare without regard to case. Windows compares them upper-cased, which
// also fixes the order in which subkeys are enumerated.
// Folded here: ASCII, Latin-1, Latin Extended-A, Greek (with tonos, final sigma) and the
// basic Cyrillic letters. Every other character compares as it is.
#pragma once

#include <string>
#include <string_view>

namespace portable {

char16_t upcaseChar(char16_t c);
std::u16string foldName(std::u16string_view name);
bool sameName(std::u16string_view a, std::u16string_view b);

}  // namespace portable
