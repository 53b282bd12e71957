// Reading .reg text line by line. A section's path is taken apart once, at its header,
// and the values below it go straight to the sink: nothing per line is kept.
#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/text.h"
#include "registry/registry_bytes.h"
#include "registry/registry_operations.h"
#include "registry_files/reg_file.h"
#include "shared/name_folding.h"

namespace portable {

namespace {

constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeader4 = u"REGEDIT4";
constexpr std::u16string_view kTimeComment = u";last-write-time=";
// A first line longer than this cannot be a header: a binary file is refused at once.
constexpr std::size_t kLongestFirstLine = 4096;
// The longest line read at all (a string value of 32 MB).
constexpr std::size_t kLongestLine = std::size_t{1} << 24;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trimLeft(std::u16string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::u16string_view trimRight(std::u16string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::u16string_view trim(std::u16string_view s) { return trimRight(trimLeft(s)); }

bool startsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && sameName(s.substr(0, prefix.size()), prefix);
}

// Looked up: a hex list's every digit comes here.
int hexDigit(char16_t c) {
  static constexpr auto kDigits = [] {
    std::array<signed char, 128> digits{};
    for (int i = 0; i < 128; ++i) {
      digits[i] = static_cast<signed char>(i >= '0' && i <= '9'   ? i - '0'
                                           : i >= 'a' && i <= 'f' ? i - 'a' + 10
                                           : i >= 'A' && i <= 'F' ? i - 'A' + 10
                                                                  : -1);
    }
    return digits;
  }();
  return c < 128 ? kDigits[c] : -1;
}

// 1 to maxDigits hex digits, nothing else.
bool parseHexNumber(std::u16string_view s, std::size_t maxDigits, std::uint64_t& value) {
  if (s.empty() || s.size() > maxDigits) return false;
  value = 0;
  for (char16_t c : s) {
    int d = hexDigit(c);
    if (d < 0) return false;
    value = value * 16 + static_cast<unsigned>(d);
  }
  return true;
}

// The first `unit` in s[from, ...), or npos: eight units at a time with SSE2, as every section
// line of a large export is looked through.
std::size_t findUnit(std::u16string_view s, char16_t unit, std::size_t from = 0) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
  for (; at + 8 <= s.size(); at += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + at));
    const int found = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
    if (found != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found))) / 2;
  }
#endif
  return s.find(unit, at);
}

// Where two texts first differ, or the shorter one's length: eight units at a time with SSE2,
// as each section line of a large export is compared with the one before.
std::size_t firstDifference(std::u16string_view a, std::u16string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t at = 0;
#if defined(__SSE2__)
  for (; at + 8 <= common; at += 8) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + at));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data() + at));
    const unsigned differ = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(x, y))) ^ 0xFFFFu;
    if (differ != 0) return at + static_cast<std::size_t>(__builtin_ctz(differ)) / 2;
  }
#endif
  while (at < common && a[at] == b[at]) ++at;
  return at;
}

// The first quote or backslash in s[from, ...), or s.size(): the end of a string's plain run.
std::size_t plainRunEnd(std::u16string_view s, std::size_t from) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi16(u'"'), backslash = _mm_set1_epi16(u'\\');
  for (; at + 8 <= s.size(); at += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + at));
    const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, quote), _mm_cmpeq_epi16(units, backslash)));
    if (found != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found))) / 2;
  }
#endif
  while (at < s.size() && s[at] != u'"' && s[at] != u'\\') ++at;
  return at;
}

// The names in path.text[first, end), a backslash between each two, added to its parts; a
// trailing backslash ends no name.
void addNames(RegPath& path, std::size_t first, std::size_t end) {
  for (std::size_t start = first; start < end;) {
    const std::size_t stop = std::min(findUnit(path.text, u'\\', start), end);
    if (stop > start) {
      path.parts.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(stop - start));
    }
    start = stop + 1;
  }
}

}  // namespace

