#include "cache_file_replace.h"

#include "platform/files.h"

bool replaceFileWith(const std::u16string& path, const std::function<bool(const std::u16string& newPath)>& write) {
  const std::u16string newPath = path + u".new";
  const std::u16string aside = path + u".unusable";
  try {
    win::DeleteFileW(newPath.c_str());  // left by a save that was cut short

    const bool written = write(newPath);
    const bool kept = written && win::CopyFileW(path.c_str(), aside.c_str(), 0);
    if (kept && win::MoveFileExW(newPath.c_str(), path.c_str(), win::MOVEFILE_REPLACE_EXISTING)) return true;
  } catch (...) {
    // No memory for a path: fall through and leave no new file behind.
  }
  win::DeleteFileW(newPath.c_str());
  return false;
}
