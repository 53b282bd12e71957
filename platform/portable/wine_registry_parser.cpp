// Reading Wine's registry files as its wineserver writes and reads them (server/registry.c:
// save_subkeys, dump_value, load_keys, parse_strW). Where Wine's own reader skips a line it
// cannot use, this one refuses the file with the line: a listing must not quietly lack
// what a damaged file held.
#include <cstdint>
#include <optional>
#include <vector>

#include "registry_operations.h"
#include "wine_registry.h"

namespace portable {

namespace {

constexpr std::size_t kLongestFirstLine = 4096;
constexpr std::size_t kLongestLine = std::size_t{1} << 24;
constexpr std::size_t kMaxKeyDepth = 512;
constexpr std::u16string_view kRelativeTo = u";; All keys relative to ";
constexpr std::uint64_t kUnixEpochInFileTime = 116444736000000000ull;

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

std::u16string_view skipSpaces(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  return text.substr(i);
}

bool startsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// An escaped text up to its closing `end` (parse_strW): \a \b \e \f \n \r \t \v, \x with up
// to four hex digits, \ with up to three octal digits, and \ before any other character
// for that character. `consumed` counts the closing character. False when it is missing.
bool unescape(std::u16string_view text, char16_t end, std::u16string& out, std::size_t& consumed) {
  out.clear();
  for (std::size_t i = 0; i < text.size();) {
    const char16_t c = text[i++];
    if (c == end) {
      consumed = i;
      return true;
    }
    if (c != u'\\') {
      out += c;
      continue;
    }
    if (i == text.size()) return false;
    const char16_t e = text[i++];
    switch (e) {
      case u'a': out += u'\a'; break;
      case u'b': out += u'\b'; break;
      case u'e': out += char16_t{0x1B}; break;
      case u'f': out += u'\f'; break;
      case u'n': out += u'\n'; break;
      case u'r': out += u'\r'; break;
      case u't': out += u'\t'; break;
      case u'v': out += u'\v'; break;
      case u'x': {
        if (i == text.size() || hexDigit(text[i]) < 0) {
          out += u'x';
          break;
        }
        unsigned value = 0;
        for (int n = 0; n < 4 && i < text.size() && hexDigit(text[i]) >= 0; ++n) value = value * 16 + hexDigit(text[i++]);
        out += static_cast<char16_t>(value);
        break;
      }
      default:
        if (e >= u'0' && e <= u'7') {
          unsigned value = e - u'0';
          for (int n = 0; n < 2 && i < text.size() && text[i] >= u'0' && text[i] <= u'7'; ++n) {
            value = value * 8 + (text[i++] - u'0');
          }
          out += static_cast<char16_t>(value);
        } else {
          out += e;
        }
    }
  }
  return false;
}

// Data types as Wine tags them (get_data_type).
enum class Parse { String, Dword, Hex };

class WineParser {
 public:
  WineParser(ByteSource& bytes, const std::string& sourceName, RegFileSink& sink, WineArch& arch)
      : reader_(bytes), sourceName_(sourceName), sink_(sink), arch_(arch) {}

  std::string run() {
    arch_ = WineArch::Unknown;
    reader_.limitLines(kLongestFirstLine);
    std::u16string_view line;
    if (!nextLine(line) || line != u"WINE REGISTRY Version 2") {
      return error_.empty() ? sourceName_ + ":1: not a Wine registry file (no \"WINE REGISTRY Version 2\")" : error_;
    }
    reader_.limitLines(kLongestLine);
    while (nextLine(line)) {
      if (!statement(skipSpaces(line))) return error_;
    }
    if (!error_.empty()) return error_;
    finishSection();
    return {};
  }

 private:
  bool fail(const std::string& what) {
    error_ = sourceName_ + ":" + std::to_string(lineNumber_) + ": " + what;
    return false;
  }

  bool nextLine(std::u16string_view& line) {
    if (reader_.next(line)) {
      ++lineNumber_;
      return true;
    }
    if (reader_.lineTooLong()) {
      ++lineNumber_;
      fail("line longer than " + std::to_string(kLongestLine) + " characters");
    } else if (!reader_.error().empty()) {
      error_ = sourceName_ + ": " + reader_.error();
    }
    return false;
  }

  bool statement(std::u16string_view text) {
    if (text.empty()) return true;
    switch (text[0]) {
      case u'[': return section(text.substr(1));
      case u'@':
      case u'"': return value(text);
      case u'#': return inSection_ ? keyOption(text) : globalOption(text);
      case u';': return comment(text);
      default: return fail("unrecognized line");
    }
  }

