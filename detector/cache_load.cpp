// loadCache: the recorded names and the registry times of the last save.
#include <cstdint>
#include <utility>

#include "cache_file_check.h"
#include "cache_statements.h"
#include "cache_time_text.h"
#include "cachedb/data_loader.h"
#include "detector.h"

namespace {

// What the file holds bounds what a load takes from it: each row costs its text's bytes and
// one more, which a stored row always takes up in the file. Rows beyond that are computed,
// not stored, and the file is not believed.
class ReadBudget {
 public:
  explicit ReadBudget(std::uint64_t fileBytes) : left_(fileBytes) {}
  bool take(const std::u16string& text) {
    const std::uint64_t cost = std::uint64_t{text.size()} * sizeof(char16_t) + 1;
    if (cost > left_) return false;
    left_ -= cost;
    return true;
  }

 private:
  std::uint64_t left_;
};

// One time half: the first row's text as a number; no row, null or no number read as 0.
bool readTimeHalf(cDataLoader& loader, const char16_t* select, ReadBudget& budget, win::DWORD& half) {
  loader.prepare(select);
  std::u16string text;
  bool done = false;
  loader.nextValue(text, done);
  loader.finalize();
  if (!done && !budget.take(text)) return false;
  half = timeHalfFromText(text);
  return true;
}

// Every name the query gives, into `names`.
bool readNames(cDataLoader& loader, const char16_t* select, ReadBudget& budget, cDetector::StringSet& names) {
  loader.prepare(select);
  std::u16string text;
  bool done = false;
  bool withinFile = true;
  for (loader.nextValue(text, done); !done && withinFile; loader.nextValue(text, done)) {
    withinFile = budget.take(text);
    if (withinFile) names.insert(text);
  }
  loader.finalize();
  return withinFile;
}

struct CacheContent {
  win::FILETIME time32;
  win::FILETIME time64;
  cDetector::StringSet executables;
  cDetector::StringSet uninstallKeys;
};

// False when the file gives more than it can hold.
bool readContent(cDataLoader& loader, bool wow64, CacheContent& content) {
  ReadBudget budget(loader.fileBytes());
  return readTimeHalf(loader, cache_sql::kSelectInstallTime1, budget, content.time32.dwHighDateTime) &&
         readTimeHalf(loader, cache_sql::kSelectInstallTime2, budget, content.time32.dwLowDateTime) &&
         (!wow64 ||
          (readTimeHalf(loader, cache_sql::kSelectInstallTime64Bit1, budget, content.time64.dwHighDateTime) &&
           readTimeHalf(loader, cache_sql::kSelectInstallTime64Bit2, budget, content.time64.dwLowDateTime))) &&
         readNames(loader, cache_sql::kSelectExecutables, budget, content.executables) &&
         readNames(loader, cache_sql::kSelectUninstallKeys, budget, content.uninstallKeys);
}

}  // namespace

int cDetector::loadCache() {
  clearCachedSets();
  cDataLoader loader;
  if (loader.open(cachePath) != 0) return -1;
  // A damaged file, text in another encoding, our tables made some other way, or views and
  // triggers in their place: what it holds cannot be trusted, and the caller scans instead.
  if (!checkCacheFile(loader, isWow64).loadable()) return -1;

  CacheContent content{lastWriteTime32, lastWriteTime64, {}, {}};
  const bool withinFile = readContent(loader, isWow64, content);
  loader.close();
  if (!withinFile) return -1;

  lastWriteTime32 = content.time32;
  lastWriteTime64 = content.time64;
  cachedExecutables = std::move(content.executables);
  cachedUninstallKeys = std::move(content.uninstallKeys);
  if (cachedExecutables.empty() && cachedUninstallKeys.empty()) return -2;

  loadCachedEntries();
  return 1;
}
