// kernel32 file services of the portable backend.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "files/files_state.h"
#include "platform/files.h"

namespace win {
namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Copies text with its zero when it fits; otherwise the size needed, buffer untouched.
DWORD copyOut(const std::string& text, char* buffer, DWORD size) {
  if (text.size() >= size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

template <typename T>
T failWith(DWORD error, T result) {
  SetLastError(error);
  return result;
}

}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize) {
  const std::string folder = portable::files::windowsDirectory();
  if (folder.empty()) return failWith<UINT>(ERROR_PATH_NOT_FOUND, 0);
  if (!lpBuffer) uSize = 0;
  return copyOut(folder, lpBuffer, uSize);
}

DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer) {
  const std::string folder = portable::files::tempPath();
  if (folder.empty()) return failWith<DWORD>(ERROR_PATH_NOT_FOUND, 0);
  if (!lpBuffer) nBufferLength = 0;
  return copyOut(folder, lpBuffer, nBufferLength);
}

UINT GetTempFileNameA(const char* lpPathName, const char* lpPrefixString, UINT uUnique, char* lpTempFileName) {
  if (!lpPathName || !lpTempFileName) return failWith<UINT>(ERROR_INVALID_PARAMETER, 0);
  std::string folder = lpPathName;
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  const std::string prefix = lpPrefixString ? std::string(lpPrefixString).substr(0, 3) : std::string();

  auto nameFor = [&](UINT number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X.tmp", number);
    return folder + prefix + digits;
  };
  auto fits = [](const std::string& name) { return name.size() < MAX_PATH; };

  if (uUnique != 0) {
    const std::string name = nameFor(uUnique & 0xFFFF);
    if (!fits(name)) return failWith<UINT>(ERROR_BUFFER_OVERFLOW, 0);
    std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
    return uUnique & 0xFFFF;
  }

  std::string hostFolder;
  if (const DWORD error = portable::files::mapPath(folder, hostFolder); error != ERROR_SUCCESS)
    return failWith<UINT>(error, 0);
  if (!portable::files::isDirectory(hostFolder)) return failWith<UINT>(ERROR_DIRECTORY, 0);

  // Start somewhere time-dependent and walk on until a name is free, as Windows does.
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  UINT number = static_cast<UINT>((ticks ^ (static_cast<long long>(::getpid()) << 7)) & 0xFFFF);
  for (UINT tries = 0; tries < 0xFFFF; ++tries, number = (number + 1) & 0xFFFF) {
    if (number == 0) number = 1;
    const std::string name = nameFor(number);
    if (!fits(name)) return failWith<UINT>(ERROR_BUFFER_OVERFLOW, 0);
    std::string host;
    if (const DWORD error = portable::files::mapPath(name, host); error != ERROR_SUCCESS)
      return failWith<UINT>(error, 0);
    const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return failWith<UINT>(portable::files::errorFromErrno(errno), 0);
    }
    ::close(fd);
    std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
    return number;
  }
  return failWith<UINT>(ERROR_FILE_EXISTS, 0);
}

BOOL DeleteFileA(const char* lpFileName) {
  if (!lpFileName) return failWith<BOOL>(ERROR_INVALID_PARAMETER, 0);
  std::string host;
  if (const DWORD error = portable::files::mapPath(lpFileName, host); error != ERROR_SUCCESS)
    return failWith<BOOL>(error, 0);
  if (portable::files::isDirectory(host)) return failWith<BOOL>(ERROR_ACCESS_DENIED, 0);
  if (::unlink(host.c_str()) != 0) return failWith<BOOL>(portable::files::errorFromErrno(errno), 0);
  return 1;
}

}  // namespace win
