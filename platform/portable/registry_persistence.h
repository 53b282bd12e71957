// Keeping the stand-in registry in a .reg file named by WINPLAT_REGISTRY_FILE.
#pragma once

#include <string>
#include <vector>

#include "reg_file.h"

namespace portable {

class RegistryStore;

// Loads the file into the new store and arranges the save at exit. A malformed file
// leaves the store empty, is never overwritten and is reported by platform::startupError().
void startPersistence(RegistryStore& store);

// Every hive, for a save (the store's lock held).
std::vector<RegSubtree> wholeRegistry(RegistryStore& store);

}  // namespace portable
