// The enumeration cursor over uninstallItems.
#include "detector.h"

void cDetector::firstItem() { currentItem = uninstallItems.begin(); }

bool cDetector::nextItem() {
  if (uninstallItems.empty() || currentItem == uninstallItems.end()) return false;
  ++currentItem;
  return true;
}

bool cDetector::currentKey(std::u16string& key) const {
  if (uninstallItems.empty() || currentItem == uninstallItems.end()) {
    key.clear();
    return false;
  }
  key = currentItem->first;
  return true;
}

bool cDetector::currentValue(const std::u16string& name, std::u16string& value) const {
  if (uninstallItems.empty() || currentItem == uninstallItems.end()) {
    value.clear();
    return false;
  }
  value = currentItem->second->getValue(name);
  return true;
}
