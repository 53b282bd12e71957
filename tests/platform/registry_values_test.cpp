// Values: sizes, ERROR_MORE_DATA, W against A, untouched out-parameters and guard bytes.
#include <algorithm>
#include <cstring>

#include "registry_fixture.h"

namespace qc_test {
namespace {

using namespace win;

TEST_F(RegistryTest, SizeQueryWithoutBufferGivesTypeAndSize) {
  setString(root(), u"Text", u"abc");
  DWORD type = kSentinel;
  DWORD size = kSentinel;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"Text", nullptr, &type, nullptr, &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(8u, size);
  // The A form reports ANSI bytes.
  type = kSentinel;
  size = kSentinel;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(root(), "Text", nullptr, &type, nullptr, &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(4u, size);
}

TEST_F(RegistryTest, TooSmallBufferGivesMoreDataAndTheNeededSize) {
  setString(root(), u"Text", u"abcdef");
  BYTE data[32];
  std::memset(data, kGuard, sizeof data);
  DWORD type = kSentinel;
  DWORD size = 4;
  EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(root(), u"Text", nullptr, &type, data, &size));
  EXPECT_EQ(14u, size);
  EXPECT_EQ(REG_SZ, type);
  for (size_t i = 4; i < sizeof data; ++i) ASSERT_EQ(kGuard, data[i]) << "byte " << i;
  size = 4;
  EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(root(), "Text", nullptr, nullptr, data, &size));
  EXPECT_EQ(7u, size);
  for (size_t i = 4; i < sizeof data; ++i) ASSERT_EQ(kGuard, data[i]) << "byte " << i;
}

TEST_F(RegistryTest, ExactBufferIsFilledAndNothingBeyond) {
  setString(root(), u"Text", u"abc");
  BYTE data[16];
  std::memset(data, kGuard, sizeof data);
  DWORD size = 8;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"Text", nullptr, nullptr, data, &size));
  EXPECT_EQ(8u, size);
  EXPECT_EQ(0, std::memcmp(data, u"abc", 8));
  EXPECT_EQ(kGuard, data[8]);
  std::memset(data, kGuard, sizeof data);
  size = 4;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(root(), "Text", nullptr, nullptr, data, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(0, std::memcmp(data, "abc", 4));
  EXPECT_EQ(kGuard, data[4]);
}

TEST_F(RegistryTest, MissingValueGivesASizeOfZeroOrLeavesTheBufferAlone) {
  // Without a data buffer the size query reports 0 bytes.
  DWORD size = kSentinel;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(root(), u"Absent", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(0u, size);
  size = kSentinel;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(root(), "Absent", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(0u, size);
  // With one, the buffer and its size stay as they were.
  BYTE data[8];
  std::memset(data, kGuard, sizeof data);
  size = sizeof data;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(root(), u"Absent", nullptr, nullptr, data, &size));
  EXPECT_EQ(sizeof data, size);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(root(), "Absent", nullptr, nullptr, data, &size));
  EXPECT_EQ(sizeof data, size);
  for (BYTE b : data) EXPECT_EQ(kGuard, b);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(root(), u"Absent"));
}

TEST_F(RegistryTest, ReservedMustBeNull) {
  setString(root(), u"Text", u"abc");
  DWORD reserved = 0;
  DWORD size = kSentinel;
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(root(), u"Text", &reserved, nullptr, nullptr, &size));
  EXPECT_EQ(kSentinel, size);
}

TEST_F(RegistryTest, ValueNamesMatchWithoutCase) {
  setString(root(), u"MixedName", u"first");
  setString(root(), u"MIXEDNAME", u"second");
  BYTE data[32];
  DWORD size = sizeof data;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"mixedname", nullptr, nullptr, data, &size));
  EXPECT_EQ(0, std::memcmp(data, u"second", size));
  DWORD values = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(root(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                            nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(1u, values);
}

TEST_F(RegistryTest, AStringsAreStoredAsUtf16) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(root(), "Narrow", 0, REG_SZ, bytesOf("abc"), 4));
  BYTE data[16];
  DWORD size = sizeof data;
  DWORD type = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"Narrow", nullptr, &type, data, &size));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(8u, size);
  EXPECT_EQ(0, std::memcmp(data, u"abc", 8));
  // Non-string data passes through unchanged in either form.
  const BYTE raw[3] = {1, 2, 3};
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(root(), "Raw", 0, REG_BINARY, raw, 3));
  size = sizeof data;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(root(), "Raw", nullptr, &type, data, &size));
  EXPECT_EQ(REG_BINARY, type);
  EXPECT_EQ(3u, size);
  EXPECT_EQ(0, std::memcmp(data, raw, 3));
}

