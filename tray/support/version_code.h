// The release code that clsOS derives from a version record.
#pragma once

#include <cstdint>

#include "platform/sysinfo.h"

namespace tray {

// First matching row wins: 7 Vista (NT 6.0), 6 XP (NT 5.1), 5 2000 (NT 5.0), 4 NT 4, 3 ME (1/4.90),
// 2 98 (platform 1 above 4, or major 4 with minor above 0 on any platform left), 1 95 (1/4.0), else 0.
// A record of a failed query (all zero) gives 0.
std::int32_t VersionCodeOf(const win::OSVERSIONINFOA& version);

}  // namespace tray
