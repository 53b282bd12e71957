// The ANSI code page of the stand-in: Windows-1252. The tables come from iconv once; the
// five bytes that code page leaves undefined map to U+0081 .. U+009D both ways, as on Windows.
#include <iconv.h>

#include <array>

#include "platform/text.h"

namespace platform {

namespace {

struct AnsiTables {
  std::array<char16_t, 256> toUnicode{};
  std::array<unsigned char, 65536> fromUnicode{};  // 0: no mapping (except for U+0000)
};

AnsiTables buildTables() {
  AnsiTables tables;
  for (unsigned b = 0; b < 256; ++b) tables.toUnicode[b] = static_cast<char16_t>(b);  // iconv missing: Latin-1
  iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
  if (cd != reinterpret_cast<iconv_t>(-1)) {
    for (unsigned b = 0x80; b < 256; ++b) {
      char in = static_cast<char>(b);
      unsigned char out[4] = {};
      char* inPtr = &in;
      char* outPtr = reinterpret_cast<char*>(out);
      size_t inLeft = 1;
      size_t outLeft = sizeof out;
      if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && outLeft == 2) {
        tables.toUnicode[b] = static_cast<char16_t>(out[0] | (out[1] << 8));
      }
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
  }
  for (unsigned b = 1; b < 256; ++b) tables.fromUnicode[tables.toUnicode[b]] = static_cast<unsigned char>(b);
  return tables;
}

const AnsiTables& tables() {
  static const AnsiTables* built = new AnsiTables(buildTables());
  return *built;
}

}  // namespace

std::string toAnsi(std::u16string_view text) {
  const AnsiTables& t = tables();
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == 0) {
      out += '\0';
      continue;
    }
    unsigned char b = t.fromUnicode[c];
    if (b) {
      out += static_cast<char>(b);
      continue;
    }
    // One '?' per character: a surrogate pair is one character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    out += '?';
  }
  return out;
}

std::u16string fromAnsi(std::string_view bytes) {
  const AnsiTables& t = tables();
  std::u16string out;
  out.reserve(bytes.size());
  for (char b : bytes) out += t.toUnicode[static_cast<unsigned char>(b)];
  return out;
}

}  // namespace platform
