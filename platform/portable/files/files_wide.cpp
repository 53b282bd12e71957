// The wide file functions of the portable backend. Their paths are host paths, as SQLite
// takes them here.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "files/files_state.h"
#include "files/host_files.h"
#include "platform/files.h"
#include "platform/text.h"
#include "shared/replace_target.h"

namespace win {
namespace {

BOOL failWith(DWORD error) {
  SetLastError(error);
  return 0;
}

// The host path, or nothing for a null pointer or text that is not valid UTF-16 (an unpaired
// surrogate would otherwise turn into some other file's name).
std::optional<std::string> hostPath(const char16_t* path) {
  if (path == nullptr || !platform::isWellFormedUtf16(path)) return std::nullopt;
  return platform::toUtf8(path);
}

}  // namespace

BOOL CopyFileW(const char16_t* lpExistingFileName, const char16_t* lpNewFileName, BOOL bFailIfExists) {
  const auto from = hostPath(lpExistingFileName), to = hostPath(lpNewFileName);
  if (!from || !to) return failWith(ERROR_INVALID_NAME);
  struct stat source {};
  if (::stat(from->c_str(), &source) != 0) return failWith(portable::files::errorFromErrno(errno));
  const std::string target = portable::followLinks(*to);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (bFailIfExists) return failWith(ERROR_FILE_EXISTS);
    if (S_ISDIR(existing.st_mode) || portable::isReadOnly(existing)) return failWith(ERROR_ACCESS_DENIED);
  }
  if (!portable::files::copyHostFile(*from, target, !bFailIfExists, source.st_mode & 07777))
    return failWith(portable::files::errorFromErrno(errno));
  return 1;
}

BOOL MoveFileExW(const char16_t* lpExistingFileName, const char16_t* lpNewFileName, DWORD dwFlags) {
  const auto from = hostPath(lpExistingFileName), to = hostPath(lpNewFileName);
  if (!from || !to) return failWith(ERROR_INVALID_NAME);
  return portable::files::moveHostFile(*from, *to, dwFlags);
}

BOOL DeleteFileW(const char16_t* lpFileName) {
  const auto path = hostPath(lpFileName);
  if (!path) return failWith(ERROR_INVALID_NAME);
  if (portable::files::isDirectory(*path)) return failWith(ERROR_ACCESS_DENIED);
  if (::unlink(path->c_str()) != 0) return failWith(portable::files::errorFromErrno(errno));
  return 1;
}

}  // namespace win
