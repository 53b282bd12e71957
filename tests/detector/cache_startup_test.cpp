// The cache start-up of InitDetector and SaveDetectorCache against the registry: which
// path each start takes (cached: ModeCached stays; scanned: ModeRefreshed) and what the
// maps hold afterwards. The registry is changed through the platform's own functions:
// creating a subkey changes the Uninstall key's last-write time, here and on Windows.
#include <gtest/gtest.h>

#include "cache_test_support.h"
#include "test_registry.h"

namespace {

using testreg::View;

class CacheStartup : public ::testing::Test {
 protected:
  void SetUp() override {
    testreg::removeAllTestKeys();
    // Every view's Uninstall key must exist for a cache to count as current (a view whose
    // key cannot be opened counts as changed); Windows always has both, the stand-in only
    // what was written.
    if (testreg::runsUnderWow64()) addUninstall(u"Anchor64", View::Bits64);
  }
  void TearDown() override { testreg::removeAllTestKeys(); }

  static void addUninstall(const std::u16string& name, View view = View::Default) {
    auto key = testreg::createKey(testreg::kUninstallPath, testreg::kTestPrefix + name, view);
    testreg::setString(key.get(), u"DisplayName", u"Display " + name);
  }
  static void addAppPath(const std::u16string& name) {
    auto key = testreg::createKey(testreg::kAppPathsPath, testreg::kTestPrefix + name);
    testreg::setString(key.get(), u"Path", u"C:\\Apps");
  }
  static std::u16string key(const std::u16string& lowered) { return testreg::kTestKeyPrefix + lowered; }

  // InitDetector's steps for a mode other than ModeScan.
  std::unique_ptr<cDetector> start(std::int32_t mode = ModeCached) const {
    auto detector = std::make_unique<cDetector>();
    detector->mode = mode;
    detector->cachePath = cacheFile.u16string();
    EXPECT_EQ(1, detector->cacheStartup());
    return detector;
  }

  // A cache that records the names the queries found.
  void saveCacheOf(const std::vector<std::u16string>& names) const {
    auto detector = start();
    for (const auto& name : names) EXPECT_TRUE(detector->isInstalled(name)) << "recording a test entry";
    ASSERT_EQ(1, detector->saveDetectorCache());
  }

  static std::vector<std::u16string> keysOf(const cDetector::UninstallMap& items) {
    std::vector<std::u16string> out;
    for (const auto& entry : items) out.push_back(entry.first);
    return out;
  }
  static std::vector<std::u16string> keysOf(const cDetector::AppPathMap& items) {
    std::vector<std::u16string> out;
    for (const auto& entry : items) out.push_back(entry.first);
    return out;
  }

