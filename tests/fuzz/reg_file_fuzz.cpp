// The stand-in registry's .reg reader on any bytes: parse, apply, save, and parse the saved
// file again. What one save writes must read back, and save again to the same bytes.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "portable/registry_control.h"
#include "registry/registry_store.h"
#include "registry_files/reg_file.h"
#include "saved_registry.h"

namespace {

// Into an empty registry; false when the reader refuses the bytes.
bool loadInto(std::string_view bytes) {
  portable::resetRegistry();
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  portable::MemoryBytes source(bytes);
  return portable::applyRegFile(store, source, "fuzz input", true).empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!loadInto(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  const std::string first = savedRegistry();
  FUZZ_CHECK(loadInto(first));
  FUZZ_CHECK(savedRegistry() == first);
  return 0;
}
