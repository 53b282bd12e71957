// registryChanged: whether the Uninstall registrations changed since the cache was saved.
#include "detector.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "registry_locations.h"
#include "registry_reader.h"

namespace {

// Compares the Uninstall key's last-write time in one view with `stored`, and stores the
// registry's time there. A key that cannot be opened, or whose time cannot be read, leaves
// nothing to compare with: that counts as changed, so the caller scans.
bool viewChanged(win::REGSAM access, win::FILETIME& stored) {
  platform::unique_hkey key = cRegistryReader::openMachineKey(kUninstallRoot, access);
  if (!key) return true;
  win::FILETIME current{};
  if (win::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, &current) != win::ERROR_SUCCESS) {
    return true;
  }
  const bool changed = win::CompareFileTime(&current, &stored) != 0;
  stored = current;
  return changed;
}

}  // namespace

bool cDetector::registryChanged() {
  const bool defaultView = viewChanged(kDefaultViewAccess, lastWriteTime32);
  if (!isWow64) return defaultView;
  // Both views are read so both times are current for the next save; a change in either
  // view means the cached names may be stale.
  const bool bits64View = viewChanged(k64BitViewAccess, lastWriteTime64);
  return defaultView || bits64View;
}
