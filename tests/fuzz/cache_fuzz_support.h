// Shared by the two cache targets: the cache file of the process, and one load, save and
// load again on whatever the file holds.
#pragma once

#include <filesystem>
#include <string>

namespace cachefuzz {

// "Cache.db" in a folder of this process's own, removed at exit; the file itself is
// removed, with whatever a save left beside it.
std::filesystem::path freshCacheFile();

// Loads the file, then saves a known cache into it (one name from the input among them):
// the load gives a defined result and no more than the file holds, and the save does not
// make the file grow by more than the cache it writes. With `saveMustStick`, a save that
// reports success must read back as exactly what was saved.
void loadSaveLoad(const std::filesystem::path& file, bool wow64, const std::u16string& inputName, bool saveMustStick);

}  // namespace cachefuzz
