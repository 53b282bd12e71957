// Opening, closing and transactions of cDataLoader on real files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "cachedb/data_loader.h"
#include "scratch_dir.h"
#include "sqlite_probe.h"

namespace {

std::string machineUtf16Name() {
  const char16_t one = 1;
  return *reinterpret_cast<const unsigned char*>(&one) == 1 ? "UTF-16le" : "UTF-16be";
}

std::u16string firstValue(cDataLoader& loader, const std::u16string& sql) {
  EXPECT_EQ(SQLITE_OK, loader.prepare(sql)) << "preparing a query of the test";
  std::u16string text;
  bool done = true;
  loader.nextValue(text, done);
  EXPECT_FALSE(done);
  loader.finalize();
  return text;
}

TEST(DataLoaderOpen, NewFileBecomesUtf16DatabaseInMachineOrder) {
  ScratchDir dir;
  cDataLoader loader;
  ASSERT_EQ(0, loader.open(dir.file16("Cache.db")));
  EXPECT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE t (x TEXT)"));
  EXPECT_EQ(SQLITE_OK, loader.close());

  ASSERT_TRUE(std::filesystem::exists(dir.file("Cache.db")));
  EXPECT_EQ(std::vector<std::string>{machineUtf16Name()}, probe::query(dir.file("Cache.db"), "PRAGMA encoding"));
}

TEST(DataLoaderOpen, OpenSetsTheThreePragmas) {
  ScratchDir dir;
  cDataLoader loader;
  ASSERT_EQ(0, loader.open(dir.file16("p.db")));
  EXPECT_EQ(u"off", firstValue(loader, u"PRAGMA main.journal_mode"));
  // 2 is MEMORY; the cast gives text in the database's own encoding.
  EXPECT_EQ(u"2", firstValue(loader, u"SELECT CAST(temp_store AS TEXT) FROM pragma_temp_store"));
}

TEST(DataLoaderOpen, FailedOpenLeavesNothingUsableAndNothingHeld) {
  ScratchDir dir;
  cDataLoader loader;
  int result = loader.open(dir.file16("no such folder/Cache.db"));
  EXPECT_EQ(SQLITE_CANTOPEN, result);
  EXPECT_FALSE(cDataLoader::isUnusableFileResult(result)) << "a file that cannot be made is not a damaged one";
  EXPECT_FALSE(std::filesystem::exists(dir.file("no such folder")));

  EXPECT_NE(SQLITE_OK, loader.execute(u"CREATE TABLE t (x TEXT)"));
  EXPECT_NE(SQLITE_OK, loader.prepare(u"SELECT 1"));
  std::u16string text = u"sentinel";
  bool done = false;
  loader.nextValue(text, done);
  EXPECT_TRUE(done);
  EXPECT_EQ(u"", text);
  EXPECT_EQ(SQLITE_OK, loader.close());
}

TEST(DataLoaderOpen, CloseReleasesAPendingStatementAndCanBeRepeated) {
  ScratchDir dir;
  cDataLoader loader;
  ASSERT_EQ(0, loader.open(dir.file16("c.db")));
  ASSERT_EQ(SQLITE_OK, loader.prepare(u"SELECT 'a' UNION ALL SELECT 'b'"));
  std::u16string text;
  bool done = true;
  loader.nextValue(text, done);
  ASSERT_FALSE(done);
  // A statement still in the middle of its rows would make the close fail with SQLITE_BUSY.
  EXPECT_EQ(SQLITE_OK, loader.close());
  EXPECT_EQ(SQLITE_OK, loader.close());
  loader.nextValue(text, done);
  EXPECT_TRUE(done);
}

TEST(DataLoaderOpen, TransactionWritesReachTheFileAtItsEnd) {
  ScratchDir dir;
  auto file = dir.file("t.db");
  cDataLoader loader;
  ASSERT_EQ(0, loader.open(file.u16string()));
  ASSERT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE t (x TEXT)"));
  EXPECT_EQ(SQLITE_OK, loader.beginTransaction());
  EXPECT_EQ(SQLITE_OK, loader.execute(u"INSERT INTO t (x) VALUES (?)", {u"one"}));
  EXPECT_EQ(SQLITE_OK, loader.execute(u"INSERT INTO t (x) VALUES (?)", {u"two"}));
  // Another connection sees nothing until the transaction ends.
  EXPECT_EQ(std::vector<std::string>{}, probe::query(file, "SELECT x FROM t"));
  EXPECT_EQ(SQLITE_OK, loader.endTransaction());
  EXPECT_EQ((std::vector<std::string>{"one", "two"}), probe::query(file, "SELECT x FROM t ORDER BY x"));
  EXPECT_EQ(SQLITE_OK, loader.close());
}

TEST(DataLoaderOpen, ReopeningReleasesTheEarlierConnection) {
  ScratchDir dir;
  cDataLoader loader;
  ASSERT_EQ(0, loader.open(dir.file16("a.db")));
  ASSERT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE a (x TEXT)"));
  ASSERT_EQ(0, loader.open(dir.file16("b.db")));
  EXPECT_NE(SQLITE_OK, loader.prepare(u"SELECT x FROM a")) << "still talking to the first file";
  EXPECT_EQ(SQLITE_OK, loader.close());
}

}  // namespace
