#include "cachedb/connection_lockdown.h"

#include <sqlite3.h>

#include <initializer_list>

namespace cachedb {

namespace {

// Applies one on/off setting and reads back that it took: a library that lacks the setting
// must not be mistaken for one that has it.
int setSwitch(sqlite3* connection, int option, bool on) {
  int now = -1;
  const int result = sqlite3_db_config(connection, option, on ? 1 : 0, &now);
  if (result != SQLITE_OK) return result;
  return now == (on ? 1 : 0) ? SQLITE_OK : SQLITE_ERROR;
}

}  // namespace

int disableStoredCode(sqlite3* connection) {
  for (int option : {SQLITE_DBCONFIG_ENABLE_VIEW, SQLITE_DBCONFIG_ENABLE_TRIGGER, SQLITE_DBCONFIG_TRUSTED_SCHEMA}) {
    const int result = setSwitch(connection, option, false);
    if (result != SQLITE_OK) return result;
  }
  return SQLITE_OK;
}

int enableDefensiveMode(sqlite3* connection) { return setSwitch(connection, SQLITE_DBCONFIG_DEFENSIVE, true); }

}  // namespace cachedb
