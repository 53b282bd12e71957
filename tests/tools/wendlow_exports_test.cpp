// The exported interface from a host's side: the library loaded at run time, its
// functions looked up by name and called with strings by reference.
#include <gtest/gtest.h>

#include <memory>

#include "detector.h"
#include "platform/oleaut.h"
#include "test_registry.h"
#include "wendlow_library.h"

namespace {

using testreg::View;

class WendlowExportsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = new WendlowLibrary;
    std::string error;
    loaded_ = library_->load(error);
    loadError_ = error;
  }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(loaded_) << loadError_;
    testreg::removeAllTestKeys();
  }
  void TearDown() override { testreg::removeAllTestKeys(); }

  static const WendlowExports& e() { return library_->exports(); }

  static void addUninstall(const std::u16string& name, const std::u16string& displayName,
                           View view = View::Default) {
    auto key = testreg::createKey(testreg::kUninstallPath, testreg::kTestPrefix + name, view);
    testreg::setString(key.get(), u"DisplayName", displayName);
    testreg::setString(key.get(), u"Publisher", u"Wendlow Test Publisher");
  }

  // The test entries in enumeration order, with the given property of each.
  static std::vector<std::pair<std::u16string, std::u16string>> testEntries(WendlowHandle h,
                                                                            const char16_t* property) {
    std::vector<std::pair<std::u16string, std::u16string>> out;
    e().FirstUninstallItem(h);
    do {
      std::u16string key = takeResultString(e().getCurrentItemKey(h));
      if (key.compare(0, testreg::kTestKeyPrefix.size(), testreg::kTestKeyPrefix) == 0) {
        out.emplace_back(key, takeResultString(e().getCurrentItemStr(h, &property)));
      }
    } while (e().NextUninstallItem(h) != 0);
    return out;
  }

  static WendlowLibrary* library_;
  static bool loaded_;
  static std::string loadError_;
};

WendlowLibrary* WendlowExportsTest::library_ = nullptr;
bool WendlowExportsTest::loaded_ = false;
std::string WendlowExportsTest::loadError_;

// An owned result string, checked to be a real OLE Automation string.
std::u16string checkedResult(win::BSTR text) {
  EXPECT_NE(text, nullptr) << "result strings are never null";
  if (text != nullptr) {
    EXPECT_EQ(win::SysStringByteLen(text), win::SysStringLen(text) * 2);
    EXPECT_EQ(text[win::SysStringLen(text)], u'\0');
  }
  return takeResultString(text);
}

TEST_F(WendlowExportsTest, NullHandleGivesSafeResults) {
  EXPECT_EQ(e().DeleteDetector(nullptr), 1);
  EXPECT_EQ(e().FirstUninstallItem(nullptr), 0);
  EXPECT_EQ(e().NextUninstallItem(nullptr), 0);
  EXPECT_EQ(checkedResult(e().getCurrentItemKey(nullptr)), u"");
  const char16_t* name = u"DisplayName";
  EXPECT_EQ(checkedResult(e().getCurrentItemStr(nullptr, &name)), u"");
  EXPECT_EQ(checkedResult(e().getCurrentItemStr(nullptr, nullptr)), u"");
  EXPECT_EQ(e().getCurrentItemLong(nullptr), 0);
  EXPECT_EQ(e().isInstalled(nullptr, &name), 0);
  EXPECT_EQ(e().isInstalledWildCard(nullptr, &name), 0);
}

TEST_F(WendlowExportsTest, ScanModeEnumeratesTheRegisteredPrograms) {
  addUninstall(u"Beta", u"Beta Program");
  addUninstall(u"ALPHA", u"Alpha Program");
  std::int32_t status = 0;
  WendlowHandle h = e().InitDetector(1, nullptr, &status);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(testEntries(h, u"DisplayName"),
            (std::vector<std::pair<std::u16string, std::u16string>>{{u"wendlowtest alpha", u"Alpha Program"},
                                                                    {u"wendlowtest beta", u"Beta Program"}}));
  EXPECT_EQ(testEntries(h, u"displayName"),
            (std::vector<std::pair<std::u16string, std::u16string>>{{u"wendlowtest alpha", u""},
                                                                    {u"wendlowtest beta", u""}}))
      << "property names are exact";
  EXPECT_EQ(e().DeleteDetector(h), 1);
}

