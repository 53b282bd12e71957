// clsRegistry on the stand-in registry, where access can be refused and calls made to fail:
// which character form each call takes, refused access, and enumeration calls that fail.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "portable/registry_control.h"
#include "portable/user_control.h"
#include "registry_error.h"
#include "registry_test_support.h"

namespace traytest {
namespace {

using tray::TaggedValue;
using win::HKEY_CURRENT_USER;
using win::HKEY_LOCAL_MACHINE;

constexpr unsigned kEveryCall = 100000;

class PortableRegistry : public RegistryTest {
 protected:
  void SetUp() override {
    portable::resetRegistry();
    RegistryTest::SetUp();
  }
  void TearDown() override { portable::resetRegistry(); }

  static void failAll(std::string_view function) {
    portable::injectFailure(function, 1, kEveryCall, win::ERROR_ACCESS_DENIED);
  }
};

// Wide calls fail; the ANSI object does not notice, the NT object does where it uses them.
TEST_F(PortableRegistry, TheFlagChoosesTheWideOpenCreateDeleteAndSet) {
  putValue(HKEY_CURRENT_USER, kRoot, u"N", win::REG_DWORD, dwordBytes(9));
  createKey(HKEY_CURRENT_USER, sub(u"Doomed"));
  for (const char* function : {"RegOpenKeyExW", "RegCreateKeyExW", "RegDeleteKeyW", "RegDeleteValueW"}) {
    failAll(function);
  }

  tray::clsRegistry ansi = aimedAt(false, kRoot, u"N");
  tray::clsRegistry nt = aimedAt(true, kRoot, u"N");
  EXPECT_TRUE(ansi.KeyExists());
  EXPECT_FALSE(nt.KeyExists());
  EXPECT_EQ(ansi.Value(), TaggedValue::fromInteger32(9));
  EXPECT_TRUE(nt.Value().isEmpty());
  EXPECT_EQ(ansi.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"N"), 4);
  EXPECT_EQ(nt.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"N"), -1);
  EXPECT_TRUE(ansi.CreateKey());
  EXPECT_FALSE(nt.CreateKey());

  // SetRegistryValue takes the ANSI route whatever the flag says.
  EXPECT_TRUE(nt.SetRegistryValue(tray::kHiveCurrentUser, sub(u"New"), u"V", TaggedValue::fromInteger32(1), 4));
  EXPECT_EQ(ansi.GetRegistryValue(tray::kHiveCurrentUser, sub(u"New"), u"V"), TaggedValue::fromInteger32(1));

  tray::clsRegistry ansiDoomed = aimedAt(false, sub(u"Doomed"), u"");
  EXPECT_FALSE(aimedAt(true, sub(u"Doomed"), u"").DeleteKey());
  EXPECT_TRUE(ansiDoomed.DeleteKey());
  EXPECT_FALSE(ansiDoomed.KeyExists());
  EXPECT_FALSE(nt.DeleteValue());
  EXPECT_TRUE(ansi.DeleteValue());
  EXPECT_EQ(ansi.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"N"), -1);
}

TEST_F(PortableRegistry, ValuesAreAlwaysQueriedInAnsi) {
  putValue(HKEY_CURRENT_USER, kRoot, u"S", win::REG_SZ, utf16Bytes(u"text", true));
  failAll("RegQueryValueExW");
  tray::clsRegistry nt = aimedAt(true, kRoot, u"S");
  EXPECT_EQ(nt.Value(), TaggedValue::fromString(u"text"));
  EXPECT_EQ(nt.GetRegistryValue(tray::kHiveCurrentUser, kRoot, u"S"), TaggedValue::fromString(u"text"));
  EXPECT_EQ(nt.GetRegValueType(tray::kHiveCurrentUser, kRoot, u"S"), -1) << "the type query is by flag";
  EXPECT_EQ(aimedAt(false, kRoot, u"S").GetRegValueType(tray::kHiveCurrentUser, kRoot, u"S"), 1);
}

TEST_F(PortableRegistry, BinaryIsAlwaysWrittenInAnsi) {
  failAll("RegSetValueExW");
  tray::clsRegistry nt = aimedAt(true, kRoot, u"Bin");
  nt.ValueType(3);
  nt.Value(TaggedValue::fromBytes({1, 2}));
  nt.ValueKey(u"Sz");
  nt.ValueType(1);
  nt.Value(TaggedValue::fromString(u"x"));
  EXPECT_TRUE(rawValue(HKEY_CURRENT_USER, kRoot, u"Bin"));
  EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, kRoot, u"Sz"));
}

