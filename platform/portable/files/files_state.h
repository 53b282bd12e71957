// Shared state of the portable file services: the drive map, the reported folders and
// the injected failures. Internal to the backend.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace portable::files {

// ERROR_SUCCESS and the host path, or why the Windows path has no host place.
win::DWORD mapPath(std::string_view windowsPath, std::string& hostPath);
// The upper-case drive letter a path names (C for a rooted path without one); 0 for a
// relative path, whose drive is whatever is current.
char driveLetterOf(std::string_view windowsPath);
std::string windowsDirectory();
std::string tempPath();

// Each returns false when an injected failure hits; the counters move only on success.
bool chargeRead(std::uint64_t bytes);
bool chargeWrite(std::uint64_t bytes);
bool flushAllowed();
bool moveAllowed();

// The last error of a failed host call, translated.
win::DWORD errorFromErrno(int error);
bool isDirectory(const std::string& hostPath);

}  // namespace portable::files
