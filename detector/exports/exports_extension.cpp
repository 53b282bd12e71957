// getDetectorMode: an extension beside the eleven exports, for hosts that report where
// answers come from. Hosts may ignore it.
#include "export_frame.h"

extern "C" {

std::int32_t WENDLOW_CALL getDetectorMode(WendlowHandle detector) {
  return wendlow::guarded(detector, std::int32_t{0}, [](cDetector& d) { return d.mode; });
}

}  // extern "C"
