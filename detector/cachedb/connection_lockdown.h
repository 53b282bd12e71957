// A cache file lies where others may write, so the connection is opened as if the file were
// hostile: nothing stored in it may run, and only a path that names exactly one file is used.
#pragma once

struct sqlite3;

namespace cachedb {

// Views and triggers off, and the schema untrusted (its functions may not run). Set before
// the first statement reads the schema. SQLITE_OK, or the result of the setting that failed.
int disableStoredCode(sqlite3* connection);

// Defensive mode: no statement may deliberately corrupt the file. Set after the journal is
// switched off, which defensive mode would refuse. SQLITE_OK or the failing result.
int enableDefensiveMode(sqlite3* connection);

}  // namespace cachedb
