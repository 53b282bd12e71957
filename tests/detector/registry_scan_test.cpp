// Scanning the Uninstall and App Paths registrations. The registry is set up through the
// platform's own functions, so these run on the stand-in and on Windows alike; they look
// only at the entries they wrote (all named with the test prefix).
#include <gtest/gtest.h>

#include <cstdlib>

#include "detector.h"
#include "test_registry.h"

namespace {

using testreg::View;

class RegistryScan : public ::testing::Test {
 protected:
  void SetUp() override { testreg::removeAllTestKeys(); }
  void TearDown() override { testreg::removeAllTestKeys(); }

  static platform::unique_hkey uninstallKey(const std::u16string& name, View view = View::Default) {
    return testreg::createKey(testreg::kUninstallPath, testreg::kTestPrefix + name, view);
  }
  static platform::unique_hkey appPathKey(const std::u16string& name, View view = View::Default) {
    return testreg::createKey(testreg::kAppPathsPath, testreg::kTestPrefix + name, view);
  }

  static const AppInstalledItem* uninstallEntry(const cDetector& detector, const std::u16string& key) {
    auto found = detector.uninstallItems.find(testreg::kTestKeyPrefix + key);
    return found == detector.uninstallItems.end() ? nullptr : found->second.get();
  }
  static const AppPathItem* appPathEntry(const cDetector& detector, const std::u16string& key) {
    auto found = detector.appPathItems.find(testreg::kTestKeyPrefix + key);
    return found == detector.appPathItems.end() ? nullptr : found->second.get();
  }
  static std::size_t testEntryCount(const cDetector::UninstallMap& items) {
    std::size_t count = 0;
    for (const auto& entry : items) count += entry.first.compare(0, 12, testreg::kTestKeyPrefix) == 0 ? 1 : 0;
    return count;
  }
};

TEST_F(RegistryScan, ReadsTheDisplayValuesOfAnUninstallEntry) {
  {
    auto key = uninstallKey(u"Quillmark PDF");
    testreg::setString(key.get(), u"DisplayName", u"Quillmark PDF Studio");
    testreg::setString(key.get(), u"DisplayVersion", u"11.4.0.1870");
    testreg::setString(key.get(), u"DisplayIcon", u"C:\\Program Files\\Quillmark\\quillpdf.exe,0");
    testreg::setString(key.get(), u"HelpLink", u"https://help.quillmark.example/pdf");
    testreg::setString(key.get(), u"Publisher", u"Quillmark Systems");
    testreg::setString(key.get(), u"InstallLocation", u"C:\\Program Files\\Quillmark\\");
    testreg::setString(key.get(), u"InstallDate", u"20230917");
    testreg::setString(key.get(), u"UninstallString", u"C:\\Program Files\\Quillmark\\uninstall.exe");
    // Values of property names the scan never reads.
    testreg::setString(key.get(), u"HelpTelephone", u"+1 555 0100");
    testreg::setString(key.get(), u"Size", u"251904");
    testreg::setString(key.get(), u"UninstallKey", u"self");
  }
  cDetector detector;
  EXPECT_EQ(detector.scanRegistry(), 1);
  const AppInstalledItem* item = uninstallEntry(detector, u"quillmark pdf");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->getValue(u"DisplayName"), u"Quillmark PDF Studio");
  EXPECT_EQ(item->getValue(u"DisplayVersion"), u"11.4.0.1870");
  EXPECT_EQ(item->getValue(u"DisplayIcon"), u"C:\\Program Files\\Quillmark\\quillpdf.exe,0");
  EXPECT_EQ(item->getValue(u"HelpLink"), u"https://help.quillmark.example/pdf");
  EXPECT_EQ(item->getValue(u"Publisher"), u"Quillmark Systems");
  EXPECT_EQ(item->getValue(u"InstallLocation"), u"C:\\Program Files\\Quillmark\\");
  EXPECT_EQ(item->getValue(u"InstallDate"), u"20230917");
  EXPECT_EQ(item->getValue(u"UninstallString"), u"");
  EXPECT_EQ(item->getValue(u"HelpTelephone"), u"");
  EXPECT_EQ(item->getValue(u"Size"), u"");
  EXPECT_EQ(item->getValue(u"UninstallKey"), u"");
  EXPECT_EQ(detector.uninstallValueNames,
            (cDetector::StringSet{u"DisplayIcon", u"DisplayName", u"DisplayVersion", u"HelpLink", u"InstallDate",
                                  u"InstallLocation", u"Publisher", u"UninstallString"}));
}

