#include "detector.h"

cDetector::cDetector() : currentItem(uninstallItems.end()), isWow64(detectWow64()) {}

cDetector::~cDetector() {
  // App Paths records first, then the Uninstall records, then the rest.
  deleteAppPathItems();
  deleteUninstallItems();
}

void cDetector::deleteUninstallItems() {
  uninstallItems.clear();
  currentItem = uninstallItems.end();
}

void cDetector::deleteAppPathItems() { appPathItems.clear(); }

void cDetector::clearCachedSets() {
  cachedUninstallKeys.clear();
  cachedExecutables.clear();
}

void cDetector::recordUninstallKey(const std::u16string& text) { cachedUninstallKeys.insert(text); }

void cDetector::recordExecutable(const std::u16string& text) { cachedExecutables.insert(text); }

void cDetector::insertUninstallItem(const std::u16string& key, std::unique_ptr<AppInstalledItem> item) {
  // try_emplace leaves `item` alone when the key is taken; it is destroyed on return.
  uninstallItems.try_emplace(key, std::move(item));
}

void cDetector::insertAppPathItem(const std::u16string& key, std::unique_ptr<AppPathItem> item) {
  appPathItems.try_emplace(key, std::move(item));
}
