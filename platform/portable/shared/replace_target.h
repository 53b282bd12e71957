// What replacing an existing file means on Windows, for the stand-in's renames: the file a
// symbolic link names is replaced and the link stays; a read-only file is not replaced; the
// replacement keeps the permission bits of the file it replaces.
#pragma once

#include <sys/stat.h>

#include <string>

namespace portable {

// The path after following symbolic links (up to 40); the path itself when it is none.
std::string followLinks(const std::string& path);

// Windows' read-only attribute: nobody may write the file.
inline bool isReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

// The permission bits a replacement of `target` should carry; `fallback` when there is none.
mode_t replacementMode(const std::string& target, mode_t fallback);

}  // namespace portable
