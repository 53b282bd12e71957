// Raw file operations of the Windows backend on file handles.
#include "platform/files.h"

#include <windows.h>

namespace platform::file_io {
namespace {

Handle open(const char* path, ::DWORD access, ::DWORD share, ::DWORD disposition) {
  const HANDLE file = ::CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

}  // namespace

Handle openForReading(const char* path) { return open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); }

Handle openForWriting(const char* path) { return open(path, GENERIC_WRITE, 0, CREATE_ALWAYS); }

bool read(Handle file, char* buffer, win::DWORD size, win::DWORD* bytesRead) {
  ::DWORD got = 0;
  const bool ok = ::ReadFile(file, buffer, size, &got, nullptr) != 0;
  if (bytesRead) *bytesRead = ok ? got : 0;
  return ok;
}

bool write(Handle file, const char* data, win::DWORD size) {
  while (size > 0) {
    ::DWORD done = 0;
    if (!::WriteFile(file, data, size, &done, nullptr)) return false;
    if (done == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    data += done;
    size -= done;
  }
  return true;
}

bool flush(Handle file) { return ::FlushFileBuffers(file) != 0; }

bool close(Handle file) { return ::CloseHandle(file) != 0; }

}  // namespace platform::file_io
