// Reading Wine's registry files as its wineserver writes and reads them (server/registry.c:
// save_subkeys, dump_value, load_keys, parse_strW). Where Wine's own reader skips a line it
// cannot use, this one refuses the file with the line: a listing must not quietly lack
// what a damaged file held. The file is taken as bytes: Wine writes ASCII, with \x escapes
// for everything beyond it; a byte beyond ASCII that another writer left is taken as Latin-1.
#include <algorithm>
#include <cstring>

#include "registry/registry_operations.h"
#include "registry/stamp_clock.h"
#include "registry_files/wine_registry.h"
#include "shared/name_folding.h"

namespace portable {

namespace {

constexpr std::string_view kRelativeTo = ";; All keys relative to ";

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

std::string_view skipSpaces(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  return text.substr(i);
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Where an escaped text ends: the place after its closing `end`, or npos when it has none.
// Only finding the end: a backslash takes the character after it along, whatever follows.
// Most texts hold no backslash: the end is then one search away.
std::size_t escapedEnd(std::string_view text, char end) {
  const char* const base = text.data();
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const void* close = std::memchr(base + i, end, size - i);
    if (close == nullptr) return std::string_view::npos;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(close) - base);
    const void* escape = std::memchr(base + i, '\\', at - i);
    if (escape == nullptr) return at + 1;
    i = static_cast<std::size_t>(static_cast<const char*>(escape) - base) + 2;
  }
  return std::string_view::npos;
}

// An escaped text up to its closing `end` (parse_strW), appended to `out`: \a \b \e \f \n
// \r \t \v, \x with up to four hex digits, \ with up to three octal digits, and \ before any
// other character for that character. `consumed` counts the closing character. False when
// it is missing.
bool unescape(std::string_view text, char end, std::u16string& out, std::size_t& consumed) {
  consumed = escapedEnd(text, end);
  if (consumed == std::string_view::npos) return false;
  const std::size_t stop = consumed - 1;
  // Never longer than the escaped text: written in place, then cut to length.
  const std::size_t base = out.size();
  out.resize(base + stop);
  char16_t* to = out.data() + base;
  for (std::size_t i = 0; i < stop;) {
    const char c = text[i++];
    if (c != '\\') {
      *to++ = static_cast<char16_t>(static_cast<unsigned char>(c));
      continue;
    }
    const char e = text[i++];
    switch (e) {
      case 'a': *to++ = u'\a'; break;
      case 'b': *to++ = u'\b'; break;
      case 'e': *to++ = char16_t{0x1B}; break;
      case 'f': *to++ = u'\f'; break;
      case 'n': *to++ = u'\n'; break;
      case 'r': *to++ = u'\r'; break;
      case 't': *to++ = u'\t'; break;
      case 'v': *to++ = u'\v'; break;
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        for (; digits < 4 && i < stop && hexDigit(text[i]) >= 0; ++digits) value = value * 16 + hexDigit(text[i++]);
        *to++ = digits == 0 ? u'x' : static_cast<char16_t>(value);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned value = static_cast<unsigned>(e - '0');
          for (int n = 0; n < 2 && i < stop && text[i] >= '0' && text[i] <= '7'; ++n) {
            value = value * 8 + static_cast<unsigned>(text[i++] - '0');
          }
          *to++ = static_cast<char16_t>(value);
        } else {
          *to++ = static_cast<char16_t>(static_cast<unsigned char>(e));
        }
    }
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return true;
}

// The file's lines, as Wine reads them: a line ends at LF, and a CR before it goes too.
class Lines {
 public:
  Lines(std::string_view text, std::size_t offset, std::size_t number) : text_(text), at_(offset), number_(number) {}

  bool next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    const char* start = text_.data() + at_;
    const void* found = std::memchr(start, '\n', text_.size() - at_);
    const std::size_t length = found ? static_cast<std::size_t>(static_cast<const char*>(found) - start) : text_.size() - at_;
    at_ += length + (found ? 1 : 0);
    line = std::string_view(start, length);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return true;
  }
  std::size_t offset() const { return at_; }
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t at_;
  std::size_t number_;  // of the line last read
};

