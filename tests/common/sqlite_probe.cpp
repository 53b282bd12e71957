#include "sqlite_probe.h"

#include <sqlite3.h>

#include <memory>

namespace probe {
namespace {

struct CloseConnection {
  void operator()(sqlite3* connection) const { sqlite3_close(connection); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Opens an existing file only: the probe must never create what the test expects to exist.
Connection openExisting(const std::filesystem::path& file) {
  sqlite3* raw = nullptr;
  int result = sqlite3_open_v2(file.u8string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  Connection connection(raw);
  if (result != SQLITE_OK) connection.reset();
  return connection;
}

}  // namespace

std::vector<std::string> query(const std::filesystem::path& file, const std::string& sql) {
  std::vector<std::string> rows;
  Connection connection = openExisting(file);
  if (!connection) return rows;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(connection.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return rows;
  Statement statement(raw);
  while (sqlite3_step(statement.get()) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement.get(), 0);
    rows.emplace_back(text == nullptr ? "<null>" : reinterpret_cast<const char*>(text));
  }
  return rows;
}

bool run(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* raw = nullptr;
  int result =
      sqlite3_open_v2(file.u8string().c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  Connection connection(raw);
  return result == SQLITE_OK &&
         sqlite3_exec(connection.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace probe
