// Which way a detector was filled at start-up, for the host's report. The handle is the
// detector's address; this tool is built together with the library, so it may read the
// mode field that the exported interface does not offer. Hosts outside the project must not.
#pragma once

#include <cstdint>

#include "wendlow.h"

std::int32_t detectorMode(WendlowHandle handle);
// Whether queries are answered from the recorded names (mode 2) rather than the entries.
bool answersFromCache(WendlowHandle handle);