namespace {

// "A\B\C" into views of its components; a single trailing backslash is allowed. False
// for a leading backslash or an empty component. `nul`: whether the path holds a NUL. One
// pass, eight units at a time with SSE2: every section line of a large export comes here.
bool splitComponents(std::u16string_view path, std::vector<std::u16string_view>& components, bool& nul) {
  components.clear();
  nul = false;
  if (path.empty()) return true;
  if (path.back() == u'\\') path.remove_suffix(1);
  bool empty = false;
  std::size_t start = 0;
  const auto name = [&](std::size_t end) {
    empty = empty || end == start;
    components.push_back(path.substr(start, end - start));
    start = end + 1;
  };
  std::size_t at = 0;
#if defined(__SSE2__)
  const __m128i backslash = _mm_set1_epi16(u'\\'), zero = _mm_setzero_si128();
  for (; at + 8 <= path.size(); at += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(path.data() + at));
    nul = nul || _mm_movemask_epi8(_mm_cmpeq_epi16(units, zero)) != 0;
    for (unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, backslash))); found != 0;
         found &= found - 1, found &= found - 1) {
      name(at + static_cast<std::size_t>(__builtin_ctz(found)) / 2);
    }
  }
#endif
  for (; at < path.size(); ++at) {
    nul = nul || path[at] == u'\0';
    if (path[at] == u'\\') name(at);
  }
  name(path.size());
  return !empty;
}

// Whether a value line starts a hex list that goes on in the next line, told without reading
// the value: the name ("..." with its escapes, or @), '=', "hex", and a backslash at the end.
bool startsHexContinuation(std::u16string_view s) {
  s = trim(s);
  if (s.empty() || s.back() != u'\\') return false;
  std::size_t pos = 1;
  if (s.front() == u'"') {
    while (pos < s.size() && s[pos] != u'"') pos += s[pos] == u'\\' ? 2 : 1;
    ++pos;
  } else if (s.front() != u'@') {
    return false;
  }
  if (pos >= s.size()) return false;
  std::u16string_view rest = trimLeft(s.substr(pos));
  if (rest.empty() || rest.front() != u'=') return false;
  return startsWithNoCase(trimLeft(rest.substr(1)), u"hex");
}

class Parser {
 public:
  Parser(const std::string& source, RegFileSink& sink) : source_(source), sink_(&sink) {}

  // Ready for another section of the same file, keeping its buffers.
  void restart(RegFileSink& sink) {
    sink_ = &sink;
    line_ = 0;
    failed_ = false;
    inSection_ = deletion_ = continuing_ = false;
  }

  bool ok() const { return !failed_; }
  // Empty, or "<source>:<line>: <what>" for the first failure.
  std::string error() const {
    return failed_ ? source_ + ":" + std::to_string(errorLine_) + ": " + errorWhat_ : std::string();
  }
  std::size_t lineNumber() const { return line_; }

  void fail(std::size_t lineNumber, const std::string& what) {
    if (failed_) return;
    failed_ = true;
    errorLine_ = lineNumber;
    errorWhat_ = what;
  }
  // Another parser's failure, as this one's (the same file's).
  void takeFailure(const Parser& other) {
    failed_ = other.failed_;
    errorLine_ = other.errorLine_;
    errorWhat_ = other.errorWhat_;
  }
  // Lines numbered from a guess (the lines between sections are not counted as they are
  // passed): the failure's line as it is when `guessed` is in truth line `actual`.
  void renumberFailure(std::size_t guessed, std::size_t actual) { errorLine_ = errorLine_ - guessed + actual; }
  void fail(const std::string& what) { fail(line_, what); }
  void lineTooLong(std::size_t lineNumber) {
    fail(lineNumber, "line longer than " + std::to_string(kLongestLine) + " characters");
  }

  void line(std::u16string_view text) {
    ++line_;
    if (line_ == 1) return header(text);
    if (continuing_) return continuation(text);
    statement(text);
  }

