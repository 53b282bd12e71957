// What went wrong while the platform layer started, for hosts and tests to report.
#pragma once

#include <string>

namespace platform {

// Empty when all is well; otherwise why the saved state could not be used
// (e.g. "reg.reg:12: ..." when the stand-in registry's file was malformed). An offline
// hive is read on demand, so a damaged one may be found, and reported here, later.
std::string startupError();

}  // namespace platform
