// Test and host control of the portable file services: where Windows paths live on this
// machine, and injected failures. Defaults come from the environment at first use:
//   WINPLAT_DRIVE_<letter>=/host/folder   maps a drive (unmapped drives do not exist)
//   WINPLAT_WINDOWS_DIR=C:\WINDOWS        what GetWindowsDirectoryA reports
//   WINPLAT_TEMP_DIR=C:\TEMP\             what GetTempPathA reports
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace portable {

// An empty folder removes the drive.
void setDriveFolder(char drive, const std::string& hostFolder);
// Any text, also one longer than callers' buffers. Empty makes GetWindowsDirectoryA fail.
void setWindowsDirectory(const std::string& windowsPath);
// A trailing backslash is added when missing. Empty makes GetTempPathA fail.
void setTempPath(const std::string& windowsPath);
// Back to the environment's settings, without injected failures.
void resetFileSystem();

// The host path a Windows path maps to; nullopt for a path on an unmapped drive.
std::optional<std::string> hostPathFor(const std::string& windowsPath);

// Injected failures, counted from the moment they are set. A write or read that would pass
// the limit fails (ERROR_DISK_FULL / ERROR_READ_FAULT) after doing nothing.
struct FileFaults {
  std::optional<std::uint64_t> failWritesAfterBytes;
  std::optional<std::uint64_t> failReadsAfterBytes;
  bool failFlush = false;  // flushing to the disk fails with ERROR_WRITE_FAULT
  bool failMove = false;   // MoveFileExA fails with ERROR_ACCESS_DENIED
};
void setFileFaults(const FileFaults& faults);
void clearFileFaults();

}  // namespace portable
