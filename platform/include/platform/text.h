// Text conversions between the program's UTF-16 and the encodings at its edges.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Whether text[i] and text[i + 1] are a surrogate pair: one character in two code units.
inline bool surrogatePairAt(std::u16string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
         text[i + 1] <= 0xDFFF;
}

// Whether every surrogate in the text belongs to a pair. Text that is not would name
// another file once converted: conversions swallow or replace the unpaired unit.
inline bool isWellFormedUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (surrogatePairAt(text, i)) {
      ++i;
    } else if (text[i] >= 0xD800 && text[i] <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

// The system ANSI code page (Windows-1252 on the portable backend). Characters that the
// code page lacks become '?'; Windows first tries a close letter (U+0100 becomes 'A').
std::string toAnsi(std::u16string_view text);
std::u16string fromAnsi(std::string_view bytes);
// The ANSI bytes of as many whole characters from the start of the text as fit into maxBytes:
// on a double-byte code page a cut never falls between the two bytes of one character.
std::string toAnsiPrefix(std::u16string_view text, std::size_t maxBytes);

// UTF-8 for consoles, files and the command line of host programs. Invalid input
// becomes U+FFFD rather than failing.
std::string toUtf8(std::u16string_view text);
// The same at the end of `out`.
void appendUtf8(std::string& out, std::u16string_view text);
std::u16string fromUtf8(std::string_view bytes);

}  // namespace platform
