// Scanning under conditions only the stand-in registry can arrange: keys that refuse to
// open, enumerations that fail half-way, the two machine kinds, a fixed clock.
#include <gtest/gtest.h>

#include "detector.h"
#include "portable/registry_control.h"
#include "test_registry.h"

namespace {

using testreg::View;

const std::u16string kUninstall64 = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::u16string kUninstall32 = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::u16string kAppPaths = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

std::uint64_t ticks(const win::FILETIME& time) { return std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime; }

class PortableRegistryScan : public ::testing::Test {
 protected:
  void SetUp() override { portable::resetRegistry(); }
  void TearDown() override { portable::resetRegistry(); }

  static void addUninstall(const std::u16string& name, const std::u16string& displayName, View view = View::Default) {
    auto key = testreg::createKey(testreg::kUninstallPath, name, view);
    testreg::setString(key.get(), u"DisplayName", displayName);
  }
  static void addAppPath(const std::u16string& name) {
    auto key = testreg::createKey(testreg::kAppPathsPath, name);
    testreg::setString(key.get(), u"Path", u"C:\\Apps\\" + name);
  }
  static std::vector<std::u16string> keys(const cDetector::UninstallMap& items) {
    std::vector<std::u16string> out;
    for (const auto& entry : items) out.push_back(entry.first);
    return out;
  }
  static std::vector<std::u16string> keys(const cDetector::AppPathMap& items) {
    std::vector<std::u16string> out;
    for (const auto& entry : items) out.push_back(entry.first);
    return out;
  }
  static std::u16string displayName(const cDetector& detector, const std::u16string& key) {
    auto found = detector.uninstallItems.find(key);
    if (found == detector.uninstallItems.end()) return u"(missing)";
    return std::u16string(found->second->getValue(u"DisplayName"));
  }
};

TEST_F(PortableRegistryScan, Wow64IsDetectedFromTheMachine) {
  portable::setMachine(portable::Machine::x64);
  EXPECT_TRUE(cDetector::detectWow64());
  portable::setMachine(portable::Machine::x86);
  EXPECT_FALSE(cDetector::detectWow64());
  portable::setMachine(portable::Machine::x64);
  portable::setIsWow64ProcessPresent(false);
  EXPECT_FALSE(cDetector::detectWow64()) << "without IsWow64Process there is one view";
}

TEST_F(PortableRegistryScan, SixtyFourBitMachineMergesBothViewsDefaultFirst) {
  portable::setMachine(portable::Machine::x64);
  portable::setClock({1000, 7});
  addUninstall(u"Lumora", u"Lumora (32-bit)", View::Default);
  addUninstall(u"LUMORA", u"Lumora (64-bit)", View::Bits64);
  addUninstall(u"Tessaline", u"Tessaline 3D", View::Bits64);
  addUninstall(u"Kestrel", u"Kestrel Chat", View::Default);
  addAppPath(u"Lumora.exe");

  cDetector detector;
  ASSERT_TRUE(detector.isWow64);
  detector.scanRegistry();
  EXPECT_EQ(keys(detector.uninstallItems), (std::vector<std::u16string>{u"kestrel", u"lumora", u"tessaline"}));
  EXPECT_EQ(displayName(detector, u"lumora"), u"Lumora (32-bit)");
  EXPECT_EQ(displayName(detector, u"tessaline"), u"Tessaline 3D");
  EXPECT_EQ(keys(detector.appPathItems), std::vector<std::u16string>{u"lumora.exe"}) << "App Paths is one shared key";

  win::FILETIME expected32{}, expected64{};
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall32, expected32));
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall64, expected64));
  EXPECT_NE(ticks(expected32), ticks(expected64));
  EXPECT_EQ(ticks(detector.lastWriteTime32), ticks(expected32));
  EXPECT_EQ(ticks(detector.lastWriteTime64), ticks(expected64));
}

TEST_F(PortableRegistryScan, ThirtyTwoBitMachineReadsOneView) {
  portable::setMachine(portable::Machine::x86);
  addUninstall(u"Kestrel", u"Kestrel Chat");
  cDetector detector;
  ASSERT_FALSE(detector.isWow64);
  detector.scanRegistry();
  EXPECT_EQ(keys(detector.uninstallItems), std::vector<std::u16string>{u"kestrel"});
  win::FILETIME expected{};
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall64, expected));
  EXPECT_EQ(ticks(detector.lastWriteTime32), ticks(expected));
  EXPECT_EQ(ticks(detector.lastWriteTime64), 0u);
}

TEST_F(PortableRegistryScan, UnopenableAppPathsRootLeavesOnlyAppPathsEmpty) {
  portable::setMachine(portable::Machine::x86);
  addUninstall(u"Kestrel", u"Kestrel Chat");
  addAppPath(u"kchat.exe");
  cDetector detector;
  detector.scanRegistry();
  ASSERT_EQ(detector.appPathItems.size(), 1u);

  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kAppPaths, win::KEY_READ);
  detector.scanRegistry();
  EXPECT_TRUE(detector.appPathItems.empty()) << "emptied although its root did not open";
  EXPECT_EQ(keys(detector.uninstallItems), std::vector<std::u16string>{u"kestrel"});
}

