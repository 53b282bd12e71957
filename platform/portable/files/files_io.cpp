// Raw file operations of the portable backend on POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "files/files_state.h"
#include "platform/files.h"

namespace platform::file_io {
namespace {

// Descriptor 0 is valid, a null handle is not: store the descriptor plus one.
Handle toHandle(int fd) { return reinterpret_cast<Handle>(static_cast<std::intptr_t>(fd) + 1); }
int toFd(Handle file) { return static_cast<int>(reinterpret_cast<std::intptr_t>(file) - 1); }

bool fail(win::DWORD error) {
  win::SetLastError(error);
  return false;
}

Handle open(const char* path, int flags) {
  std::string host;
  if (!path) return fail(win::ERROR_INVALID_PARAMETER), nullptr;
  if (const win::DWORD error = portable::files::mapPath(path, host); error != win::ERROR_SUCCESS)
    return fail(error), nullptr;
  // Windows opens no folder as a file.
  if (portable::files::isDirectory(host)) return fail(win::ERROR_ACCESS_DENIED), nullptr;
  int fd;
  do {
    fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int error = errno;
    const std::size_t slash = host.find_last_of('/');
    const bool folderMissing = error == ENOENT && slash != std::string::npos && slash > 0 &&
                               !portable::files::isDirectory(host.substr(0, slash));
    return fail(folderMissing ? win::ERROR_PATH_NOT_FOUND : portable::files::errorFromErrno(error)), nullptr;
  }
  return toHandle(fd);
}

}  // namespace

Handle openForReading(const char* path) { return open(path, O_RDONLY); }

Handle openForWriting(const char* path) { return open(path, O_WRONLY | O_CREAT | O_TRUNC); }

bool read(Handle file, char* buffer, win::DWORD size, win::DWORD* bytesRead) {
  if (!file || !bytesRead) return fail(win::ERROR_INVALID_HANDLE);
  *bytesRead = 0;
  ssize_t got;
  do {
    got = ::read(toFd(file), buffer, size);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return fail(errno == EIO ? win::ERROR_READ_FAULT : portable::files::errorFromErrno(errno));
  if (!portable::files::chargeRead(static_cast<std::uint64_t>(got))) return fail(win::ERROR_READ_FAULT);
  *bytesRead = static_cast<win::DWORD>(got);
  return true;
}

bool write(Handle file, const char* data, win::DWORD size) {
  if (!file) return fail(win::ERROR_INVALID_HANDLE);
  if (!portable::files::chargeWrite(size)) return fail(win::ERROR_DISK_FULL);
  while (size > 0) {
    const ssize_t done = ::write(toFd(file), data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return fail(done < 0 ? portable::files::errorFromErrno(errno) : win::ERROR_DISK_FULL);
    data += done;
    size -= static_cast<win::DWORD>(done);
  }
  return true;
}

bool flush(Handle file) {
  if (!file) return fail(win::ERROR_INVALID_HANDLE);
  if (!portable::files::flushAllowed()) return fail(win::ERROR_WRITE_FAULT);
  if (::fsync(toFd(file)) != 0) return fail(portable::files::errorFromErrno(errno));
  return true;
}

bool close(Handle file) {
  if (!file) return fail(win::ERROR_INVALID_HANDLE);
  // The descriptor is gone even when close reports an error; never retry it.
  if (::close(toFd(file)) != 0 && errno != EINTR) return fail(portable::files::errorFromErrno(errno));
  return true;
}

}  // namespace platform::file_io