// One value line (and the lines a hex value continues on): "name"=data or @=data.
class ValueReader {
 public:
  // Empty when the value is well-formed; else what is wrong with it.
  std::string read(std::string_view line, Lines& lines) {
    name_.clear();
    data_.clear();
    std::size_t at = 1;
    if (line[0] == '"') {
      std::size_t consumed = 0;
      if (!unescape(line.substr(1), '"', name_, consumed)) return "malformed value name";
      at = 1 + consumed;
    }
    std::string_view rest = skipSpaces(line.substr(at));
    if (rest.empty() || rest[0] != '=') return "malformed value: no =";
    rest = skipSpaces(rest.substr(1));

    type_ = win::REG_SZ;
    if (startsWith(rest, "\"")) return stringData(rest.substr(1));
    if (startsWith(rest, "str:\"")) return stringData(rest.substr(5));
    if (startsWith(rest, "str(2):\"")) {
      type_ = win::REG_EXPAND_SZ;
      return stringData(rest.substr(8));
    }
    if (startsWith(rest, "str(7):\"")) {
      type_ = win::REG_MULTI_SZ;
      return stringData(rest.substr(8));
    }
    if (startsWith(rest, "dword:")) {
      type_ = win::REG_DWORD;
      return dwordData(rest.substr(6));
    }
    if (startsWith(rest, "hex:")) {
      type_ = win::REG_BINARY;
      return hexData(rest.substr(4), lines);
    }
    if (startsWith(rest, "hex(")) {
      std::size_t i = 4;
      std::uint64_t number = 0;
      for (; i < rest.size() && hexDigit(rest[i]) >= 0; ++i) {
        number = number * 16 + static_cast<std::uint64_t>(hexDigit(rest[i]));
        if (number > 0xFFFFFFFFull) return "malformed value type";
      }
      if (i == 4 || !startsWith(rest.substr(i), "):")) return "malformed value type";
      type_ = static_cast<win::DWORD>(number);
      return hexData(rest.substr(i + 2), lines);
    }
    return "unknown value type";
  }

  const std::u16string& name() const { return name_; }
  win::DWORD type() const { return type_; }
  const std::vector<win::BYTE>& data() const { return data_; }

 private:
  // UTF-16LE with the terminating zero, as Wine keeps it.
  std::string stringData(std::string_view text) {
    text_.clear();
    std::size_t consumed = 0;
    if (!unescape(text, '"', text_, consumed)) return "malformed string: no closing quote";
    if (!skipSpaces(text.substr(consumed)).empty()) return "malformed string: text after it";
    data_.reserve((text_.size() + 1) * 2);
    for (char16_t c : text_) {
      data_.push_back(static_cast<win::BYTE>(c & 0xFF));
      data_.push_back(static_cast<win::BYTE>(c >> 8));
    }
    data_.push_back(0);
    data_.push_back(0);
    return {};
  }

  std::string dwordData(std::string_view text) {
    std::uint32_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
      if (i == 8) return "malformed dword: more than 8 digits";
      value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[i]));
    }
    if (i == 0 || !skipSpaces(text.substr(i)).empty()) return "malformed dword";
    for (int shift = 0; shift < 32; shift += 8) data_.push_back(static_cast<win::BYTE>(value >> shift));
    return {};
  }

  // Bytes as comma-separated hex; a backslash at the end continues on the next line.
  std::string hexData(std::string_view text, Lines& lines) {
    for (;;) {
      text = skipSpaces(text);
      while (!text.empty() && hexDigit(text[0]) >= 0) {
        unsigned byte = static_cast<unsigned>(hexDigit(text[0]));
        std::size_t used = 1;
        if (text.size() > 1 && hexDigit(text[1]) >= 0) byte = byte * 16 + static_cast<unsigned>(hexDigit(text[used++]));
        data_.push_back(static_cast<win::BYTE>(byte));
        text = skipSpaces(text.substr(used));
        if (!text.empty() && text[0] == ',') text = skipSpaces(text.substr(1));
      }
      if (text.empty()) return {};
      if (text != "\\") return "malformed hex data";
      if (!lines.next(text)) return "hex data continues past the end of the file";
    }
  }

  std::u16string name_;
  std::u16string text_;
  win::DWORD type_ = win::REG_NONE;
  std::vector<win::BYTE> data_;
};

// #time=<hex FILETIME>; false when malformed.
bool parseTime(std::string_view digits, std::uint64_t& time) {
  time = 0;
  if (digits.empty() || digits.size() > 16) return false;
  for (char c : digits) {
    if (hexDigit(c) < 0) return false;
    time = time * 16 + static_cast<std::uint64_t>(hexDigit(c));
  }
  return true;
}

