// Last-write stamps: FILETIME counts from the system clock (or a clock a test sets),
// each strictly greater than the one before it in the process.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace portable {

// 1 January 1970 as a FILETIME count.
inline constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

class StampClock {
 public:
  std::uint64_t next();
  void fix(std::uint64_t next);  // stamps from now on: next, next + 1, ...
  void useReal() { fixed_ = false; }
  void atLeast(std::uint64_t stamp);  // later stamps come after this one

 private:
  bool fixed_ = false;
  std::uint64_t fixedNext_ = 0;
  std::uint64_t last_ = 0;
};

win::FILETIME toFileTime(std::uint64_t stamp);
std::uint64_t fromFileTime(const win::FILETIME& time);

}  // namespace portable