TEST_F(RegistryScan, KeepsAnEntryWithoutValuesAndFoldsOnlyAsciiCapitals) {
  uninstallKey(u"EMPTY Entry");
  uninstallKey(u"ÄRGER {9A2B-Foo}");
  cDetector detector;
  detector.scanRegistry();
  const AppInstalledItem* empty = uninstallEntry(detector, u"empty entry");
  ASSERT_NE(empty, nullptr) << "an entry without a DisplayName is not skipped";
  for (const auto& name : AppInstalledItem::propertyNames()) EXPECT_EQ(empty->getValue(name), u"") << "property";
  EXPECT_NE(uninstallEntry(detector, u"Ärger {9a2b-foo}"), nullptr);
  EXPECT_EQ(uninstallEntry(detector, u"ärger {9a2b-foo}"), nullptr);
}

TEST_F(RegistryScan, TakesEveryValueTypeAsRawUtf16Text) {
  {
    auto key = uninstallKey(u"Typed");
    testreg::setDword(key.get(), u"InstallDate", 0x0134B0D3);  // 20230419 written as a number
    testreg::setDword(key.get(), u"DisplayVersion", 1);
    testreg::setString(key.get(), u"DisplayIcon", u"%ProgramFiles%\\Nordvik\\nvbackup.exe,0", win::REG_EXPAND_SZ);
    testreg::setString(key.get(), u"Publisher", std::u16string(u"Nordvik\0Digital", 15));
    testreg::setBytes(key.get(), u"HelpLink", {'h', 0, 't', 0, 't', 0, 'p', 0}, win::REG_BINARY);
    testreg::setBytes(key.get(), u"InstallLocation", {'C', 0, ':', 0, '\\', 0, 'x'}, win::REG_BINARY);
  }
  cDetector detector;
  detector.scanRegistry();
  const AppInstalledItem* item = uninstallEntry(detector, u"typed");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->getValue(u"InstallDate"), u"\xB0D3\x0134");
  EXPECT_EQ(item->getValue(u"DisplayVersion"), u"\u0001");
  EXPECT_EQ(item->getValue(u"DisplayIcon"), u"%ProgramFiles%\\Nordvik\\nvbackup.exe,0") << "never expanded";
  EXPECT_EQ(item->getValue(u"Publisher"), u"Nordvik");
  EXPECT_EQ(item->getValue(u"HelpLink"), u"http") << "data without a zero ends with the bytes returned";
  EXPECT_EQ(item->getValue(u"InstallLocation"), u"C:\\") << "the odd trailing byte is dropped";
}

TEST_F(RegistryScan, SkipsAValueLargerThanTheBufferButKeepsTheEntry) {
  // 9999 code units and the zero: exactly 20000 bytes still fit.
  const std::u16string fits(9999, u'f');
  const std::u16string tooLarge(10000, u't');
  {
    auto key = uninstallKey(u"Large Values");
    testreg::setString(key.get(), u"DisplayName", fits);
    testreg::setString(key.get(), u"Publisher", tooLarge);
    testreg::setString(key.get(), u"DisplayVersion", u"1.0");
  }
  cDetector detector;
  detector.scanRegistry();
  const AppInstalledItem* item = uninstallEntry(detector, u"large values");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->getValue(u"DisplayName"), fits);
  EXPECT_EQ(item->getValue(u"Publisher"), u"");
  EXPECT_EQ(item->getValue(u"DisplayVersion"), u"1.0") << "the values after the skipped one are read";
}