  // A line met out of order: the index passes lines it has no need of, and a section is read
  // from its own line on.
  void lineAt(std::size_t number, std::u16string_view text) {
    line_ = number - 1;
    line(text);
  }
  // A section read alone: what the index learnt of the file's header.
  void startAfterHeader(bool unicode) {
    unicode_ = unicode;
    if (line_ == 0) line_ = 1;
  }
  bool unicode() const { return unicode_; }
  bool inSection() const { return inSection_; }
  // A section line the index has checked: nothing of it is needed again but that it begins a
  // section (deletions are never read on demand).
  void enterCheckedSection(std::size_t number) {
    line_ = number;
    inSection_ = true;
    deletion_ = false;
  }
  // The index's view of hex lists that go on in the next line, which it does not read.
  bool continuing() const { return continuing_; }
  void setContinuing(bool on) { continuing_ = on; }

  void finish() {
    if (line_ == 0) return notRegistryFile();
    if (continuing_) fail(hexStart_, "continuation line missing at the end of the file");
  }

  void notRegistryFile() {
    fail(1, "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"");
  }

 private:
  void header(std::u16string_view text) {
    std::u16string_view first = trimRight(text);
    if (first != kHeader5 && first != kHeader4) return notRegistryFile();
    unicode_ = first == kHeader5;
  }

  void statement(std::u16string_view text) {
    std::u16string_view s = trimLeft(text);
    if (s.empty()) return;
    if (s.front() == u';') return comment(s);
    if (s.front() == u'[') return section(trimRight(s));
    if (s.front() == u'"' || s.front() == u'@') return value(s);
    fail("unrecognised line");
  }

  void comment(std::u16string_view s) {
    std::uint64_t stamp = 0;
    if (!inSection_ || deletion_ || s.substr(0, kTimeComment.size()) != kTimeComment) return;
    if (!parseHexNumber(trimRight(s.substr(kTimeComment.size())), 16, stamp)) return;
    sink_->lastWrite(stamp);
  }

  void section(std::u16string_view s) {
    if (s.back() != u']') return fail("key section without a closing ']'");
    std::u16string_view inner = s.substr(1, s.size() - 2);
    bool deletion = !inner.empty() && inner.front() == u'-';
    if (deletion) inner.remove_prefix(1);
    std::size_t slash = findUnit(inner, u'\\');
    std::u16string_view rootName = inner.substr(0, slash);
    std::u16string_view rest = slash == std::u16string_view::npos ? std::u16string_view() : inner.substr(slash + 1);
    Hive hive;
    if (!hiveNamed(rootName, hive)) return fail("unknown root key \"" + platform::toUtf8(rootName) + "\"");
    bool nul = false;
    if (!splitComponents(rest, path_, nul) || (slash != std::u16string_view::npos && rest.empty())) {
      return fail("empty key name in the path");
    }
    // What else makes a name unacceptable (acceptableKeyName) a line's names cannot hold: a
    // line break, or a backslash between its names.
    if (nul) return fail("key name longer than 255 characters");
    for (std::u16string_view part : path_) {
      if (part.size() > kMaxKeyNameLength) return fail("key name longer than 255 characters");
    }
    if (path_.size() > kMaxKeyDepth) return fail("key path nested too deeply");
    if (deletion && path_.empty()) return fail("a root key cannot be deleted");
    sink_->section(hive, path_, deletion);
    inSection_ = true;
    deletion_ = deletion;
  }

  // Every section line names one, mostly spelled as the table spells it.
  static bool hiveNamed(std::u16string_view name, Hive& hive) {
    static const std::array<std::u16string_view, kHiveCount> names = [] {
      std::array<std::u16string_view, kHiveCount> all;
      for (int i = 0; i < kHiveCount; ++i) all[i] = hiveName(static_cast<Hive>(i));
      return all;
    }();
    for (int i = 0; i < kHiveCount; ++i) {
      if (sameName(name, names[i])) {
        hive = static_cast<Hive>(i);
        return true;
      }
    }
    return false;
  }

  // A "..." string at s[pos]; pos ends after the closing quote.
  bool quoted(std::u16string_view s, std::size_t& pos, std::u16string& text) {
    text.clear();
    for (++pos; pos < s.size(); ++pos) {
      // Plain characters up to the next quote or backslash go over in one piece.
      const std::size_t plain = plainRunEnd(s, pos);
      text.append(s.substr(pos, plain - pos));
      pos = plain;
      if (pos == s.size()) break;
      if (s[pos] == u'"') {
        ++pos;
        return true;
      }
      if (++pos == s.size()) break;
      switch (s[pos]) {
        case u'\\': text += u'\\'; break;
        case u'"': text += u'"'; break;
        case u'n': text += u'\n'; break;
        case u'r': text += u'\r'; break;
        default:
          fail("unknown escape \"\\" + platform::toUtf8(s.substr(pos, 1)) + "\" in a string");
          return false;
      }
    }
    fail("string without a closing quote");
    return false;
  }

  void value(std::u16string_view s) {
    std::size_t pos = 0;
    if (s.front() == u'@') {
      name_.clear();
      pos = 1;
    } else if (!quoted(s, pos, name_)) {
      return;
    }
    std::u16string_view rest = trimLeft(s.substr(pos));
    if (rest.empty() || rest.front() != u'=') return fail("expected '=' after the value name");
    rest = trimLeft(rest.substr(1));
    if (!inSection_) return fail("value outside a key section");
    if (deletion_) return fail("value inside a key deletion");

    data_.clear();
    if (!rest.empty() && rest.front() == u'-') {
      if (!trim(rest.substr(1)).empty()) return fail("unexpected text after '-'");
      return sink_->removeValue(name_);
    }
    if (!rest.empty() && rest.front() == u'"') {
      std::size_t at = 0;
      if (!quoted(rest, at, text_)) return;
      if (!trim(rest.substr(at)).empty()) return fail("unexpected text after the string");
      text_ += u'\0';
      appendBytes(text_);
      return sink_->value(name_, win::REG_SZ, data_);
    }
    if (startsWithNoCase(rest, u"dword:")) {
      std::uint64_t number = 0;
      if (!parseHexNumber(trim(rest.substr(6)), 8, number)) return fail("dword needs 1 to 8 hex digits");
      for (int i = 0; i < 4; ++i) data_.push_back(static_cast<win::BYTE>(number >> (8 * i)));
      return sink_->value(name_, win::REG_DWORD, data_);
    }
    if (startsWithNoCase(rest, u"hex")) return hexValue(rest.substr(3));
    fail("unrecognised value data");
  }

  void appendBytes(std::u16string_view units) {
    std::size_t at = data_.size();
    data_.resize(at + units.size() * 2);
    win::BYTE* out = data_.data() + at;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (!units.empty()) std::memcpy(out, units.data(), units.size() * 2);
#else
    for (char16_t c : units) {
      *out++ = static_cast<win::BYTE>(c & 0xFF);
      *out++ = static_cast<win::BYTE>(c >> 8);
    }
#endif
  }

  // hex:..., hex(N):..., possibly continued on the lines that follow.
  void hexValue(std::u16string_view s) {
    hexType_ = win::REG_BINARY;
    if (!s.empty() && s.front() == u'(') {
      std::size_t close = s.find(u')');
      std::uint64_t type = 0;
      if (close == std::u16string_view::npos || !parseHexNumber(s.substr(1, close - 1), 8, type)) {
        return fail("hex( needs a type of 1 to 8 hex digits and a ')'");
      }
      hexType_ = static_cast<win::DWORD>(type);
      s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != u':') return fail("expected ':' after hex");
    hexStart_ = line_;
    list_.assign(trimRight(s.substr(1)));
    moreHex();
  }

  void continuation(std::u16string_view text) {
    list_ += trimRight(trimLeft(text));
    moreHex();
  }

  // A list that ends with a backslash goes on in the next line.
  void moreHex() {
    continuing_ = !list_.empty() && list_.back() == u'\\';
    if (continuing_) {
      list_.pop_back();
      return;
    }
    std::u16string_view bytes = trim(list_);
    std::size_t pos = 0;
    data_.reserve(data_.size() + bytes.size() / 3 + 1);
    while (!bytes.empty() && pos <= bytes.size()) {
      // Mostly "hh," as regedit writes it: read at once; anything else as the token it is.
      if (pos + 2 <= bytes.size()) {
        const int high = hexDigit(bytes[pos]), low = hexDigit(bytes[pos + 1]);
        const bool last = pos + 2 == bytes.size();
        if (high >= 0 && low >= 0 && (last || bytes[pos + 2] == u',')) {
          data_.push_back(static_cast<win::BYTE>(high * 16 + low));
          if (last) break;
          pos += 3;
          continue;
        }
      }
      std::size_t comma = bytes.find(u',', pos);
      std::u16string_view token = trim(bytes.substr(pos, comma == std::u16string_view::npos ? comma : comma - pos));
      std::uint64_t byte = 0;
      if (!parseHexNumber(token, 2, byte)) return fail("bad hex byte \"" + platform::toUtf8(token) + "\"");
      data_.push_back(static_cast<win::BYTE>(byte));
      if (comma == std::u16string_view::npos) break;
      pos = comma + 1;
    }
    // REGEDIT4 keeps expandable and multi strings as narrow text.
    if (!unicode_ && (hexType_ == win::REG_EXPAND_SZ || hexType_ == win::REG_MULTI_SZ)) {
      std::u16string units = decodeNarrow(std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size()));
      data_.clear();
      appendBytes(units);
    }
    sink_->value(name_, hexType_, data_);
  }

