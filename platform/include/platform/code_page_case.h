// Upper-casing through an ANSI code page, as on a system whose only case table is the code
// page's (95/98/Me, where CharUpperBuffW is a stub that fails).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Upper-cases text[0 .. length) in place. `encode` turns UTF-16 into code-page bytes,
// `decode` the other way, `upperBytes` upper-cases code-page bytes in place. Only characters
// that come back from the code page unchanged go through its case table: a conversion that
// substitutes a close letter ("a" for U+0101) or '?' would otherwise change the character
// itself. The others keep their form, as the NT family's table leaves characters it lacks.
template <typename Encode, typename Decode, typename UpperBytes>
void upperThroughCodePage(char16_t* text, std::size_t length, Encode encode, Decode decode, UpperBytes upperBytes) {
  for (std::size_t i = 0; i < length; ++i) {
    // Surrogates survive no ANSI code page.
    if (text[i] >= 0xD800 && text[i] <= 0xDFFF) continue;
    const std::u16string_view character(text + i, 1);
    std::string bytes = encode(character);
    if (bytes.empty() || decode(std::string_view(bytes)) != character) continue;
    upperBytes(bytes);
    const std::u16string upper = decode(std::string_view(bytes));
    if (upper.size() == 1) text[i] = upper[0];
  }
}

}  // namespace platform
