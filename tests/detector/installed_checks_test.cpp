// isInstalled and isInstalledWildCard on a detector whose maps the test fills itself:
// what each answers in every mode and what each records.
#include <gtest/gtest.h>

#include "detector.h"

namespace {

class InstalledChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* key : {u"foo bar", u"foobar"}) {
      detector.insertUninstallItem(key, std::make_unique<AppInstalledItem>());
    }
    detector.insertAppPathItem(u"foo.exe", std::make_unique<AppPathItem>());
  }

  const cDetector::StringSet& keys() const { return detector.cachedUninstallKeys; }
  const cDetector::StringSet& executables() const { return detector.cachedExecutables; }

  cDetector detector;
};

TEST_F(InstalledChecks, ExactNameFindsUninstallKeyFirstAndRecordsIt) {
  EXPECT_TRUE(detector.isInstalled(u"foo bar"));
  EXPECT_EQ(cDetector::StringSet{u"foo bar"}, keys());
  EXPECT_TRUE(executables().empty());
}

TEST_F(InstalledChecks, ExactNameFindsAppPathAndRecordsItAsExecutable) {
  EXPECT_TRUE(detector.isInstalled(u"foo.exe"));
  EXPECT_EQ(cDetector::StringSet{u"foo.exe"}, executables());
  EXPECT_TRUE(keys().empty());
}

TEST_F(InstalledChecks, NameInBothMapsIsRecordedOnlyAsUninstallKey) {
  detector.insertAppPathItem(u"foobar", std::make_unique<AppPathItem>());
  EXPECT_TRUE(detector.isInstalled(u"foobar"));
  EXPECT_EQ(cDetector::StringSet{u"foobar"}, keys());
  EXPECT_TRUE(executables().empty());
}

TEST_F(InstalledChecks, QueriesAreNeverFoldedOrTrimmed) {
  EXPECT_FALSE(detector.isInstalled(u"Foo Bar"));
  EXPECT_FALSE(detector.isInstalled(u"foo bar "));
  EXPECT_FALSE(detector.isInstalled(u"FOO.EXE"));
  EXPECT_FALSE(detector.isInstalled(u""));
  EXPECT_FALSE(detector.isInstalledWildCard(u"Foo*"));
  EXPECT_TRUE(keys().empty());
  EXPECT_TRUE(executables().empty());
}

TEST_F(InstalledChecks, WildcardWithoutStarLooksOnlyAtUninstallKeys) {
  EXPECT_FALSE(detector.isInstalledWildCard(u"foo.exe"));
  EXPECT_TRUE(detector.isInstalledWildCard(u"foobar"));
  EXPECT_EQ(cDetector::StringSet{u"foobar"}, keys());
  EXPECT_TRUE(executables().empty());
}

TEST_F(InstalledChecks, WildcardRecordsThePatternNotTheMatchedKey) {
  EXPECT_TRUE(detector.isInstalledWildCard(u"foo*"));
  EXPECT_TRUE(detector.isInstalledWildCard(u"*bar"));
  EXPECT_FALSE(detector.isInstalledWildCard(u"*baz"));
  EXPECT_FALSE(detector.isInstalledWildCard(u"bar*")) << "a pattern matches from the key's start: not foobar";
  EXPECT_FALSE(detector.isInstalledWildCard(u"*.exe")) << "App Paths keys are never matched by a pattern";
  EXPECT_FALSE(detector.isInstalledWildCard(u""));
  EXPECT_EQ((cDetector::StringSet{u"*bar", u"foo*"}), keys());
}

TEST_F(InstalledChecks, LoneStarNeedsAnUninstallEntry) {
  EXPECT_TRUE(detector.isInstalledWildCard(u"*"));
  EXPECT_EQ(cDetector::StringSet{u"*"}, keys());

  cDetector empty;
  empty.insertAppPathItem(u"foo.exe", std::make_unique<AppPathItem>());
  EXPECT_FALSE(empty.isInstalledWildCard(u"*"));
  EXPECT_TRUE(empty.cachedUninstallKeys.empty());
}

TEST_F(InstalledChecks, ModeRefreshedAnswersLikeModeScan) {
  detector.mode = ModeRefreshed;
  EXPECT_TRUE(detector.isInstalled(u"foo.exe"));
  EXPECT_TRUE(detector.isInstalledWildCard(u"foo*"));
  EXPECT_EQ(cDetector::StringSet{u"foo*"}, keys());
  EXPECT_EQ(cDetector::StringSet{u"foo.exe"}, executables());
}

TEST_F(InstalledChecks, ModeCachedAnswersFromRecordedTextsOnly) {
  detector.recordUninstallKey(u"foo*");
  detector.recordExecutable(u"foo.exe");
  detector.mode = ModeCached;

  EXPECT_TRUE(detector.isInstalledWildCard(u"foo*"));
  EXPECT_FALSE(detector.isInstalledWildCard(u"fo*")) << "the pattern is looked up as text, not matched";
  EXPECT_FALSE(detector.isInstalled(u"foobar")) << "in the maps, but never recorded";
  EXPECT_TRUE(detector.isInstalled(u"foo.exe"));
  // Both sets are consulted by both queries.
  EXPECT_TRUE(detector.isInstalledWildCard(u"foo.exe"));
  EXPECT_TRUE(detector.isInstalled(u"foo*"));
  // Nothing is recorded in this mode.
  EXPECT_EQ(cDetector::StringSet{u"foo*"}, keys());
  EXPECT_EQ(cDetector::StringSet{u"foo.exe"}, executables());
}

TEST_F(InstalledChecks, ModeScanIgnoresRecordedTexts) {
  detector.recordExecutable(u"foo.exe");
  EXPECT_FALSE(detector.isInstalledWildCard(u"foo.exe"));
  detector.recordUninstallKey(u"gone");
  EXPECT_FALSE(detector.isInstalled(u"gone")) << "answered from the maps, which lack it";
}

}  // namespace
