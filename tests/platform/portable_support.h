// Helpers for the tests of the stand-in's own features (native builds only).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/resource.h"
#include "portable/registry_control.h"

namespace qc_test {

// Every test starts from an empty registry with the start-up settings.
class PortableTest : public ::testing::Test {
 protected:
  void SetUp() override { portable::resetRegistry(); }
  void TearDown() override { portable::resetRegistry(); }
};

// A Version 5.00 file's bytes: UTF-16LE with BOM.
inline std::string utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// The raw bytes and type of a value, read through the W API; type REG_NONE with no bytes
// and `found` false when it cannot be read.
struct StoredValue {
  bool found = false;
  win::DWORD type = win::REG_NONE;
  std::vector<win::BYTE> data;
};

inline StoredValue readValue(win::HKEY root, const char16_t* path, const char16_t* name, win::REGSAM view = 0) {
  StoredValue value;
  platform::unique_hkey key;
  if (win::RegOpenKeyExW(root, path, 0, win::KEY_QUERY_VALUE | view, key.put()) != win::ERROR_SUCCESS) return value;
  win::DWORD size = 0;
  if (win::RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) != win::ERROR_SUCCESS) return value;
  value.data.resize(size);
  if (win::RegQueryValueExW(key.get(), name, nullptr, nullptr, value.data.data(), &size) != win::ERROR_SUCCESS) {
    return StoredValue{};
  }
  value.found = true;
  return value;
}

inline std::vector<win::BYTE> utf16Bytes(std::u16string_view text) {
  std::vector<win::BYTE> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<win::BYTE>(c & 0xFF));
    bytes.push_back(static_cast<win::BYTE>(c >> 8));
  }
  return bytes;
}

inline bool keyExists(win::HKEY root, const char16_t* path, win::REGSAM view = 0) {
  platform::unique_hkey key;
  return win::RegOpenKeyExW(root, path, 0, win::KEY_READ | view, key.put()) == win::ERROR_SUCCESS;
}

}  // namespace qc_test
