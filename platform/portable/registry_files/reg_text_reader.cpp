#include "registry_files/reg_text_reader.h"

#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/text.h"
#include "registry_files/line_scan.h"

namespace portable {

namespace {

constexpr std::size_t kChunkBytes = 1 << 16;

// Windows-1252 for the bytes that are not UTF-8, looked up once.
const std::array<char16_t, 256>& windows1252() {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> units{};
    for (unsigned b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::u16string unit = platform::fromAnsi(std::string_view(&byte, 1));
      units[b] = unit.size() == 1 ? unit[0] : static_cast<char16_t>(b);
    }
    return units;
  }();
  return table;
}

std::size_t utf8Length(unsigned char lead) {
  return lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
}

// Writes at most bytes.size() code units; returns how many.
std::size_t decodeNarrowInto(std::string_view bytes, char16_t* out) {
  char16_t* const start = out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      *out++ = static_cast<char16_t>(b);
      ++i;
      continue;
    }
    std::size_t length = utf8Length(b);
    char32_t c = 0;
    bool valid = length > 0 && i + length <= bytes.size();
    if (valid) {
      c = b & (0x7F >> length);
      for (std::size_t k = 1; k < length && valid; ++k) {
        auto cb = static_cast<unsigned char>(bytes[i + k]);
        valid = (cb & 0xC0) == 0x80;
        c = (c << 6) | (cb & 0x3F);
      }
      static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
      valid = valid && c >= minimum[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    }
    if (!valid) {
      *out++ = windows1252()[b];
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      *out++ = static_cast<char16_t>(c);
    }
    i += length;
  }
  return static_cast<std::size_t>(out - start);
}

// Bytes at the end that may start a UTF-8 sequence completed by the next chunk.
std::size_t unfinishedSequence(std::string_view bytes) {
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((b & 0xC0) == 0x80) continue;
    return utf8Length(b) > back ? back : 0;
  }
  return 0;
}

// The first CR or LF in text[from, size), or size. A line holds mostly characters above CR:
// whole blocks of them are passed at once, eight code units with SSE2 (every x86-64 has it),
// else four in a 64-bit word. Finding line ends is most of reading a large export
// (docs/benchmarks.md).
std::size_t lineEnd(const char16_t* text, std::size_t from, std::size_t size) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi16(u'\r'), lf = _mm_set1_epi16(u'\n');
  const auto breaks = [&](std::size_t from) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf))));
  };
  for (; at + 16 <= size; at += 16) {
    const unsigned found = breaks(at) | (breaks(at + 8) << 16);
    if (found != 0) return at + static_cast<std::size_t>(__builtin_ctz(found)) / 2;
  }
  for (; at + 8 <= size; at += 8) {
    const unsigned found = breaks(at);
    if (found != 0) return at + static_cast<std::size_t>(__builtin_ctz(found)) / 2;
  }
#else
  constexpr std::uint64_t kOnes = 0x0001000100010001ull;
  constexpr std::uint64_t kHigh = 0x8000800080008000ull;
  while (at + 4 <= size) {
    std::uint64_t word;
    std::memcpy(&word, text + at, sizeof word);
    // Non-zero when some unit is below 0x0E (CR is 0x0D): only those are looked at.
    if (((word - kOnes * 0x0E) & ~word & kHigh) != 0) break;
    at += 4;
  }
#endif
  while (at < size && text[at] != u'\r' && text[at] != u'\n') ++at;
  return at;
}

// The same for narrow text.
std::size_t lineEnd(const char* text, std::size_t from, std::size_t size) {
  std::size_t at = from;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; at + 16 <= size; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
    if (found != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
  }
#endif
  while (at < size && text[at] != '\r' && text[at] != '\n') ++at;
  return at;
}

}  // namespace

std::u16string decodeNarrow(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  out.resize(decodeNarrowInto(bytes, out.data()));
  return out;
}

