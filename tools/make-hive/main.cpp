// make-hive: turns the HKEY_LOCAL_MACHINE\SOFTWARE part of a .reg export into an offline
// SOFTWARE hive file, for tests and benchmarks; with --user, its HKEY_CURRENT_USER part
// into a user's hive (NTUSER.DAT). The export is read by the stand-in registry; the hive is
// written from the published format (hive_writer.cpp).
//
//   make-hive [--user] SOURCE.reg OUTPUT.hive
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "hive_writer.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"
#include "portable/registry_control.h"

namespace {

bool fail(const std::string& what) {
  std::fprintf(stderr, "make-hive: %s\n", what.c_str());
  return false;
}

// The key and everything below it, as the hive will hold it.
bool readKey(win::HKEY key, const std::u16string& name, const std::string& where, HiveKey& out) {
  win::DWORD subkeys = 0, values = 0, longestName = 0, longestData = 0;
  win::FILETIME written{};
  if (win::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, &longestName,
                            &longestData, nullptr, &written) != win::ERROR_SUCCESS) {
    return fail(where + ": cannot read the key");
  }
  out.name = name;
  out.lastWrite = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
  std::vector<char16_t> valueName(longestName + 1);
  std::string data(longestData, '\0');
  for (win::DWORD i = 0; i < values; ++i) {
    win::DWORD nameLength = longestName + 1;
    win::DWORD size = longestData;
    HiveValue value;
    if (win::RegEnumValueW(key, i, valueName.data(), &nameLength, nullptr, &value.type,
                           reinterpret_cast<win::BYTE*>(data.data()), &size) != win::ERROR_SUCCESS) {
      return fail(where + ": cannot read a value");
    }
    value.name.assign(valueName.data(), nameLength);
    value.data.assign(data.data(), size);
    out.values.push_back(std::move(value));
  }
  // Enumerated in the registry's order, which is the order a hive lists them in.
  char16_t childName[256];
  for (win::DWORD i = 0; win::RegEnumKeyW(key, i, childName, 256) == win::ERROR_SUCCESS; ++i) {
    const std::string childWhere = where + "\\" + platform::toUtf8(childName);
    platform::unique_hkey child;
    if (win::RegOpenKeyExW(key, childName, 0, win::KEY_READ, child.put()) != win::ERROR_SUCCESS) {
      return fail(childWhere + ": cannot open");
    }
    out.children.emplace_back();
    if (!readKey(child.get(), childName, childWhere, out.children.back())) return false;
  }
  return true;
}

bool makeHive(const std::string& source, const std::string& output, bool user) {
  // The stand-in would load a registry file named there, and save into it at exit.
  ::unsetenv("WINPLAT_REGISTRY_FILE");
  portable::RegFileResult loaded = portable::loadRegFile(source);
  if (!loaded.ok) return fail(loaded.error);
  // Physical paths: the export names Wow6432Node itself.
  portable::setMachine(portable::Machine::x86);
  platform::unique_hkey software;
  const win::HKEY top = user ? win::HKEY_CURRENT_USER : win::HKEY_LOCAL_MACHINE;
  if (win::RegOpenKeyExW(top, user ? u"" : u"SOFTWARE", 0, win::KEY_READ, software.put()) != win::ERROR_SUCCESS) {
    return fail(source + (user ? ": holds no HKEY_CURRENT_USER" : ": holds no HKEY_LOCAL_MACHINE\\SOFTWARE"));
  }
  HiveKey root;
  if (!readKey(software.get(), u"ROOT", user ? "HKEY_CURRENT_USER" : "SOFTWARE", root)) return false;
  std::string error;
  const std::string bytes = hiveFileBytes(root, error);
  if (bytes.empty()) return fail(source + ": " + error);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(output.c_str(), "wb"), std::fclose);
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fclose(file.release()) != 0) {
    return fail(output + ": cannot write");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool user = argc == 4 && std::string(argv[1]) == "--user";
  if (argc != 3 && !user) {
    std::fprintf(stderr, "usage: make-hive [--user] SOURCE.reg OUTPUT.hive\n");
    return 64;
  }
  return makeHive(argv[argc - 2], argv[argc - 1], user) ? 0 : 1;
}