TEST_F(PortableRegistry, TextOutsideTheAnsiCodePageDoesNotSurviveTheAnsiForm) {
  const std::u16string omega = u"\u03A9";
  for (bool wide : {true, false}) {
    tray::clsRegistry registry = aimedAt(wide, kRoot, omega);
    registry.ValueType(1);
    registry.Value(TaggedValue::fromString(omega + u"\u00E9"));
  }
  ASSERT_TRUE(rawValue(HKEY_CURRENT_USER, kRoot, omega));
  EXPECT_EQ(rawValue(HKEY_CURRENT_USER, kRoot, omega)->bytes, utf16Bytes(omega + u"\u00E9", true));
  ASSERT_TRUE(rawValue(HKEY_CURRENT_USER, kRoot, u"?"));
  EXPECT_EQ(rawValue(HKEY_CURRENT_USER, kRoot, u"?")->bytes, utf16Bytes(u"?\u00E9", true));
  EXPECT_EQ(tray::clsRegistry(true).GetRegistryValue(tray::kHiveCurrentUser, kRoot, omega),
            TaggedValue::fromString(u"?\u00E9"))
      << "reading always goes through the ANSI code page";
}

TEST_F(PortableRegistry, KeyRefusingFullAccessDoesNotExist) {
  const std::u16string path = u"SYSTEM\\QuorvelTraySupportTest";
  deleteTree(HKEY_LOCAL_MACHINE, path);
  putValue(HKEY_LOCAL_MACHINE, path, u"Setting", win::REG_DWORD, dwordBytes(1));
  portable::denyAccess(HKEY_LOCAL_MACHINE, path, win::KEY_SET_VALUE | win::KEY_CREATE_SUB_KEY);

  for (bool wide : {true, false}) {
    tray::clsRegistry registry(wide);
    registry.ClassKey(tray::kHiveLocalMachine);
    registry.SectionKey(path);
    registry.ValueKey(u"Setting");
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_FALSE(registry.DeleteValue());
    EXPECT_EQ(registry.Value(), TaggedValue::fromInteger32(1)) << "reading needs only KEY_QUERY_VALUE";
    EXPECT_EQ(registry.GetRegistryValue(tray::kHiveLocalMachine, path, u"Setting"), TaggedValue::fromInteger32(1));
    EXPECT_FALSE(registry.SetRegistryValue(tray::kHiveLocalMachine, path, u"Setting", TaggedValue::fromInteger32(2), 4));
  }
  EXPECT_EQ(rawValue(HKEY_LOCAL_MACHINE, path, u"Setting")->bytes, dwordBytes(1));
  portable::denyAccess(HKEY_LOCAL_MACHINE, path, 0);
  deleteTree(HKEY_LOCAL_MACHINE, path);
}

// A key that cannot be read but can be written: the failed create's code stands unless a write
// replaces it.
TEST_F(PortableRegistry, SetRegistryValueKeepsTheCreateResultWhenNothingIsWritten) {
  const std::u16string path = sub(u"WriteOnly");
  createKey(HKEY_CURRENT_USER, path);
  portable::denyAccess(HKEY_CURRENT_USER, path, win::KEY_QUERY_VALUE);
  tray::clsRegistry registry(true);

  EXPECT_TRUE(registry.SetRegistryValue(tray::kHiveCurrentUser, path, u"V", TaggedValue::fromInteger32(3), 4));
  EXPECT_FALSE(registry.SetRegistryValue(tray::kHiveCurrentUser, path, u"W", TaggedValue::fromInteger32(3), 5));
  portable::denyAccess(HKEY_CURRENT_USER, path, 0);
  EXPECT_EQ(rawValue(HKEY_CURRENT_USER, path, u"V")->bytes, dwordBytes(3));
}

TEST_F(PortableRegistry, FailingEnumerationCallsEndTheList) {
  for (const char16_t* name : {u"One", u"Two", u"Three"}) {
    putValue(HKEY_CURRENT_USER, kRoot, name, win::REG_DWORD, dwordBytes(0));
    createKey(HKEY_CURRENT_USER, sub(name));
  }
  tray::clsRegistry registry = aimedAt(true, kRoot, u"");
  tray::OneBasedStrings names;
  std::int32_t count = 0;

  portable::injectFailure("RegEnumValueA", 2, 1, win::ERROR_ACCESS_DENIED);
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(names.items(), std::vector<std::u16string>{wideValueNames(HKEY_CURRENT_USER, kRoot).front()});

  portable::injectFailure("RegQueryInfoKeyA", 1, 1, win::ERROR_ACCESS_DENIED);
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());

  portable::injectFailure("RegEnumKeyA", 3, 1, win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(names.upperBound(), 2);

  // Afterwards the full lists come back.
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 3);
}

// Error sources start with the running program's name, whatever the file is called.
TEST(RegistryErrorSource, IsTheProgramFileNameWithoutFolderAndExtension) {
  portable::user::setProgramFile(u"C:\\Program Files\\Quorvel\\HXTray.exe");
  EXPECT_EQ(tray::ProgramFileTitle(), u"HXTray");
  portable::user::setProgramFile(u"D:\\tools.v2\\hx.tray.exe");
  EXPECT_EQ(tray::ProgramFileTitle(), u"hx.tray");
  portable::user::setProgramFile(u"");
}

}  // namespace
}  // namespace traytest
