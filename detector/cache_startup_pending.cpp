// PENDING: stands in for the cache start-up until the cache database lands
// (cache_startup.cpp replaces this file). Until then no cache can be used, which
// takes the documented fallback: a full scan, and ModeRefreshed.
#include "detector.h"

int cDetector::cacheStartup() {
  int status = scanRegistry();
  mode = ModeRefreshed;
  return status;
}
