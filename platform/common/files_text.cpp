// Sequential text files on top of each backend's raw file operations.
#include <new>

#include "platform/files.h"

namespace platform {

namespace {
constexpr win::DWORD kChunk = 64 * 1024;
}  // namespace

TextFileReader::TextFileReader(const char* path) : file_(file_io::openForReading(path)) {
  if (!file_) ended_ = true;
}

bool TextFileReader::fill() {
  if (ended_) return false;
  buffer_.erase(0, position_);
  position_ = 0;
  const std::size_t old = buffer_.size();
  buffer_.resize(old + kChunk);
  win::DWORD got = 0;
  const bool ok = file_io::read(file_.get(), buffer_.data() + old, kChunk, &got);
  buffer_.resize(old + (ok ? got : 0));
  if (!ok) failed_ = true;
  if (!ok || got == 0) {
    ended_ = true;
    return false;
  }
  return true;
}

bool TextFileReader::peek(char& c) {
  if (position_ >= buffer_.size() && !fill()) return false;
  c = buffer_[position_];
  return true;
}

bool TextFileReader::atEnd() {
  char c;
  return !peek(c);
}

bool TextFileReader::readLine(std::string& line) {
  line.clear();
  try {
    char c;
    if (!peek(c)) return false;
    for (;;) {
      const std::size_t start = position_;
      while (position_ < buffer_.size() && buffer_[position_] != '\r' && buffer_[position_] != '\n') ++position_;
      line.append(buffer_, start, position_ - start);
      if (position_ < buffer_.size()) break;  // at a line break
      if (!fill()) return !failed_;           // the last line had no break
    }
    const char brk = buffer_[position_++];
    if (brk == '\r' && peek(c) && c == '\n') ++position_;
    return !failed_;
  } catch (const std::bad_alloc&) {
    // A line too long to hold: treat it as a failed read rather than hand on part of it.
    failed_ = true;
    ended_ = true;
    line.clear();
    return false;
  }
}

TextFileWriter::TextFileWriter(const char* path) : file_(file_io::openForWriting(path)) {
  if (!file_) failed_ = true;
}

bool TextFileWriter::writeOut() {
  while (!failed_ && !pending_.empty()) {
    const win::DWORD size = pending_.size() < kChunk ? static_cast<win::DWORD>(pending_.size()) : kChunk;
    if (!file_io::write(file_.get(), pending_.data(), size)) failed_ = true;
    pending_.erase(0, size);
  }
  pending_.clear();
  return !failed_;
}

bool TextFileWriter::writeLine(std::string_view line) {
  if (failed_) return false;
  try {
    pending_.append(line);
    pending_.append("\r\n");
  } catch (const std::bad_alloc&) {
    failed_ = true;
    return false;
  }
  return pending_.size() < kChunk || writeOut();
}

bool TextFileWriter::flush() {
  if (!writeOut()) return false;
  if (!file_io::flush(file_.get())) failed_ = true;
  return !failed_;
}

bool TextFileWriter::close() {
  if (!file_) return false;
  writeOut();
  if (!file_io::close(file_.release())) failed_ = true;
  return !failed_;
}

}  // namespace platform
