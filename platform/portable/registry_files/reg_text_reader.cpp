#include "registry_files/reg_text_reader.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/text.h"

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

// The first CR or LF in text[from, size), or size. Four code units at a time: a line
// holds mostly characters above CR, and a whole word of them is passed at once.
std::size_t lineEnd(const char16_t* text, std::size_t from, std::size_t size) {
  constexpr std::uint64_t kOnes = 0x0001000100010001ull;
  constexpr std::uint64_t kHigh = 0x8000800080008000ull;
  std::size_t at = from;
  while (at + 4 <= size) {
    std::uint64_t word;
    std::memcpy(&word, text + at, sizeof word);
    // Non-zero when some unit is below 0x0E (CR is 0x0D): only those are looked at.
    if (((word - kOnes * 0x0E) & ~word & kHigh) != 0) break;
    at += 4;
  }
  while (at < size && text[at] != u'\r' && text[at] != u'\n') ++at;
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

}  // namespace portable
