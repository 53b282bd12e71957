// The cache loader on well-formed databases with hostile contents: the input picks, in
// order, the objects and values someone might plant in a cache file, and SQLite itself
// builds the file (views, triggers and all). Whatever is planted, a save that reports
// success must read back as exactly what was saved.
#include <sqlite3.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "cache_fuzz_support.h"
#include "cachedb/sqlite_handles.h"
#include "fuzz_input.h"

namespace {

const char* const kEncodings[] = {"UTF-16le", "UTF-16be", "UTF-8"};
const int kPageSizes[] = {512, 1024, 4096, 65536};

const char* const kPlantings[] = {
    "CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT)",
    "CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT)",
    "CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT,installtime64bit1 TEXT,"
    "installtime64bit2 TEXT)",
    "CREATE TABLE plugincache (executable INTEGER,uninstallkey BLOB,extra TEXT DEFAULT (zeroblob(10000)))",
    "CREATE TABLE PluginCache (executable TEXT,uninstallkey TEXT)",
    "CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT,big AS (zeroblob(100000)) STORED)",
    "CREATE TABLE cacheinfo (installtime1 TEXT CHECK (length(installtime1) < 3),installtime2 TEXT)",
    "CREATE VIEW plugincache AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
    "SELECT 'x' || i AS executable, 'u' || i AS uninstallkey FROM n",
    "CREATE VIEW cacheinfo AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
    "SELECT i AS version, i AS installtime1, i AS installtime2, i AS installtime64bit1, i AS installtime64bit2 "
    "FROM n WHERE i < 0",
    "CREATE VIEW cacheinfo AS SELECT '1' AS installtime1, '2' AS installtime2",
    "CREATE TABLE pad (b BLOB)",
    "CREATE TRIGGER grow BEFORE DELETE ON plugincache BEGIN INSERT INTO pad VALUES (zeroblob(1500000)); END",
    "CREATE TRIGGER spread AFTER INSERT ON plugincache BEGIN "
    "INSERT INTO plugincache (executable) VALUES (new.executable); END",
    "CREATE TRIGGER wipe BEFORE INSERT ON cacheinfo BEGIN DELETE FROM plugincache; END",
    "CREATE TRIGGER plugincache AFTER INSERT ON notes BEGIN SELECT 1; END",
    "CREATE INDEX byname ON plugincache (executable)",
    "CREATE INDEX heavy ON plugincache (length(zeroblob(100000)))",
    "CREATE INDEX plugincache ON notes (text)",
    "CREATE VIRTUAL TABLE plugincache USING fts5 (executable, uninstallkey)",
    "CREATE VIRTUAL TABLE cacheinfo USING fts5 (version, installtime1, installtime2)",
    "CREATE TABLE notes (text TEXT)",
    "INSERT INTO notes VALUES ('keep me')",
    "DROP TABLE plugincache",
    "DROP VIEW cacheinfo",
    "PRAGMA journal_mode = WAL",
    "PRAGMA writable_schema = ON; UPDATE sqlite_master SET type = 'table', "
    "sql = 'CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT)' WHERE name = 'plugincache'; "
    "PRAGMA writable_schema = OFF",
    "INSERT INTO plugincache (executable, uninstallkey) VALUES (?1, ?2)",
    "INSERT INTO cacheinfo VALUES (?1, ?2, ?3)",
    "INSERT INTO cacheinfo VALUES (?1, ?2, ?3, ?4, ?5)",
    "UPDATE cacheinfo SET installtime1 = ?1, installtime2 = ?2",
};

// One value of the input's choosing for each parameter.
void bindValues(sqlite3_stmt* statement, fuzz::Input& input) {
  for (int i = 1; i <= sqlite3_bind_parameter_count(statement); ++i) {
    switch (input.byte() % 6) {
      case 0: {
        const std::u16string text = input.text16();
        sqlite3_bind_text16(statement, i, text.data(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
        break;
      }
      case 1: {
        const std::string text = input.bytes();
        sqlite3_bind_text(statement, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        break;
      }
      case 2: {
        const std::string bytes = input.bytes();
        sqlite3_bind_blob(statement, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
      }
      case 3:
        sqlite3_bind_int64(statement, i, static_cast<sqlite3_int64>(input.byte()) << 56 | input.byte());
        break;
      case 4:
        sqlite3_bind_zeroblob(statement, i, input.byte() << 8);
        break;
      default:
        sqlite3_bind_null(statement, i);
        break;
    }
  }
}

// Every statement of the text, in order; each one that fails is passed over, as a
// planter would.
void runAll(sqlite3* connection, const char* sql, fuzz::Input& input) {
  while (sql != nullptr && *sql != '\0') {
    cachedb::unique_statement statement;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(connection, sql, -1, statement.put(), &tail) != SQLITE_OK) return;
    if (statement) {
      bindValues(statement.get(), input);
      while (sqlite3_step(statement.get()) == SQLITE_ROW) {
      }
    }
    sql = tail;
  }
}

// Builds the file as the input says; false when SQLite cannot open it at all.
bool plant(const std::filesystem::path& file, fuzz::Input& input) {
  cachedb::unique_connection connection;
  if (sqlite3_open_v2(file.string().c_str(), connection.put(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    return false;
  }
  // A value the planter asks for may not exhaust the fuzzer's memory; no journal file and no
  // waiting for the disk, or building the file would take most of the fuzzer's time.
  sqlite3_limit(connection.get(), SQLITE_LIMIT_LENGTH, 8 << 20);
  sqlite3_exec(connection.get(), "PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
  const std::uint8_t layout = input.byte();
  const std::string setup =
      std::string("PRAGMA encoding = '") + kEncodings[layout % std::size(kEncodings)] +
      "'; PRAGMA page_size = " + std::to_string(kPageSizes[(layout >> 2) % std::size(kPageSizes)]);
  runAll(connection.get(), setup.c_str(), input);
  for (int planted = 0; planted < 16 && !input.empty(); ++planted) {
    runAll(connection.get(), kPlantings[input.byte() % std::size(kPlantings)], input);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const bool wow64 = input.byte() & 1;
  const std::u16string name = input.text16();
  const std::filesystem::path file = cachefuzz::freshCacheFile();
  if (!plant(file, input)) return 0;
  cachefuzz::loadSaveLoad(file, wow64, name, true);
  return 0;
}
