#include "cachedb/data_loader.h"

#include <sqlite3.h>

#include <cstring>
#include <initializer_list>
#include <limits>

#include "cachedb/connection_lockdown.h"
#include "platform/text.h"

namespace {

// Compiles the first statement of the text; a statement that fails to compile stays null.
int prepareStatement(sqlite3* connection, const std::u16string& sql, cachedb::unique_statement& statement) {
  statement.reset();
  if (connection == nullptr) return SQLITE_MISUSE;
  return sqlite3_prepare16(connection, sql.c_str(), -1, statement.put(), nullptr);
}

// SQLite takes a leading U+FEFF or U+FFFE of UTF-16 text for a byte-order mark: it drops it,
// and for U+FFFE swaps the bytes of the rest. A mark in the machine's order put in front is
// the one it drops, so the value's own first character is stored as it is.
int bindText(sqlite3_stmt* statement, int index, const std::u16string& value) {
  constexpr std::size_t maxBytes = static_cast<std::size_t>(std::numeric_limits<int>::max());
  if (value.size() >= maxBytes / sizeof(char16_t)) return SQLITE_TOOBIG;
  const std::u16string marked = u'\uFEFF' + value;
  return sqlite3_bind_text16(statement, index, marked.data(), static_cast<int>(marked.size() * sizeof(char16_t)),
                             SQLITE_TRANSIENT);
}

}  // namespace

cDataLoader::~cDataLoader() = default;

int cDataLoader::open(const std::u16string& path) {
  finalize();
  connection_.reset();
  // A zero inside the path would end it early: the file opened would be another one.
  // SQLite's own conversion swallows the unit after an unpaired surrogate: such a path
  // would name some other file.
  if (!platform::isWellFormedUtf16(path) || path.find(u'\0') != std::u16string::npos) return SQLITE_CANTOPEN;
  int result = sqlite3_open16(path.c_str(), connection_.put());
  if (result == SQLITE_OK) result = cachedb::disableStoredCode(connection_.get());
  if (result == SQLITE_OK) {
    execute(u"PRAGMA temp_store = MEMORY");
    execute(u"PRAGMA journal_mode = OFF");
    result = execute(u"PRAGMA main.journal_mode = OFF");
  }
  if (result == SQLITE_OK) result = cachedb::enableDefensiveMode(connection_.get());
  if (result != SQLITE_OK) connection_.reset();
  return result;
}

int cDataLoader::execute(const std::u16string& sql) { return execute(sql, {}); }

int cDataLoader::execute(const std::u16string& sql, const std::vector<std::u16string>& parameters) {
  cachedb::unique_statement statement;
  int result = prepareStatement(connection_.get(), sql, statement);
  if (!statement) return result;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    int bound = bindText(statement.get(), static_cast<int>(i + 1), parameters[i]);
    if (bound != SQLITE_OK) {
      // A statement short of its values must not run with nulls in their place.
      return result == SQLITE_OK ? bound : result;
    }
  }
  sqlite3_step(statement.get());
  return result;
}

int cDataLoader::prepare(const std::u16string& sql) {
  return prepareStatement(connection_.get(), sql, statement_);
}

void cDataLoader::nextValue(std::u16string& text, bool& done) {
  text.clear();
  done = false;
  lastStep_ = statement_ ? sqlite3_step(statement_.get()) : SQLITE_MISUSE;
  // A statement compiled by sqlite3_prepare16 steps to the generic SQLITE_ERROR; the reset
  // gives the error that stopped it.
  if (lastStep_ == SQLITE_ERROR) lastStep_ = sqlite3_reset(statement_.get());
  if (lastStep_ != SQLITE_ROW) {
    done = true;
    return;
  }
  const void* bytes = sqlite3_column_blob(statement_.get(), 0);
  int byteCount = sqlite3_column_bytes(statement_.get(), 0);
  if (bytes == nullptr || byteCount <= 0) return;
  text.resize(static_cast<std::size_t>(byteCount) / sizeof(char16_t));
  // The stored bytes carry no alignment promise: copy rather than reinterpret them.
  std::memcpy(text.data(), bytes, text.size() * sizeof(char16_t));
}

void cDataLoader::finalize() { statement_.reset(); }

int cDataLoader::close() {
  finalize();
  sqlite3* connection = connection_.release();
  return connection == nullptr ? SQLITE_OK : sqlite3_close(connection);
}

int cDataLoader::beginTransaction() { return execute(u"BEGIN;"); }

int cDataLoader::endTransaction() { return execute(u"END;"); }

std::uint64_t cDataLoader::fileBytes() const {
  if (!connection_) return 0;
  // The database file, and its write-ahead log when another connection keeps one open.
  std::uint64_t total = 0;
  for (int which : {SQLITE_FCNTL_FILE_POINTER, SQLITE_FCNTL_JOURNAL_POINTER}) {
    sqlite3_file* file = nullptr;
    sqlite3_int64 size = 0;
    if (sqlite3_file_control(connection_.get(), "main", which, &file) == SQLITE_OK && file != nullptr &&
        file->pMethods != nullptr && file->pMethods->xFileSize(file, &size) == SQLITE_OK && size > 0) {
      total += static_cast<std::uint64_t>(size);
    }
  }
  return total;
}

bool cDataLoader::isUnusableFileResult(int result) { return result == SQLITE_NOTADB || result == SQLITE_CORRUPT; }
