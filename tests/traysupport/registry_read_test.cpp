// Reading values: the Value getter and GetRegistryValue on every registry type.
#include <gtest/gtest.h>

#include "platform/sysinfo.h"
#include "registry_test_support.h"

namespace traytest {
namespace {

using tray::TaggedValue;
using win::HKEY_CURRENT_USER;

INSTANTIATE_TEST_SUITE_P(Forms, RegistryBothForms, ::testing::Bool(), formName);

TEST_P(RegistryBothForms, MissingValueOrKeyGivesTheFallback) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Present", win::REG_DWORD, dwordBytes(5));

  tray::clsRegistry missingValue = aimedAt(wide(), kRoot, u"Absent");
  EXPECT_TRUE(missingValue.Value().isEmpty()) << "Default never set";
  missingValue.ValueType(99);
  missingValue.Default(TaggedValue::fromInteger32(-7));
  EXPECT_EQ(missingValue.Value(), TaggedValue::fromInteger32(-7));
  EXPECT_EQ(missingValue.ValueType(), 99) << "a failed read leaves ValueType alone";

  tray::clsRegistry missingKey = aimedAt(wide(), sub(u"NoSuchKey"), u"Present");
  missingKey.Default(TaggedValue::fromString(u"fallback"));
  EXPECT_EQ(missingKey.Value(), TaggedValue::fromString(u"fallback"));

  tray::clsRegistry registry(wide());
  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Absent", u"42"), TaggedValue::fromString(u"42"))
      << "the fallback comes back as text even where a number is expected";
  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, sub(u"NoSuchKey"), u"Present"),
            TaggedValue::fromString(u""));
}

TEST_P(RegistryBothForms, BinaryReadsAsOneElementMoreThanItsData) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Bin", win::REG_BINARY, {0xDE, 0xAD, 0xBE, 0xEF});
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"Bin");

  const TaggedValue value = registry.Value();
  ASSERT_NE(value.asBytes(), nullptr);
  EXPECT_EQ(value.asBytes()->lowerBound, 0);
  EXPECT_EQ(value.asBytes()->upperBound(), 4);
  EXPECT_EQ(value.asBytes()->bytes, (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0xEF, 0x00}));
  EXPECT_EQ(registry.ValueType(), 3);

  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Bin"), value);
}

TEST_P(RegistryBothForms, OtherTypesReadAsBytes) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Quad", win::REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  putValue(HKEY_CURRENT_USER, kRoot, u"None", win::REG_NONE, {});
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"Quad");

  EXPECT_EQ(registry.Value(), TaggedValue::fromBytes({1, 2, 3, 4, 5, 6, 7, 8, 0}));
  EXPECT_EQ(registry.ValueType(), 11);
  registry.ValueKey(u"None");
  EXPECT_EQ(registry.Value(), TaggedValue::fromBytes({0}));
  EXPECT_EQ(registry.ValueType(), 0);
}

TEST_P(RegistryBothForms, DwordsInBothByteOrders) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Little", win::REG_DWORD, {0x78, 0x56, 0x34, 0x12});
  putValue(HKEY_CURRENT_USER, kRoot, u"Big", win::REG_DWORD_BIG_ENDIAN, {0x12, 0x34, 0x56, 0x78});
  putValue(HKEY_CURRENT_USER, kRoot, u"Negative", win::REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"Little");

  EXPECT_EQ(registry.Value(), TaggedValue::fromInteger32(0x12345678));
  EXPECT_EQ(registry.ValueType(), 4);
  registry.ValueKey(u"Big");
  EXPECT_EQ(registry.Value(), TaggedValue::fromInteger32(0x12345678));
  EXPECT_EQ(registry.ValueType(), 5);
  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Big"), TaggedValue::fromInteger32(0x12345678));
  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Negative"), TaggedValue::fromInteger32(-1));
}

TEST_P(RegistryBothForms, StringsLoseTheirTerminator) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Three", win::REG_SZ, utf16Bytes(u"abc", true));
  putValue(HKEY_CURRENT_USER, kRoot, u"OnlyTerminator", win::REG_SZ, utf16Bytes(u"", true));
  putValue(HKEY_CURRENT_USER, kRoot, u"NoData", win::REG_SZ, {});
  putValue(HKEY_CURRENT_USER, kRoot, u"Accented", win::REG_SZ, utf16Bytes(u"caf\u00E9", true));
  tray::clsRegistry registry(wide());
  const auto read = [&](const std::u16string& name) {
    return registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, name, u"fallback");
  };

  EXPECT_EQ(read(u"Three"), TaggedValue::fromString(u"abc"));
  EXPECT_EQ(read(u"OnlyTerminator"), TaggedValue::fromString(u""));
  EXPECT_EQ(read(u"NoData"), TaggedValue::fromString(u""));
  EXPECT_EQ(read(u"Accented"), TaggedValue::fromString(u"caf\u00E9")) << "in the ANSI code page";

  tray::clsRegistry getter = aimedAt(wide(), kRoot, u"Three");
  EXPECT_EQ(getter.Value(), TaggedValue::fromString(u"abc"));
  EXPECT_EQ(getter.ValueType(), 1);
}

