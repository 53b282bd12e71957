// Writing values: what the Value setter and SetRegistryValue store, checked byte for byte
// through the platform's own RegQueryValueExW (ANSI strings arrive there converted to UTF-16).
#include <gtest/gtest.h>

#include "platform/text.h"
#include "registry_test_support.h"

namespace traytest {
namespace {

using tray::TaggedValue;
using win::HKEY_CURRENT_USER;

class RegistryWrites : public RegistryBothForms {
 protected:
  std::optional<RawValue> stored(const std::u16string& name) const { return rawValue(HKEY_CURRENT_USER, kRoot, name); }
  void setThroughValue(const std::u16string& name, std::int32_t type, const TaggedValue& value) const {
    tray::clsRegistry registry = aimedAt(wide(), kRoot, name);
    registry.ValueType(type);
    registry.Value(value);
  }
  bool setThroughFunction(const std::u16string& name, const TaggedValue& value, std::int32_t type,
                          const std::u16string& path = kRoot) const {
    return tray::clsRegistry(wide()).SetRegistryValue(tray::kHiveCurrentUser, path, name, value, type);
  }
};

INSTANTIATE_TEST_SUITE_P(Forms, RegistryWrites, ::testing::Bool(), formName);

TEST_P(RegistryWrites, ValueSetterTrimsStringsAndCountsTheTerminator) {
  setThroughValue(u"Sz", 1, TaggedValue::fromString(u" abc "));
  const auto raw = stored(u"Sz");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, win::REG_SZ);
  EXPECT_EQ(raw->bytes, utf16Bytes(u"abc", true)) << "8 bytes with the terminator";

  // The ANSI count (length + 1) is what an ANSI reader sees.
  platform::unique_hkey key;
  ASSERT_EQ(win::RegOpenKeyExW(HKEY_CURRENT_USER, kRoot.c_str(), 0, win::KEY_QUERY_VALUE, key.put()), 0);
  win::DWORD ansiSize = 0;
  ASSERT_EQ(win::RegQueryValueExA(key.get(), "Sz", nullptr, nullptr, nullptr, &ansiSize), 0);
  EXPECT_EQ(ansiSize, 4u);
}

TEST_P(RegistryWrites, ValueSetterTrimsTheNameOnlyInTheAnsiForm) {
  setThroughValue(u" Padded ", 1, TaggedValue::fromString(u"x"));
  EXPECT_EQ(stored(u" Padded ").has_value(), wide());
  EXPECT_EQ(stored(u"Padded").has_value(), !wide());
}

TEST_P(RegistryWrites, ValueSetterKeepsExpandStringsAsGiven) {
  setThroughValue(u" Exp ", 2, TaggedValue::fromString(u" %TEMP% "));
  const auto raw = stored(u" Exp ");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, win::REG_EXPAND_SZ);
  EXPECT_EQ(raw->bytes, utf16Bytes(u" %TEMP% ", true));
}

TEST_P(RegistryWrites, ValueSetterConvertsOtherKindsToText) {
  setThroughValue(u"Number", 1, TaggedValue::fromInteger32(-15));
  setThroughValue(u"Flag", 1, TaggedValue::fromBoolean(true));
  setThroughValue(u"Nothing", 1, TaggedValue());
  EXPECT_EQ(stored(u"Number")->bytes, utf16Bytes(u"-15", true));
  EXPECT_EQ(stored(u"Flag")->bytes, utf16Bytes(u"True", true));
  EXPECT_EQ(stored(u"Nothing")->bytes, utf16Bytes(u"", true));
}

TEST_P(RegistryWrites, ValueSetterWritesNumbersOnlyAsLittleEndianDwords) {
  setThroughValue(u"Dword", 4, TaggedValue::fromInteger32(0x12345678));
  setThroughValue(u"Big", 5, TaggedValue::fromInteger32(0x12345678));
  setThroughValue(u"Short", 4, TaggedValue::fromInteger16(-2));
  setThroughValue(u"Digits", 4, TaggedValue::fromString(u"12"));

  for (const char16_t* name : {u"Dword", u"Big"}) {
    const auto raw = stored(name);
    ASSERT_TRUE(raw) << "value " << platform::toUtf8(name);
    EXPECT_EQ(raw->type, win::REG_DWORD) << "big-endian is stored as a plain dword";
    EXPECT_EQ(raw->bytes, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
  }
  ASSERT_TRUE(stored(u"Short"));
  EXPECT_EQ(stored(u"Short")->bytes, dwordBytes(0xFFFFFFFEu));
  EXPECT_FALSE(stored(u"Digits")) << "a text is not written as a number";
}

TEST_P(RegistryWrites, ValueSetterWritesByteArraysStartingAtZero) {
  setThroughValue(u"Zero", 3, TaggedValue::fromBytes({1, 2, 3}, 0));
  setThroughValue(u"One", 3, TaggedValue::fromBytes({1, 2, 3}, 1));
  setThroughValue(u"Text", 3, TaggedValue::fromString(u"abc"));

  ASSERT_TRUE(stored(u"Zero"));
  EXPECT_EQ(stored(u"Zero")->type, win::REG_BINARY);
  EXPECT_EQ(stored(u"Zero")->bytes, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(stored(u"One"));
  EXPECT_FALSE(stored(u"Text"));
}

TEST_P(RegistryWrites, ValueSetterIgnoresOtherTypesButCreatesTheKey) {
  const std::u16string path = sub(u"Made\\Deeper");
  for (std::int32_t type : {0, 6, 7, 11}) {
    tray::clsRegistry registry = aimedAt(wide(), path, u"V");
    registry.ValueType(type);
    registry.Value(TaggedValue::fromString(std::u16string(u"a\0b\0", 4)));
    EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, path, u"V")) << "type " << type;
  }
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, path));
}

