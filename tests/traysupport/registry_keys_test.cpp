// Keys and values as a whole: existence, creation, deletion, and the default family choice.
#include <gtest/gtest.h>

#include "clsOS.h"
#include "platform/sysinfo.h"
#include "registry_test_support.h"

namespace traytest {
namespace {

using tray::TaggedValue;
using win::HKEY_CURRENT_USER;

class RegistryKeys : public RegistryBothForms {};
INSTANTIATE_TEST_SUITE_P(Forms, RegistryKeys, ::testing::Bool(), formName);

TEST_P(RegistryKeys, CreateTestAndDeleteAKey) {
  const std::u16string path = sub(u"Level1\\Level2");
  tray::clsRegistry registry = aimedAt(wide(), path, u"");

  EXPECT_FALSE(registry.KeyExists());
  EXPECT_FALSE(registry.DeleteKey());
  EXPECT_TRUE(registry.CreateKey());
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, path));
  EXPECT_TRUE(registry.KeyExists());
  EXPECT_TRUE(registry.CreateKey()) << "an existing key is opened";
  EXPECT_TRUE(registry.DeleteKey());
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, path));
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, sub(u"Level1"))) << "only the last component goes";
}

TEST_P(RegistryKeys, DeleteKeyRefusesAKeyWithSubkeys) {
  createKey(HKEY_CURRENT_USER, sub(u"Parent\\Child"));
  tray::clsRegistry registry = aimedAt(wide(), sub(u"Parent"), u"");
  EXPECT_FALSE(registry.DeleteKey());
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, sub(u"Parent\\Child")));
}

TEST_P(RegistryKeys, DeleteValueNeedsBothTheKeyAndTheValue) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Doomed", win::REG_DWORD, dwordBytes(1));
  putValue(HKEY_CURRENT_USER, kRoot, u"Kept", win::REG_DWORD, dwordBytes(2));
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"Doomed");

  EXPECT_TRUE(registry.DeleteValue());
  EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, kRoot, u"Doomed"));
  EXPECT_TRUE(rawValue(HKEY_CURRENT_USER, kRoot, u"Kept"));
  EXPECT_FALSE(registry.DeleteValue()) << "already gone";
  registry.SectionKey(sub(u"NoSuchKey"));
  EXPECT_FALSE(registry.DeleteValue());
}

TEST_P(RegistryKeys, StatelessCallsLeaveTheObjectAlone) {
  putValue(HKEY_CURRENT_USER, kRoot, u"N", win::REG_DWORD, dwordBytes(3));
  tray::clsRegistry registry = aimedAt(wide(), sub(u"Elsewhere"), u"Other");
  registry.ValueType(1);
  registry.Default(TaggedValue::fromBoolean(false));

  EXPECT_EQ(registry.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"N"), TaggedValue::fromInteger32(3));
  EXPECT_TRUE(registry.SetRegistryValue(tray::kHiveCurrentUser, kRoot, u"M", TaggedValue::fromInteger32(4), 4));
  EXPECT_EQ(registry.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"M"), 4);

  EXPECT_EQ(registry.ClassKey(), tray::kHiveCurrentUser);
  EXPECT_EQ(registry.SectionKey(), sub(u"Elsewhere"));
  EXPECT_EQ(registry.ValueKey(), u"Other");
  EXPECT_EQ(registry.ValueType(), 1);
  EXPECT_EQ(registry.Default(), TaggedValue::fromBoolean(false));
}

TEST(RegistryDefaults, NewObjectStartsEmpty) {
  tray::clsRegistry registry(true);
  EXPECT_EQ(registry.ClassKey(), 0);
  EXPECT_EQ(registry.SectionKey(), u"");
  EXPECT_EQ(registry.ValueKey(), u"");
  EXPECT_EQ(registry.ValueType(), 0);
  EXPECT_TRUE(registry.Default().isEmpty());
}

// Both this machine's stand-in and Wine report an NT release from 6.1 on; the family must still
// be recognised so that the wide functions are used.
TEST(RegistryDefaults, DefaultObjectUsesTheWideFormOnNt) {
  win::OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_EQ(win::GetVersionExA(&version), 1);
  ASSERT_EQ(version.dwPlatformId, 2u);
  EXPECT_TRUE(tray::clsOS().isWinNT());
  EXPECT_TRUE(tray::clsRegistry().IsNT());
}

}  // namespace
}  // namespace traytest
