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

}  // namespace portable
