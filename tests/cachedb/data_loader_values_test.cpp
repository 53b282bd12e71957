// Writing and reading values through cDataLoader: statements, parameters and column 0's text.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "cachedb/data_loader.h"
#include "scratch_dir.h"
#include "sqlite_probe.h"

namespace {

class DataLoaderValues : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, loader.open(file.u16string()));
    ASSERT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE names (name TEXT)"));
  }

  std::vector<std::u16string> readAll(const std::u16string& sql) {
    std::vector<std::u16string> values;
    EXPECT_EQ(SQLITE_OK, loader.prepare(sql));
    std::u16string text;
    bool done = false;
    for (int guard = 0; guard < 1000; ++guard) {
      loader.nextValue(text, done);
      if (done) break;
      values.push_back(text);
    }
    EXPECT_TRUE(done);
    loader.finalize();
    return values;
  }

  ScratchDir dir;
  std::filesystem::path file = dir.file("values.db");
  cDataLoader loader;
};

struct Name {
  std::u16string utf16;
  std::string utf8;  // the same text as another SQLite reader returns it
};

const std::vector<Name>& hostileNames() {
  static const std::vector<Name> names = {
      {u"it's", u8"it's"},
      {u"foo bar", u8"foo bar"},
      {u"say \"hi\"", u8"say \"hi\""},
      {u"\"", u8"\""},
      {u"'); DROP TABLE names; --", u8"'); DROP TABLE names; --"},
      {u"\u00c4rger \u65e5\u672c", u8"\u00c4rger \u65e5\u672c"},
      {u"emoji \U0001F600 pair", u8"emoji \U0001F600 pair"},
      {u"", u8""},
      {u"trailing blank ", u8"trailing blank "},
  };
  return names;
}

TEST_F(DataLoaderValues, BoundTextComesBackExactly) {
  std::vector<std::u16string> expected;
  for (const auto& name : hostileNames()) {
    EXPECT_EQ(SQLITE_OK, loader.execute(u"INSERT INTO names (name) VALUES (?)", {name.utf16}));
    expected.push_back(name.utf16);
  }
  EXPECT_EQ(expected, readAll(u"SELECT name FROM names ORDER BY rowid"));
}

TEST_F(DataLoaderValues, BoundTextIsStoredAsTextForOtherReaders) {
  std::vector<std::string> expected;
  for (const auto& name : hostileNames()) {
    loader.execute(u"INSERT INTO names (name) VALUES (?)", {name.utf16});
    expected.push_back(name.utf8);
  }
  ASSERT_EQ(SQLITE_OK, loader.close());
  EXPECT_EQ(expected, probe::query(file, "SELECT name FROM names ORDER BY rowid"));
  EXPECT_EQ(std::vector<std::string>(hostileNames().size(), "text"),
            probe::query(file, "SELECT typeof(name) FROM names ORDER BY rowid"));
}

TEST_F(DataLoaderValues, SeveralParametersBindInOrder) {
  ASSERT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE pair (a TEXT, b TEXT)"));
  EXPECT_EQ(SQLITE_OK, loader.execute(u"INSERT INTO pair (a, b) VALUES (?, ?)", {u"first", u"second"}));
  EXPECT_EQ(std::vector<std::u16string>{u"first"}, readAll(u"SELECT a FROM pair"));
  EXPECT_EQ(std::vector<std::u16string>{u"second"}, readAll(u"SELECT b FROM pair"));
}

TEST_F(DataLoaderValues, SurplusParameterRunsNothing) {
  EXPECT_EQ(SQLITE_RANGE, loader.execute(u"INSERT INTO names (name) VALUES (?)", {u"a", u"b"}));
  EXPECT_TRUE(readAll(u"SELECT name FROM names").empty());
}

