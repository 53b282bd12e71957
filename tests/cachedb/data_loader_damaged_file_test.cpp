// cDataLoader on files that are not, or no longer, sound databases: defined results, no crash,
// and the file is not changed by merely opening and reading it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "cachedb/data_loader.h"
#include "scratch_dir.h"
#include "sqlite_probe.h"

namespace {

std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Reads every row, stopping on done; returns how many rows came.
int drain(cDataLoader& loader) {
  std::u16string text;
  bool done = false;
  int rows = 0;
  while (rows < 100000) {
    loader.nextValue(text, done);
    if (done) break;
    ++rows;
  }
  EXPECT_TRUE(done);
  EXPECT_EQ(u"", text);
  return rows;
}

TEST(DataLoaderDamagedFile, TextFileIsRefusedAndLeftAlone) {
  ScratchDir dir;
  auto file = dir.file("Cache.db");
  std::string content;
  for (int i = 0; i < 200; ++i) content += "plain text, line " + std::to_string(i) + "\r\n";
  writeBytes(file, content);

  cDataLoader loader;
  const int opened = loader.open(file.u16string());
  EXPECT_EQ(SQLITE_NOTADB, opened);
  EXPECT_TRUE(cDataLoader::isUnusableFileResult(opened));
  EXPECT_NE(SQLITE_OK, loader.prepare(u"SELECT installtime1 FROM cacheinfo"));
  EXPECT_EQ(0, drain(loader));
  loader.execute(u"CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT)");
  EXPECT_EQ(SQLITE_OK, loader.close());
  EXPECT_EQ(content, readBytes(file));
}

TEST(DataLoaderDamagedFile, HeaderOnlyPrefixOfADatabaseIsRefused) {
  ScratchDir dir;
  auto file = dir.file("Cache.db");
  ASSERT_TRUE(probe::run(file, "CREATE TABLE t (x TEXT); INSERT INTO t VALUES ('a');"));
  std::string bytes = readBytes(file);
  ASSERT_GT(bytes.size(), 100u);
  writeBytes(file, bytes.substr(0, 60));  // shorter than the 100-byte header

  cDataLoader loader;
  int opened = loader.open(file.u16string());
  EXPECT_TRUE(cDataLoader::isUnusableFileResult(opened)) << opened;
  loader.prepare(u"SELECT x FROM t");
  EXPECT_EQ(0, drain(loader));
  EXPECT_EQ(SQLITE_OK, loader.close());
}

// The first line of SQLite's own verdict on the file, read through the loader.
std::u16string quickCheck(const std::filesystem::path& file) {
  cDataLoader loader;
  EXPECT_EQ(0, loader.open(file.u16string()));
  EXPECT_EQ(SQLITE_OK, loader.prepare(u"PRAGMA quick_check"));
  std::u16string verdict;
  bool done = true;
  loader.nextValue(verdict, done);
  EXPECT_FALSE(done);
  return verdict;
}

// A cache table spread over many pages, so damage can hit rows and not only the header.
std::string manyPageDatabase(const std::filesystem::path& file) {
  // UTF-16 in machine order, as the loader creates its files.
  std::string fill = "PRAGMA encoding = 'UTF-16'; CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT); BEGIN;";
  for (int i = 0; i < 400; ++i) {
    fill += "INSERT INTO plugincache (uninstallkey) VALUES ('key number " + std::to_string(i) +
            " padded with text so that rows fill pages quickly');";
  }
  fill += "COMMIT;";
  EXPECT_TRUE(probe::run(file, fill));
  std::string bytes = readBytes(file);
  EXPECT_GT(bytes.size(), 8u * 4096u);
  return bytes;
}

TEST(DataLoaderDamagedFile, TruncatedDatabaseIsRefusedAndLeftAlone) {
  ScratchDir dir;
  auto file = dir.file("Cache.db");
  std::string bytes = manyPageDatabase(file);
  for (std::size_t cut : {bytes.size() / 2 / 4096 * 4096, bytes.size() / 2 + 100}) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    std::string truncated = bytes.substr(0, cut);
    writeBytes(file, truncated);

    cDataLoader loader;
    // The header still counts the lost pages: the first read of the file reports the damage.
    const int opened = loader.open(file.u16string());
    EXPECT_EQ(SQLITE_CORRUPT, opened);
    EXPECT_TRUE(cDataLoader::isUnusableFileResult(opened));
    loader.prepare(u"SELECT uninstallkey FROM plugincache");
    EXPECT_EQ(0, drain(loader));
    EXPECT_EQ(SQLITE_OK, loader.close());
    EXPECT_EQ(truncated, readBytes(file));
  }
}

TEST(DataLoaderDamagedFile, DamagedPageEndsTheRowsEarly) {
  ScratchDir dir;
  auto file = dir.file("Cache.db");
  std::string bytes = manyPageDatabase(file);
  EXPECT_EQ(u"ok", quickCheck(file)) << "sound before the damage";
  bytes.replace(5 * 4096, 4096, std::string(4096, '\xff'));
  writeBytes(file, bytes);

  cDataLoader loader;
  ASSERT_EQ(0, loader.open(file.u16string()));
  ASSERT_EQ(SQLITE_OK, loader.prepare(u"SELECT uninstallkey FROM plugincache"));
  int rows = drain(loader);
  EXPECT_GT(rows, 0);
  EXPECT_LT(rows, 400);

  EXPECT_EQ(SQLITE_OK, loader.close());
  std::u16string verdict = quickCheck(file);
  EXPECT_NE(u"", verdict);
  EXPECT_NE(u"ok", verdict);
}

TEST(DataLoaderDamagedFile, EmptyFileIsANewDatabase) {
  ScratchDir dir;
  auto file = dir.file("Cache.db");
  writeBytes(file, "");
  cDataLoader loader;
  ASSERT_EQ(0, loader.open(file.u16string()));
  EXPECT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE t (x TEXT)"));
  EXPECT_EQ(SQLITE_OK, loader.close());
  EXPECT_EQ(std::vector<std::string>{"t"}, probe::query(file, "SELECT name FROM sqlite_master"));
}

}  // namespace