// A name's code unit as the order compares it: ASCII lowered, as Wine orders names, so that
// its files mostly need no sorting; other letters upper-cased as the store compares them.
// Either way two names fold alike exactly when the store takes them for the same name.
char16_t foldUnit(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  return upcaseWide(c);
}

// The path of a section line (after its '['), decoded and split; false with what is wrong.
bool parsePath(std::string_view text, WinePath& path, std::size_t& consumed, const char*& problem) {
  path.text.clear();
  path.parts.clear();
  if (!unescape(text, ']', path.text, consumed)) {
    problem = "malformed key: no closing ]";
    return false;
  }
  const std::u16string_view t(path.text);
  for (std::size_t start = 0; start < t.size();) {
    const std::size_t end = std::min(t.find(u'\\', start), t.size());
    if (end == start || end + 1 == t.size()) {
      problem = "malformed key path";
      return false;
    }
    if (!acceptableKeyName(t.substr(start, end - start))) {
      problem = "key name longer than 255 characters or holding a zero or a line break";
      return false;
    }
    path.parts.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start));
    if (path.parts.size() > kMaxKeyDepth) {
      problem = "key path nested too deeply";
      return false;
    }
    start = end + 1;
  }
  return true;
}

class Indexer {
 public:
  Indexer(std::string_view text, const std::string& sourceName, WineIndex& index, WineKeys keys)
      : text_(text), lines_(text, 0, 0), sourceName_(sourceName), index_(index), keys_(keys) {}

  std::string run() {
    index_ = WineIndex();
    std::string_view line;
    if (!lines_.next(line) || line != kWineRegistryMagic) {
      return sourceName_ + ":1: not a Wine registry file (no \"WINE REGISTRY Version 2\")";
    }
    index_.sections.reserve(countSectionLines());
    while (lines_.next(line)) {
      const std::string_view trimmed = skipSpaces(line);
      if (trimmed.empty()) continue;
      if (trimmed[0] == '[') {
        if (!section(trimmed, static_cast<std::size_t>(trimmed.data() - text_.data()))) return error_;
      } else if (index_.sections.empty() && !head(trimmed)) {
        return error_;
      }
    }
    return {};
  }

 private:
  // Room for every section at once: the lines that start with '['.
  std::size_t countSectionLines() const {
    std::size_t count = 0;
    for (std::size_t at = text_.find("\n["); at != std::string_view::npos; at = text_.find("\n[", at + 2)) ++count;
    return count;
  }

  bool fail(const std::string& what) {
    error_ = sourceName_ + ":" + std::to_string(lines_.number()) + ": " + what;
    return false;
  }

  // Before the first section: comments and the global options.
  bool head(std::string_view line) {
    switch (line[0]) {
      case ';': return comment(line);
      case '#': return globalOption(line);
      case '@':
      case '"': return fail("value without a key");
      default: return fail("unrecognized line");
    }
  }

  // The keys must be whose they are read as: system.reg holds the machine's, user.reg a
  // user's, each relative to its own root.
  bool comment(std::string_view text) {
    if (!startsWith(text, kRelativeTo)) return true;
    std::u16string base;
    std::size_t consumed = 0;
    unescape(std::string(text.substr(kRelativeTo.size())) + '\n', '\n', base, consumed);
    while (!base.empty() && base[0] == u'\\') base.erase(0, 1);
    constexpr std::u16string_view kUsers = u"REGISTRY\\User\\";
    if (keys_ == WineKeys::User) {
      if (base.size() <= kUsers.size() || !sameName(std::u16string_view(base).substr(0, kUsers.size()), kUsers)) {
        return fail("the keys are not a user's: only a prefix's user.reg can be read as its user's");
      }
    } else if (!sameName(base, u"REGISTRY\\Machine")) {
      return fail("the keys are not a machine's: only a prefix's system.reg can be read");
    }
    return true;
  }

  bool globalOption(std::string_view text) {
    if (!startsWith(text, "#arch=")) return true;  // others are ignored, as Wine does
    const std::string_view arch = text.substr(6);
    if (arch == "win32") {
      index_.arch = WineArch::Win32;
    } else if (arch == "win64") {
      index_.arch = WineArch::Win64;
    } else {
      return fail("unknown architecture");
    }
    return true;
  }