bool MemoryBytes::read(char* buffer, std::size_t capacity, std::size_t& got, std::string&) {
  got = std::min(capacity, bytes_.size());
  std::memcpy(buffer, bytes_.data(), got);
  bytes_.remove_prefix(got);
  return true;
}

bool FileBytes::read(char* buffer, std::size_t capacity, std::size_t& got, std::string& error) {
  while (true) {
    ssize_t n = ::read(fd_, buffer, capacity);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::string("cannot read: ") + std::strerror(errno);
      return false;
    }
    got = static_cast<std::size_t>(n);
    return true;
  }
}

RegTextReader::RegTextReader(ByteSource& source) : source_(source), bytes_(kChunkBytes), text_(kChunkBytes) {
  // The byte-order mark decides the encoding; it comes with the first chunk.
  fill();
}

bool RegTextReader::fill() {
  textSize_ = 0;
  position_ = 0;
  if (atEnd_) return false;
  std::size_t got = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (utf16_ && carried_ == 0) {
    // UTF-16LE is its own decoding here: straight into the text, without a copy.
    char* into = reinterpret_cast<char*>(text_.data());
    if (!source_.read(into, text_.size() * sizeof(char16_t), got, error_)) {
      atEnd_ = true;
      return false;
    }
    textSize_ = got / 2;
    if (got % 2 != 0) bytes_[carried_++] = into[got - 1];
    if (got == 0) atEnd_ = true;
    return got != 0;
  }
#endif
  if (!source_.read(bytes_.data() + carried_, bytes_.size() - carried_, got, error_)) {
    atEnd_ = true;
    return false;
  }
  std::string_view chunk(bytes_.data(), carried_ + got);
  const bool last = got == 0;
  if (!started_) {
    started_ = true;
    if (chunk.size() >= 2 && chunk.substr(0, 2) == "\xFF\xFE") {
      utf16_ = true;
      chunk.remove_prefix(2);
    } else if (chunk.size() >= 3 && chunk.substr(0, 3) == "\xEF\xBB\xBF") {
      chunk.remove_prefix(3);
    }
  }
  std::size_t keep = 0;
  if (utf16_) {
    keep = last ? 0 : chunk.size() % 2;
    const std::size_t units = (chunk.size() - keep) / 2;
    textSize_ = units;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(text_.data(), chunk.data(), units * 2);
#else
    for (std::size_t i = 0; i < units; ++i) {
      text_[i] = static_cast<char16_t>(static_cast<unsigned char>(chunk[2 * i]) |
                                       (static_cast<unsigned char>(chunk[2 * i + 1]) << 8));
    }
#endif
  } else {
    keep = last ? 0 : unfinishedSequence(chunk);
    textSize_ = decodeNarrowInto(chunk.substr(0, chunk.size() - keep), text_.data());
  }
  std::memmove(bytes_.data(), chunk.data() + chunk.size() - keep, keep);
  carried_ = keep;
  if (last) atEnd_ = true;
  return textSize_ != 0 || !last;
}

bool RegTextReader::next(std::u16string_view& line) {
  if (pendingStarted_) {
    pending_.clear();
    pendingStarted_ = false;
  }
  while (true) {
    if (position_ == textSize_) {
      if (!error_.empty()) return false;
      if (!fill()) {
        if (!error_.empty()) return false;
        if (!pending_.empty()) {
          pendingStarted_ = true;
          line = pending_;
          return true;
        }
        return false;
      }
      continue;
    }
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (text_[position_] == u'\n') {
        ++position_;
        continue;
      }
    }
    const char16_t* text = text_.data();
    const std::size_t size = textSize_;
    const std::size_t end = lineEnd(text, position_, size);
    std::u16string_view segment(text_.data() + position_, end - position_);
    if (end == size) {
      pending_ += segment;
      position_ = end;
      if (pending_.size() > limit_) {
        tooLong_ = true;
        return false;
      }
      continue;
    }
    position_ = end + 1;
    if (text_[end] == u'\r') {
      if (position_ < size) {
        if (text_[position_] == u'\n') ++position_;
      } else {
        skipLineFeed_ = true;
      }
    }
    if (!pending_.empty()) {
      pending_ += segment;
      pendingStarted_ = true;
      line = pending_;
    } else {
      line = segment;
    }
    if (line.size() > limit_) {
      tooLong_ = true;
      return false;
    }
    return true;
  }
}

