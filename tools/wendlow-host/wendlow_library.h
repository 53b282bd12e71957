// The library as a host uses it: loaded at run time, its functions looked up by name,
// strings passed by reference, every result string freed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resource.h"
#include "text_rows.h"
#include "wendlow.h"

struct WendlowExports {
  decltype(&::InitDetector) InitDetector = nullptr;
  decltype(&::DeleteDetector) DeleteDetector = nullptr;
  decltype(&::FirstUninstallItem) FirstUninstallItem = nullptr;
  decltype(&::NextUninstallItem) NextUninstallItem = nullptr;
  decltype(&::getCurrentItemKey) getCurrentItemKey = nullptr;
  decltype(&::getCurrentItemStr) getCurrentItemStr = nullptr;
  decltype(&::getCurrentItemLong) getCurrentItemLong = nullptr;
  decltype(&::isInstalled) isInstalled = nullptr;
  decltype(&::isInstalledWildCard) isInstalledWildCard = nullptr;
  decltype(&::RefreshCache) RefreshCache = nullptr;
  decltype(&::SaveDetectorCache) SaveDetectorCache = nullptr;
  decltype(&::getDetectorMode) getDetectorMode = nullptr;  // the extension
};

// getDetectorMode's answer when queries are answered from the names in the cache.
constexpr std::int32_t kModeCached = 2;

class WendlowLibrary {
 public:
  // Loads Wendlow.dll (libWendlow.so beside the executable on Linux) and looks up all
  // eleven functions and the extension getDetectorMode. False, with the reason in
  // `error`, when either fails.
  bool load(std::string& error);
  const WendlowExports& exports() const { return exports_; }

 private:
  platform::unique_module module_;
  WendlowExports exports_;
};

// An OLE Automation result string's text; null gives the empty string.
std::u16string_view resultStringView(win::BSTR text);
// Copies an OLE Automation result string and frees it.
std::u16string takeResultString(win::BSTR text);

// One detector for the life of the object; DeleteDetector when it goes.
class DetectorSession {
 public:
  // `cachePath` null: the library's default cache file.
  DetectorSession(const WendlowExports& exports, std::int32_t mode, const std::u16string* cachePath);
  DetectorSession(const DetectorSession&) = delete;
  DetectorSession& operator=(const DetectorSession&) = delete;
  ~DetectorSession();

  WendlowHandle handle() const { return handle_; }
  std::int32_t status() const { return status_; }
  const WendlowExports& exports() const { return exports_; }

 private:
  const WendlowExports& exports_;
  WendlowHandle handle_ = nullptr;
  std::int32_t status_ = 0;
};

// The properties a listing shows, in column order after the key.
extern const std::vector<std::u16string> kListedProperties;

// Appends one row per Uninstall entry: the `leading` cells, its key, then one value per
// kListedProperties. Walks the entries from the first; the cursor's step onto the end still
// reports a move, and the reading made before the step that reports none is no entry.
void listUninstallEntries(const DetectorSession& session, TextRows& rows, const std::vector<std::u16string>& leading);
inline TextRows listUninstallEntries(const DetectorSession& session) {
  TextRows rows;
  listUninstallEntries(session, rows, {});
  return rows;
}