TEST_P(RegistryBothForms, MultiStringKeepsOneNulAfterEachItem) {
  putValue(HKEY_CURRENT_USER, kRoot, u"List", win::REG_MULTI_SZ,
           utf16Bytes(std::u16string(u"one\0two\0\0", 9), false));
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"List");

  EXPECT_EQ(registry.Value(), TaggedValue::fromString(std::u16string(u"one\0two\0", 8)));
  EXPECT_EQ(registry.ValueType(), 7);
}

// Data whose size does not fit its type is read into a buffer of at least that size.
TEST_P(RegistryBothForms, DataOfUnusualSizeReadsWithinItsBuffer) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Short", win::REG_DWORD, {0x34, 0x12});
  putValue(HKEY_CURRENT_USER, kRoot, u"Long", win::REG_DWORD, {1, 0, 0, 0, 2, 0, 0, 0});
  putValue(HKEY_CURRENT_USER, kRoot, u"OneByte", win::REG_DWORD_BIG_ENDIAN, {0x7F});
  putValue(HKEY_CURRENT_USER, kRoot, u"Unterminated", win::REG_SZ, utf16Bytes(u"ab", false));
  putValue(HKEY_CURRENT_USER, kRoot, u"OddBytes", win::REG_SZ, {0x61, 0x00, 0x62});
  putValue(HKEY_CURRENT_USER, kRoot, u"Big", win::REG_SZ, std::vector<std::uint8_t>(300000, 0x41));
  tray::clsRegistry registry(wide());
  const auto read = [&](const std::u16string& name) {
    return registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, name, u"fallback");
  };

  EXPECT_EQ(read(u"Short"), TaggedValue::fromInteger32(0x1234));
  EXPECT_EQ(read(u"Long"), TaggedValue::fromInteger32(1));
  EXPECT_EQ(read(u"OneByte"), TaggedValue::fromInteger32(0x7F000000));
  EXPECT_EQ(read(u"Unterminated"), TaggedValue::fromString(u"a")) << "the last of size bytes is taken as the terminator";
  EXPECT_EQ(read(u"OddBytes"), TaggedValue::fromString(u""));
  const TaggedValue big = read(u"Big");
  ASSERT_NE(big.asString(), nullptr);
  EXPECT_EQ(big.asString()->size(), 149999u);
}

class ExpandingRegistry : public RegistryBothForms {
 protected:
  void SetUp() override {
    RegistryBothForms::SetUp();
    ASSERT_NE(win::SetEnvironmentVariableW(u"QV_TRAY_TEST_DIR", u"C:\\Quorvel"), 0);
    putValue(HKEY_CURRENT_USER, kRoot, u"Path", win::REG_EXPAND_SZ,
             utf16Bytes(u"%QV_TRAY_TEST_DIR%\\bin;%qv_tray_test_dir%;%QV_TRAY_NOT_SET%", true));
  }
  void TearDown() override {
    win::SetEnvironmentVariableW(u"QV_TRAY_TEST_DIR", nullptr);
    RegistryBothForms::TearDown();
  }
};

INSTANTIATE_TEST_SUITE_P(Forms, ExpandingRegistry, ::testing::Bool(), formName);

TEST_P(ExpandingRegistry, ExpandedUnlessAskedOtherwise) {
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"Path");
  const TaggedValue expanded = TaggedValue::fromString(u"C:\\Quorvel\\bin;C:\\Quorvel;%QV_TRAY_NOT_SET%");

  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Path", u"", false), expanded);
  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"Path", u"", true),
            TaggedValue::fromString(u"%QV_TRAY_TEST_DIR%\\bin;%qv_tray_test_dir%;%QV_TRAY_NOT_SET%"));
  EXPECT_EQ(registry.Value(), expanded);
  EXPECT_EQ(registry.ValueType(), 2);
}

TEST_P(RegistryBothForms, ValueTypeIsReportedOrMinusOne) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Text", win::REG_EXPAND_SZ, utf16Bytes(u"x", true));
  putValue(HKEY_CURRENT_USER, kRoot, u"", win::REG_BINARY, {1});
  tray::clsRegistry registry(wide());

  EXPECT_EQ(registry.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"Text"), 2);
  EXPECT_EQ(registry.GetRegValueType(tray::kHiveCurrentUser, kRoot, u""), 3) << "the unnamed value";
  EXPECT_EQ(registry.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"Absent"), -1);
  EXPECT_EQ(registry.GetRegValueType(tray::kHiveCurrentUser, sub(u"NoSuchKey"), u"Text"), -1);
}

}  // namespace
}  // namespace traytest
