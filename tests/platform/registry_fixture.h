// A key of our own under HKEY_CURRENT_USER, deleted and made afresh for every test, and
// the helpers the registry conformance tests share. Written against win:: only, so the
// tests run on the stand-in and, cross-built, on Windows' own registry under Wine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/resource.h"

namespace qc_test {

constexpr win::DWORD kSentinel = 0xdeadbeef;
constexpr win::BYTE kGuard = 0xbd;

inline const win::BYTE* bytesOf(const char16_t* text) { return reinterpret_cast<const win::BYTE*>(text); }
inline const win::BYTE* bytesOf(const char* text) { return reinterpret_cast<const win::BYTE*>(text); }
// Bytes of a UTF-16 text with its terminating zero.
inline win::DWORD sizeWithZero(const char16_t* text) {
  return static_cast<win::DWORD>((std::char_traits<char16_t>::length(text) + 1) * sizeof(char16_t));
}

class RegistryTest : public ::testing::Test {
 protected:
  static constexpr const char16_t* kTestPath = u"Software\\QcPlatformTest";

  void SetUp() override {
    win::RegDeleteTreeW(win::HKEY_CURRENT_USER, kTestPath);
    ASSERT_EQ(win::ERROR_SUCCESS, win::RegCreateKeyExW(win::HKEY_CURRENT_USER, kTestPath, 0, nullptr, 0,
                                                       win::KEY_ALL_ACCESS, nullptr, root_.put(), nullptr));
  }
  void TearDown() override {
    root_.reset();
    win::RegDeleteTreeW(win::HKEY_CURRENT_USER, kTestPath);
  }

  win::HKEY root() const { return root_.get(); }

  platform::unique_hkey createKey(const char16_t* path, win::REGSAM access = win::KEY_ALL_ACCESS) {
    platform::unique_hkey key;
    EXPECT_EQ(win::ERROR_SUCCESS,
              win::RegCreateKeyExW(root(), path, 0, nullptr, 0, access, nullptr, key.put(), nullptr));
    return key;
  }

  platform::unique_hkey openKey(const char16_t* path, win::REGSAM access) {
    platform::unique_hkey key;
    EXPECT_EQ(win::ERROR_SUCCESS, win::RegOpenKeyExW(root(), path, 0, access, key.put()));
    return key;
  }

  void setString(win::HKEY key, const char16_t* name, const char16_t* text) {
    ASSERT_EQ(win::ERROR_SUCCESS, win::RegSetValueExW(key, name, 0, win::REG_SZ, bytesOf(text), sizeWithZero(text)));
  }

  // Subkey names in enumeration order.
  std::vector<std::u16string> subkeys(win::HKEY key) {
    std::vector<std::u16string> names;
    char16_t name[256];
    for (win::DWORD i = 0;; ++i) {
      win::LONG rc = win::RegEnumKeyW(key, i, name, 256);
      if (rc != win::ERROR_SUCCESS) {
        EXPECT_EQ(win::ERROR_NO_MORE_ITEMS, rc);
        break;
      }
      names.emplace_back(name);
    }
    return names;
  }

  win::FILETIME lastWrite(win::HKEY key) {
    win::FILETIME time{};
    EXPECT_EQ(win::ERROR_SUCCESS, win::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                        nullptr, nullptr, nullptr, nullptr, &time));
    return time;
  }

 private:
  platform::unique_hkey root_;
};

}  // namespace qc_test
