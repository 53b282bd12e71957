// saveCache: the recorded names and the current registry times, in one transaction.
#include "cache_file_check.h"
#include "cache_file_replace.h"
#include "cache_statements.h"
#include "cache_time_text.h"
#include "cachedb/data_loader.h"
#include "detector.h"

namespace {

// Empties and refills both tables; statement results are not looked at, so one failing
// statement does not stop the others. Tables of our names made some other way are dropped
// first, and so is a cacheinfo of the other layout: this detector's times would not fit.
// Returns whether the transaction ended well.
bool writeCacheContent(cDataLoader& loader, const cDetector& detector, const CacheFileCheck& found) {
  loader.beginTransaction();
  if (found.plugincache == TableShape::Unexpected) loader.execute(cache_sql::kDropPluginCache);
  loader.execute(cache_sql::kDeletePluginCache);
  loader.execute(cache_sql::kCreatePluginCache);

  if (found.cacheinfo == TableShape::Unexpected || found.cacheinfo == TableShape::OtherOurs) {
    loader.execute(cache_sql::kDropCacheInfo);
  }
  loader.execute(cache_sql::kDeleteCacheInfo);
  const win::FILETIME& time32 = detector.lastWriteTime32;
  if (!detector.isWow64) {
    loader.execute(cache_sql::kCreateCacheInfo32);
    loader.execute(cache_sql::kInsertCacheInfo32,
                   {cache_sql::kVersion, timeHalfToText(time32.dwHighDateTime), timeHalfToText(time32.dwLowDateTime)});
  } else {
    const win::FILETIME& time64 = detector.lastWriteTime64;
    loader.execute(cache_sql::kCreateCacheInfo64);
    loader.execute(cache_sql::kInsertCacheInfo64,
                   {cache_sql::kVersion, timeHalfToText(time32.dwHighDateTime), timeHalfToText(time32.dwLowDateTime),
                    timeHalfToText(time64.dwHighDateTime), timeHalfToText(time64.dwLowDateTime)});
  }

  for (const std::u16string& name : detector.cachedUninstallKeys) {
    loader.execute(cache_sql::kInsertUninstallKey, {name});
  }
  for (const std::u16string& name : detector.cachedExecutables) {
    loader.execute(cache_sql::kInsertExecutable, {name});
  }
  return loader.endTransaction() == 0;
}

}  // namespace

int cDetector::saveCache() {
  {
    cDataLoader loader;
    const int opened = loader.open(cachePath);
    if (opened == 0) {
      const CacheFileCheck found = checkCacheFile(loader, isWow64);
      if (!found.replaceable()) {
        // A sound database whose text we cannot read holds someone else's tables: leave it.
        if (found.sound && !found.utf16) return -1;
        writeCacheContent(loader, *this, found);
        loader.close();
        return 1;
      }
    } else if (!cDataLoader::isUnusableFileResult(opened)) {
      return -1;  // no file can be made there (no such folder, no right to write, ...)
    }
  }
  // The file is no database, or a damaged one: a new cache takes its place.
  const bool replaced = replaceFileWith(cachePath, [this](const std::u16string& newPath) {
    cDataLoader loader;
    if (loader.open(newPath) != 0) return false;
    const bool written = writeCacheContent(loader, *this, CacheFileCheck{});
    return loader.close() == 0 && written;
  });
  return replaced ? 1 : -1;
}
