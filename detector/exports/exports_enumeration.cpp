// The cursor over the Uninstall entries: FirstUninstallItem, NextUninstallItem and the
// three readers of the current entry.
#include "export_frame.h"

using wendlow::guarded;

extern "C" {

std::int32_t WENDLOW_CALL FirstUninstallItem(WendlowHandle detector) {
  return guarded(detector, std::int32_t{0}, [](cDetector& d) {
    d.firstItem();
    return std::int32_t{0};
  });
}

std::int32_t WENDLOW_CALL NextUninstallItem(WendlowHandle detector) {
  return guarded(detector, std::int32_t{0}, [](cDetector& d) { return std::int32_t{d.nextItem() ? -1 : 0}; });
}

WendlowString WENDLOW_CALL getCurrentItemKey(WendlowHandle detector) {
  win::BSTR result = guarded(detector, win::BSTR{nullptr}, [](cDetector& d) {
    const auto* entry = d.currentEntry();
    return entry != nullptr ? wendlow::resultString(entry->first) : wendlow::emptyResultString();
  });
  return result != nullptr ? result : wendlow::emptyResultString();
}

WendlowString WENDLOW_CALL getCurrentItemStr(WendlowHandle detector, WendlowStringRef propertyName) {
  win::BSTR result = guarded(detector, win::BSTR{nullptr}, [propertyName](cDetector& d) {
    const auto* entry = d.currentEntry();
    if (entry == nullptr) return wendlow::emptyResultString();
    return wendlow::resultString(entry->second->getValue(wendlow::viewStringRef(propertyName)));
  });
  return result != nullptr ? result : wendlow::emptyResultString();
}

// No property is numeric.
std::int32_t WENDLOW_CALL getCurrentItemLong(WendlowHandle) { return 0; }

}  // extern "C"
