// Windows (run under Wine): a full scan through the loaded library beside a bare loop
// making exactly the same registry calls, on a machine with 5,000 extra Uninstall
// entries. Prints the median times and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "bench_timing.h"
#include "wendlow_library.h"

using bench::Clock;
using bench::medianMs;

int main(int argc, char** argv) {
  const std::size_t entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;

  WendlowLibrary library;
  std::string error;
  if (!library.load(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const WendlowExports& e = library.exports();

  bench::removePopulated();
  auto fillStart = Clock::now();
  if (!bench::populate(entries, entries / 10)) {
    std::fprintf(stderr, "the registry refused the benchmark's entries\n");
    bench::removePopulated();
    return 1;
  }
  const double fillMs = std::chrono::duration<double, std::milli>(Clock::now() - fillStart).count();

  const bool wow64 = bench::processIsWow64();
  {
    DetectorSession probe(e, 1, nullptr);
    std::printf("entries listed by the detector: %zu\n", listUninstallEntries(probe).size());
  }

  std::size_t opened = 0;
  const double scanMs = medianMs(rounds, [&] {
    std::int32_t status = 0;
    WendlowHandle h = e.InitDetector(1, nullptr, &status);
    e.DeleteDetector(h);
  });
  const double bareMs = medianMs(rounds, [&] { opened = bench::bareScanLoop(wow64); });
  bench::removePopulated();

  std::printf("benchmark entries:   %zu Uninstall + %zu App Paths (filled in %.0f ms)\n", entries, entries / 10,
              fillMs);
  std::printf("two registry views:  %s\n", wow64 ? "yes" : "no");
  std::printf("subkeys opened/scan: %zu\n", opened);
  std::printf("full scan (median of %d):  %.1f ms\n", rounds, scanMs);
  std::printf("bare loop (median of %d):  %.1f ms\n", rounds, bareMs);
  std::printf("ratio scan / bare loop:   %.2f\n", scanMs / bareMs);
  return 0;
}
