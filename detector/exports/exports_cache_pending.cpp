// PENDING: SaveDetectorCache reports "cannot open the cache file" until the cache
// database lands (exports_cache.cpp replaces this file).
#include "export_frame.h"

extern "C" {

std::int32_t WINPLAT_STDCALL SaveDetectorCache(WendlowHandle) { return -1; }

}  // extern "C"
