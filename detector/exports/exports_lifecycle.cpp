// InitDetector, DeleteDetector, RefreshCache.
#include <memory>

#include "export_frame.h"

using wendlow::guarded;

extern "C" {

WendlowHandle WENDLOW_CALL InitDetector(std::int32_t mode, const WendlowChar* cacheFile, std::int32_t* status) {
  try {
    auto detector = std::make_unique<cDetector>();
    detector->mode = mode;
    // A relative name: the file lies in the host's current directory.
    detector->cachePath = cacheFile != nullptr ? std::u16string(cacheFile) : std::u16string(u"Cache.db");
    const std::int32_t result = mode == ModeScan ? detector->scanRegistry() : detector->cacheStartup();
    if (status != nullptr) *status = result;
    return wendlow::handleOf(detector.release());
  } catch (...) {
    return nullptr;
  }
}

std::int32_t WENDLOW_CALL DeleteDetector(WendlowHandle detector) {
  if (detector == nullptr) return 1;
  try {
    delete wendlow::detectorOf(detector);
    return 1;
  } catch (...) {
    return 0;
  }
}

std::int32_t WENDLOW_CALL RefreshCache(WendlowHandle detector) {
  return guarded(detector, std::int32_t{1}, [](cDetector& d) {
    d.clearCachedSets();
    d.mode = ModeRefreshed;
    return static_cast<std::int32_t>(d.scanRegistry());
  });
}

}  // extern "C"