namespace {

// The longest line there may be, in code units, as RegTextReader's callers set it.
constexpr std::size_t kLongestMappedLine = std::size_t{1} << 24;

inline char16_t unitAt(std::string_view text, std::size_t at, bool utf16) {
  if (!utf16) return static_cast<unsigned char>(text[at]);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  char16_t unit;
  std::memcpy(&unit, text.data() + at, sizeof unit);
  return unit;
#else
  return static_cast<char16_t>(static_cast<unsigned char>(text[at]) | (static_cast<unsigned char>(text[at + 1]) << 8));
#endif
}

bool blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

RegLines::RegLines(std::string_view text) : text_(text) {
  if (text.substr(0, 2) == "\xFF\xFE") {
    utf16_ = true;
    start_ = 2;
  } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    start_ = 3;
  }
  at_ = start_;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (utf16_ && reinterpret_cast<std::uintptr_t>(text.data() + start_) % alignof(char16_t) == 0) {
    units_ = reinterpret_cast<const char16_t*>(text.data() + start_);
    unitCount_ = (text.size() - start_) / 2;
  }
#endif
}

// The same as next() below, on the units in place: every line of a large export passes here.
bool RegLines::nextUnits(Line& line) {
  std::size_t i = (at_ - start_) / 2;
  if (i >= unitCount_) return false;
  const std::size_t end = lineEnd(units_, i, unitCount_);
  line.begin = at_;
  line.number = ++number_;
  std::size_t last = end;
  if (end - i > kLongestMappedLine) {
    tooLong_ = true;
    last = i + kLongestMappedLine;
  }
  line.end = start_ + 2 * last;
  std::size_t first = i;
  while (first < last && blank(units_[first])) ++first;
  while (last > first && blank(units_[last - 1])) --last;
  line.first = first < last ? units_[first] : 0;
  line.last = first < last ? units_[last - 1] : 0;
  std::size_t after = end;
  if (after < unitCount_ && units_[after] == u'\r') ++after;
  if (after < unitCount_ && units_[after] == u'\n' && (after == end || units_[end] == u'\r')) ++after;
  at_ = start_ + 2 * after;
  return true;
}

void RegLines::seek(std::size_t offset, std::size_t number) {
  at_ = offset;
  number_ = number - 1;
  tooLong_ = false;
}

bool RegLines::next(Line& line) {
  if (units_ != nullptr) return nextUnits(line);
  const std::size_t unit = utf16_ ? 2 : 1;
  const std::size_t size = text_.size() - (text_.size() - start_) % unit;
  if (at_ >= size) return false;
  std::size_t end = size;
  if (!utf16_) {
    end = lineEnd(text_.data(), at_, size);
  } else if (reinterpret_cast<std::uintptr_t>(text_.data() + start_) % alignof(char16_t) == 0) {
    // The file's own bytes are the text: a mapped file starts on a page.
    const auto* units = reinterpret_cast<const char16_t*>(text_.data() + start_);
    end = start_ + 2 * lineEnd(units, (at_ - start_) / 2, (size - start_) / 2);
  } else {
    end = at_;
    while (end < size && unitAt(text_, end, true) != u'\r' && unitAt(text_, end, true) != u'\n') end += 2;
  }
  line.begin = at_;
  line.end = end;
  line.number = ++number_;
  if ((end - at_) / unit > kLongestMappedLine) {
    tooLong_ = true;
    line.end = at_ + kLongestMappedLine * unit;
  }
  // Blanks around a line are rare: the first and last units are mostly what is looked for.
  std::size_t first = line.begin, last = line.end;
  while (first < last && blank(unitAt(text_, first, utf16_))) first += unit;
  while (last > first && blank(unitAt(text_, last - unit, utf16_))) last -= unit;
  line.first = first < last ? unitAt(text_, first, utf16_) : 0;
  line.last = first < last ? unitAt(text_, last - unit, utf16_) : 0;
  // CR LF, CR or LF ends it.
  at_ = end;
  if (at_ < size && unitAt(text_, at_, utf16_) == u'\r') at_ += unit;
  if (at_ < size && unitAt(text_, at_, utf16_) == u'\n' && (at_ == end || unitAt(text_, end, utf16_) == u'\r')) {
    at_ += unit;
  }
  return true;
}

