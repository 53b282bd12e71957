// File operations of the portable backend on host paths, shared by its kernel32 stand-ins.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/win_types.h"

namespace portable::files {

// Copies the bytes of `from` into `to` (created with `mode`; replaced only when `replace`) and
// flushes them. False with errno set when any step fails.
bool copyHostFile(const std::string& from, const std::string& to, bool replace, mode_t mode);

// MoveFileEx on host paths once the paths are mapped: Windows' rules for the target (no
// read-only one, its permission bits kept, symbolic links followed), between file systems
// only with MOVEFILE_COPY_ALLOWED. Sets the last error and returns 0 on failure.
win::BOOL moveHostFile(const std::string& from, const std::string& to, win::DWORD dwFlags);

}  // namespace portable::files
