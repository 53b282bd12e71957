// Putting a newly written cache file in the place of one that cannot be used.
#pragma once

#include <functional>
#include <string>

// Writes a new file at `path` + ".new" through `write` (which reports whether everything
// reached the file), copies the old file to `path` + ".unusable" so nothing of it is lost,
// then moves the new file over `path` in one step: a reader sees the old file or the new
// one, never neither. False, with `path` untouched and no ".new" left behind, when any step
// fails.
bool replaceFileWith(const std::u16string& path, const std::function<bool(const std::u16string& newPath)>& write);
