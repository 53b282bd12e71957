#include "cache_file_check.h"

#include <string>

#include "cache_statements.h"

namespace {

// Whether the query gives at least one row; `stepped`, when given, receives what its step gave.
bool hasRow(cDataLoader& loader, const std::u16string& sql, int* stepped = nullptr) {
  std::u16string ignored;
  bool done = true;
  const int prepared = loader.prepare(sql);
  if (prepared == 0) loader.nextValue(ignored, done);
  if (stepped != nullptr) *stepped = prepared == 0 ? loader.lastStepResult() : prepared;
  loader.finalize();
  return !done;
}

// SQLite keeps each table's CREATE statement as it was written, so a table made by our
// statement compares equal to it.
bool tableMadeBy(cDataLoader& loader, const std::u16string& name, const std::u16string& createStatement) {
  // The statement is pasted between single quotes: it is one of our constants and holds none.
  return hasRow(loader, u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '" + name + u"' AND sql = '" +
                            createStatement + u"'");
}

// SQLite finds a table by its name whatever the case of its ASCII letters, so these
// look-ups compare names the same way.
bool tableExists(cDataLoader& loader, const std::u16string& name) {
  return hasRow(loader, u"SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '" + name + u"' COLLATE NOCASE");
}

// Anything of that name other than a plain table, or anything attached to the table: what
// a statement on the name would run besides reading or writing rows.
bool notPlainTable(cDataLoader& loader, const std::u16string& name) {
  return hasRow(loader,
                u"SELECT 1 FROM sqlite_master WHERE (name = '" + name +
                    u"' COLLATE NOCASE AND NOT (type = 'table' AND sql LIKE 'CREATE TABLE%')) OR (tbl_name = '" + name +
                    u"' COLLATE NOCASE AND type <> 'table') LIMIT 1");
}

TableShape shapeOf(cDataLoader& loader, const std::u16string& name, const std::u16string& ours,
                   const std::u16string& other) {
  if (notPlainTable(loader, name)) return TableShape::NotPlain;
  if (tableMadeBy(loader, name, ours)) return TableShape::Ours;
  if (!other.empty() && tableMadeBy(loader, name, other)) return TableShape::OtherOurs;
  return tableExists(loader, name) ? TableShape::Unexpected : TableShape::Missing;
}

std::u16string machineUtf16Name() {
  const char16_t one = 1;
  return *reinterpret_cast<const unsigned char*>(&one) == 1 ? u"UTF-16le" : u"UTF-16be";
}

// Rows whose named columns hold something other than text or null.
bool nonTextIn(cDataLoader& loader, const std::u16string& table, std::initializer_list<const char16_t*> columns) {
  std::u16string condition;
  for (const char16_t* column : columns) {
    if (!condition.empty()) condition += u" OR ";
    condition += u"typeof(" + std::u16string(column) + u") NOT IN ('text', 'null')";
  }
  return hasRow(loader, u"SELECT 1 FROM " + table + u" WHERE " + condition + u" LIMIT 1");
}

// SQLite's verdict on the file. Damage comes as rows that describe it or, when the check
// cannot go on (a table whose pages are not there), as the error that stopped it.
void readVerdict(cDataLoader& loader, CacheFileCheck& check) {
  int stepped = 0;
  if (hasRow(loader, u"SELECT 1 FROM pragma_quick_check WHERE quick_check = 'ok'", &stepped)) {
    check.verdictRead = check.sound = true;
  } else {
    check.verdictRead = cDataLoader::isUnusableFileResult(stepped) ||
                        hasRow(loader, u"SELECT 1 FROM pragma_quick_check WHERE quick_check <> 'ok' LIMIT 1");
  }
}

}  // namespace

bool CacheFileCheck::plantedObjects() const {
  return plugincache == TableShape::NotPlain || cacheinfo == TableShape::NotPlain;
}

bool CacheFileCheck::loadable() const {
  return verdictRead && sound && utf16 && !plantedObjects() && plugincache != TableShape::Unexpected &&
         cacheinfo != TableShape::Unexpected && !unexpectedValues;
}

bool CacheFileCheck::replaceable() const {
  if (!verdictRead) return false;     // locked or unreadable: no evidence either way
  if (!sound) return true;            // damaged: whatever it held is no longer reliable
  if (plantedObjects()) return true;  // views or triggers in our tables' place: as damaged
  // Sound, but its text cannot be read as ours: only when nothing in it belongs to anyone else.
  return !utf16 && !otherObjects;
}

CacheFileCheck checkCacheFile(cDataLoader& loader, bool wow64Layout) {
  CacheFileCheck check;
  readVerdict(loader, check);
  if (!check.sound) return check;

  check.utf16 = hasRow(loader, u"SELECT 1 FROM pragma_encoding WHERE encoding = '" + machineUtf16Name() + u"'");
  check.otherObjects = hasRow(loader,
                              u"SELECT 1 FROM sqlite_master WHERE NOT (type = 'table' AND name IN "
                              u"('plugincache', 'cacheinfo')) AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' LIMIT 1");

  check.plugincache = shapeOf(loader, u"plugincache", cache_sql::kCreatePluginCache, u"");
  check.cacheinfo =
      shapeOf(loader, u"cacheinfo", wow64Layout ? cache_sql::kCreateCacheInfo64 : cache_sql::kCreateCacheInfo32,
              wow64Layout ? cache_sql::kCreateCacheInfo32 : cache_sql::kCreateCacheInfo64);

  if (check.plugincache == TableShape::Ours) {
    check.unexpectedValues |= nonTextIn(loader, u"plugincache", {u"executable", u"uninstallkey"});
  }
  // The time halves that a load reads; the version is never read.
  if (check.cacheinfo == TableShape::Ours || check.cacheinfo == TableShape::OtherOurs) {
    const bool fiveColumns = (check.cacheinfo == TableShape::Ours) == wow64Layout;
    check.unexpectedValues |=
        fiveColumns ? nonTextIn(loader, u"cacheinfo",
                                {u"installtime1", u"installtime2", u"installtime64bit1", u"installtime64bit2"})
                    : nonTextIn(loader, u"cacheinfo", {u"installtime1", u"installtime2"});
  }
  return check;
}
