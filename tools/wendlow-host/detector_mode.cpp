#include "detector_mode.h"

#include "detector.h"

std::int32_t detectorMode(WendlowHandle handle) { return handle == nullptr ? 0 : handle->mode; }

bool answersFromCache(WendlowHandle handle) { return detectorMode(handle) == ModeCached; }