  const std::string& source_;
  RegFileSink* sink_;
  std::size_t line_ = 0;
  bool unicode_ = true;
  bool failed_ = false;
  std::size_t errorLine_ = 0;
  std::string errorWhat_;
  bool inSection_ = false;
  bool deletion_ = false;
  // Reused from line to line.
  std::vector<std::u16string_view> path_;
  std::u16string name_;
  std::u16string text_;
  std::vector<win::BYTE> data_;
  // A hex list being read across lines.
  bool continuing_ = false;
  std::size_t hexStart_ = 0;
  win::DWORD hexType_ = win::REG_BINARY;
  std::u16string list_;
};

// Takes the sections' paths as the index passes them.
class IndexSink final : public RegFileSink {
 public:
  explicit IndexSink(RegIndex& index) : index_(index) {}

  void section(Hive hive, const std::vector<std::u16string_view>& path, bool deletion) override {
    if (deletion) index_.deletions = true;
    Names& current = names_[count_ % 2];
    const Names& before = names_[(count_ + 1) % 2];
    current.hive = hive;
    // The names lie end to end in the line, a backslash between each two.
    if (path.empty()) {
      current.text.clear();
    } else {
      current.text.assign(path.front().data(), path.back().data() + path.back().size());
    }
    // In order as long as no path comes before the one above it.
    if (count_ > 0 && index_.ordered) index_.ordered = !comesBefore(current, before);
    if (count_ == 0) first_ = current;
    depth_ = path.size();
    hive_ = hive;
    ++count_;
  }