TEST_F(WendlowExportsTest, CursorResultsFollowTheSteps) {
  addUninstall(u"Only", u"Only Program");
  WendlowHandle h = e().InitDetector(1, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(e().NextUninstallItem(h), 0) << "before FirstUninstallItem the cursor is at the end";
  EXPECT_EQ(checkedResult(e().getCurrentItemKey(h)), u"");

  EXPECT_EQ(e().FirstUninstallItem(h), 0);
  std::size_t steps = 0;
  while (e().NextUninstallItem(h) == -1) ++steps;
  EXPECT_GE(steps, 1u) << "the step onto the end returns -1 as well";
  EXPECT_EQ(checkedResult(e().getCurrentItemKey(h)), u"");
  EXPECT_EQ(e().NextUninstallItem(h), 0);
  EXPECT_EQ(e().getCurrentItemLong(h), 0);
  EXPECT_EQ(e().DeleteDetector(h), 1);
}

TEST_F(WendlowExportsTest, NullStringReferencesReadAsEmpty) {
  addUninstall(u"Only", u"Only Program");
  WendlowHandle h = e().InitDetector(1, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  e().FirstUninstallItem(h);
  const char16_t* nullText = nullptr;
  EXPECT_EQ(checkedResult(e().getCurrentItemStr(h, nullptr)), u"");
  EXPECT_EQ(checkedResult(e().getCurrentItemStr(h, &nullText)), u"");
  EXPECT_EQ(e().isInstalled(h, nullptr), 0);
  EXPECT_EQ(e().isInstalled(h, &nullText), 0);
  EXPECT_EQ(e().isInstalledWildCard(h, &nullText), 0);
  e().DeleteDetector(h);
}

TEST_F(WendlowExportsTest, RefreshCacheRescans) {
  addUninstall(u"Before", u"Before");
  WendlowHandle h = e().InitDetector(1, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  addUninstall(u"After", u"After");
  EXPECT_EQ(testEntries(h, u"DisplayName").size(), 1u);
  EXPECT_EQ(e().RefreshCache(h), 1);
  EXPECT_EQ(checkedResult(e().getCurrentItemKey(h)), u"") << "the cursor is parked after a rescan";
  EXPECT_EQ(testEntries(h, u"DisplayName"),
            (std::vector<std::pair<std::u16string, std::u16string>>{{u"wendlowtest after", u"After"},
                                                                    {u"wendlowtest before", u"Before"}}));
  e().DeleteDetector(h);
}

TEST_F(WendlowExportsTest, CacheModesWithoutAUsableCacheScanAndReportOne) {
  addUninstall(u"Scanned", u"Scanned");
  std::int32_t status = 0;
  const std::u16string missing = u"wendlow-test-no-such-dir/none.db";
  WendlowHandle h = e().InitDetector(2, missing.c_str(), &status);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(testEntries(h, u"DisplayName").size(), 1u);
  e().DeleteDetector(h);
}

// The handle is the detector's address; these peek at its state across the boundary.
static cDetector* peek(WendlowHandle h) { return reinterpret_cast<cDetector*>(h); }

TEST_F(WendlowExportsTest, InitDetectorSetsModeAndCachePath) {
  WendlowHandle scan = e().InitDetector(1, nullptr, nullptr);
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(peek(scan)->mode, ModeScan);
  EXPECT_EQ(e().getDetectorMode(scan), ModeScan) << "the extension reports the same";
  EXPECT_EQ(e().getDetectorMode(nullptr), 0);
  EXPECT_EQ(peek(scan)->cachePath, u"Cache.db") << "no path: a relative name in the current directory";
  e().DeleteDetector(scan);

  const std::u16string unusable = u"wendlow-test-no-such-dir/cache.db";
  for (std::int32_t mode : {2, 3, 7, 0, -1}) {
    std::int32_t status = 0;
    WendlowHandle h = e().InitDetector(mode, unusable.c_str(), &status);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(peek(h)->mode, ModeRefreshed) << "mode " << mode << " without a usable cache scans";
    EXPECT_EQ(e().getDetectorMode(h), ModeRefreshed);
    EXPECT_EQ(peek(h)->cachePath, unusable);
    EXPECT_EQ(status, 1);
    e().DeleteDetector(h);
  }
}

TEST_F(WendlowExportsTest, RefreshCacheForgetsRecordedNamesAndRescans) {
  WendlowHandle h = e().InitDetector(1, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  peek(h)->cachedUninstallKeys.insert(u"recorded");
  peek(h)->cachedExecutables.insert(u"recorded.exe");
  EXPECT_EQ(e().RefreshCache(h), 1);
  EXPECT_EQ(peek(h)->mode, ModeRefreshed);
  EXPECT_TRUE(peek(h)->cachedUninstallKeys.empty());
  EXPECT_TRUE(peek(h)->cachedExecutables.empty());
  e().DeleteDetector(h);
}

TEST_F(WendlowExportsTest, SixtyFourBitOnlyProgramIsListedOnSixtyFourBitWindows) {
  if (!testreg::runsUnderWow64()) GTEST_SKIP() << "one registry view on this machine";
  addUninstall(u"Both", u"Both (32-bit)", View::Default);
  addUninstall(u"Both", u"Both (64-bit)", View::Bits64);
  addUninstall(u"Wide", u"Wide (64-bit)", View::Bits64);
  WendlowHandle h = e().InitDetector(1, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(testEntries(h, u"DisplayName"),
            (std::vector<std::pair<std::u16string, std::u16string>>{{u"wendlowtest both", u"Both (32-bit)"},
                                                                    {u"wendlowtest wide", u"Wide (64-bit)"}}));
  e().DeleteDetector(h);
}

}  // namespace
