// The drive map and the folders the portable file services report, set from the
// environment at first use and by the control functions.
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "files/files_state.h"
#include "platform/files.h"
#include "portable/files_control.h"

namespace portable {
namespace {

struct FileSystem {
  std::map<char, std::string> drives;
  std::string windowsDirectory;
  std::string tempPath;
  FileFaults faults;
  std::uint64_t bytesRead = 0;
  std::uint64_t bytesWritten = 0;
};

std::string withTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path;
}

std::string environment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value ? value : fallback;
}

void loadDefaults(FileSystem& fs) {
  fs = FileSystem{};
  for (char drive = 'A'; drive <= 'Z'; ++drive) {
    const std::string name = std::string("WINPLAT_DRIVE_") + drive;
    if (const char* folder = std::getenv(name.c_str()); folder && *folder) fs.drives[drive] = folder;
  }
  fs.windowsDirectory = environment("WINPLAT_WINDOWS_DIR", "C:\\WINDOWS");
  fs.tempPath = withTrailingBackslash(environment("WINPLAT_TEMP_DIR", "C:\\TEMP\\"));
}

std::mutex& lock() {
  static std::mutex m;
  return m;
}

// Callers hold lock().
FileSystem& state() {
  static FileSystem fs = [] {
    FileSystem initial;
    loadDefaults(initial);
    return initial;
  }();
  return fs;
}

char driveOf(char letter) { return static_cast<char>(std::toupper(static_cast<unsigned char>(letter))); }

}  // namespace

void setDriveFolder(char drive, const std::string& hostFolder) {
  std::lock_guard<std::mutex> guard(lock());
  if (hostFolder.empty())
    state().drives.erase(driveOf(drive));
  else
    state().drives[driveOf(drive)] = hostFolder;
}

void setWindowsDirectory(const std::string& windowsPath) {
  std::lock_guard<std::mutex> guard(lock());
  state().windowsDirectory = windowsPath;
}

void setTempPath(const std::string& windowsPath) {
  std::lock_guard<std::mutex> guard(lock());
  state().tempPath = withTrailingBackslash(windowsPath);
}

void resetFileSystem() {
  std::lock_guard<std::mutex> guard(lock());
  loadDefaults(state());
}

std::optional<std::string> hostPathFor(const std::string& windowsPath) {
  std::string host;
  if (files::mapPath(windowsPath, host) != win::ERROR_SUCCESS) return std::nullopt;
  return host;
}

void setFileFaults(const FileFaults& faults) {
  std::lock_guard<std::mutex> guard(lock());
  state().faults = faults;
  state().bytesRead = 0;
  state().bytesWritten = 0;
}

void clearFileFaults() { setFileFaults(FileFaults{}); }

namespace files {

char driveLetterOf(std::string_view windowsPath) {
  if (windowsPath.size() >= 2 && std::isalpha(static_cast<unsigned char>(windowsPath[0])) && windowsPath[1] == ':')
    return driveOf(windowsPath[0]);
  if (!windowsPath.empty() && (windowsPath[0] == '\\' || windowsPath[0] == '/')) return 'C';
  return 0;
}

win::DWORD mapPath(std::string_view windowsPath, std::string& hostPath) {
  std::string path(windowsPath);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.empty() || path.compare(0, 2, "//") == 0) return win::ERROR_PATH_NOT_FOUND;  // no network or device paths

  const bool hasDrive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  if (!hasDrive && path[0] != '/') {
    hostPath = path;  // relative to the current folder
    return win::ERROR_SUCCESS;
  }
  const char drive = hasDrive ? driveOf(path[0]) : 'C';  // a rooted path without drive: the current drive
  std::string folder;
  {
    std::lock_guard<std::mutex> guard(lock());
    const auto found = state().drives.find(drive);
    if (found == state().drives.end()) return win::ERROR_PATH_NOT_FOUND;
    folder = found->second;
  }

  // Resolve "." and ".." here, as Windows does, so that no path climbs out of its drive.
  std::vector<std::string> parts;
  std::size_t start = hasDrive ? 2 : 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  hostPath = folder;
  for (const std::string& part : parts) {
    if (hostPath.empty() || hostPath.back() != '/') hostPath += '/';
    hostPath += part;
  }
  return win::ERROR_SUCCESS;
}

std::string windowsDirectory() {
  std::lock_guard<std::mutex> guard(lock());
  return state().windowsDirectory;
}

std::string tempPath() {
  std::lock_guard<std::mutex> guard(lock());
  return state().tempPath;
}

bool chargeRead(std::uint64_t bytes) {
  std::lock_guard<std::mutex> guard(lock());
  FileSystem& fs = state();
  if (fs.faults.failReadsAfterBytes && fs.bytesRead + bytes > *fs.faults.failReadsAfterBytes) return false;
  fs.bytesRead += bytes;
  return true;
}

bool chargeWrite(std::uint64_t bytes) {
  std::lock_guard<std::mutex> guard(lock());
  FileSystem& fs = state();
  if (fs.faults.failWritesAfterBytes && fs.bytesWritten + bytes > *fs.faults.failWritesAfterBytes) return false;
  fs.bytesWritten += bytes;
  return true;
}

bool flushAllowed() {
  std::lock_guard<std::mutex> guard(lock());
  return !state().faults.failFlush;
}

bool moveAllowed() {
  std::lock_guard<std::mutex> guard(lock());
  return !state().faults.failMove;
}

win::DWORD errorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return win::ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
      return win::ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return win::ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
      return win::ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return win::ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return win::ERROR_NOT_ENOUGH_MEMORY;
    case EIO:
      return win::ERROR_WRITE_FAULT;
    case EINVAL:
      return win::ERROR_INVALID_PARAMETER;
    default:
      return win::ERROR_ACCESS_DENIED;  // EACCES, EPERM, EROFS, EISDIR, EBUSY and the rest
  }
}

bool isDirectory(const std::string& hostPath) {
  struct stat info {};
  return ::stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace files
}  // namespace portable
