// saveCache and loadCache on files the test controls: what is written (looked at with
// SQLite itself), what comes back, and what a damaged or foreign file leads to.
#include <gtest/gtest.h>

#include "cache_test_support.h"

namespace {

using cachetest::readBytes;
using cachetest::writeBytes;

class CacheDatabase : public ::testing::Test {
 protected:
  // A detector on the test's cache file with a fixed view count.
  std::unique_ptr<cDetector> makeDetector(bool wow64) const {
    auto detector = std::make_unique<cDetector>();
    detector->isWow64 = wow64;
    detector->cachePath = file.u16string();
    return detector;
  }

  ScratchDir dir;
  std::filesystem::path file = dir.file("Cache.db");
};

TEST_F(CacheDatabase, OneViewWritesThreeColumnsOfDecimalText) {
  auto detector = makeDetector(false);
  // 2010-01-01 00:04:00 UTC: the low half lies above 2^31.
  detector->lastWriteTime32 = {3950712832u, 30050933u};
  detector->lastWriteTime64 = {5u, 6u};
  detector->recordUninstallKey(u"foo bar");
  ASSERT_EQ(1, detector->saveCache());

  EXPECT_EQ(cachetest::kThreeColumns, cachetest::columnNames(file, "cacheinfo"));
  EXPECT_EQ(std::vector<std::string>{"2.0.0.1|30050933|3950712832"}, cachetest::cacheInfoRows(file, false));
  EXPECT_EQ(std::vector<std::string>{"text|text|text"},
            probe::query(file, "SELECT typeof(version) || '|' || typeof(installtime1) || '|' || typeof(installtime2) "
                               "FROM cacheinfo"));
  EXPECT_EQ(std::vector<std::string>{cachetest::machineUtf16Name()}, probe::query(file, "PRAGMA encoding"));
}

TEST_F(CacheDatabase, TwoViewsWriteFiveColumns) {
  auto detector = makeDetector(true);
  detector->lastWriteTime32 = {0u, 0u};
  detector->lastWriteTime64 = {0xFFFFFFFFu, 1u};
  detector->recordExecutable(u"editor.exe");
  ASSERT_EQ(1, detector->saveCache());

  EXPECT_EQ(cachetest::kFiveColumns, cachetest::columnNames(file, "cacheinfo"));
  EXPECT_EQ(std::vector<std::string>{"2.0.0.1|0|0|1|4294967295"}, cachetest::cacheInfoRows(file, true));
}

TEST_F(CacheDatabase, TimesAndNamesComeBack) {
  for (bool wow64 : {false, true}) {
    SCOPED_TRACE(wow64 ? "two views" : "one view");
    auto writer = makeDetector(wow64);
    writer->lastWriteTime32 = {3950712832u, 30050933u};
    writer->lastWriteTime64 = {2147483648u, 4294967295u};
    writer->recordUninstallKey(u"foo*");
    writer->recordUninstallKey(u"foo bar");
    writer->recordExecutable(u"editor.exe");
    ASSERT_EQ(1, writer->saveCache());

    auto reader = makeDetector(wow64);
    reader->recordUninstallKey(u"left over");
    ASSERT_EQ(1, reader->loadCache());
    EXPECT_EQ(writer->cachedUninstallKeys, reader->cachedUninstallKeys);
    EXPECT_EQ(writer->cachedExecutables, reader->cachedExecutables);
    EXPECT_EQ(30050933u, reader->lastWriteTime32.dwHighDateTime);
    EXPECT_EQ(3950712832u, reader->lastWriteTime32.dwLowDateTime);
    // One view neither writes nor reads the 64-bit halves.
    EXPECT_EQ(wow64 ? 4294967295u : 0u, reader->lastWriteTime64.dwHighDateTime);
    EXPECT_EQ(wow64 ? 2147483648u : 0u, reader->lastWriteTime64.dwLowDateTime);
    std::filesystem::remove(file);
  }
}

TEST_F(CacheDatabase, TimeHalvesHoldingNoNumberReadAsZero) {
  auto writer = makeDetector(true);
  writer->recordUninstallKey(u"foo bar");
  ASSERT_EQ(1, writer->saveCache());
  // Texts another writer might leave: none of them may stop the load.
  ASSERT_TRUE(probe::run(file, "UPDATE cacheinfo SET installtime1 = 'none', installtime2 = '',"
                               " installtime64bit1 = '4294967296', installtime64bit2 = NULL;"));
  auto reader = makeDetector(true);
  reader->lastWriteTime32 = {9u, 9u};
  reader->lastWriteTime64 = {9u, 9u};
  ASSERT_EQ(1, reader->loadCache());
  EXPECT_EQ(0u, reader->lastWriteTime32.dwHighDateTime);
  EXPECT_EQ(0u, reader->lastWriteTime32.dwLowDateTime);
  EXPECT_EQ(0u, reader->lastWriteTime64.dwHighDateTime) << "too large for 32 bits";
  EXPECT_EQ(0u, reader->lastWriteTime64.dwLowDateTime) << "null";
}

TEST_F(CacheDatabase, EveryNameIsStoredAsItIs) {
  const cDetector::StringSet keys = {u"it's", u"foo bar", u"say \"hi\"", u"\"", u"\");DROP TABLE plugincache;--",
                                     u"\u00e4rger \u65e5\u672c", u"  two blanks  "};
  auto writer = makeDetector(false);
  writer->cachedUninstallKeys = keys;
  writer->recordExecutable(u"o'neil \"x\".exe");
  ASSERT_EQ(1, writer->saveCache());

  EXPECT_EQ((std::vector<std::string>{"u:  two blanks  ", "u:\"", "u:\");DROP TABLE plugincache;--", "u:foo bar",
                                      "u:it's", "u:say \"hi\"", u8"u:\u00e4rger \u65e5\u672c", "x:o'neil \"x\".exe"}),
            cachetest::pluginRows(file));

  auto reader = makeDetector(false);
  ASSERT_EQ(1, reader->loadCache());
  EXPECT_EQ(keys, reader->cachedUninstallKeys);
  EXPECT_EQ(cDetector::StringSet{u"o'neil \"x\".exe"}, reader->cachedExecutables);

  // A name's own leading U+FEFF or U+FFFE is a character, not a byte-order mark.
  auto marks = makeDetector(false);
  marks->cachedUninstallKeys = {u"\uFEFFmarked", u"\uFFFE\u0041\u4E00"};
  ASSERT_EQ(1, marks->saveCache());
  auto marksReader = makeDetector(false);
  ASSERT_EQ(1, marksReader->loadCache());
  EXPECT_EQ(marks->cachedUninstallKeys, marksReader->cachedUninstallKeys);
}

TEST_F(CacheDatabase, SaveReplacesWhatWasThere) {
  auto first = makeDetector(false);
  first->recordUninstallKey(u"old");
  first->recordExecutable(u"old.exe");
  ASSERT_EQ(1, first->saveCache());
  auto second = makeDetector(false);
  second->recordUninstallKey(u"new");
  ASSERT_EQ(1, second->saveCache());

  EXPECT_EQ(std::vector<std::string>{"u:new"}, cachetest::pluginRows(file));
  EXPECT_EQ(std::vector<std::string>{"1"}, probe::query(file, "SELECT count(*) FROM cacheinfo"));
}

TEST_F(CacheDatabase, LoadTellsNoFileAndNoNamesApart) {
  auto detector = makeDetector(false);
  EXPECT_EQ(-2, detector->loadCache()) << "a path that does not exist: created, no tables";
  EXPECT_TRUE(std::filesystem::exists(file));

  detector->lastWriteTime32 = {7u, 8u};
  ASSERT_EQ(1, detector->saveCache());
  auto reader = makeDetector(false);
  EXPECT_EQ(-2, reader->loadCache()) << "saved without names";
  EXPECT_EQ(8u, reader->lastWriteTime32.dwHighDateTime) << "the times read stay";
  EXPECT_EQ(7u, reader->lastWriteTime32.dwLowDateTime);
}

TEST_F(CacheDatabase, EitherKindOfNameAloneIsACache) {
  auto onlyExecutables = makeDetector(false);
  onlyExecutables->recordExecutable(u"editor.exe");
  ASSERT_EQ(1, onlyExecutables->saveCache());
  EXPECT_EQ(1, makeDetector(false)->loadCache());

  auto onlyKeys = makeDetector(false);
  onlyKeys->recordUninstallKey(u"foo bar");
  ASSERT_EQ(1, onlyKeys->saveCache());
  EXPECT_EQ(1, makeDetector(false)->loadCache());
}

TEST_F(CacheDatabase, UnreachablePathIsReportedAndNothingIsMade) {
  auto detector = makeDetector(false);
  detector->cachePath = dir.file16("missing folder/Cache.db");
  detector->recordUninstallKey(u"stale");
  EXPECT_EQ(-1, detector->loadCache());
  EXPECT_TRUE(detector->cachedUninstallKeys.empty()) << "emptied before the file was tried";
  detector->recordUninstallKey(u"foo bar");
  EXPECT_EQ(-1, detector->saveCache());
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing folder")));
}

TEST_F(CacheDatabase, PathWithAnUnpairedSurrogateIsNeitherReadNorWritten) {
  // Converted by SQLite, the first path would lose the separator after the surrogate and
  // name a file beside "sub".
  std::filesystem::create_directory(dir.file("sub"));
  for (const std::u16string& path : {dir.file16("sub") + u"\xD800/victim.db", dir.file16("victim.db") + u"\xDC00"}) {
    auto detector = makeDetector(false);
    detector->cachePath = path;
    detector->recordUninstallKey(u"foo bar");
    EXPECT_EQ(-1, detector->saveCache());
    EXPECT_EQ(-1, detector->loadCache());
  }
  std::vector<std::filesystem::path> made;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(file.parent_path())) made.push_back(entry);
  EXPECT_EQ(std::vector<std::filesystem::path>{dir.file("sub")}, made);
}

