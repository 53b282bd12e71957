#include "registry_files/registry_input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "registry/stamp_clock.h"

namespace portable {

namespace {

std::uint64_t physicalMemory() {
  long pages = ::sysconf(_SC_PHYS_PAGES);
  long pageSize = ::sysconf(_SC_PAGESIZE);
  return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
}

std::uint64_t asFileTime(const struct timespec& time) {
  if (time.tv_sec < 0) return 0;
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(time.tv_sec) * 10000000ull +
         static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

}  // namespace

RegistryInputFile::~RegistryInputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool RegistryInputFile::open(const std::string& path, std::string& error, bool& missing) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  return adopt(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), path, error, missing);
}

bool RegistryInputFile::openAt(int folder, const std::string& name, const std::string& shownPath, std::string& error,
                               bool& missing) {
  return adopt(::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW), shownPath, error,
               missing);
}

bool RegistryInputFile::adopt(int fd, const std::string& path, std::string& error, bool& missing) {
  missing = false;
  if (fd < 0) {
    missing = errno == ENOENT;
    error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  fd_ = fd;
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    error = path + ": cannot read: " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = path + ": not a regular file (a FIFO, a device or a folder cannot hold a registry)";
    return false;
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
  const std::uint64_t memory = physicalMemory();
  if (memory != 0 && size_ > memory) {
    error = path + ": too large to hold in memory (" + std::to_string(size_) + " bytes; this machine has " +
            std::to_string(memory) + ")";
    return false;
  }
  modified_ = asFileTime(info.st_mtim);
  // Reads of a regular file do not block; later readers get the usual semantics.
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  return true;
}

bool RegistryInputFile::startsWith(const std::string& magic) const {
  std::string head(magic.size(), '\0');
  ssize_t n = ::pread(fd_, head.data(), head.size(), 0);
  return n == static_cast<ssize_t>(magic.size()) && head == magic;
}

}  // namespace portable
