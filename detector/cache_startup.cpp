// Where InitDetector and SaveDetectorCache meet the cache file.
#include "detector.h"

int cDetector::cacheStartup() {
  // registryChanged runs only for a cache that loaded.
  if (loadCache() == 1 && !registryChanged()) return loadCachedEntries();
  const int status = scanRegistry();
  mode = ModeRefreshed;
  return status;
}

int cDetector::saveDetectorCache() {
  loadCachedEntries();
  mode = ModeCached;
  return saveCache();
}
