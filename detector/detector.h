// The detector object behind the exported interface: the entry maps, the cursor over
// the Uninstall entries, the sets of names recorded by queries, and the registry scans.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "app_installed_item.h"
#include "app_path_item.h"
#include "platform/win_types.h"

// Where queries are answered from.
constexpr std::int32_t ModeScan = 1;       // the entry maps, filled by a full scan
constexpr std::int32_t ModeCached = 2;     // the cached sets only
constexpr std::int32_t ModeRefreshed = 3;  // the entry maps, after a scan that replaced the cache

class cDetector {
 public:
  // Maps and sets order by plain UTF-16 code units (std::u16string's operator<).
  using UninstallMap = std::map<std::u16string, std::unique_ptr<AppInstalledItem>>;
  using AppPathMap = std::map<std::u16string, std::unique_ptr<AppPathItem>>;
  using StringSet = std::set<std::u16string>;

  // Empty containers, cursor at the end, ModeScan, isWow64 probed.
  cDetector();
  cDetector(const cDetector&) = delete;
  cDetector& operator=(const cDetector&) = delete;
  virtual ~cDetector();

  // --- Containers -------------------------------------------------------------------
  // Emptying the Uninstall map leaves the cursor at the end.
  void deleteUninstallItems();
  void deleteAppPathItems();
  void clearCachedSets();
  void recordUninstallKey(const std::u16string& text);
  void recordExecutable(const std::u16string& text);
  // Files the record under the key unless the key is taken: the first insert wins and
  // the offered record is destroyed.
  void insertUninstallItem(std::u16string key, std::unique_ptr<AppInstalledItem> item);
  void insertAppPathItem(std::u16string key, std::unique_ptr<AppPathItem> item);

  // --- Cursor over uninstallItems ----------------------------------------------------
  void firstItem();
  // False, without moving, at the end or on an empty map; true for every step taken,
  // the one that lands on the end included.
  bool nextItem();
  // The entry the cursor stands on; null at the end or on an empty map.
  const UninstallMap::value_type* currentEntry() const;
  // False and an empty text when there is no current entry.
  bool currentKey(std::u16string& key) const;
  bool currentValue(std::u16string_view name, std::u16string& value) const;

  // --- Registry scans (registry_scan.cpp) --------------------------------------------
  // Replaces both maps with the default view, then adds the 64-bit view when isWow64.
  int scanRegistry();
  // Adds the 64-bit view's entries; entries already filed under a key stay.
  int scanRegistry64();
  // Replaces both maps with the subkeys named in the cached sets (default view only).
  int loadCachedEntries();

  // --- Installed checks (installed_checks.cpp) ---------------------------------------
  bool isInstalled(const std::u16string& name);
  bool isInstalledWildCard(const std::u16string& pattern);
  bool findInCachedSets(const std::u16string& text) const;
  bool findUninstallKey(const std::u16string& text);
  bool findExecutable(const std::u16string& text);
  bool matchWildcard(const std::u16string& pattern);

  // --- Cache database (cache_*.cpp) ---------------------------------------------------
  // Run by InitDetector for every mode other than ModeScan; fills the maps and returns
  // the start-up status.
  int cacheStartup();
  int loadCache();
  int saveCache();
  bool registryChanged();
  // SaveDetectorCache: cut the maps down to the recorded keys, ModeCached, save.
  int saveDetectorCache();

  // Whether this process is a 32-bit one on 64-bit Windows (IsWow64Process found at run time).
  static bool detectWow64();

  // Fields, in this order.
  UninstallMap uninstallItems;
  AppPathMap appPathItems;
  StringSet uninstallValueNames;
  StringSet appPathValueNames;
  UninstallMap::iterator currentItem;
  StringSet cachedExecutables;
  StringSet cachedUninstallKeys;
  std::int32_t mode = ModeScan;
  std::u16string cachePath;
  win::FILETIME lastWriteTime32{0, 0};
  win::FILETIME lastWriteTime64{0, 0};
  bool isWow64 = false;
  // Where insertUninstallItem added last: where the next key of a scan most likely goes.
  UninstallMap::iterator lastUninstallInsert = uninstallItems.end();
};