  std::size_t depth() const { return depth_; }
  Hive hive() const { return hive_; }

  // Whether the first section this one took comes before the last one `before` took: the
  // index's two halves in order where they meet.
  bool startsBefore(const IndexSink& before) const {
    return count_ > 0 && before.count_ > 0 && comesBefore(first_, before.names_[(before.count_ + 1) % 2]);
  }

 private:
  struct Names {
    Hive hive = Hive::LocalMachine;
    std::u16string text;
  };

  // regPathLess for neighbours in the file, told mostly by where their spellings part: the
  // names before that point are the same.
  static bool comesBefore(const Names& path, const Names& before) {
    if (path.hive != before.hive) return path.hive < before.hive;
    const std::u16string_view a(path.text), b(before.text);
    const std::size_t differ = firstDifference(a, b);
    if (differ == b.size()) return false;  // the same key, or one below it, or a longer name
    if (differ == a.size()) return true;   // a key above, or a shorter name
    // A name that ends where the other goes on comes first.
    if (a[differ] == u'\\') return true;
    if (b[differ] == u'\\') return false;
    if (upcaseChar(a[differ]) != upcaseChar(b[differ])) return upcaseChar(a[differ]) < upcaseChar(b[differ]);
    return regPathLess(split(path), split(before));  // spelled in another case: name by name
  }

  static RegPath split(const Names& names) {
    RegPath path;
    path.hive = names.hive;
    path.text = names.text;
    addNames(path, 0, path.text.size());
    return path;
  }

  RegIndex& index_;
  Names names_[2];  // this section's and the one before
  Names first_;
  std::size_t count_ = 0;
  std::size_t depth_ = 0;
  Hive hive_ = Hive::LocalMachine;
};

}  // namespace

