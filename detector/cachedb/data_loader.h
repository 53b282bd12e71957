// cDataLoader: one SQLite connection and one current statement, all text UTF-16.
// A loader lives for one cache load or save; both handles are released when it goes,
// whatever path the load or save took.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cachedb/sqlite_handles.h"

class cDataLoader {
 public:
  cDataLoader() = default;
  virtual ~cDataLoader();
  cDataLoader(const cDataLoader&) = delete;
  cDataLoader& operator=(const cDataLoader&) = delete;

  // 0 on success. Otherwise the SQLite result code of the open, or of the last of the three
  // PRAGMAs; a connection made by a failed open is released at once. Nothing stored in the
  // file can run on this connection (no views, no triggers, no functions from the schema).
  // A path that is not well-formed UTF-16, or that holds a zero, is not opened:
  // SQLITE_CANTOPEN, and no file is touched.
  int open(const std::u16string& path);

  // Prepares, steps once and finalizes a statement of its own; returns the prepare's result.
  int execute(const std::u16string& sql);
  // The same with the values bound, in order, to the statement's parameters as UTF-16 text,
  // so a value is stored exactly as given whatever characters it holds. Returns the prepare's
  // result, or the first failing bind's.
  int execute(const std::u16string& sql, const std::vector<std::u16string>& parameters);

  // Compiles the current statement (the previous one is released first); returns the result.
  int prepare(const std::u16string& sql);
  // Steps the current statement. On a row, text is column 0's stored bytes taken as UTF-16
  // (an odd trailing byte is dropped, a null column gives the empty text) and done is false;
  // otherwise text is empty and done is true.
  void nextValue(std::u16string& text, bool& done);
  // What the last nextValue's step gave: SQLITE_ROW, SQLITE_DONE, or the error that ended
  // the rows early.
  int lastStepResult() const { return lastStep_; }
  void finalize();

  // Releases the current statement, then closes the connection; returns the close's result.
  int close();

  int beginTransaction();
  int endTransaction();

  // The size in bytes of the open database's file and of its write-ahead log, if one is
  // open; 0 when there is no database. Nothing stored in the file can come to more than this.
  std::uint64_t fileBytes() const;

  // Whether a result of open says the file is there but is no database, or a damaged one.
  static bool isUnusableFileResult(int result);

 private:
  // Declared in this order so the statement goes before the connection that made it.
  cachedb::unique_connection connection_;
  cachedb::unique_statement statement_;
  int lastStep_ = 0;
};
