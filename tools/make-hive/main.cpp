// make-hive: turns the HKEY_LOCAL_MACHINE\SOFTWARE part of a .reg export into an offline
// SOFTWARE hive file, for tests and benchmarks. The file starts as an empty hive written
// from the published format (empty_hive.cpp) and is filled through libhivex's own
// writing functions; the export is read by the stand-in registry.
//
//   make-hive SOURCE.reg OUTPUT.hive
#include <hivex.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "empty_hive.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"
#include "portable/registry_control.h"

namespace {

struct HiveClose {
  void operator()(hive_h* hive) const { hivex_close(hive); }
};
using UniqueHive = std::unique_ptr<hive_h, HiveClose>;

// 2024-03-11 00:00 UTC: the same file from the same export on every run.
constexpr std::uint64_t kRootTime = 133545600000000000ull;

bool fail(const std::string& what) {
  std::fprintf(stderr, "make-hive: %s\n", what.c_str());
  return false;
}

bool copyValues(win::HKEY key, hive_h* hive, hive_node_h node, const std::string& where) {
  win::DWORD count = 0, longestName = 0, longestData = 0;
  if (win::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                            &longestData, nullptr, nullptr) != win::ERROR_SUCCESS) {
    return fail(where + ": cannot read the key");
  }
  std::vector<std::string> names(count);
  std::vector<std::vector<char>> data(count);
  std::vector<hive_set_value> values(count);
  std::vector<char16_t> name(longestName + 1);
  for (win::DWORD i = 0; i < count; ++i) {
    win::DWORD nameLength = longestName + 1;
    win::DWORD type = 0;
    win::DWORD size = longestData;
    data[i].resize(longestData + 1);
    if (win::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                           reinterpret_cast<win::BYTE*>(data[i].data()), &size) != win::ERROR_SUCCESS) {
      return fail(where + ": cannot read a value");
    }
    names[i] = platform::toUtf8(std::u16string_view(name.data(), nameLength));
    values[i] = hive_set_value{names[i].data(), static_cast<hive_type>(type), size, data[i].data()};
  }
  if (count != 0 && hivex_node_set_values(hive, node, count, values.data(), 0) != 0) {
    return fail(where + ": hivex refused the values");
  }
  return true;
}

bool copyKey(win::HKEY key, hive_h* hive, hive_node_h node, const std::string& where) {
  if (!copyValues(key, hive, node, where)) return false;
  char16_t name[256];
  for (win::DWORD i = 0; win::RegEnumKeyW(key, i, name, 256) == win::ERROR_SUCCESS; ++i) {
    const std::string utf8 = platform::toUtf8(name);
    platform::unique_hkey child;
    if (win::RegOpenKeyExW(key, name, 0, win::KEY_READ, child.put()) != win::ERROR_SUCCESS) {
      return fail(where + "\\" + utf8 + ": cannot open");
    }
    hive_node_h added = hivex_node_add_child(hive, node, utf8.c_str());
    if (added == 0) return fail(where + "\\" + utf8 + ": hivex refused the key");
    if (!copyKey(child.get(), hive, added, where + "\\" + utf8)) return false;
  }
  return true;
}

bool makeHive(const std::string& source, const std::string& output) {
  // The stand-in would load a registry file named there, and save into it at exit.
  ::unsetenv("WINPLAT_REGISTRY_FILE");
  portable::RegFileResult loaded = portable::loadRegFile(source);
  if (!loaded.ok) return fail(loaded.error);
  // Physical paths: the export names Wow6432Node itself.
  portable::setMachine(portable::Machine::x86);
  platform::unique_hkey software;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, win::KEY_READ, software.put()) !=
      win::ERROR_SUCCESS) {
    return fail(source + ": holds no HKEY_LOCAL_MACHINE\\SOFTWARE");
  }
  const std::string empty = emptyHiveBytes(kRootTime);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(output.c_str(), "wb"), std::fclose);
  if (!file || std::fwrite(empty.data(), 1, empty.size(), file.get()) != empty.size() ||
      std::fclose(file.release()) != 0) {
    return fail(output + ": cannot write");
  }
  UniqueHive hive(hivex_open(output.c_str(), HIVEX_OPEN_WRITE));
  if (!hive) return fail(output + ": hivex cannot open the empty hive");
  if (!copyKey(software.get(), hive.get(), hivex_root(hive.get()), "SOFTWARE")) return false;
  if (hivex_commit(hive.get(), nullptr, 0) != 0) return fail(output + ": hivex cannot write the hive");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make-hive SOURCE.reg OUTPUT.hive\n");
    return 64;
  }
  return makeHive(argv[1], argv[2]) ? 0 : 1;
}