TEST_F(CacheDatabase, FileThatIsNoDatabaseIsNotLoadedAndIsReplacedByTheSave) {
  const std::string text = "this is a note, not a database\r\n";
  writeBytes(file, text);
  auto detector = makeDetector(false);
  detector->lastWriteTime32 = {1u, 2u};
  EXPECT_EQ(-1, detector->loadCache());
  EXPECT_EQ(2u, detector->lastWriteTime32.dwHighDateTime) << "nothing read";

  detector->recordUninstallKey(u"foo bar");
  ASSERT_EQ(1, detector->saveCache());
  EXPECT_EQ(std::vector<std::string>{"ok"}, probe::query(file, "PRAGMA quick_check"));
  EXPECT_EQ(std::vector<std::string>{"u:foo bar"}, cachetest::pluginRows(file));
  EXPECT_EQ(text, readBytes(dir.file("Cache.db.unusable"))) << "the old content is kept aside";
  EXPECT_FALSE(std::filesystem::exists(dir.file("Cache.db.new")));
  EXPECT_EQ(1, makeDetector(false)->loadCache());
}

TEST_F(CacheDatabase, TruncatedCacheIsNotLoadedAndIsReplacedByTheSave) {
  auto writer = makeDetector(false);
  // Enough names to fill several pages, so the cut loses some.
  for (char16_t i = 0; i < 300; ++i) {
    writer->recordUninstallKey(u"program " + std::u16string(100, u'x') + std::u16string(1, char16_t(0x4e00 + i)));
  }
  ASSERT_EQ(1, writer->saveCache());
  const std::string bytes = readBytes(file);
  ASSERT_GT(bytes.size(), 4u * 4096u);
  writeBytes(file, bytes.substr(0, bytes.size() / 2 + 10));

  auto reader = makeDetector(false);
  EXPECT_EQ(-1, reader->loadCache());
  EXPECT_TRUE(reader->cachedUninstallKeys.empty());
  reader->recordExecutable(u"editor.exe");
  ASSERT_EQ(1, reader->saveCache());
  EXPECT_EQ(std::vector<std::string>{"x:editor.exe"}, cachetest::pluginRows(file));
  EXPECT_EQ(bytes.size() / 2 + 10, readBytes(dir.file("Cache.db.unusable")).size());
}

