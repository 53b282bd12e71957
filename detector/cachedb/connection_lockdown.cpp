#include "cachedb/connection_lockdown.h"

#include <sqlite3.h>

#include <initializer_list>

namespace cachedb {

namespace {

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Applies one on/off setting and reads back that it took: a library that lacks the setting
// must not be mistaken for one that has it.
int setSwitch(sqlite3* connection, int option, bool on) {
  int now = -1;
  const int result = sqlite3_db_config(connection, option, on ? 1 : 0, &now);
  if (result != SQLITE_OK) return result;
  return now == (on ? 1 : 0) ? SQLITE_OK : SQLITE_ERROR;
}

}  // namespace

bool isWellFormedUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      ++i;
    } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
      return false;
    }
  }
  return true;
}

int disableStoredCode(sqlite3* connection) {
  for (int option : {SQLITE_DBCONFIG_ENABLE_VIEW, SQLITE_DBCONFIG_ENABLE_TRIGGER, SQLITE_DBCONFIG_TRUSTED_SCHEMA}) {
    const int result = setSwitch(connection, option, false);
    if (result != SQLITE_OK) return result;
  }
  return SQLITE_OK;
}

int enableDefensiveMode(sqlite3* connection) { return setSwitch(connection, SQLITE_DBCONFIG_DEFENSIVE, true); }

}  // namespace cachedb