bool regPathLess(const RegPath& a, const RegPath& b) {
  if (a.hive != b.hive) return a.hive < b.hive;
  const std::size_t common = std::min(a.parts.size(), b.parts.size());
  for (std::size_t i = 0; i < common; ++i) {
    const std::u16string_view x = a.part(i), y = b.part(i);
    if (sameName(x, y)) continue;  // neighbouring sections mostly share their first names
    return foldedLess(x, y);
  }
  return a.parts.size() < b.parts.size();
}

namespace {

// A large export's sections are looked for in two halves at once, the second from the first
// section line past the middle that no list can run into.
constexpr std::size_t kHalvedFrom = std::size_t{4} << 20;

// The index's look at a stretch of the file, with its own reader and parser, into its own
// part of the index.
class IndexPass {
 public:
  IndexPass(std::string_view text, const std::string& sourceName, RegIndex& part)
      : lines(text), sink(part), parser(sourceName, sink), part_(part) {}

  // The header and all before the first section, which no key reads, line by line. False
  // when there is no section, or a failure.
  bool untilFirstSection() {
    while (parser.ok() && part_.sections.empty() && lines.next(known_)) {
      if (known_.number == 1) {
        if (lines.tooLong() || (known_.end - known_.begin) / (lines.utf16() ? 2 : 1) > kLongestFirstLine) {
          parser.notRegistryFile();
          break;
        }
        parser.lineAt(1, lines.decode(known_));
      } else if (!tooLong(known_)) {
        if (known_.first == u'[') {
          checkSection(known_);
        } else {
          parser.lineAt(known_.number, lines.decode(known_));
        }
      }
    }
    return parser.ok() && !part_.sections.empty();
  }

  // From a section line no list runs into (the file's header read before).
  void startAt(const RegLines::Line& section, bool unicode) {
    parser.startAfterHeader(unicode);
    lines.seek(section.begin, 2);  // numbered from a guess, as the lines in between are
    known_ = section;
  }

  // Then only the lines that start with '[' or ';', up to `end` (bytes): a value's lines are
  // read with its key. A line that continues a hex list is no section: where the line before
  // ends in a backslash, the lines since the last one looked at are followed (each of them
  // once in all). Lines are counted only for a failure's message.
  void sections(std::size_t end) {
    RegLines::Line line;
    while (parser.ok() && lines.nextMarked(u'[', part_.recordedTimes ? u'[' : u';', line) && line.begin < end) {
      // A list goes on only into the line after one that ends in a backslash.
      if (!lines.afterBackslash(line)) {
        parser.setContinuing(false);
      } else if (!followContinuation(line)) {
        break;
      }
      if (tooLong(line)) {
        // reported below, with its true number
      } else if (parser.continuing()) {
        parser.setContinuing(line.last == u'\\');
      } else if (line.first == u'[') {
        checkSection(line);
      } else if (!part_.recordedTimes) {
        part_.recordedTimes = startsWithNoCase(trimLeft(lines.decode(line)), kTimeComment);
      }
      if (!parser.ok()) {
        parser.renumberFailure(line.number, lines.numberAt(line.begin));
        break;
      }
      known_ = line;
    }
  }

  RegLines lines;
  IndexSink sink;
  Parser parser;

 private:
  void checkSection(const RegLines::Line& line) {
    parser.lineAt(line.number, lines.decode(line));
    if (!parser.ok()) return;
    RegSection section;
    section.begin = line.begin;
    section.depth = static_cast<std::uint16_t>(sink.depth());
    section.hive = static_cast<std::uint8_t>(sink.hive());
    part_.sections.push_back(section);
  }

  bool tooLong(const RegLines::Line& line) {
    if (!lines.tooLong()) return false;
    parser.lineTooLong(line.number);
    return true;
  }