TEST_F(CacheDatabase, DatabaseInAnotherEncodingWithOnlyOurTablesIsReplaced) {
  ASSERT_TRUE(probe::run(file,
                         "PRAGMA encoding = 'UTF-8';"
                         "CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT);"
                         "INSERT INTO plugincache (uninstallkey) VALUES ('foo bar');"));
  auto detector = makeDetector(false);
  EXPECT_EQ(-1, detector->loadCache()) << "its text would not read back as written";
  detector->recordUninstallKey(u"foo bar");
  ASSERT_EQ(1, detector->saveCache());
  EXPECT_EQ(std::vector<std::string>{cachetest::machineUtf16Name()}, probe::query(file, "PRAGMA encoding"));
  EXPECT_EQ(1, makeDetector(false)->loadCache());
}

TEST_F(CacheDatabase, SomeoneElsesDatabaseIsLeftAlone) {
  ASSERT_TRUE(probe::run(file,
                         "PRAGMA encoding = 'UTF-8';"
                         "CREATE TABLE invoices (number INTEGER, customer TEXT);"
                         "INSERT INTO invoices VALUES (1, 'Ada');"));
  const std::string before = readBytes(file);
  auto detector = makeDetector(false);
  EXPECT_EQ(-1, detector->loadCache());
  detector->recordUninstallKey(u"foo bar");
  EXPECT_EQ(-1, detector->saveCache());
  EXPECT_EQ(before, readBytes(file));
  EXPECT_FALSE(std::filesystem::exists(dir.file("Cache.db.unusable")));
}

