// The reader of Wine's registry files on any bytes. What it accepts must survive the trip
// through the stand-in's own .reg writer: saved, read back and saved again to the same bytes.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "portable/registry_control.h"
#include "reg_file.h"
#include "registry_persistence.h"
#include "registry_store.h"
#include "wine_registry.h"

namespace {

std::string saved() {
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  return portable::regFileBytes(portable::wholeRegistry(store));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  portable::resetRegistry();
  {
    portable::RegistryStore& store = portable::registryStore();
    auto lock = store.lock();
    portable::MemoryBytes source(std::string_view(reinterpret_cast<const char*>(data), size));
    portable::WineArch arch = portable::WineArch::Unknown;
    if (!portable::applyWineRegistry(store, source, "fuzz input", arch).empty()) return 0;
  }
  const std::string first = saved();
  portable::resetRegistry();
  FUZZ_CHECK(portable::loadRegData(first, "saved").ok);
  FUZZ_CHECK(saved() == first);
  return 0;
}