TEST_F(RegistryScan, ReadsAppPathsUnderTheLoweredExecutableName) {
  {
    auto key = appPathKey(u"Editor.EXE");
    testreg::setString(key.get(), u"", u"C:\\Program Files\\Editor\\editor.exe");
    testreg::setString(key.get(), u"Path", u"C:\\Program Files\\Editor");
  }
  appPathKey(u"NoPath.exe");
  cDetector detector;
  detector.scanRegistry();
  const AppPathItem* editor = appPathEntry(detector, u"editor.exe");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->getValue(u"Path"), u"C:\\Program Files\\Editor");
  const AppPathItem* noPath = appPathEntry(detector, u"nopath.exe");
  ASSERT_NE(noPath, nullptr);
  EXPECT_EQ(noPath->getValue(u"Path"), u"");
  EXPECT_EQ(detector.appPathValueNames, cDetector::StringSet{u"Path"});
  EXPECT_EQ(uninstallEntry(detector, u"editor.exe"), nullptr) << "App Paths stay out of the Uninstall map";
}

TEST_F(RegistryScan, RescanReplacesTheEntriesAndParksTheCursor) {
  uninstallKey(u"Stays");
  uninstallKey(u"Goes");
  appPathKey(u"goes.exe");
  cDetector detector;
  detector.scanRegistry();
  ASSERT_NE(uninstallEntry(detector, u"goes"), nullptr);
  ASSERT_NE(appPathEntry(detector, u"goes.exe"), nullptr);

  testreg::removeAllTestKeys();
  uninstallKey(u"Stays");
  uninstallKey(u"Arrives");
  detector.firstItem();
  EXPECT_EQ(detector.scanRegistry(), 1);
  EXPECT_NE(uninstallEntry(detector, u"stays"), nullptr);
  EXPECT_NE(uninstallEntry(detector, u"arrives"), nullptr);
  EXPECT_EQ(uninstallEntry(detector, u"goes"), nullptr);
  EXPECT_EQ(appPathEntry(detector, u"goes.exe"), nullptr);
  EXPECT_TRUE(detector.currentItem == detector.uninstallItems.end());
  EXPECT_EQ(testEntryCount(detector.uninstallItems), 2u);
}

TEST_F(RegistryScan, RecordsTheUninstallKeysLastWriteTimePerView) {
  uninstallKey(u"Timed");
  if (testreg::runsUnderWow64()) uninstallKey(u"Timed", View::Bits64);
  cDetector detector;
  detector.scanRegistry();
  const auto& t32 = detector.lastWriteTime32;
  EXPECT_NE(std::uint64_t{t32.dwHighDateTime} << 32 | t32.dwLowDateTime, 0u);
  const auto& t64 = detector.lastWriteTime64;
  if (detector.isWow64) {
    EXPECT_NE(std::uint64_t{t64.dwHighDateTime} << 32 | t64.dwLowDateTime, 0u);
  } else {
    EXPECT_EQ(std::uint64_t{t64.dwHighDateTime} << 32 | t64.dwLowDateTime, 0u) << "one view: no 64-bit time";
  }
}

TEST_F(RegistryScan, ProcessKindIsTheOneTheRunExpects) {
  // The runner says which kind of Windows it provides; the view checks below skip otherwise.
  const char* expected = std::getenv("QC_EXPECT_WOW64");
  if (expected == nullptr) GTEST_SKIP() << "the runner states no expectation";
  EXPECT_EQ(testreg::runsUnderWow64(), std::string(expected) == "1");
  EXPECT_EQ(cDetector::detectWow64(), std::string(expected) == "1");
}

