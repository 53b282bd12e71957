// Start-up conditions only the stand-in registry can arrange: an Uninstall key that cannot
// be opened or whose time cannot be read, a one-view machine, a clock with known times.
#include <gtest/gtest.h>

#include "cache_test_support.h"
#include "portable/registry_control.h"
#include "test_registry.h"

namespace {

const std::u16string kUninstall32 = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::u16string kUninstall64 = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string decimal(win::DWORD half) { return std::to_string(half); }

class PortableCacheStartup : public ::testing::Test {
 protected:
  void SetUp() override { portable::resetRegistry(); }
  void TearDown() override { portable::resetRegistry(); }

  std::unique_ptr<cDetector> start() const {
    auto detector = std::make_unique<cDetector>();
    detector->mode = ModeCached;
    detector->cachePath = cacheFile.u16string();
    EXPECT_EQ(1, detector->cacheStartup());
    return detector;
  }

  // A current cache recording one Uninstall entry.
  void saveCurrentCache() const {
    testreg::createKey(testreg::kUninstallPath, u"Alpha");
    // A view whose Uninstall key is missing counts as changed: give the 64-bit view one too.
    if (testreg::runsUnderWow64()) testreg::createKey(testreg::kUninstallPath, u"Alpha64", testreg::View::Bits64);
    auto detector = start();
    ASSERT_TRUE(detector->isInstalled(u"alpha"));
    ASSERT_EQ(1, detector->saveDetectorCache());
    ASSERT_EQ(ModeCached, start()->mode) << "the cache is current before the test changes anything";
  }

  ScratchDir dir;
  std::filesystem::path cacheFile = dir.file("Cache.db");
};

TEST_F(PortableCacheStartup, UninstallKeyThatCannotBeOpenedCountsAsChanged) {
  portable::setMachine(portable::Machine::x86);
  saveCurrentCache();
  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kUninstall64, win::KEY_READ);
  EXPECT_EQ(ModeRefreshed, start()->mode);
}

TEST_F(PortableCacheStartup, UnreadableTimeCountsAsChanged) {
  portable::setMachine(portable::Machine::x86);
  saveCurrentCache();
  // The comparison's own time query is the next one made.
  portable::injectFailure("RegQueryInfoKeyW", 1, 1, win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(ModeRefreshed, start()->mode);
}

TEST_F(PortableCacheStartup, SixtyFourBitViewThatCannotBeOpenedCountsAsChanged) {
  portable::setMachine(portable::Machine::x64);
  saveCurrentCache();
  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kUninstall64, win::KEY_READ);
  EXPECT_EQ(ModeRefreshed, start()->mode);
}

TEST_F(PortableCacheStartup, OneViewMachineWritesAndComparesOneTime) {
  portable::setMachine(portable::Machine::x86);
  portable::setClock({0xEB7B1800u, 0x01CA8A75u});  // 2010-01-01 00:04:00 UTC onwards
  saveCurrentCache();
  win::FILETIME time{};
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall64, time));
  ASSERT_GE(time.dwLowDateTime, 0x80000000u) << "a low half that a signed number would get wrong";
  EXPECT_EQ(cachetest::kThreeColumns, cachetest::columnNames(cacheFile, "cacheinfo"));
  EXPECT_EQ(std::vector<std::string>{"2.0.0.1|" + decimal(time.dwHighDateTime) + "|" + decimal(time.dwLowDateTime)},
            cachetest::cacheInfoRows(cacheFile, false));
}

TEST_F(PortableCacheStartup, TwoViewMachineWritesBothTimes) {
  portable::setMachine(portable::Machine::x64);
  saveCurrentCache();
  win::FILETIME time32{}, time64{};
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall32, time32));
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall64, time64));
  EXPECT_EQ(std::vector<std::string>{"2.0.0.1|" + decimal(time32.dwHighDateTime) + "|" +
                                     decimal(time32.dwLowDateTime) + "|" + decimal(time64.dwHighDateTime) + "|" +
                                     decimal(time64.dwLowDateTime)},
            cachetest::cacheInfoRows(cacheFile, true));
}

