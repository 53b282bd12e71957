#include "registry/stamp_clock.h"

#include <chrono>

namespace portable {

namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.

std::uint64_t systemNow() {
  auto since = std::chrono::system_clock::now().time_since_epoch();
  auto ticks = std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>>(since);
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(ticks.count());
}

}  // namespace

std::uint64_t StampClock::next() {
  std::uint64_t now = fixed_ ? fixedNext_++ : systemNow();
  if (now <= last_) now = last_ + 1;
  last_ = now;
  return now;
}

void StampClock::fix(std::uint64_t next) {
  fixed_ = true;
  fixedNext_ = next;
  last_ = next == 0 ? 0 : next - 1;
}

void StampClock::atLeast(std::uint64_t stamp) {
  if (stamp > last_) last_ = stamp;
}

win::FILETIME toFileTime(std::uint64_t stamp) {
  return win::FILETIME{static_cast<win::DWORD>(stamp), static_cast<win::DWORD>(stamp >> 32)};
}

std::uint64_t fromFileTime(const win::FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace portable
