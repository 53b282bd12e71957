// Shared by the cache tests: a detector pointed at a cache file in a fresh folder, and a
// look at that file through SQLite itself.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "detector.h"
#include "scratch_dir.h"
#include "sqlite_probe.h"

namespace cachetest {

inline std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The rows of plugincache as "u:<uninstallkey>" and "x:<executable>", in rowid order.
inline std::vector<std::string> pluginRows(const std::filesystem::path& file) {
  return probe::query(file,
                      "SELECT CASE WHEN uninstallkey IS NOT NULL THEN 'u:' || uninstallkey "
                      "ELSE 'x:' || executable END FROM plugincache ORDER BY rowid");
}

// The cacheinfo row, its values joined by '|' (null as "<null>").
inline std::vector<std::string> cacheInfoRows(const std::filesystem::path& file, bool fiveColumns) {
  return probe::query(file, fiveColumns
                                ? "SELECT version || '|' || installtime1 || '|' || installtime2 || '|' || "
                                  "ifnull(installtime64bit1, '<null>') || '|' || ifnull(installtime64bit2, '<null>') "
                                  "FROM cacheinfo"
                                : "SELECT version || '|' || installtime1 || '|' || installtime2 FROM cacheinfo");
}

inline std::vector<std::string> columnNames(const std::filesystem::path& file, const std::string& table) {
  return probe::query(file, "SELECT name FROM pragma_table_info('" + table + "') ORDER BY cid");
}

inline const std::vector<std::string> kThreeColumns = {"version", "installtime1", "installtime2"};
inline const std::vector<std::string> kFiveColumns = {"version", "installtime1", "installtime2", "installtime64bit1",
                                                      "installtime64bit2"};

inline std::string machineUtf16Name() {
  const char16_t one = 1;
  return *reinterpret_cast<const unsigned char*>(&one) == 1 ? "UTF-16le" : "UTF-16be";
}

}  // namespace cachetest
