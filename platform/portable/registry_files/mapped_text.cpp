#include "registry_files/mapped_text.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstring>

namespace portable {

namespace {

class MemoryText final : public FileText {
 public:
  explicit MemoryText(std::string bytes) : bytes_(std::move(bytes)) {}
  std::string_view bytes() const override { return bytes_; }

 private:
  std::string bytes_;
};

class MappedText final : public FileText {
 public:
  MappedText(void* address, std::size_t size) : address_(address), size_(size) {}
  ~MappedText() override { ::munmap(address_, size_); }
  MappedText(const MappedText&) = delete;
  MappedText& operator=(const MappedText&) = delete;
  std::string_view bytes() const override { return std::string_view(static_cast<const char*>(address_), size_); }

 private:
  void* address_;
  std::size_t size_;
};

}  // namespace

std::shared_ptr<const FileText> fileTextInMemory(std::string bytes) {
  return std::make_shared<MemoryText>(std::move(bytes));
}

std::shared_ptr<const FileText> mapFileText(int fd, std::uint64_t size, std::string& error, bool atOnce) {
  if (size == 0) return fileTextInMemory(std::string());
  void* address = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ,
                         MAP_PRIVATE | (atOnce ? MAP_POPULATE : 0), fd, 0);
  if (address == MAP_FAILED) {
    error = std::string("cannot read: ") + std::strerror(errno);
    return nullptr;
  }
  return std::make_shared<MappedText>(address, static_cast<std::size_t>(size));
}

}  // namespace portable
