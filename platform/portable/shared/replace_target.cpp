#include "shared/replace_target.h"

#include <unistd.h>

#include <climits>

namespace portable {

std::string followLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return current;
    std::string next(target, static_cast<std::size_t>(n));
    if (next.front() != '/') {
      const std::size_t slash = current.find_last_of('/');
      if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
    }
    current = next;
  }
  return current;
}

mode_t replacementMode(const std::string& target, mode_t fallback) {
  struct stat info {};
  return ::stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : fallback;
}

}  // namespace portable
