// Replacing a file all at once: a temporary beside it, flushed, then renamed over it.
// On any failure the old file stays as it was and the temporary is gone. As on Windows, a
// read-only file is not replaced, the new file keeps the old one's permission bits, and a
// symbolic link stays while the file it names is replaced.
#pragma once

#include <string>
#include <string_view>

namespace portable {

// `failBeforeRename` makes the replacement fail after the temporary is written (tests).
bool replaceFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                           bool failBeforeRename = false);

// The whole file; false with a reason when it cannot be read (only a regular file that
// fits in memory can). `missing` tells a file that does not exist apart from other failures.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, bool& missing);

}  // namespace portable