  // Whether a hex list goes on into `target`: the lines after the last one looked at followed
  // as they would be read. False, with the parser's failure, for a line too long.
  bool followContinuation(const RegLines::Line& target) {
    RegLines::Line line;
    lines.seek(known_.begin, known_.number);
    lines.next(line);
    while (lines.next(line) && line.begin < target.begin) {
      if (tooLong(line)) {
        parser.renumberFailure(line.number, lines.numberAt(line.begin));
        return false;
      }
      if (parser.continuing()) {
        parser.setContinuing(line.last == u'\\');
      } else if ((line.first == u'"' || line.first == u'@') && line.last == u'\\') {
        parser.setContinuing(startsHexContinuation(lines.decode(line)));
      }
    }
    lines.seek(target.begin, target.number);
    lines.next(line);
    return true;
  }

  RegIndex& part_;
  RegLines::Line known_;  // the last line looked at; parser.continuing() holds after it
};

// The first section line from the middle of text[from, ...) on that no list can run into (the
// line before it ends in no backslash); false when there is none.
bool findMiddleSection(std::string_view text, std::size_t from, RegLines::Line& section) {
  RegLines lines(text);
  std::size_t middle = from + (text.size() - from) / 2;
  if (lines.utf16()) middle -= (middle - 2) % 2;  // on a whole code unit, after the byte-order mark
  lines.seek(middle, 2);
  RegLines::Line rest;
  if (!lines.next(rest)) return false;  // the end of the line the middle falls in
  while (lines.nextMarked(u'[', u'[', section)) {
    if (!lines.afterBackslash(section)) return true;
  }
  return false;
}

// The sections from `middle` on looked for by a second thread while `first` looks for those
// before it; then the second half's joined to the first's, unless the first failed.
void indexHalves(IndexPass& first, std::string_view text, const std::string& sourceName, const RegLines::Line& middle,
                 RegIndex& index) {
  RegIndex secondPart;
  IndexPass second(text, sourceName, secondPart);
  second.startAt(middle, first.parser.unicode());
  std::exception_ptr failure;
  const auto runSecond = [&] {
    try {
      second.sections(text.size());
    } catch (...) {
      failure = std::current_exception();
    }
  };
  {
    std::thread helper;
    try {
      helper = std::thread(runSecond);
    } catch (const std::system_error&) {
      // no second thread: the halves one after the other
    }
    struct Joined {
      std::thread& thread;
      ~Joined() {
        if (thread.joinable()) thread.join();
      }
    } joined{helper};
    first.sections(middle.begin);
    if (!helper.joinable() && first.parser.ok()) runSecond();
  }
  if (failure) std::rethrow_exception(failure);
  if (!first.parser.ok()) return;
  if (!second.parser.ok()) {
    first.parser.takeFailure(second.parser);
    return;
  }
  index.ordered = index.ordered && secondPart.ordered && !second.sink.startsBefore(first.sink);
  index.deletions = index.deletions || secondPart.deletions;
  index.recordedTimes = index.recordedTimes || secondPart.recordedTimes;
  index.sections.append(std::move(secondPart.sections));
}

}  // namespace

std::string indexRegFile(std::string_view text, const std::string& sourceName, RegIndex& index) {
  index = RegIndex();
  IndexPass first(text, sourceName, index);
  if (!first.lines.whole()) return sourceName + ":1: UTF-16 file with an odd number of bytes";
  if (first.untilFirstSection()) {
    RegLines::Line middle;
    const std::size_t from = index.sections.back().begin;
    if (text.size() - from < kHalvedFrom || !findMiddleSection(text, from, middle)) {
      first.sections(text.size());
    } else {
      indexHalves(first, text, sourceName, middle, index);
    }
  }
  Parser& parser = first.parser;
  if (parser.ok()) {
    if (index.sections.empty() && parser.lineNumber() == 0) parser.notRegistryFile();
    // A list left open runs into the end of the file: that is its last section's to report.
  }
  index.unicode = parser.unicode();
  return parser.error();
}

namespace {

// The section line's names, as views into its text: checked by the index, so only split here.
void readRegPath(const RegSection& section, RegLines& lines, RegPath& path) {
  lines.seek(section.begin, 1);
  RegLines::Line line;
  path.hive = static_cast<Hive>(section.hive);
  path.parts.clear();
  if (!lines.next(line)) {
    path.text.clear();
    return;
  }
  path.text = trim(lines.decode(line));
  // "[ROOT\A\B]" or "[-ROOT\A\B]": the names start after the root's backslash.
  const std::size_t at = findUnit(path.text, u'\\');
  if (at == std::u16string::npos) return;
  addNames(path, at + 1, path.text.size() - 1);
}

}  // namespace

