// The lines of a .reg file, decoded as they are read: a large export is never held whole,
// neither as bytes nor as text. UTF-16LE after a byte-order mark; otherwise UTF-8, with any
// byte that does not start a valid sequence taken as Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace portable {

// Where the bytes come from: memory or an open file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `capacity` bytes; `got` is 0 at the end. False, with the reason, when reading fails.
  virtual bool read(char* buffer, std::size_t capacity, std::size_t& got, std::string& error) = 0;
  // The number of bytes there are to read.
  virtual std::uint64_t size() const = 0;
};

class MemoryBytes final : public ByteSource {
 public:
  explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
  bool read(char* buffer, std::size_t capacity, std::size_t& got, std::string& error) override;
  std::uint64_t size() const override { return bytes_.size(); }

 private:
  std::string_view bytes_;
};

// Reads an open descriptor (not owned) from its current position.
class FileBytes final : public ByteSource {
 public:
  FileBytes(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  bool read(char* buffer, std::size_t capacity, std::size_t& got, std::string& error) override;
  std::uint64_t size() const override { return size_; }

 private:
  int fd_;
  std::uint64_t size_;
};

class RegTextReader {
 public:
  explicit RegTextReader(ByteSource& source);
  RegTextReader(const RegTextReader&) = delete;
  RegTextReader& operator=(const RegTextReader&) = delete;

  // UTF-16 that does not come in whole code units.
  bool oddUtf16() const { return utf16_ && source_.size() % 2 != 0; }
  // The next line without its line break (CR LF, CR or LF); valid until the next call.
  // False at the end, or when reading failed or the line is longer than the limit (see
  // error()).
  bool next(std::u16string_view& line);
  // Empty unless next() stopped on a failure.
  const std::string& error() const { return error_; }
  bool lineTooLong() const { return tooLong_; }
  // Longest line accepted, in code units.
  void limitLines(std::size_t units) { limit_ = units; }

 private:
  bool fill();  // decodes the next chunk; false at the end or on a failure

  ByteSource& source_;
  bool utf16_ = false;
  bool started_ = false;
  bool atEnd_ = false;
  bool skipLineFeed_ = false;  // the last chunk ended with CR
  bool tooLong_ = false;
  std::size_t limit_ = static_cast<std::size_t>(-1);
  std::string error_;
  std::vector<char> bytes_;
  std::size_t carried_ = 0;  // undecoded bytes kept at the front of bytes_
  std::vector<char16_t> text_;  // decoded chunk: text_[0, textSize_)
  std::size_t textSize_ = 0;
  std::size_t position_ = 0;
  std::u16string pending_;  // a line that continues into the next chunk
  bool pendingStarted_ = false;
};

// UTF-8, with any byte that does not start a valid sequence taken as Windows-1252.
std::u16string decodeNarrow(std::string_view bytes);

// The lines of a .reg file held whole in memory (a mapped file), found without decoding them:
// a line is decoded only when asked for. The same encodings and line breaks as RegTextReader.
class RegLines {
 public:
  // One line: where it starts and ends (bytes, without its line break), and its first and
  // last characters other than blanks (0 for a blank line; a narrow file gives its bytes).
  struct Line {
    std::size_t begin = 0, end = 0;
    std::size_t number = 0;
    char16_t first = 0, last = 0;
  };

  // `text` is the whole file, byte-order mark included.
  explicit RegLines(std::string_view text);
  bool utf16() const { return utf16_; }
  // Whole code units only: false for UTF-16 of an odd number of bytes.
  bool whole() const { return !utf16_ || (text_.size() - start_) % 2 == 0; }
  // Goes on from the line that starts at `offset`, which is line `number`.
  void seek(std::size_t offset, std::size_t number);
  // The next line, or false at the end; lines longer than `limit` code units are cut there
  // (tooLong says so).
  bool next(Line& line);
  bool tooLong() const { return tooLong_; }
  // The next line whose first character other than blanks is `mark` or `other`, as next()
  // gives it; the lines before it are not looked at, nor counted: its number is one more
  // than the line's before (numberAt tells the true one). False at the end.
  bool nextMarked(char16_t mark, char16_t other, Line& line);
  // The number of the line that starts at `offset`, counted from the file's start.
  std::size_t numberAt(std::size_t offset) const;
  // Whether the line before this one ends in a backslash, blanks aside.
  bool afterBackslash(const Line& line) const;
  // The line's text: in UTF-16 a view of the file itself, else decoded into a buffer that the
  // next decode reuses.
  std::u16string_view decode(const Line& line);

 private:
  bool nextUnits(Line& line);  // UTF-16 seen in place

  std::string_view text_;
  std::size_t start_ = 0;  // after the byte-order mark
  bool utf16_ = false;
  // The UTF-16 text in place, where it starts on a whole unit (a mapped file starts on a page).
  const char16_t* units_ = nullptr;
  std::size_t unitCount_ = 0;
  std::size_t at_ = 0, number_ = 0;
  bool tooLong_ = false;
  std::u16string buffer_;
};

}  // namespace portable
