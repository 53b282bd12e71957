// Owners for the two SQLite handles the loader holds.
#pragma once

#include "platform/resource.h"

struct sqlite3;
struct sqlite3_stmt;

namespace cachedb {

void closeConnection(sqlite3* connection);
void finalizeStatement(sqlite3_stmt* statement);

using unique_connection = platform::unique_any<sqlite3*, closeConnection>;
using unique_statement = platform::unique_any<sqlite3_stmt*, finalizeStatement>;

}  // namespace cachedb
