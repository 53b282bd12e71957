// Keys of an offline hive in the stand-in registry: values read and left alone go back to
// the file when the key is closed, and are read again; values changed stay changed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/registry.h"
#include "platform/resource.h"

namespace {

constexpr win::REGSAM kView = win::KEY_WOW64_64KEY;
const char16_t* const kEntry = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\LumoraPlayer";
const char16_t* const kOtherEntry = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QUILLMARK_PDF";

platform::unique_hkey openEntry(const char16_t* path, win::REGSAM access) {
  platform::unique_hkey key;
  EXPECT_EQ(win::ERROR_SUCCESS, win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, path, 0, access | kView, key.put()));
  return key;
}

// The text of a string value, or "(missing)".
std::u16string text(win::HKEY key, const char16_t* name) {
  char16_t data[256] = {};
  win::DWORD size = sizeof data - sizeof(char16_t);
  if (win::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<win::BYTE*>(data), &size) !=
      win::ERROR_SUCCESS) {
    return u"(missing)";
  }
  return std::u16string(data, size / sizeof(char16_t)).c_str();
}

TEST(HiveKeyTest, ChangesOutliveClosingAndUnchangedValuesAreReadAgain) {
  // Before the registry's first use: the whole process sees the sample machine's hive.
  ASSERT_EQ(0, setenv("WINPLAT_REGISTRY_FILE", WENDLOW_SAMPLE_HIVE, 1));
  const std::u16string otherName = text(openEntry(kOtherEntry, win::KEY_READ).get(), u"DisplayName");
  EXPECT_NE(u"(missing)", otherName);
  EXPECT_EQ(otherName, text(openEntry(kOtherEntry, win::KEY_READ).get(), u"DisplayName"));

  const std::u16string renamed = u"Renamed";
  EXPECT_EQ(win::ERROR_SUCCESS,
            win::RegSetValueExW(openEntry(kEntry, win::KEY_ALL_ACCESS).get(), u"DisplayName", 0, win::REG_SZ,
                                reinterpret_cast<const win::BYTE*>(renamed.c_str()),
                                static_cast<win::DWORD>((renamed.size() + 1) * sizeof(char16_t))));
  EXPECT_EQ(u"Renamed", text(openEntry(kEntry, win::KEY_READ).get(), u"DisplayName"));
  EXPECT_EQ(u"5.1.7", text(openEntry(kEntry, win::KEY_READ).get(), u"DisplayVersion"));

  EXPECT_EQ(win::ERROR_SUCCESS,
            win::RegDeleteValueW(openEntry(kOtherEntry, win::KEY_ALL_ACCESS).get(), u"Publisher"));
  EXPECT_EQ(u"(missing)", text(openEntry(kOtherEntry, win::KEY_READ).get(), u"Publisher"));
}

}  // namespace
