// The reader of Wine's registry files on any bytes. What it accepts must survive the trip
// through the stand-in's own .reg writer: saved, read back and saved again to the same bytes.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "portable/registry_control.h"
#include "registry/registry_store.h"
#include "registry_files/reg_file.h"
#include "registry_files/wine_registry.h"
#include "saved_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  portable::resetRegistry();
  {
    portable::RegistryStore& store = portable::registryStore();
    auto lock = store.lock();
    auto text = portable::wineTextInMemory(std::string(reinterpret_cast<const char*>(data), size));
    portable::WineArch arch = portable::WineArch::Unknown;
    if (!portable::applyWineRegistry(store, text, "fuzz input", 0, arch).empty()) return 0;
  }
  const std::string first = savedRegistry();
  portable::resetRegistry();
  FUZZ_CHECK(portable::loadRegData(first, "saved").ok);
  FUZZ_CHECK(savedRegistry() == first);
  return 0;
}
