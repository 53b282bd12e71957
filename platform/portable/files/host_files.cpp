#include "files/host_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "shared/unique_fd.h"

namespace portable::files {

bool copyHostFile(const std::string& from, const std::string& to, bool replace, mode_t mode) {
  UniqueFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) return false;
  UniqueFd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL), mode));
  if (target.get() < 0) return false;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(source.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(target.get(), buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        if (put == 0) errno = ENOSPC;
        return false;
      }
      done += put;
    }
  }
  return ::fsync(target.get()) == 0 && target.close();
}

}  // namespace portable::files