struct RegSectionReader::State {
  State(const RegIndex& index, std::string_view text, std::string sourceName)
      : index(index), size(text.size()), lines(text), source(std::move(sourceName)), parser(source, none) {}
  const RegIndex& index;
  const std::size_t size;
  RegLines lines;
  const std::string source;
  RegFileSink none;
  Parser parser;
};

RegSectionReader::RegSectionReader(const RegIndex& index, std::string_view text, std::string sourceName)
    : state_(std::make_unique<State>(index, text, std::move(sourceName))) {}

RegSectionReader::~RegSectionReader() = default;

void RegSectionReader::readPath(std::size_t section, RegPath& path) {
  readRegPath(state_->index.sections[section], state_->lines, path);
}

std::u16string_view RegSectionReader::readName(std::size_t section, std::size_t index) {
  RegLines& lines = state_->lines;
  lines.seek(state_->index.sections[section].begin, 1);
  RegLines::Line line;
  if (!lines.next(line)) return {};
  const std::u16string_view text = trim(lines.decode(line));
  // "[ROOT\A\B]" or "[-ROOT\A\B]": the names start after the root's backslash.
  const std::size_t end = text.size() - 1;
  std::size_t at = findUnit(text, u'\\');
  for (std::size_t skipped = 0; at < end && skipped < index; ++skipped) at = findUnit(text, u'\\', at + 1);
  if (at >= end) return {};
  const std::size_t start = at + 1;
  return text.substr(start, std::min(findUnit(text, u'\\', start), end) - start);
}

std::string RegSectionReader::read(std::size_t position, RegFileSink& sink, bool values) {
  const RegSections& sections = state_->index.sections;
  const RegSection& section = sections[position];
  const std::uint64_t end = position + 1 < sections.size() ? sections[position + 1].begin : state_->size;
  Parser& parser = state_->parser;
  RegLines& lines = state_->lines;
  parser.restart(sink);
  parser.startAfterHeader(state_->index.unicode);
  // Numbered from the section's line as 1 until a failure needs the true numbers.
  parser.enterCheckedSection(1);
  lines.seek(section.begin, 1);
  RegLines::Line line;
  lines.next(line);  // the section's own
  while (parser.ok() && lines.next(line) && line.begin < end) {
    if (lines.tooLong()) {
      parser.lineTooLong(line.number);
      break;
    }
    if (values || line.first == u';') {
      if (values || !parser.continuing()) parser.lineAt(line.number, lines.decode(line));
    } else if (parser.continuing()) {
      parser.setContinuing(line.last == u'\\');
    } else if ((line.first == u'"' || line.first == u'@') && line.last == u'\\') {
      parser.setContinuing(startsHexContinuation(lines.decode(line)));
    }
  }
  if (parser.ok() && values) parser.finish();
  if (!parser.ok()) parser.renumberFailure(1, lines.numberAt(section.begin));
  return parser.error();
}

std::string parseRegFile(ByteSource& bytes, const std::string& sourceName, RegFileSink& sink) {
  RegTextReader reader(bytes);
  if (reader.oddUtf16()) return sourceName + ":1: UTF-16 file with an odd number of bytes";
  Parser parser(sourceName, sink);
  reader.limitLines(kLongestFirstLine);
  std::u16string_view line;
  while (parser.ok() && reader.next(line)) {
    parser.line(line);
    reader.limitLines(kLongestLine);
  }
  if (!parser.ok()) return parser.error();
  if (!reader.error().empty()) {
    parser.fail(parser.lineNumber() + 1, reader.error());
  } else if (reader.lineTooLong()) {
    if (parser.lineNumber() == 0) {
      parser.notRegistryFile();
    } else {
      parser.lineTooLong(parser.lineNumber() + 1);
    }
  } else {
    parser.finish();
  }
  return parser.error();
}

}  // namespace portable
