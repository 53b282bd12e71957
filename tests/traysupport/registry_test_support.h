// Setting up and inspecting the registry for the clsRegistry tests through the platform's own
// wide functions, so that what the class writes is checked independently of how it reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "clsRegistry.h"
#include "tagged_value_printer.h"
#include "platform/registry.h"
#include "platform/resource.h"

namespace traytest {

// HKEY_CURRENT_USER\Software is the same key in both registry views.
inline const std::u16string kRoot = u"Software\\QuorvelTraySupportTest";

inline std::u16string sub(const std::u16string& path) { return kRoot + u"\\" + path; }

inline void deleteTree(win::HKEY hive, const std::u16string& path) {
  win::RegDeleteTreeW(hive, path.c_str());
  win::RegDeleteKeyW(hive, path.c_str());
}

inline bool keyExists(win::HKEY hive, const std::u16string& path) {
  platform::unique_hkey key;
  return win::RegOpenKeyExW(hive, path.c_str(), 0, win::KEY_READ, key.put()) == win::ERROR_SUCCESS;
}

inline void createKey(win::HKEY hive, const std::u16string& path) {
  platform::unique_hkey key;
  win::DWORD disposition = 0;
  ASSERT_EQ(win::RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, key.put(),
                                 &disposition),
            win::ERROR_SUCCESS);
}

inline void putValue(win::HKEY hive, const std::u16string& path, const std::u16string& name, win::DWORD type,
                     const std::vector<std::uint8_t>& bytes) {
  platform::unique_hkey key;
  win::DWORD disposition = 0;
  ASSERT_EQ(win::RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, key.put(),
                                 &disposition),
            win::ERROR_SUCCESS);
  ASSERT_EQ(win::RegSetValueExW(key.get(), name.c_str(), 0, type, bytes.data(),
                                static_cast<win::DWORD>(bytes.size())),
            win::ERROR_SUCCESS);
}

struct RawValue {
  win::DWORD type = 0;
  std::vector<std::uint8_t> bytes;
};

// The value as stored, read with RegQueryValueExW; nothing when it is missing.
inline std::optional<RawValue> rawValue(win::HKEY hive, const std::u16string& path, const std::u16string& name) {
  platform::unique_hkey key;
  if (win::RegOpenKeyExW(hive, path.c_str(), 0, win::KEY_QUERY_VALUE, key.put()) != win::ERROR_SUCCESS) {
    return std::nullopt;
  }
  RawValue raw;
  win::DWORD size = 0;
  if (win::RegQueryValueExW(key.get(), name.c_str(), nullptr, &raw.type, nullptr, &size) != win::ERROR_SUCCESS) {
    return std::nullopt;
  }
  raw.bytes.assign(size + 4, 0xBD);  // guard bytes past the data
  win::DWORD read = size;
  if (win::RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, raw.bytes.data(), &read) !=
      win::ERROR_SUCCESS) {
    return std::nullopt;
  }
  raw.bytes.resize(read);
  return raw;
}

// Whether RegSetValueExA, handed string data whose count leaves out a terminator that follows
// in memory, counts that terminator in as NT does ("abc" + NUL with count 3 stores 4 chars).
inline bool ansiStringWritesAddTerminator(win::HKEY hive, const std::u16string& path) {
  platform::unique_hkey key;
  if (win::RegOpenKeyExW(hive, path.c_str(), 0, win::KEY_ALL_ACCESS, key.put()) != win::ERROR_SUCCESS) return false;
  const char data[] = "xyz";
  win::RegSetValueExA(key.get(), "terminator probe", 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(data), 3);
  win::DWORD size = 0;
  win::RegQueryValueExW(key.get(), u"terminator probe", nullptr, nullptr, nullptr, &size);
  win::RegDeleteValueW(key.get(), u"terminator probe");
  return size == 8;
}

// UTF-16LE bytes of a text, with a terminating NUL when asked.
inline std::vector<std::uint8_t> utf16Bytes(const std::u16string& text, bool withTerminator) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (withTerminator) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

inline std::vector<std::uint8_t> dwordBytes(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

// Names in the order the registry enumerates them, through the wide functions.
inline std::vector<std::u16string> wideSubkeyNames(win::HKEY hive, const std::u16string& path) {
  std::vector<std::u16string> names;
  platform::unique_hkey key;
  if (win::RegOpenKeyExW(hive, path.c_str(), 0, win::KEY_ENUMERATE_SUB_KEYS, key.put()) != win::ERROR_SUCCESS) {
    return names;
  }
  for (win::DWORD i = 0;; ++i) {
    char16_t name[512] = {};
    if (win::RegEnumKeyW(key.get(), i, name, 512) != win::ERROR_SUCCESS) break;
    names.emplace_back(name);
  }
  return names;
}

inline std::vector<std::u16string> wideValueNames(win::HKEY hive, const std::u16string& path) {
  std::vector<std::u16string> names;
  platform::unique_hkey key;
  if (win::RegOpenKeyExW(hive, path.c_str(), 0, win::KEY_QUERY_VALUE, key.put()) != win::ERROR_SUCCESS) {
    return names;
  }
  for (win::DWORD i = 0;; ++i) {
    char16_t name[512] = {};
    win::DWORD length = 512;
    if (win::RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != win::ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

// Each test starts from an empty test key and leaves nothing behind.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    deleteTree(win::HKEY_CURRENT_USER, kRoot);
    createKey(win::HKEY_CURRENT_USER, kRoot);
  }
  void TearDown() override { deleteTree(win::HKEY_CURRENT_USER, kRoot); }

  // An object aimed at a value of the test key.
  static tray::clsRegistry aimedAt(bool bIsNT, const std::u16string& path, const std::u16string& valueName) {
    tray::clsRegistry registry(bIsNT);
    registry.ClassKey(tray::kHiveCurrentUser);
    registry.SectionKey(path);
    registry.ValueKey(valueName);
    return registry;
  }
};

// The same cases with the wide (true) and the ANSI (false) registry functions.
class RegistryBothForms : public RegistryTest, public ::testing::WithParamInterface<bool> {
 protected:
  bool wide() const { return GetParam(); }
};

inline std::string formName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Wide" : "Ansi"; }

}  // namespace traytest