// The count excludes the terminator; NT itself adds one back when the byte after the counted
// data is a NUL, so the stored text may end in one that the class did not count.
TEST_P(RegistryWrites, SetRegistryValueCountsNoTerminator) {
  const bool systemAddsTerminator = ansiStringWritesAddTerminator(HKEY_CURRENT_USER, kRoot);
  EXPECT_TRUE(setThroughFunction(u"Sz", TaggedValue::fromString(u"abc"), 1));
  EXPECT_TRUE(setThroughFunction(u"Exp", TaggedValue::fromString(u" %X% "), 2));
  EXPECT_TRUE(setThroughFunction(u"Multi", TaggedValue::fromString(std::u16string(u"one\0two\0", 8)), 7));
  EXPECT_TRUE(setThroughFunction(u"Empty", TaggedValue::fromString(u""), 1));

  EXPECT_EQ(stored(u"Sz")->type, win::REG_SZ);
  EXPECT_EQ(stored(u"Sz")->bytes, utf16Bytes(u"abc", systemAddsTerminator)) << "3 ANSI bytes";
  EXPECT_EQ(stored(u"Exp")->type, win::REG_EXPAND_SZ);
  EXPECT_EQ(stored(u"Exp")->bytes, utf16Bytes(u" %X% ", systemAddsTerminator));
  EXPECT_EQ(stored(u"Multi")->type, win::REG_MULTI_SZ);
  EXPECT_EQ(stored(u"Multi")->bytes, utf16Bytes(std::u16string(u"one\0two\0", 8), false));
  EXPECT_TRUE(stored(u"Empty")->bytes.empty());
}

TEST_P(RegistryWrites, SetRegistryValueConvertsToNumbers) {
  EXPECT_TRUE(setThroughFunction(u"Digits", TaggedValue::fromString(u"12"), 4));
  EXPECT_TRUE(setThroughFunction(u"Word", TaggedValue::fromString(u"twelve"), 4));
  EXPECT_TRUE(setThroughFunction(u"Flag", TaggedValue::fromBoolean(true), 4));

  EXPECT_EQ(stored(u"Digits")->type, win::REG_DWORD);
  EXPECT_EQ(stored(u"Digits")->bytes, dwordBytes(12));
  EXPECT_EQ(stored(u"Word")->bytes, dwordBytes(0)) << "a text that is no number writes 0";
  EXPECT_EQ(stored(u"Flag")->bytes, dwordBytes(0xFFFFFFFFu));
}

TEST_P(RegistryWrites, SetRegistryValueWritesByteArraysFromTheirLowerBound) {
  EXPECT_TRUE(setThroughFunction(u"FromOne", TaggedValue::fromBytes({7, 8, 9}, 1), 3));
  EXPECT_TRUE(setThroughFunction(u"NotBytes", TaggedValue::fromString(u"abc"), 3));

  EXPECT_EQ(stored(u"FromOne")->bytes, (std::vector<std::uint8_t>{7, 8, 9}));
  EXPECT_FALSE(stored(u"NotBytes"));
}

TEST_P(RegistryWrites, SetRegistryValueSkipsOtherTypesAndStillSucceeds) {
  const std::u16string path = sub(u"Created");
  EXPECT_TRUE(setThroughFunction(u"Big", TaggedValue::fromInteger32(1), 5, path));
  EXPECT_TRUE(setThroughFunction(u"Link", TaggedValue::fromInteger32(1), 6, path));

  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, path)) << "the missing key is created first";
  EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, path, u"Big"));
  EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, path, u"Link"));
}

TEST_P(RegistryWrites, WrittenValuesReadBack) {
  setThroughValue(u"Sz", 1, TaggedValue::fromString(u"Quorvel"));
  setThroughValue(u"Bin", 3, TaggedValue::fromBytes({9, 8}));
  tray::clsRegistry registry(wide());

  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Sz"), TaggedValue::fromString(u"Quorvel"));
  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Bin"), TaggedValue::fromBytes({9, 8, 0}));
}

}  // namespace
}  // namespace traytest
