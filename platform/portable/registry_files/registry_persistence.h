// Keeping the stand-in registry in a .reg file named by WINPLAT_REGISTRY_FILE.
#pragma once

#include <string>
#include <vector>

#include "registry_files/reg_file.h"

namespace portable {

class RegistryStore;

// Loads the file into the new store and arranges the save at exit. A file that cannot be
// used (malformed, no regular file, too large for memory) leaves the store empty, is never
// overwritten and is reported by platform::startupError(); so is running out of memory
// while loading, once. A missing file starts empty and is written at exit. An offline
// hive is mounted read-only and never written.
void startPersistence(RegistryStore& store);

// Every hive, for a save (the store's lock held).
std::vector<RegSubtree> wholeRegistry(RegistryStore& store);

}  // namespace portable
