// The enumeration cursor over uninstallItems.
#include "detector.h"

void cDetector::firstItem() { currentItem = uninstallItems.begin(); }

bool cDetector::nextItem() {
  if (uninstallItems.empty() || currentItem == uninstallItems.end()) return false;
  ++currentItem;
  return true;
}

const cDetector::UninstallMap::value_type* cDetector::currentEntry() const {
  if (uninstallItems.empty() || currentItem == uninstallItems.end()) return nullptr;
  return &*currentItem;
}

bool cDetector::currentKey(std::u16string& key) const {
  const UninstallMap::value_type* entry = currentEntry();
  if (entry == nullptr) {
    key.clear();
    return false;
  }
  key = entry->first;
  return true;
}

bool cDetector::currentValue(std::u16string_view name, std::u16string& value) const {
  const UninstallMap::value_type* entry = currentEntry();
  if (entry == nullptr) {
    value.clear();
    return false;
  }
  value = entry->second->getValue(name);
  return true;
}
