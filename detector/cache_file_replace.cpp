#include "cache_file_replace.h"

#include <filesystem>

namespace fs = std::filesystem;

bool replaceFileWith(const std::u16string& path, const std::function<bool(const std::u16string& newPath)>& write) {
  const std::u16string newPath = path + u".new";
  std::error_code error;
  try {
    const fs::path target(path);
    const fs::path fresh(newPath);
    const fs::path aside(path + u".unusable");
    fs::remove(fresh, error);  // left by a save that was cut short

    const bool written = write(newPath);
    const bool kept = written && fs::copy_file(target, aside, fs::copy_options::overwrite_existing, error);
    if (kept) {
      fs::rename(fresh, target, error);
      if (!error) return true;
    }
    fs::remove(fresh, error);
    return false;
  } catch (...) {
    // A path that has no form on this system, or no memory for one.
    fs::remove(fs::path(newPath), error);
    return false;
  }
}