TEST_F(CacheDatabase, OurTablesMadeOtherwiseAreNotLoadedAndAreRemadeByTheSave) {
  // Integer affinity would turn a name such as 123 into a number; the other table is kept.
  ASSERT_TRUE(probe::run(file,
                         "PRAGMA encoding = 'UTF-16';"
                         "CREATE TABLE plugincache (executable INTEGER, uninstallkey INTEGER);"
                         "INSERT INTO plugincache (uninstallkey) VALUES ('123');"
                         "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('keep me');"));
  auto detector = makeDetector(false);
  EXPECT_EQ(-1, detector->loadCache());
  detector->recordUninstallKey(u"123");
  ASSERT_EQ(1, detector->saveCache());
  EXPECT_EQ(std::vector<std::string>{"CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT)"},
            probe::query(file, "SELECT sql FROM sqlite_master WHERE name = 'plugincache'"));
  EXPECT_EQ(std::vector<std::string>{"text"}, probe::query(file, "SELECT typeof(uninstallkey) FROM plugincache"));
  EXPECT_EQ(std::vector<std::string>{"keep me"}, probe::query(file, "SELECT text FROM notes"));

  auto reader = makeDetector(false);
  ASSERT_EQ(1, reader->loadCache());
  EXPECT_EQ(cDetector::StringSet{u"123"}, reader->cachedUninstallKeys);
}

TEST_F(CacheDatabase, ValuesThatAreNoTextAreNotLoaded) {
  auto writer = makeDetector(false);
  writer->recordUninstallKey(u"foo bar");
  ASSERT_EQ(1, writer->saveCache());
  ASSERT_TRUE(probe::run(file, "INSERT INTO plugincache (uninstallkey) VALUES (X'00D8');"));
  EXPECT_EQ(-1, makeDetector(false)->loadCache());

  ASSERT_TRUE(probe::run(file, "DELETE FROM plugincache WHERE typeof(uninstallkey) = 'blob';"
                               "UPDATE cacheinfo SET installtime1 = X'3330';"));
  EXPECT_EQ(1, probe::query(file, "SELECT 1 FROM plugincache").size()) << "back to the sound cache";
  EXPECT_EQ(-1, makeDetector(false)->loadCache()) << "a time half stored as bytes";
}

TEST_F(CacheDatabase, CacheInfoOfTheOtherLayoutIsRemadeForThisDetector) {
  auto oneView = makeDetector(false);
  oneView->recordUninstallKey(u"foo bar");
  oneView->lastWriteTime32 = {3u, 4u};
  ASSERT_EQ(1, oneView->saveCache());

  // Read by a two-view detector: the 64-bit halves are missing and read as 0.
  auto twoViews = makeDetector(true);
  twoViews->lastWriteTime64 = {9u, 9u};
  ASSERT_EQ(1, twoViews->loadCache());
  EXPECT_EQ(4u, twoViews->lastWriteTime32.dwHighDateTime);
  EXPECT_EQ(0u, twoViews->lastWriteTime64.dwHighDateTime);
  EXPECT_EQ(0u, twoViews->lastWriteTime64.dwLowDateTime);

  // Its save makes the table fit its times instead of failing to insert them.
  twoViews->lastWriteTime64 = {5u, 6u};
  ASSERT_EQ(1, twoViews->saveCache());
  EXPECT_EQ(cachetest::kFiveColumns, cachetest::columnNames(file, "cacheinfo"));
  EXPECT_EQ(std::vector<std::string>{"2.0.0.1|4|3|6|5"}, cachetest::cacheInfoRows(file, true));

  // And back: a one-view save leaves no null 64-bit columns behind.
  ASSERT_EQ(1, oneView->saveCache());
  EXPECT_EQ(cachetest::kThreeColumns, cachetest::columnNames(file, "cacheinfo"));
}

}  // namespace