namespace {

// The start of the next line, from the line start `at`, whose first unit other than blanks is
// `mark` or `other`. False when there is none.
template <typename Unit>
bool findMarkedLine(const Unit* units, std::size_t count, std::size_t& at, Unit mark, Unit other) {
  const std::size_t lineStart = at;
  for (std::size_t from = at;;) {
    const std::size_t found = findEither(units, from, count, mark, other);
    if (found >= count) return false;
    // Each run of blanks is walked back over once, from the mark just after it.
    std::size_t start = found;
    while (start > lineStart && blank(units[start - 1])) --start;
    if (start == lineStart || units[start - 1] == Unit('\n') || units[start - 1] == Unit('\r')) {
      at = start;
      return true;
    }
    from = found + 1;
  }
}

}  // namespace

bool RegLines::nextMarked(char16_t mark, char16_t other, Line& line) {
  if (units_ != nullptr) {
    std::size_t i = (at_ - start_) / 2;
    if (!findMarkedLine(units_, unitCount_, i, mark, other)) return false;
    at_ = start_ + 2 * i;
    return nextUnits(line);
  }
  if (!utf16_ && mark < 0x80 && other < 0x80) {
    if (!findMarkedLine(text_.data(), text_.size(), at_, static_cast<char>(mark), static_cast<char>(other))) {
      return false;
    }
    return next(line);
  }
  while (next(line)) {
    if (line.first == mark || line.first == other) return true;
  }
  return false;
}

std::size_t RegLines::numberAt(std::size_t offset) const {
  if (units_ != nullptr) {
    return 1 + countLineEnds([this](std::size_t i) { return units_[i]; }, 0, (offset - start_) / 2, unitCount_);
  }
  const std::size_t unit = utf16_ ? 2 : 1;
  const auto unitOf = [this, unit](std::size_t i) { return unitAt(text_, start_ + i * unit, utf16_); };
  return 1 + countLineEnds(unitOf, 0, (offset - start_) / unit, (text_.size() - start_) / unit);
}

bool RegLines::afterBackslash(const Line& line) const {
  const std::size_t unit = utf16_ ? 2 : 1;
  std::size_t at = line.begin;
  const auto before = [&] { return unitAt(text_, at - unit, utf16_); };
  if (at < start_ + unit) return false;
  if (before() == u'\n') {
    at -= unit;
    if (at >= start_ + unit && before() == u'\r') at -= unit;
  } else if (before() == u'\r') {
    at -= unit;
  } else {
    return false;
  }
  while (at >= start_ + unit && blank(before())) at -= unit;
  return at >= start_ + unit && before() == u'\\';
}

std::u16string_view RegLines::decode(const Line& line) {
  if (units_ != nullptr) return std::u16string_view(units_ + (line.begin - start_) / 2, (line.end - line.begin) / 2);
  const std::string_view bytes = text_.substr(line.begin, line.end - line.begin);
  if (!utf16_) {
    buffer_.resize(bytes.size());
    buffer_.resize(decodeNarrowInto(bytes, buffer_.data()));
    return buffer_;
  }
  buffer_.resize(bytes.size() / 2);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::memcpy(buffer_.data(), bytes.data(), buffer_.size() * 2);
#else
  for (std::size_t i = 0; i < buffer_.size(); ++i) buffer_[i] = unitAt(bytes, 2 * i, true);
#endif
  return buffer_;
}

}  // namespace portable
