#include "detector.h"

cDetector::cDetector() : currentItem(uninstallItems.end()), isWow64(detectWow64()) {}

cDetector::~cDetector() {
  // App Paths records first, then the Uninstall records, then the rest.
  deleteAppPathItems();
  deleteUninstallItems();
}

void cDetector::deleteUninstallItems() {
  uninstallItems.clear();
  currentItem = lastUninstallInsert = uninstallItems.end();
}

void cDetector::deleteAppPathItems() { appPathItems.clear(); }

void cDetector::clearCachedSets() {
  cachedUninstallKeys.clear();
  cachedExecutables.clear();
}

void cDetector::recordUninstallKey(const std::u16string& text) { cachedUninstallKeys.insert(text); }

void cDetector::recordExecutable(const std::u16string& text) { cachedExecutables.insert(text); }

// try_emplace leaves `item` alone when the key is taken; it is destroyed on return. Scans
// mostly deliver keys in ascending order, though the second view's may fall among the
// first's: the search starts just after the key added last.
void cDetector::insertUninstallItem(std::u16string key, std::unique_ptr<AppInstalledItem> item) {
  auto hint = lastUninstallInsert == uninstallItems.end() ? lastUninstallInsert : std::next(lastUninstallInsert);
  lastUninstallInsert = uninstallItems.try_emplace(hint, std::move(key), std::move(item));
}

void cDetector::insertAppPathItem(std::u16string key, std::unique_ptr<AppPathItem> item) {
  appPathItems.try_emplace(appPathItems.end(), std::move(key), std::move(item));
}