TEST_F(PortableCacheStartup, ChangeInEitherViewScans) {
  for (testreg::View changedView : {testreg::View::Default, testreg::View::Bits64}) {
    SCOPED_TRACE(changedView == testreg::View::Default ? "default view" : "64-bit view");
    portable::resetRegistry();
    portable::setMachine(portable::Machine::x64);
    std::filesystem::remove(cacheFile);
    saveCurrentCache();
    testreg::createKey(testreg::kUninstallPath, u"Newcomer", changedView);
    EXPECT_EQ(ModeRefreshed, start()->mode);
  }
}

// registryChanged on its own: exact comparison per view, and the registry's times taken
// over whatever the answer, so the next save writes them.
TEST_F(PortableCacheStartup, RegistryChangedComparesEveryViewAndTakesOverItsTimes) {
  portable::setMachine(portable::Machine::x64);
  testreg::createKey(testreg::kUninstallPath, u"Alpha", testreg::View::Default);
  testreg::createKey(testreg::kUninstallPath, u"Alpha64", testreg::View::Bits64);
  win::FILETIME registry32{}, registry64{};
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall32, registry32));
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall64, registry64));
  const auto ticks = [](const win::FILETIME& t) { return std::uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime; };

  cDetector detector;
  ASSERT_TRUE(detector.isWow64);
  detector.lastWriteTime32 = registry32;
  detector.lastWriteTime64 = registry64;
  EXPECT_FALSE(detector.registryChanged());

  // A change seen first in the default view: the 64-bit view is still read and taken over.
  detector.lastWriteTime32 = {registry32.dwLowDateTime + 1, registry32.dwHighDateTime};
  detector.lastWriteTime64 = {1, 2};
  EXPECT_TRUE(detector.registryChanged());
  EXPECT_EQ(ticks(registry32), ticks(detector.lastWriteTime32));
  EXPECT_EQ(ticks(registry64), ticks(detector.lastWriteTime64));

  // Only the 64-bit view differs, by its high half alone.
  detector.lastWriteTime64 = {registry64.dwLowDateTime, registry64.dwHighDateTime + 1};
  EXPECT_TRUE(detector.registryChanged());
  EXPECT_EQ(ticks(registry64), ticks(detector.lastWriteTime64));

  // A default view that cannot be opened counts as changed; the other view is still taken over.
  portable::denyAccess(win::HKEY_LOCAL_MACHINE, kUninstall32, win::KEY_READ);
  detector.lastWriteTime32 = {3, 4};
  detector.lastWriteTime64 = {5, 6};
  EXPECT_TRUE(detector.registryChanged());
  EXPECT_EQ(3u, detector.lastWriteTime32.dwLowDateTime) << "no time to take over";
  EXPECT_EQ(ticks(registry64), ticks(detector.lastWriteTime64));
}

TEST_F(PortableCacheStartup, RegistryChangedWithOneViewLeavesTheOtherTimeAlone) {
  portable::setMachine(portable::Machine::x86);
  testreg::createKey(testreg::kUninstallPath, u"Alpha");
  win::FILETIME registry{};
  ASSERT_TRUE(portable::lastWriteTime(win::HKEY_LOCAL_MACHINE, kUninstall64, registry));
  cDetector detector;
  ASSERT_FALSE(detector.isWow64);
  detector.lastWriteTime32 = registry;
  detector.lastWriteTime64 = {7, 8};
  EXPECT_FALSE(detector.registryChanged());
  detector.lastWriteTime32 = {0, 0};
  EXPECT_TRUE(detector.registryChanged());
  EXPECT_EQ(registry.dwLowDateTime, detector.lastWriteTime32.dwLowDateTime);
  EXPECT_EQ(registry.dwHighDateTime, detector.lastWriteTime32.dwHighDateTime);
  EXPECT_EQ(7u, detector.lastWriteTime64.dwLowDateTime);
  EXPECT_EQ(8u, detector.lastWriteTime64.dwHighDateTime);
}

TEST_F(PortableCacheStartup, MissingIsWow64ProcessMeansOneView) {
  portable::setMachine(portable::Machine::x64);
  portable::setIsWow64ProcessPresent(false);
  saveCurrentCache();
  EXPECT_EQ(cachetest::kThreeColumns, cachetest::columnNames(cacheFile, "cacheinfo"));
}

}  // namespace
