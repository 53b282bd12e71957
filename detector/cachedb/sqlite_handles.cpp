#include "cachedb/sqlite_handles.h"

#include <sqlite3.h>

namespace cachedb {

void closeConnection(sqlite3* connection) { sqlite3_close(connection); }

void finalizeStatement(sqlite3_stmt* statement) { sqlite3_finalize(statement); }

}  // namespace cachedb
