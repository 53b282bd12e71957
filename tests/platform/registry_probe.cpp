// A child process for the persistence tests: one registry action, then exit (which saves).
//   registry_probe set NAME TEXT   writes HKCU\Software\Probe NAME = TEXT
//   registry_probe get NAME        prints the text, or "missing"
//   registry_probe error           prints platform::startupError()
//   registry_probe time            prints the last-write time of HKCU\Software\Probe in hex
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/diagnostics.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"

int main(int argc, char** argv) {
  using namespace win;
  if (argc >= 2 && std::strcmp(argv[1], "error") == 0) {
    std::printf("%s\n", platform::startupError().c_str());
    return 0;
  }
  if (argc >= 4 && std::strcmp(argv[1], "set") == 0) {
    platform::unique_hkey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Probe", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
      return 2;
    }
    return RegSetValueExA(key.get(), argv[2], 0, REG_SZ, reinterpret_cast<const BYTE*>(argv[3]),
                          static_cast<DWORD>(std::strlen(argv[3]) + 1)) == ERROR_SUCCESS
               ? 0
               : 3;
  }
  if (argc >= 3 && std::strcmp(argv[1], "get") == 0) {
    platform::unique_hkey key;
    char text[256] = {};
    DWORD size = sizeof text - 1;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Probe", 0, KEY_READ, key.put()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), argv[2], nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
      std::printf("missing\n");
    } else {
      std::printf("%s\n", text);
    }
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "time") == 0) {
    platform::unique_hkey key;
    FILETIME time{};
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Probe", 0, KEY_READ, key.put()) != ERROR_SUCCESS ||
        RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &time) != ERROR_SUCCESS) {
      std::printf("missing\n");
    } else {
      std::printf("%016" PRIX64 "\n", (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
    }
    return 0;
  }
  return 1;
}
