// The ANSI code page of the stand-in: Windows-1252. The tables come from iconv once; the
// five bytes that code page leaves undefined map to U+0081 .. U+009D both ways, as on Windows.
// Tests may choose another code page, which is then converted through iconv on every call.
#include <iconv.h>

#include <array>
#include <atomic>
#include <string>

#include "platform/text.h"
#include "portable/text_control.h"

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

constexpr unsigned kWindows1252 = 1252;
std::atomic<unsigned> chosenCodePage{kWindows1252};

std::string iconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

class Converter {
 public:
  Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // The whole input converted; false when any of it does not convert.
  bool convert(const char* in, std::size_t size, std::string& out) {
    out.assign(size * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out.data();
    std::size_t inLeft = size, outLeft = out.size();
    const bool converted = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(out.size() - outLeft);
    return converted && inLeft == 0;
  }

 private:
  iconv_t cd_;
};

// A character at a time, so that one without a mapping becomes '?' as on Windows.
std::string toCodePage(std::u16string_view text, unsigned codePage) {
  Converter converter(iconvName(codePage), "UTF-16LE");
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t units = surrogatePairAt(text, i) ? 2 : 1;
    std::string bytes;
    const char* in = reinterpret_cast<const char*>(text.data() + i);
    out += converter.convert(in, units * 2, bytes) ? bytes : std::string("?");
    i += units;
  }
  return out;
}

std::u16string fromCodePage(std::string_view bytes, unsigned codePage) {
  Converter converter("UTF-16LE", iconvName(codePage));
  std::string utf16;
  std::u16string out;
  if (converter.convert(bytes.data(), bytes.size(), utf16)) {
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2)
      out += static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) | (static_cast<unsigned char>(utf16[i + 1]) << 8));
    return out;
  }
  return std::u16string(bytes.size(), u'?');  // not text of that code page
}

}  // namespace

std::string toAnsi(std::u16string_view text) {
  if (const unsigned codePage = chosenCodePage.load(); codePage != kWindows1252) return toCodePage(text, codePage);
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
    if (surrogatePairAt(text, i)) ++i;
    out += '?';
  }
  return out;
}

std::u16string fromAnsi(std::string_view bytes) {
  if (const unsigned codePage = chosenCodePage.load(); codePage != kWindows1252) return fromCodePage(bytes, codePage);
  const AnsiTables& t = tables();
  std::u16string out;
  out.reserve(bytes.size());
  for (char b : bytes) out += t.toUnicode[static_cast<unsigned char>(b)];
  return out;
}

}  // namespace platform

bool portable::setAnsiCodePage(unsigned codePage) {
  using platform::kWindows1252;
  if (codePage != kWindows1252 && !platform::Converter("UTF-16LE", platform::iconvName(codePage)).ok()) return false;
  platform::chosenCodePage.store(codePage);
  return true;
}