TEST_F(DataLoaderValues, ExecuteReportsThePrepareNotTheStep) {
  EXPECT_EQ(SQLITE_ERROR, loader.execute(u"INSERT INTO missing (x) VALUES ('a')"));
  ASSERT_EQ(SQLITE_OK, loader.execute(u"CREATE TABLE strict (x TEXT NOT NULL)"));
  // Compiles, then fails on the step: the result stays that of the prepare.
  EXPECT_EQ(SQLITE_OK, loader.execute(u"INSERT INTO strict (x) VALUES (NULL)"));
  EXPECT_TRUE(readAll(u"SELECT x FROM strict").empty());
}

TEST_F(DataLoaderValues, OnlyTheFirstStatementOfATextRuns) {
  EXPECT_EQ(SQLITE_OK, loader.execute(u"INSERT INTO names (name) VALUES ('a'); INSERT INTO names (name) VALUES ('b')"));
  EXPECT_EQ(std::vector<std::u16string>{u"a"}, readAll(u"SELECT name FROM names"));
}

TEST_F(DataLoaderValues, NullColumnGivesEmptyTextAndARow) {
  loader.execute(u"INSERT INTO names (name) VALUES (NULL)");
  ASSERT_EQ(SQLITE_OK, loader.prepare(u"SELECT name FROM names"));
  std::u16string text = u"sentinel";
  bool done = true;
  loader.nextValue(text, done);
  EXPECT_FALSE(done);
  EXPECT_EQ(u"", text);
  loader.nextValue(text, done);
  EXPECT_TRUE(done);
}

TEST_F(DataLoaderValues, StoredBytesAreCutAtTheirLengthAndAnOddByteIsDropped) {
  // Bytes 41 00 42 00 43: two whole code units in this machine's order and one stray byte.
  loader.execute(u"INSERT INTO names (name) VALUES (X'4100420043')");
  loader.execute(u"INSERT INTO names (name) VALUES (X'00')");
  auto values = readAll(u"SELECT name FROM names ORDER BY rowid");
  ASSERT_EQ(2u, values.size());
  const char16_t one = 1;
  bool littleEndian = *reinterpret_cast<const unsigned char*>(&one) == 1;
  EXPECT_EQ(littleEndian ? u"AB" : u"\u4100\u4200", values[0]);
  EXPECT_EQ(u"", values[1]);
}

TEST_F(DataLoaderValues, EmbeddedZeroInABoundValueIsKept) {
  std::u16string withZero(u"a\0b", 3);
  loader.execute(u"INSERT INTO names (name) VALUES (?)", {withZero});
  EXPECT_EQ(std::vector<std::u16string>{withZero}, readAll(u"SELECT name FROM names"));
}

TEST_F(DataLoaderValues, FailedPrepareReadsAsNoRows) {
  EXPECT_EQ(SQLITE_ERROR, loader.prepare(u"SELECT nothing FROM nowhere"));
  std::u16string text = u"sentinel";
  bool done = false;
  loader.nextValue(text, done);
  EXPECT_TRUE(done);
  EXPECT_EQ(u"", text);
}

TEST_F(DataLoaderValues, NextValueAfterTheLastRowStaysDone) {
  loader.execute(u"INSERT INTO names (name) VALUES ('only')");
  ASSERT_EQ(SQLITE_OK, loader.prepare(u"SELECT name FROM names"));
  std::u16string text;
  bool done = true;
  loader.nextValue(text, done);
  EXPECT_EQ(u"only", text);
  loader.nextValue(text, done);
  EXPECT_TRUE(done);
  loader.finalize();
  loader.nextValue(text, done);
  EXPECT_TRUE(done);
  EXPECT_EQ(u"", text);
}

TEST_F(DataLoaderValues, PrepareReplacesTheCurrentStatement) {
  loader.execute(u"INSERT INTO names (name) VALUES ('x')");
  ASSERT_EQ(SQLITE_OK, loader.prepare(u"SELECT 'first'"));
  ASSERT_EQ(SQLITE_OK, loader.prepare(u"SELECT name FROM names"));
  EXPECT_EQ(std::vector<std::u16string>{u"x"}, readAll(u"SELECT name FROM names"));
}

}  // namespace
