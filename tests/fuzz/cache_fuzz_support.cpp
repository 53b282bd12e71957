#include "cache_fuzz_support.h"

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <system_error>

#include "detector.h"
#include "fuzz_check.h"
#include "scratch_dir.h"

namespace cachefuzz {

namespace {

// Far more than a cache of three names takes, far less than stored code could write.
constexpr std::uintmax_t kGrowthAllowed = 1 << 20;

std::unique_ptr<cDetector> detectorOn(const std::filesystem::path& file, bool wow64) {
  auto detector = std::make_unique<cDetector>();
  detector->isWow64 = wow64;
  detector->cachePath = file.u16string();
  return detector;
}

std::uintmax_t sizeOf(const std::filesystem::path& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  return error ? 0 : size;
}

std::uintmax_t textBytes(const cDetector::StringSet& names) {
  std::uintmax_t bytes = 0;
  for (const auto& name : names) bytes += name.size() * sizeof(char16_t);
  return bytes;
}

// Every connection SQLite opens would otherwise allocate its lookaside and a first block of
// page cache in one piece each; under the sanitizer these large blocks took a good part of
// every execution. Set once, before SQLite's first use in the process.
void allocateSqliteMemoryByTheCall() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_LOOKASIDE, 0, 0);
    sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
    return true;
  }();
  (void)configured;
}

}  // namespace

std::filesystem::path freshCacheFile() {
  allocateSqliteMemoryByTheCall();
  static const ScratchDir dir;
  for (const char* name :
       {"Cache.db", "Cache.db.new", "Cache.db.unusable", "Cache.db-journal", "Cache.db-wal", "Cache.db-shm"}) {
    std::error_code ignored;
    std::filesystem::remove(dir.file(name), ignored);
  }
  return dir.file("Cache.db");
}

void loadSaveLoad(const std::filesystem::path& file, bool wow64, const std::u16string& inputName, bool saveMustStick) {
  const std::uintmax_t before = sizeOf(file);
  {
    auto reader = detectorOn(file, wow64);
    const int loaded = reader->loadCache();
    FUZZ_CHECK(loaded == 1 || loaded == -1 || loaded == -2);
    FUZZ_CHECK(textBytes(reader->cachedExecutables) + textBytes(reader->cachedUninstallKeys) <= before);
  }

  auto writer = detectorOn(file, wow64);
  writer->lastWriteTime32 = {0x89ABCDEFu, 0x01234567u};
  writer->lastWriteTime64 = {0xFFFFFFFFu, 0x80000000u};
  writer->recordUninstallKey(u"fuzz key");
  writer->recordUninstallKey(inputName);
  writer->recordExecutable(u"fuzz.exe");
  const int saved = writer->saveCache();
  FUZZ_CHECK(saved == 1 || saved == -1);
  FUZZ_CHECK(sizeOf(file) <= before + kGrowthAllowed);
  if (saved != 1 || !saveMustStick) return;

  auto reader = detectorOn(file, wow64);
  FUZZ_CHECK(reader->loadCache() == 1);
  FUZZ_CHECK(reader->cachedUninstallKeys == writer->cachedUninstallKeys);
  FUZZ_CHECK(reader->cachedExecutables == writer->cachedExecutables);
  FUZZ_CHECK(reader->lastWriteTime32.dwLowDateTime == writer->lastWriteTime32.dwLowDateTime);
  FUZZ_CHECK(reader->lastWriteTime32.dwHighDateTime == writer->lastWriteTime32.dwHighDateTime);
  if (wow64) {
    FUZZ_CHECK(reader->lastWriteTime64.dwLowDateTime == writer->lastWriteTime64.dwLowDateTime);
    FUZZ_CHECK(reader->lastWriteTime64.dwHighDateTime == writer->lastWriteTime64.dwHighDateTime);
  }
}

}  // namespace cachefuzz
