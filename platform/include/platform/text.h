// Text conversions between the program's UTF-16 and the encodings at its edges.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

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
