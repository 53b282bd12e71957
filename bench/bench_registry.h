// What the scan benchmarks share: a machine filled with N realistic Uninstall entries,
// and a bare loop making the scan's registry calls while keeping nothing.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win_types.h"

namespace bench {

inline const std::u16string kBenchPrefix = u"WendlowBench ";

// Writes `uninstallCount` Uninstall subkeys (eight values each, like a real installer
// leaves) and `appPathCount` App Paths subkeys into the default view. False when the
// registry refused a write.
bool populate(std::size_t uninstallCount, std::size_t appPathCount);

// Deletes every subkey written by populate.
void removePopulated();

// The registry calls of a full scan in the same order, with the same buffers and access
// masks, but nothing stored: the cost of the registry alone. Returns the number of
// subkeys it opened, so the work cannot be optimised away.
std::size_t bareScanLoop(bool wow64);

// n in decimal digits, as the entry names use it.
std::u16string decimal(std::size_t n);

// IsWow64Process, looked up as the detector looks it up.
bool processIsWow64();

}  // namespace bench
