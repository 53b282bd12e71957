// SaveDetectorCache.
#include "export_frame.h"

extern "C" {

std::int32_t WENDLOW_CALL SaveDetectorCache(WendlowHandle detector) {
  // A save that ends in an exception has not saved: report the file as unusable.
  return wendlow::guarded(detector, std::int32_t{-1},
                          [](cDetector& d) { return static_cast<std::int32_t>(d.saveDetectorCache()); });
}

}  // extern "C"