  // Only the machine's keys can be read: user.reg holds a user's, relative to another root.
  bool comment(std::u16string_view text) {
    if (!startsWith(text, kRelativeTo)) return true;
    std::u16string base;
    std::size_t consumed = 0;
    const std::u16string rest = std::u16string(text.substr(kRelativeTo.size())) + u'\n';
    if (!unescape(rest, u'\n', base, consumed)) return fail("malformed comment");
    while (!base.empty() && base[0] == u'\\') base.erase(0, 1);
    std::u16string folded;
    for (char16_t c : base) folded += (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (folded != u"REGISTRY\\MACHINE") return fail("the keys are not a machine's: only a prefix's system.reg can be read");
    return true;
  }

  bool globalOption(std::u16string_view text) {
    if (!startsWith(text, u"#arch=")) return true;  // others are ignored, as Wine does
    const std::u16string_view arch = text.substr(6);
    if (arch == u"win32") {
      arch_ = WineArch::Win32;
    } else if (arch == u"win64") {
      arch_ = WineArch::Win64;
    } else {
      return fail("unknown architecture");
    }
    return true;
  }

  bool keyOption(std::u16string_view text) {
    if (startsWith(text, u"#time=")) {
      std::uint64_t time = 0;
      std::size_t digits = 0;
      for (char16_t c : text.substr(6)) {
        if (hexDigit(c) < 0) return fail("malformed #time");
        if (++digits > 16) return fail("#time beyond 64 bits");
        time = time * 16 + static_cast<std::uint64_t>(hexDigit(c));
      }
      if (digits == 0) return fail("malformed #time");
      if (emitted_) {
        if (!link_) sink_.lastWrite(time);
      } else {
        time_ = time;
      }
    } else if (text == u"#link") {
      if (emitted_) return fail("#link after the key's values");
      link_ = true;
    }
    return true;  // #class and others do not concern the detector
  }

  bool section(std::u16string_view text) {
    finishSection();
    std::size_t consumed = 0;
    if (!unescape(text, u']', path_, consumed)) return fail("malformed key: no closing ]");
    std::u16string_view rest = skipSpaces(text.substr(consumed));
    std::optional<std::uint64_t> seconds;
    if (!rest.empty()) {
      std::uint64_t value = 0;
      std::size_t i = 0;
      for (; i < rest.size() && rest[i] >= u'0' && rest[i] <= u'9'; ++i) {
        value = value * 10 + (rest[i] - u'0');
        if (value > 0xFFFFFFFFull) return fail("malformed key time");
      }
      if (i == 0 || !skipSpaces(rest.substr(i)).empty()) return fail("malformed key: text after the time");
      seconds = value;
    }
    parts_.clear();
    std::u16string_view path(path_);
    while (!path.empty()) {
      const std::size_t cut = path.find(u'\\');
      const std::u16string_view part = path.substr(0, cut);
      if (part.empty()) return fail("malformed key path");
      if (!acceptableKeyName(part)) return fail("key name longer than 255 characters");
      parts_.push_back(part);
      if (parts_.size() > kMaxKeyDepth) return fail("key path nested too deeply");
      if (cut == std::u16string_view::npos) break;
      path.remove_prefix(cut + 1);
      if (path.empty()) return fail("malformed key path");
    }
    inSection_ = true;
    emitted_ = false;
    link_ = false;
    time_.reset();
    if (seconds) time_ = *seconds * 10000000ull + kUnixEpochInFileTime;
    return true;
  }

  // The key goes to the sink when it is certain what it is: at its first value, or when the
  // next section starts.
  void emitSection() {
    if (emitted_) return;
    emitted_ = true;
    if (link_) return;
    sink_.section(Hive::LocalMachine, parts_, false);
    if (time_) sink_.lastWrite(*time_);
  }
  void finishSection() {
    if (inSection_) emitSection();
  }

  bool value(std::u16string_view text) {
    if (!inSection_) return fail("value without a key");
    std::size_t at = 1;
    name_.clear();
    if (text[0] == u'"') {
      std::size_t consumed = 0;
      if (!unescape(text.substr(1), u'"', name_, consumed)) return fail("malformed value name");
      at = 1 + consumed;
    }
    std::u16string_view rest = skipSpaces(text.substr(at));
    if (rest.empty() || rest[0] != u'=') return fail("malformed value: no =");
    rest = skipSpaces(rest.substr(1));

    win::DWORD type = win::REG_SZ;
    Parse parse = Parse::String;
    if (startsWith(rest, u"\"")) {
      rest.remove_prefix(1);
    } else if (startsWith(rest, u"str:\"")) {
      rest.remove_prefix(5);
    } else if (startsWith(rest, u"str(2):\"")) {
      type = win::REG_EXPAND_SZ;
      rest.remove_prefix(8);
    } else if (startsWith(rest, u"str(7):\"")) {
      type = win::REG_MULTI_SZ;
      rest.remove_prefix(8);
    } else if (startsWith(rest, u"dword:")) {
      type = win::REG_DWORD;
      parse = Parse::Dword;
      rest.remove_prefix(6);
    } else if (startsWith(rest, u"hex:")) {
      type = win::REG_BINARY;
      parse = Parse::Hex;
      rest.remove_prefix(4);
    } else if (startsWith(rest, u"hex(")) {
      parse = Parse::Hex;
      std::size_t i = 4;
      std::uint64_t number = 0;
      for (; i < rest.size() && hexDigit(rest[i]) >= 0; ++i) {
        number = number * 16 + static_cast<std::uint64_t>(hexDigit(rest[i]));
        if (number > 0xFFFFFFFFull) return fail("malformed value type");
      }
      if (i == 4 || !startsWith(rest.substr(i), u"):")) return fail("malformed value type");
      type = static_cast<win::DWORD>(number);
      rest.remove_prefix(i + 2);
    } else {
      return fail("unknown value type");
    }

    data_.clear();
    bool read = false;
    switch (parse) {
      case Parse::String: read = stringData(rest); break;
      case Parse::Dword: read = dwordData(rest); break;
      case Parse::Hex: read = hexData(rest); break;
    }
    if (!read) return false;
    emitSection();
    if (!link_) sink_.value(name_, type, data_);
    return true;
  }

  // UTF-16LE with the terminating zero, as Wine keeps it.
  bool stringData(std::u16string_view text) {
    std::size_t consumed = 0;
    if (!unescape(text, u'"', text_, consumed)) return fail("malformed string: no closing quote");
    if (!skipSpaces(text.substr(consumed)).empty()) return fail("malformed string: text after it");
    data_.reserve((text_.size() + 1) * 2);
    for (char16_t c : text_) {
      data_.push_back(static_cast<win::BYTE>(c & 0xFF));
      data_.push_back(static_cast<win::BYTE>(c >> 8));
    }
    data_.push_back(0);
    data_.push_back(0);
    return true;
  }

  bool dwordData(std::u16string_view text) {
    std::uint32_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
      if (i == 8) return fail("malformed dword: more than 8 digits");
      value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[i]));
    }
    if (i == 0 || !skipSpaces(text.substr(i)).empty()) return fail("malformed dword");
    for (int shift = 0; shift < 32; shift += 8) data_.push_back(static_cast<win::BYTE>(value >> shift));
    return true;
  }