  ScratchDir dir;
  std::filesystem::path cacheFile = dir.file("Cache.db");
};

TEST_F(CacheStartup, NoCacheFileScansEverything) {
  addUninstall(u"Alpha");
  auto detector = start();
  EXPECT_EQ(ModeRefreshed, detector->mode);
  EXPECT_EQ(1u, detector->uninstallItems.count(key(u"alpha")));
  EXPECT_TRUE(std::filesystem::exists(cacheFile)) << "the load made an empty database";
}

TEST_F(CacheStartup, CurrentCacheKeepsTheModeAndOpensOnlyTheRecordedEntries) {
  addUninstall(u"Alpha");
  addUninstall(u"Beta");
  addAppPath(u"Gamma.EXE");
  saveCacheOf({key(u"alpha"), key(u"gamma.exe")});

  auto detector = start(ModeCached);
  EXPECT_EQ(ModeCached, detector->mode);
  EXPECT_EQ(std::vector<std::u16string>{key(u"alpha")}, keysOf(detector->uninstallItems));
  EXPECT_EQ(std::vector<std::u16string>{key(u"gamma.exe")}, keysOf(detector->appPathItems));
  EXPECT_EQ(u"Display Alpha", detector->uninstallItems.at(key(u"alpha"))->getValue(u"DisplayName"));
  // Answers come from the recorded names only.
  EXPECT_TRUE(detector->isInstalled(key(u"alpha")));
  EXPECT_TRUE(detector->isInstalled(key(u"gamma.exe")));
  EXPECT_FALSE(detector->isInstalled(key(u"beta"))) << "installed, but never recorded";
}

TEST_F(CacheStartup, AnyModeOtherThanScanKeepsItsValueOnACurrentCache) {
  addUninstall(u"Alpha");
  saveCacheOf({key(u"alpha")});
  EXPECT_EQ(7, start(7)->mode);
}

TEST_F(CacheStartup, CacheWithoutNamesScans) {
  addUninstall(u"Alpha");
  saveCacheOf({});
  auto detector = start();
  EXPECT_EQ(ModeRefreshed, detector->mode);
  EXPECT_EQ(1u, detector->uninstallItems.count(key(u"alpha")));
}

TEST_F(CacheStartup, ChangedDefaultViewScansAndTheNextSaveIsCurrentAgain) {
  addUninstall(u"Alpha");
  saveCacheOf({key(u"alpha")});
  addUninstall(u"Delta");  // a new registration changes the Uninstall key's time

  auto changed = start();
  EXPECT_EQ(ModeRefreshed, changed->mode);
  EXPECT_EQ(1u, changed->uninstallItems.count(key(u"delta")));
  // The registry's times were taken over: saving now gives a current cache.
  EXPECT_EQ(cDetector::StringSet{key(u"alpha")}, changed->cachedUninstallKeys) << "the loaded names stay";
  ASSERT_EQ(1, changed->saveDetectorCache());
  EXPECT_EQ(ModeCached, start()->mode);
}

TEST_F(CacheStartup, ChangeSeenOnlyInThe64BitViewScans) {
  if (!testreg::runsUnderWow64()) GTEST_SKIP() << "one registry view in this process";
  addUninstall(u"Alpha");
  saveCacheOf({key(u"alpha")});
  addUninstall(u"Only64", View::Bits64);

  auto detector = start();
  EXPECT_EQ(ModeRefreshed, detector->mode);
  EXPECT_EQ(1u, detector->uninstallItems.count(key(u"only64")));
}

TEST_F(CacheStartup, CacheInfoLayoutFollowsTheViewCount) {
  addUninstall(u"Alpha");
  saveCacheOf({key(u"alpha")});
  const bool twoViews = testreg::runsUnderWow64();
  EXPECT_EQ(twoViews ? cachetest::kFiveColumns : cachetest::kThreeColumns,
            cachetest::columnNames(cacheFile, "cacheinfo"));
  auto rows = cachetest::cacheInfoRows(cacheFile, twoViews);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(rows[0].find('-'), std::string::npos) << rows[0];
  EXPECT_EQ(rows[0].find("<null>"), std::string::npos) << rows[0];
}

TEST_F(CacheStartup, NamesWithQuotesAndBlanksSurviveTheRoundTrip) {
  const std::vector<std::u16string> names = {u"It's Mine", u"Say \"Hi\"", u"Two  Blanks ", u"\u00c4rger"};
  for (const auto& name : names) addUninstall(name);
  const std::vector<std::u16string> keys = {key(u"it's mine"), key(u"say \"hi\""), key(u"two  blanks "),
                                            key(u"\u00c4rger")};
  saveCacheOf(keys);
  EXPECT_EQ((std::vector<std::string>{"u:wendlowtest it's mine", "u:wendlowtest say \"hi\"",
                                      "u:wendlowtest two  blanks ", u8"u:wendlowtest \u00c4rger"}),
            cachetest::pluginRows(cacheFile));

  auto detector = start();
  ASSERT_EQ(ModeCached, detector->mode);
  EXPECT_EQ(keys.size(), detector->uninstallItems.size()) << "every recorded subkey opened again";
  for (const auto& k : keys) EXPECT_TRUE(detector->isInstalled(k));
  EXPECT_EQ(u"Display Say \"Hi\"", detector->uninstallItems.at(key(u"say \"hi\""))->getValue(u"DisplayName"));
}

TEST_F(CacheStartup, DamagedCacheFileScansAndTheSaveMendsIt) {
  addUninstall(u"Alpha");
  cachetest::writeBytes(cacheFile, std::string(5000, '\x5a'));
  auto detector = start();
  EXPECT_EQ(ModeRefreshed, detector->mode);
  EXPECT_TRUE(detector->isInstalled(key(u"alpha")));
  ASSERT_EQ(1, detector->saveDetectorCache());
  EXPECT_EQ(ModeCached, start()->mode);
}

// Files planted in the cache's place, built with SQLite itself: nothing stored in them may
// run. The start scans, and the save puts a plain cache in their place at once.
TEST_F(CacheStartup, PlantedViewsAndTriggersScanAndTheSaveReplacesThem) {
  const std::string utf16 = "PRAGMA encoding = 'UTF-16';";
  const std::string pluginCache = "CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT);"
                                  "INSERT INTO plugincache (uninstallkey) VALUES ('wendlowtest alpha');";
  const std::string cacheInfo = "CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT);"
                                "INSERT INTO cacheinfo VALUES ('2.0.0.1', '0', '0');";
  const std::string endless = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) ";
  const std::pair<const char*, std::string> planted[] = {
      {"view plugincache with rows without end",
       utf16 + cacheInfo + "CREATE VIEW plugincache AS " + endless +
           "SELECT 'x' || i AS executable, 'u' || i AS uninstallkey FROM n;"},
      {"view cacheinfo that never yields a row",
       utf16 + pluginCache + "CREATE VIEW cacheinfo AS " + endless +
           "SELECT i AS installtime1, i AS installtime2 FROM n WHERE i < 0;"},
      {"trigger on plugincache that writes 8 MB",
       utf16 + pluginCache + cacheInfo +
           "CREATE TABLE pad (b BLOB);"
           "CREATE TRIGGER fill BEFORE DELETE ON plugincache BEGIN INSERT INTO pad VALUES (zeroblob(8000000)); END;"},
  };
  addUninstall(u"Alpha");
  for (const auto& [what, sql] : planted) {
    SCOPED_TRACE(what);
    std::filesystem::remove(cacheFile);
    std::filesystem::remove(dir.file("Cache.db.unusable"));
    ASSERT_TRUE(probe::run(cacheFile, sql));

    auto detector = start();
    EXPECT_EQ(ModeRefreshed, detector->mode);
    ASSERT_TRUE(detector->isInstalled(key(u"alpha")));
    ASSERT_EQ(1, detector->saveDetectorCache());
    // No larger than the same cache saved to a fresh file.
    detector->cachePath = dir.file16("clean.db");
    ASSERT_EQ(1, detector->saveCache());
    EXPECT_LE(std::filesystem::file_size(cacheFile), std::filesystem::file_size(dir.file("clean.db")));
    EXPECT_EQ(ModeCached, start()->mode);
  }
}

TEST_F(CacheStartup, SaveCutsTheMapsDownToTheRecordedNames) {
  addUninstall(u"Alpha");
  addUninstall(u"Beta");
  auto detector = start();
  ASSERT_TRUE(detector->isInstalledWildCard(key(u"b*")));
  ASSERT_TRUE(detector->isInstalled(key(u"alpha")));
  ASSERT_EQ(1, detector->saveDetectorCache());
  EXPECT_EQ(ModeCached, detector->mode);
  // The pattern names no subkey, so only the exact name comes back as an entry.
  EXPECT_EQ(std::vector<std::u16string>{key(u"alpha")}, keysOf(detector->uninstallItems));
  EXPECT_TRUE(detector->isInstalledWildCard(key(u"b*")));
  EXPECT_FALSE(detector->isInstalledWildCard(key(u"be*")));
}

}  // namespace
