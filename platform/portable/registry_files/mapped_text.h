// A registry file's bytes held for reading on demand: the file mapped read-only, or a copy
// in memory (tests, fuzzing).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace portable {

class FileText {
 public:
  virtual ~FileText() = default;
  virtual std::string_view bytes() const = 0;
};

std::shared_ptr<const FileText> fileTextInMemory(std::string bytes);
// The open file mapped, read-only; null, with the reason, when that fails. A file read
// through has its pages brought in at once (faulting them in one by one costs more than
// reading the file); one read here and there, `atOnce` false, only those it touches.
std::shared_ptr<const FileText> mapFileText(int fd, std::uint64_t size, std::string& error, bool atOnce = true);

}  // namespace portable