  // Bytes as comma-separated hex; a backslash at the end continues on the next line.
  bool hexData(std::u16string_view text) {
    for (;;) {
      text = skipSpaces(text);
      while (!text.empty() && hexDigit(text[0]) >= 0) {
        unsigned byte = static_cast<unsigned>(hexDigit(text[0]));
        std::size_t used = 1;
        if (text.size() > 1 && hexDigit(text[1]) >= 0) byte = byte * 16 + static_cast<unsigned>(hexDigit(text[used++]));
        data_.push_back(static_cast<win::BYTE>(byte));
        text = skipSpaces(text.substr(used));
        if (!text.empty() && text[0] == u',') text = skipSpaces(text.substr(1));
      }
      if (text.empty()) return true;
      if (text != u"\\") return fail("malformed hex data");
      std::u16string_view next;
      if (!nextLine(next)) return error_.empty() ? fail("hex data continues past the end of the file") : false;
      text = next;
    }
  }

  RegTextReader reader_;
  const std::string& sourceName_;
  RegFileSink& sink_;
  WineArch& arch_;
  std::string error_;
  std::size_t lineNumber_ = 0;

  bool inSection_ = false;
  bool emitted_ = false;
  bool link_ = false;
  std::optional<std::uint64_t> time_;
  std::u16string path_;
  std::vector<std::u16string_view> parts_;  // views into path_
  std::u16string name_;
  std::u16string text_;
  std::vector<win::BYTE> data_;
};

}  // namespace

std::string parseWineRegistry(ByteSource& bytes, const std::string& sourceName, RegFileSink& sink, WineArch& arch) {
  return WineParser(bytes, sourceName, sink, arch).run();
}

}  // namespace portable