TEST_F(PortableRegistryScan, UnopenableUninstallRootEmptiesTheMapAndKeepsTheTime) {
  portable::setMachine(portable::Machine::x86);
  addUninstall(u"Kestrel", u"Kestrel Chat");
  addAppPath(u"kchat.exe");
  cDetector detector;
  detector.scanRegistry();
  const std::uint64_t before = ticks(detector.lastWriteTime32);
  ASSERT_NE(before, 0u);

  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kUninstall64, win::KEY_READ);
  addUninstall(u"Later", u"Later");  // the key's time moves on
  detector.scanRegistry();
  EXPECT_TRUE(detector.uninstallItems.empty());
  EXPECT_EQ(ticks(detector.lastWriteTime32), before);
  EXPECT_EQ(keys(detector.appPathItems), std::vector<std::u16string>{u"kchat.exe"});
}

TEST_F(PortableRegistryScan, UnopenableSixtyFourBitRootKeepsTheDefaultView) {
  portable::setMachine(portable::Machine::x64);
  addUninstall(u"Kestrel", u"Kestrel Chat", View::Default);
  addUninstall(u"Tessaline", u"Tessaline 3D", View::Bits64);
  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kUninstall64, win::KEY_READ);
  cDetector detector;
  detector.scanRegistry();
  EXPECT_EQ(keys(detector.uninstallItems), std::vector<std::u16string>{u"kestrel"});
  EXPECT_EQ(ticks(detector.lastWriteTime64), 0u);
}

TEST_F(PortableRegistryScan, UnopenableSubkeyGivesNoEntry) {
  portable::setMachine(portable::Machine::x86);
  addUninstall(u"Kestrel", u"Kestrel Chat");
  addUninstall(u"Locked", u"Locked");
  addUninstall(u"Thornbury", u"Thornbury Maps");
  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kUninstall64 + u"\\Locked", win::KEY_QUERY_VALUE);
  cDetector detector;
  detector.scanRegistry();
  EXPECT_EQ(keys(detector.uninstallItems), (std::vector<std::u16string>{u"kestrel", u"thornbury"}));
}

TEST_F(PortableRegistryScan, EnumerationErrorMidwayKeepsTheEntriesMadeSoFar) {
  portable::setMachine(portable::Machine::x86);
  for (const char16_t* name : {u"A1", u"B2", u"C3", u"D4"}) addUninstall(name, name);
  addAppPath(u"a1.exe");
  // The third call is the Uninstall enumeration's index 2.
  portable::injectFailure("RegEnumKeyW", 3, 1, win::ERROR_ACCESS_DENIED);
  cDetector detector;
  EXPECT_EQ(detector.scanRegistry(), 1);
  ASSERT_EQ(detector.uninstallItems.size(), 2u);
  EXPECT_EQ(keys(detector.appPathItems), std::vector<std::u16string>{u"a1.exe"}) << "the next root is read";
}

TEST_F(PortableRegistryScan, UnreadableValueLeavesOnlyItsPropertyEmpty) {
  portable::setMachine(portable::Machine::x86);
  {
    auto key = testreg::createKey(testreg::kUninstallPath, u"Kestrel");
    testreg::setString(key.get(), u"DisplayIcon", u"kchat.exe,0");
    testreg::setString(key.get(), u"DisplayName", u"Kestrel Chat");
  }
  // Values are read in name order: DisplayIcon first.
  portable::injectFailure("RegQueryValueExW", 1, 1, win::ERROR_ACCESS_DENIED);
  cDetector detector;
  detector.scanRegistry();
  ASSERT_EQ(detector.uninstallItems.size(), 1u);
  const AppInstalledItem& item = *detector.uninstallItems.begin()->second;
  EXPECT_EQ(item.getValue(u"DisplayIcon"), u"");
  EXPECT_EQ(item.getValue(u"DisplayName"), u"Kestrel Chat");
}

TEST_F(PortableRegistryScan, CachedEntriesIgnoreTheSixtyFourBitView) {
  portable::setMachine(portable::Machine::x64);
  addUninstall(u"Kestrel", u"Kestrel Chat", View::Default);
  addUninstall(u"Tessaline", u"Tessaline 3D", View::Bits64);
  cDetector detector;
  detector.cachedUninstallKeys = {u"kestrel", u"tessaline", u"no such program", u""};
  detector.loadCachedEntries();
  // The empty name opens the Uninstall key itself, which is a key like any other.
  EXPECT_EQ(keys(detector.uninstallItems), (std::vector<std::u16string>{u"", u"kestrel"}));
}

}  // namespace
