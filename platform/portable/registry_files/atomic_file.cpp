#include "registry_files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "registry_files/registry_input_file.h"
#include "shared/replace_target.h"

namespace portable {

namespace {

// Closes the temporary and removes it unless it has been renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string pattern) : path_(std::move(pattern)) {
    std::vector<char> name(path_.begin(), path_.end());
    name.push_back('\0');
    fd_ = mkstemp(name.data());
    path_ = name.data();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  bool kept_ = false;
};

std::string reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

bool replaceFileAtomically(const std::string& named, std::string_view bytes, std::string& error,
                           bool failBeforeRename) {
  // As on Windows: through a symbolic link to the file it names, never over a read-only file.
  const std::string path = followLinks(named);
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && isReadOnly(old)) {
    error = path + ": the file is read-only";
    return false;
  }
  std::string::size_type slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  TemporaryFile temporary(directory + "." + base + ".XXXXXX");
  if (temporary.fd() < 0) {
    error = path + ": " + reason("cannot create a temporary file");
    return false;
  }
  ::fchmod(temporary.fd(), replacementMode(path, 0644));
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(temporary.fd(), bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = path + ": " + reason("cannot write");
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(temporary.fd()) != 0) {
    error = path + ": " + reason("cannot flush");
    return false;
  }
  if (!temporary.close()) {
    error = path + ": " + reason("cannot close");
    return false;
  }
  if (failBeforeRename) {
    error = path + ": replacement failed (injected)";
    return false;
  }
  if (::rename(temporary.path().c_str(), path.c_str()) != 0) {
    error = path + ": " + reason("cannot replace");
    return false;
  }
  temporary.keep();
  return true;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, bool& missing) {
  RegistryInputFile file;
  if (!file.open(path, error, missing)) return false;
  std::string content;
  content.reserve(static_cast<std::size_t>(file.size()));
  char buffer[65536];
  while (true) {
    ssize_t n = ::read(file.fd(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = path + ": " + reason("cannot read");
      return false;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  bytes = std::move(content);
  return true;
}

}  // namespace portable
