// loadCache: the recorded names and the registry times of the last save.
#include "cache_file_check.h"
#include "cache_statements.h"
#include "cache_time_text.h"
#include "cachedb/data_loader.h"
#include "detector.h"

namespace {

// One time half: the first row's text as a number; no row, null or no number read as 0.
win::DWORD readTimeHalf(cDataLoader& loader, const char16_t* select) {
  loader.prepare(select);
  std::u16string text;
  bool done = false;
  loader.nextValue(text, done);
  loader.finalize();
  return timeHalfFromText(text);
}

// Every name of the current statement into `names`; false when the first step found none.
bool readNames(cDataLoader& loader, cDetector::StringSet& names) {
  std::u16string text;
  bool done = false;
  loader.nextValue(text, done);
  const bool any = !done;
  while (!done) {
    names.insert(text);
    loader.nextValue(text, done);
  }
  return any;
}

}  // namespace

int cDetector::loadCache() {
  clearCachedSets();
  cDataLoader loader;
  if (loader.open(cachePath) != 0) return -1;
  // A damaged file, text in another encoding, or our tables made some other way: what it
  // holds cannot be trusted, and the caller scans instead.
  if (!checkCacheFile(loader, isWow64).loadable()) return -1;

  lastWriteTime32.dwHighDateTime = readTimeHalf(loader, cache_sql::kSelectInstallTime1);
  lastWriteTime32.dwLowDateTime = readTimeHalf(loader, cache_sql::kSelectInstallTime2);
  if (isWow64) {
    lastWriteTime64.dwHighDateTime = readTimeHalf(loader, cache_sql::kSelectInstallTime64Bit1);
    lastWriteTime64.dwLowDateTime = readTimeHalf(loader, cache_sql::kSelectInstallTime64Bit2);
  }

  loader.prepare(cache_sql::kSelectExecutables);
  const bool anyExecutable = readNames(loader, cachedExecutables);
  loader.finalize();

  loader.prepare(cache_sql::kSelectUninstallKeys);
  const bool anyUninstallKey = readNames(loader, cachedUninstallKeys);
  loader.finalize();
  loader.close();
  if (!anyExecutable && !anyUninstallKey) return -2;

  loadCachedEntries();
  return 1;
}
