// Full scans on the stand-in registry: InitDetector in scan mode plus DeleteDetector, for
// 1,000 / 10,000 / 100,000 Uninstall entries, beside the bare registry loop. Peak memory
// is the process's maximum resident set (getrusage), reported after each size; it includes
// the stand-in registry itself, so the heap a finished detector holds is reported apart
// (measured once, outside the timed loop).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "bench_registry.h"
#include "portable/registry_control.h"
#include "wendlow.h"

namespace {

double maxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Heap bytes in use now (glibc); the difference around InitDetector is what a detector holds.
double heapInUseMiB() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

// The registry is refilled only when the size changes.
void prepareMachine(std::size_t entries) {
  static std::size_t prepared = 0;
  if (prepared == entries) return;
  portable::resetRegistry();
  if (!bench::populate(entries, entries / 10)) {
    std::fprintf(stderr, "the registry refused the benchmark's entries\n");
    std::exit(1);
  }
  prepared = entries;
}

void FullScan(benchmark::State& state) {
  const auto entries = static_cast<std::size_t>(state.range(0));
  prepareMachine(entries);
  std::int32_t status = 0;
  const double heapBefore = heapInUseMiB();
  WendlowHandle held = InitDetector(1, nullptr, &status);
  const double detectorHeap = heapInUseMiB() - heapBefore;
  DeleteDetector(held);
  for (auto _ : state) {
    WendlowHandle h = InitDetector(1, nullptr, &status);
    benchmark::DoNotOptimize(h);
    DeleteDetector(h);
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["maxrss_MiB"] = maxRssMiB();
  state.counters["detector_heap_MiB"] = detectorHeap;
  state.counters["per_entry_us"] = benchmark::Counter(static_cast<double>(entries) * state.iterations(),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BareRegistryLoop(benchmark::State& state) {
  const auto entries = static_cast<std::size_t>(state.range(0));
  prepareMachine(entries);
  const bool wow64 = bench::processIsWow64();
  for (auto _ : state) benchmark::DoNotOptimize(bench::bareScanLoop(wow64));
  state.counters["entries"] = static_cast<double>(entries);
}

// Grouped by size, so each registry is built once.
BENCHMARK(FullScan)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BareRegistryLoop)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(FullScan)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BareRegistryLoop)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(FullScan)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BareRegistryLoop)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