  bool section(std::string_view line, std::size_t offset) {
    WinePath& path = paths_[index_.sections.size() % 2];
    std::size_t consumed = 0;
    const char* problem = nullptr;
    if (!parsePath(line.substr(1), path, consumed, problem)) return fail(problem);
    WineSection current;
    std::string_view rest = skipSpaces(line.substr(1 + consumed));
    if (!rest.empty()) {
      std::uint64_t seconds = 0;
      std::size_t i = 0;
      for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        seconds = seconds * 10 + static_cast<std::uint64_t>(rest[i] - '0');
        if (seconds > 0xFFFFFFFFull) return fail("malformed key time");
      }
      if (i == 0 || !skipSpaces(rest.substr(i)).empty()) return fail("malformed key: text after the time");
      current.headerTime = seconds * 10000000ull + kUnixEpochAsFileTime;
    }
    current.offset = offset;
    current.line = lines_.number();
    current.depth = static_cast<std::uint32_t>(path.parts.size());
    // In order as long as no path comes before the one above it.
    if (!index_.sections.empty() && index_.ordered) {
      index_.ordered = !winePathLess(path, paths_[(index_.sections.size() + 1) % 2]);
    }
    index_.sections.push_back(current);
    return true;
  }

  std::string_view text_;
  Lines lines_;
  const std::string& sourceName_;
  WineIndex& index_;
  WineKeys keys_;
  std::string error_;
  WinePath paths_[2];  // this section's and the one before
};

}  // namespace

namespace {

// The lines of a section after its own.
Lines linesAfter(std::string_view text, const WineSection& section) {
  const std::size_t end = text.find('\n', section.offset);
  return Lines(text, end == std::string_view::npos ? text.size() : end + 1, section.line);
}

}  // namespace

std::string indexWineRegistry(std::string_view text, const std::string& sourceName, WineIndex& index,
                              WineKeys keys) {
  return Indexer(text, sourceName, index, keys).run();
}

void readWinePath(std::string_view text, const WineSection& section, WinePath& path) {
  std::size_t consumed = 0;
  const char* problem = nullptr;
  parsePath(text.substr(section.offset + 1), path, consumed, problem);  // checked by the index
}

int compareWineNames(std::u16string_view a, std::u16string_view b) {
  if (a == b) return 0;  // neighbouring sections mostly share their first names, spelled alike
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = foldUnit(a[i]), y = foldUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool winePathLess(const WinePath& a, const WinePath& b) {
  const std::size_t common = std::min(a.parts.size(), b.parts.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int order = compareWineNames(a.part(i), b.part(i));
    if (order != 0) return order < 0;
  }
  return a.parts.size() < b.parts.size();
}

std::string readWineOptions(std::string_view text, const WineSection& section, const std::string& sourceName,
                            WineKeyOptions& options) {
  options = WineKeyOptions();
  if (section.headerTime != 0) options.time = section.headerTime;
  Lines lines = linesAfter(text, section);
  std::string_view line;
  while (lines.next(line)) {
    line = skipSpaces(line);
    if (line.empty() || line[0] != '#') {
      if (!line.empty() && line[0] == '[') break;
      continue;  // values, comments and the lines a value continues on
    }
    if (startsWith(line, "#time=")) {
      std::uint64_t time = 0;
      if (!parseTime(line.substr(6), time)) return sourceName + ":" + std::to_string(lines.number()) + ": malformed #time";
      options.time = time;
    } else if (line == "#link") {
      options.link = true;
    }  // #class and others do not concern the detector
  }
  return {};
}

std::string readWineValues(std::string_view text, const WineSection& section, const std::string& sourceName,
                           const WineValueSink& add) {
  Lines lines = linesAfter(text, section);
  ValueReader value;
  std::string_view line;
  while (lines.next(line)) {
    line = skipSpaces(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;  // options were read before
    if (line[0] == '[') break;
    const std::size_t number = lines.number();
    if (line[0] != '"' && line[0] != '@') return sourceName + ":" + std::to_string(number) + ": unrecognized line";
    const std::string what = value.read(line, lines);
    if (!what.empty()) return sourceName + ":" + std::to_string(number) + ": " + what;
    add(value.name(), value.type(), value.data());
  }
  return {};
}

}  // namespace portable
