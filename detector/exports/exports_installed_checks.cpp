// isInstalled and isInstalledWildCard.
#include "export_frame.h"

using wendlow::guarded;

extern "C" {

WendlowBool16 WENDLOW_CALL isInstalled(WendlowHandle detector, WendlowStringRef name) {
  return guarded(detector, wendlow::kFalse16,
                 [name](cDetector& d) { return wendlow::toBool16(d.isInstalled(wendlow::readStringRef(name))); });
}

WendlowBool16 WENDLOW_CALL isInstalledWildCard(WendlowHandle detector, WendlowStringRef pattern) {
  return guarded(detector, wendlow::kFalse16, [pattern](cDetector& d) {
    return wendlow::toBool16(d.isInstalledWildCard(wendlow::readStringRef(pattern)));
  });
}

}  // extern "C"
