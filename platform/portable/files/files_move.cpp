// Moving and renaming files in the portable backend, with Windows' rules for the target.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "files/files_state.h"
#include "files/host_files.h"
#include "platform/files.h"
#include "shared/replace_target.h"

namespace {

using portable::followLinks;
using portable::isReadOnly;
using portable::files::copyHostFile;
using portable::files::errorFromErrno;

win::BOOL failWith(win::DWORD error) {
  win::SetLastError(error);
  return 0;
}

void syncFolderOf(const std::string& hostPath) {
  const std::size_t slash = hostPath.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

namespace portable::files {

win::BOOL moveHostFile(const std::string& from, const std::string& named, win::DWORD dwFlags) {
  using namespace win;
  struct stat source {};
  if (::lstat(from.c_str(), &source) != 0) return failWith(ERROR_FILE_NOT_FOUND);
  const std::string to = followLinks(named);
  const bool replace = (dwFlags & MOVEFILE_REPLACE_EXISTING) != 0;
  mode_t mode = source.st_mode & 07777;
  struct stat existing {};
  if (::lstat(to.c_str(), &existing) == 0) {
    if (!replace) return failWith(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(existing.st_mode) || isReadOnly(existing)) return failWith(ERROR_ACCESS_DENIED);
    mode = existing.st_mode & 07777;
    ::chmod(from.c_str(), mode);
  }
  // rename replaces the target in one step; without the flag the kernel refuses to replace.
  const int result = replace ? ::rename(from.c_str(), to.c_str())
                             : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result != 0) {
    const int error = errno;
    if (error == EEXIST) return failWith(ERROR_ALREADY_EXISTS);
    if (error != EXDEV) return failWith(errorFromErrno(error));
    if ((dwFlags & MOVEFILE_COPY_ALLOWED) == 0) return failWith(ERROR_NOT_SAME_DEVICE);
    // Like Windows' own move between volumes, not one step.
    if (!copyHostFile(from, to, replace, mode) || ::unlink(from.c_str()) != 0) return failWith(errorFromErrno(errno));
  }
  if (dwFlags & MOVEFILE_WRITE_THROUGH) {
    syncFolderOf(to);
    syncFolderOf(from);
  }
  return 1;
}

}  // namespace portable::files

namespace win {

BOOL MoveFileExA(const char* lpExistingFileName, const char* lpNewFileName, DWORD dwFlags) {
  if (!lpExistingFileName || !lpNewFileName) return failWith(ERROR_INVALID_PARAMETER);
  std::string from, to;
  if (const DWORD error = portable::files::mapPath(lpExistingFileName, from); error != ERROR_SUCCESS)
    return failWith(error);
  if (const DWORD error = portable::files::mapPath(lpNewFileName, to); error != ERROR_SUCCESS) return failWith(error);
  if (!portable::files::moveAllowed()) return failWith(ERROR_ACCESS_DENIED);
  // Every drive letter is a volume of its own, and a plain move stays on its volume.
  const char fromDrive = portable::files::driveLetterOf(lpExistingFileName);
  const char toDrive = portable::files::driveLetterOf(lpNewFileName);
  if (fromDrive != 0 && toDrive != 0 && fromDrive != toDrive && !(dwFlags & MOVEFILE_COPY_ALLOWED)) {
    // The source must still exist for this answer, as on Windows.
    struct stat source {};
    return failWith(::lstat(from.c_str(), &source) == 0 ? ERROR_NOT_SAME_DEVICE : ERROR_FILE_NOT_FOUND);
  }
  return portable::files::moveHostFile(from, to, dwFlags);
}

BOOL MoveFileA(const char* lpExistingFileName, const char* lpNewFileName) {
  return MoveFileExA(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

}  // namespace win
