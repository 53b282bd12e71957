// The offline hive reader on any bytes: mounted as HKLM\SOFTWARE, then walked through the
// registry functions in both views, as the detector reads it. The header's checksum is put
// right first, or nearly every input would stop at the checksum. Besides ending without a
// fault: what a key's information reports is what its enumeration yields.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "portable/registry_control.h"
#include "registry/registry_store.h"
#include "registry_files/registry_hive.h"
#include "registry_files/registry_input_file.h"
#include "shared/unique_fd.h"

namespace {

constexpr std::size_t kChecksumOffset = 0x1FC;
// Keys visited per input: a hive whose keys point back at their parents never ends.
constexpr int kKeyBudget = 2000;
constexpr int kDepthLimit = 24;

std::vector<std::uint8_t> withHeaderChecksum(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() < kChecksumOffset + 4) return bytes;
  std::uint32_t sum = 0;
  for (std::size_t at = 0; at < kChecksumOffset; at += 4) {
    std::uint32_t word;
    std::memcpy(&word, &bytes[at], 4);
    sum ^= word;
  }
  std::memcpy(&bytes[kChecksumOffset], &sum, 4);
  return bytes;
}

void walk(win::HKEY key, int depth, int& budget) {
  if (--budget < 0 || depth > kDepthLimit) return;
  win::DWORD subkeys = 0, values = 0;
  if (win::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr) != win::ERROR_SUCCESS) {
    return;
  }
  std::vector<char16_t> name(16384);
  std::vector<win::BYTE> data(4096);
  win::DWORD valueCount = 0;
  for (;; ++valueCount) {
    win::DWORD nameLength = static_cast<win::DWORD>(name.size());
    win::DWORD dataSize = static_cast<win::DWORD>(data.size());
    win::DWORD type = 0;
    const win::LONG result =
        win::RegEnumValueW(key, valueCount, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
    if (result == win::ERROR_NO_MORE_ITEMS) break;
    FUZZ_CHECK(result == win::ERROR_SUCCESS || result == win::ERROR_MORE_DATA);
  }
  FUZZ_CHECK(valueCount == values);
  win::DWORD subkeyCount = 0;
  for (;; ++subkeyCount) {
    const win::LONG result = win::RegEnumKeyW(key, subkeyCount, name.data(), static_cast<win::DWORD>(name.size()));
    if (result == win::ERROR_NO_MORE_ITEMS) break;
    FUZZ_CHECK(result == win::ERROR_SUCCESS || result == win::ERROR_MORE_DATA);
    if (result != win::ERROR_SUCCESS) continue;
    platform::unique_hkey child;
    // A name holding a backslash names a path, not this child: nothing to open then.
    if (win::RegOpenKeyExW(key, name.data(), 0, win::KEY_READ, child.put()) == win::ERROR_SUCCESS) {
      walk(child.get(), depth + 1, budget);
    }
  }
  FUZZ_CHECK(subkeyCount == subkeys);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  portable::resetRegistry();
  const std::vector<std::uint8_t> bytes = withHeaderChecksum(data, size);
  portable::UniqueFd memory(::memfd_create("hive", 0));
  if (memory.get() < 0) return 0;
  if (!bytes.empty() && ::write(memory.get(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    return 0;
  }
  portable::RegistryInputFile file;
  std::string error;
  bool missing = false;
  FUZZ_CHECK(file.open("/proc/self/fd/" + std::to_string(memory.get()), error, missing));
  {
    portable::RegistryStore& store = portable::registryStore();
    auto lock = store.lock();
    // Told apart by its contents, as the host mounts a hive: a user's hive by its Software key.
    portable::HiveKind kind = portable::HiveKind::Software;
    if (!portable::mountHive(store, file, "fuzz input", portable::HiveUse::AsFound, kind, error)) return 0;
  }
  int budget = kKeyBudget;
  for (win::REGSAM view : {win::KEY_WOW64_64KEY, win::KEY_WOW64_32KEY}) {
    platform::unique_hkey software;
    if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, win::KEY_READ | view, software.put()) ==
        win::ERROR_SUCCESS) {
      walk(software.get(), 0, budget);
    }
  }
  return 0;
}
