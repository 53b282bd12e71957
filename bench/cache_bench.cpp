// The cache's pay-off, through the loaded library on either build: with N Uninstall entries
// (10,000 by default) and 50 recorded names, a cached start (InitDetector mode 2 on a
// current cache) against a full scan (mode 1), as medians and their ratio; then isInstalled
// and a wildcard query matching only the last key in order, per call.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "bench_timing.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "wendlow_library.h"

using bench::medianMs;
using bench::decimal;
using bench::microsecondsPerCall;

namespace {

// The key populate gives entry i, as the detector files it.
std::u16string benchKey(std::size_t i) { return u"wendlowbench program " + decimal(i); }

struct Session {
  Session(const WendlowExports& e, std::int32_t mode, const std::u16string& cache) : e(e) {
    std::int32_t status = 0;
    handle = e.InitDetector(mode, cache.c_str(), &status);
  }
  ~Session() { e.DeleteDetector(handle); }
  bool installed(const std::u16string& name) const {
    const char16_t* text = name.c_str();
    return e.isInstalled(handle, &text) != 0;
  }
  bool installedWildCard(const std::u16string& pattern) const {
    const char16_t* text = pattern.c_str();
    return e.isInstalledWildCard(handle, &text) != 0;
  }
  const WendlowExports& e;
  WendlowHandle handle = nullptr;
};

// A cache counts as current only while every view's Uninstall key can be read; Windows has
// both, the stand-in registry only what was written.
void ensureUninstallKeys() {
  for (win::REGSAM view : {win::REGSAM{0}, win::KEY_WOW64_64KEY}) {
    if (view != 0 && !bench::processIsWow64()) break;
    platform::unique_hkey key;
    win::RegCreateKeyExW(win::HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                         nullptr, win::REG_OPTION_NON_VOLATILE, win::KEY_READ | view, nullptr, key.put(), nullptr);
  }
}

int fail(const char* message) {
  std::fprintf(stderr, "cache bench: %s\n", message);
  bench::removePopulated();
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  constexpr std::size_t kRecorded = 50;
  if (entries < kRecorded) return fail("needs at least 50 entries");

  WendlowLibrary library;
  std::string error;
  if (!library.load(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const WendlowExports& e = library.exports();

  bench::removePopulated();
  if (!bench::populate(entries, entries / 10)) return fail("the registry refused the benchmark's entries");
  ensureUninstallKeys();
  const std::u16string cache = (std::filesystem::temp_directory_path() / "wendlow-cache-bench.db").u16string();
  std::filesystem::remove(std::filesystem::path(cache));

  // The last bench key in code-unit order, and a pattern that only it matches.
  std::u16string lastKey;
  for (std::size_t i = 0; i < entries; ++i) lastKey = std::max(lastKey, benchKey(i));
  const std::u16string lastOnly = u"*program " + lastKey.substr(std::u16string(u"wendlowbench program ").size());

  {
    Session writer(e, 2, cache);
    for (std::size_t i = 0; i < kRecorded; ++i) {
      if (!writer.installed(benchKey(i * (entries / kRecorded)))) return fail("a bench entry was not found");
    }
    if (e.SaveDetectorCache(writer.handle) != 1) return fail("the cache could not be saved");
  }
  {
    Session check(e, 2, cache);
    if (e.getDetectorMode(check.handle) != kModeCached) return fail("the saved cache was not used");
  }

  const double cachedMs = medianMs(rounds, [&] { Session s(e, 2, cache); });
  const double scanMs = medianMs(rounds, [&] { Session s(e, 1, cache); });

  double exactScanUs = 0, exactCachedUs = 0, missUs = 0, wildcardUs = 0, wildcardCachedUs = 0;
  {
    Session scanned(e, 1, cache);
    const std::u16string name = benchKey(entries / 2);
    exactScanUs = microsecondsPerCall(100000, [&] { scanned.installed(name); });
    missUs = microsecondsPerCall(100000, [&] { scanned.installed(u"wendlowbench program none"); });
    if (!scanned.installedWildCard(lastOnly)) return fail("the wildcard found nothing");
    wildcardUs = microsecondsPerCall(200, [&] { scanned.installedWildCard(lastOnly); });
    if (e.SaveDetectorCache(scanned.handle) != 1) return fail("the cache could not be saved");
  }
  {
    Session cached(e, 2, cache);
    if (e.getDetectorMode(cached.handle) != kModeCached) return fail("the saved cache was not used");
    const std::u16string name = benchKey(entries / 2);
    exactCachedUs = microsecondsPerCall(100000, [&] { cached.installed(name); });
    wildcardCachedUs = microsecondsPerCall(100000, [&] { cached.installedWildCard(lastOnly); });
  }
  bench::removePopulated();
  std::filesystem::remove(std::filesystem::path(cache));

  std::printf("uninstall entries:        %zu (+ %zu App Paths), %zu names recorded\n", entries, entries / 10,
              kRecorded);
  std::printf("two registry views:       %s\n", bench::processIsWow64() ? "yes" : "no");
  std::printf("cached start (median/%d): %.2f ms\n", rounds, cachedMs);
  std::printf("full scan    (median/%d): %.2f ms\n", rounds, scanMs);
  std::printf("ratio scan / cached:      %.1f\n", scanMs / cachedMs);
  std::printf("isInstalled, entries:     %.3f us/call (hit), %.3f us/call (miss)\n", exactScanUs, missUs);
  std::printf("isInstalled, cache:       %.3f us/call\n", exactCachedUs);
  std::printf("wildcard, last key only:  %.1f us/call (entries), %.3f us/call (cache)\n", wildcardUs,
              wildcardCachedUs);
  return 0;
}
