// Timing helpers for the plain (non-Google-Benchmark) programs: medians over rounds and
// per-call averages, on the steady clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

template <typename Work>
double medianMs(int rounds, Work work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    auto start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

template <typename Work>
double microsecondsPerCall(int calls, Work work) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) work();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

}  // namespace bench
