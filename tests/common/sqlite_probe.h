// Looks at a database file with SQLite itself, past the loader under test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace probe {

// The text of every row of a one-column query, as UTF-8; empty on any failure.
std::vector<std::string> query(const std::filesystem::path& file, const std::string& sql);

// Runs statements through a UTF-8 connection, creating the file if needed; true when all succeeded.
bool run(const std::filesystem::path& file, const std::string& sql);

}  // namespace probe
