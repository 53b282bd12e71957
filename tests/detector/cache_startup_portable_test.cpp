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

TEST_F(PortableCacheStartup, MissingIsWow64ProcessMeansOneView) {
  portable::setMachine(portable::Machine::x64);
  portable::setIsWow64ProcessPresent(false);
  saveCurrentCache();
  EXPECT_EQ(cachetest::kThreeColumns, cachetest::columnNames(cacheFile, "cacheinfo"));
}

}  // namespace