TEST_F(RegistryScan, BothViewsGiveOneEntryAndTheDefaultViewWins) {
  if (!testreg::runsUnderWow64()) GTEST_SKIP() << "one registry view on this machine";
  testreg::setString(uninstallKey(u"Lumora Player", View::Default).get(), u"DisplayName", u"Lumora (32-bit)");
  testreg::setString(uninstallKey(u"Lumora Player", View::Bits64).get(), u"DisplayName", u"Lumora (64-bit)");
  testreg::setString(uninstallKey(u"Only64", View::Bits64).get(), u"DisplayName", u"Only in the 64-bit view");

  cDetector detector;
  ASSERT_TRUE(detector.isWow64);
  detector.scanRegistry();
  const AppInstalledItem* both = uninstallEntry(detector, u"lumora player");
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(both->getValue(u"DisplayName"), u"Lumora (32-bit)");
  const AppInstalledItem* only64 = uninstallEntry(detector, u"only64");
  ASSERT_NE(only64, nullptr);
  EXPECT_EQ(only64->getValue(u"DisplayName"), u"Only in the 64-bit view");
  EXPECT_EQ(testEntryCount(detector.uninstallItems), 2u);
}

TEST_F(RegistryScan, WithoutWow64TheSixtyFourBitViewIsNotRead) {
  if (!testreg::runsUnderWow64()) GTEST_SKIP() << "one registry view on this machine";
  uninstallKey(u"Only64", View::Bits64);
  cDetector detector;
  detector.isWow64 = false;  // as on Windows without IsWow64Process
  detector.scanRegistry();
  EXPECT_EQ(uninstallEntry(detector, u"only64"), nullptr);
  EXPECT_EQ(detector.lastWriteTime64.dwLowDateTime | detector.lastWriteTime64.dwHighDateTime, 0u);
}

TEST_F(RegistryScan, CachedEntriesComeFromTheDefaultViewUnderTheirStoredNames) {
  testreg::setString(uninstallKey(u"Cached One").get(), u"DisplayName", u"Cached One");
  uninstallKey(u"Not Cached");
  testreg::setString(appPathKey(u"cached.exe").get(), u"Path", u"C:\\Cached");
  appPathKey(u"uncached.exe");
  if (testreg::runsUnderWow64()) uninstallKey(u"Only64", View::Bits64);

  cDetector detector;
  detector.lastWriteTime32 = {111, 222};
  detector.lastWriteTime64 = {333, 444};
  // A cached name is used as stored; the registry finds the subkey whatever the case.
  detector.cachedUninstallKeys = {testreg::kTestKeyPrefix + u"cached one", testreg::kTestKeyPrefix + u"only64",
                                  testreg::kTestKeyPrefix + u"removed meanwhile", u"WendlowTest Cached One"};
  detector.cachedExecutables = {testreg::kTestKeyPrefix + u"cached.exe", testreg::kTestKeyPrefix + u"gone.exe"};
  detector.firstItem();
  EXPECT_EQ(detector.loadCachedEntries(), 1);

  std::vector<std::u16string> keys;
  for (const auto& entry : detector.uninstallItems) keys.push_back(entry.first);
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"WendlowTest Cached One", u"wendlowtest cached one"}));
  EXPECT_EQ(detector.uninstallItems.begin()->second->getValue(u"DisplayName"), u"Cached One");
  ASSERT_EQ(detector.appPathItems.size(), 1u);
  EXPECT_EQ(detector.appPathItems.begin()->first, u"wendlowtest cached.exe");
  EXPECT_EQ(detector.appPathItems.begin()->second->getValue(u"Path"), u"C:\\Cached");
  EXPECT_TRUE(detector.currentItem == detector.uninstallItems.end());
  EXPECT_EQ(detector.lastWriteTime32.dwLowDateTime, 111u);
  EXPECT_EQ(detector.lastWriteTime32.dwHighDateTime, 222u);
  EXPECT_EQ(detector.lastWriteTime64.dwLowDateTime, 333u);
  EXPECT_EQ(detector.lastWriteTime64.dwHighDateTime, 444u);
}

TEST_F(RegistryScan, LoadingNoCachedNamesEmptiesBothMaps) {
  uninstallKey(u"Present");
  appPathKey(u"present.exe");
  cDetector detector;
  detector.scanRegistry();
  ASSERT_FALSE(detector.uninstallItems.empty());
  detector.loadCachedEntries();
  EXPECT_TRUE(detector.uninstallItems.empty());
  EXPECT_TRUE(detector.appPathItems.empty());
}

}  // namespace
