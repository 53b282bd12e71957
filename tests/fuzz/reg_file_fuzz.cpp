// The stand-in registry's .reg reader on any bytes, both ways a file is read: mounted on
// demand (a machine given to the host) and read whole (the registry file a process keeps).
// What the file gives read whole it must give on demand, key for key and time for time; and
// what one save writes must read back, and save again to the same bytes.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/diagnostics.h"
#include "portable/registry_control.h"
#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "registry_files/reg_file.h"
#include "saved_registry.h"

namespace {

// Both reads stamp what carries no recorded time with the file's time.
constexpr std::uint64_t kFileTime = 0x01d9000000000000ull;

// Into an empty registry, read whole; false when the reader refuses the bytes.
bool loadWhole(std::string_view bytes, std::uint64_t fileTime) {
  portable::resetRegistry();
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  portable::MemoryBytes source(bytes);
  return portable::applyRegFile(store, source, "fuzz input", true, fileTime).empty();
}

// Mounted on demand and read through by a save; false when refused, when reading a key
// found damage, or for deletions (such a file is read whole).
bool loadOnDemand(std::string_view bytes, std::string& saved) {
  portable::resetRegistry();
  portable::beginMachineMount();
  {
    portable::RegistryStore& store = portable::registryStore();
    auto lock = store.lock();
    auto text = portable::fileTextInMemory(std::string(bytes));
    portable::RegIndex index;
    if (!portable::indexRegFile(text->bytes(), "fuzz input", index).empty() || index.deletions) return false;
    portable::mountRegFile(store, text, std::move(index), "fuzz input", kFileTime);
  }
  saved = savedRegistry();
  return platform::startupError().empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string onDemand;
  const bool mounted = loadOnDemand(input, onDemand);
  const bool whole = loadWhole(input, kFileTime);
  FUZZ_CHECK(whole || !mounted);
  if (mounted) FUZZ_CHECK(savedRegistry() == onDemand);
  if (!loadWhole(input, 0)) return 0;
  const std::string first = savedRegistry();
  FUZZ_CHECK(loadWhole(first, 0));
  FUZZ_CHECK(savedRegistry() == first);
  return 0;
}
