// The cache loader on any file bytes: a damaged, truncated or foreign file, or a database
// with anything in it. Seeds are cache files of both layouts and planted ones.
#include <fstream>

#include "cache_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = cachefuzz::freshCacheFile();
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  // The layout follows the file's length, so both are tried on every kind of content.
  cachefuzz::loadSaveLoad(file, size % 2 == 1, u"name", false);
  return 0;
}