TEST_F(RegistryTest, DataIsStoredExactlyAsGiven) {
  const char16_t* text = u"abcd";  // the byte count leaves out "d" and the zero
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root(), u"Cut", 0, REG_SZ, bytesOf(text), 6));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root(), u"Empty", 0, REG_BINARY, nullptr, 0));
  DWORD size = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"Cut", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(6u, size);
  size = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"Empty", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(0u, size);
  // With room to spare, string data comes back with a zero after it.
  BYTE data[12];
  std::memset(data, kGuard, sizeof data);
  size = 10;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"Cut", nullptr, nullptr, data, &size));
  EXPECT_EQ(6u, size);
  EXPECT_EQ(0, std::memcmp(data, u"abc", 8));
  EXPECT_EQ(kGuard, data[10]);
}

TEST_F(RegistryTest, DwordRoundTrip) {
  DWORD in = 0x12345678;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root(), u"Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&in), 4));
  DWORD out = 0;
  DWORD size = sizeof out;
  DWORD type = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(root(), "Number", nullptr, &type, reinterpret_cast<BYTE*>(&out), &size));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ(in, out);
}

TEST_F(RegistryTest, DefaultValueHasTheEmptyName) {
  setString(root(), nullptr, u"unnamed");
  DWORD size = kSentinel;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(root(), u"", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(16u, size);
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(root(), nullptr));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(root(), nullptr, nullptr, nullptr, nullptr, &size));
}

TEST_F(RegistryTest, EnumerateValuesWithNamesTypesAndData) {
  setString(root(), u"Second", u"xy");
  DWORD number = 7;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root(), u"First", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4));
  std::vector<std::u16string> names;
  for (DWORD i = 0;; ++i) {
    char16_t name[32];
    DWORD nameLength = 32;
    DWORD type = kSentinel;
    BYTE data[16];
    DWORD size = sizeof data;
    LONG rc = RegEnumValueW(root(), i, name, &nameLength, nullptr, &type, data, &size);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(ERROR_SUCCESS, rc);
    names.emplace_back(name);
    EXPECT_EQ(names.back().size(), nameLength);
    if (names.back() == u"First") {
      EXPECT_EQ(REG_DWORD, type);
      EXPECT_EQ(4u, size);
    } else {
      EXPECT_EQ(REG_SZ, type);
      EXPECT_EQ(6u, size);
    }
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::u16string>{u"First", u"Second"}), names);
}

TEST_F(RegistryTest, EnumerateValueNeedsRoomForTheNameAndItsZero) {
  setString(root(), u"Longish", u"abc");
  char16_t name[16];
  DWORD nameLength = 7;
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueW(root(), 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr));
  char narrow[16];
  std::memset(narrow, kGuard, sizeof narrow);
  nameLength = 8;
  BYTE data[16];
  DWORD size = sizeof data;
  DWORD type = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegEnumValueA(root(), 0, narrow, &nameLength, nullptr, &type, data, &size));
  EXPECT_STREQ("Longish", narrow);
  EXPECT_EQ(7u, nameLength);
  EXPECT_EQ(static_cast<char>(kGuard), narrow[8]);
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(4u, size);  // ANSI bytes
  EXPECT_STREQ("abc", reinterpret_cast<char*>(data));
}

TEST_F(RegistryTest, QueryInfoCountsAndLongestLengths) {
  createKey(u"Short");
  createKey(u"Rather Long Name");
  setString(root(), u"Name", u"x");
  setString(root(), u"Longer Name", u"longest data");
  const BYTE raw[3] = {1, 2, 3};
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root(), u"B", 0, REG_BINARY, raw, 3));
  DWORD subKeys = kSentinel, maxSubKey = kSentinel, values = kSentinel, maxName = kSentinel, maxData = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(root(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                                            &maxName, &maxData, nullptr, nullptr));
  EXPECT_EQ(2u, subKeys);
  EXPECT_EQ(16u, maxSubKey);
  EXPECT_EQ(3u, values);
  EXPECT_EQ(11u, maxName);
  EXPECT_EQ(26u, maxData);
  // The A form, with an empty class buffer of no capacity, reports the same counts.
  char emptyClass[1] = {'x'};
  DWORD classLength = 0;
  maxName = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(root(), emptyClass, &classLength, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, &maxName, nullptr, nullptr, nullptr));
  EXPECT_EQ(11u, maxName);
}

}  // namespace
}  // namespace qc_test
