// What an open cache database holds, as far as reading it or saving into it goes. The
// checks run through the loader's own statements and read only whether rows come back, so
// they give the same answers whatever text encoding the file has.
#pragma once

#include "cachedb/data_loader.h"

enum class TableShape {
  Missing,
  Ours,        // created by the statement this detector uses
  OtherOurs,   // cacheinfo only: the layout of the other registry-view count
  Unexpected,  // a plain table of that name made some other way
  NotPlain,    // anything else of that name (a view, a virtual table, an index), or a table
               // with triggers or indexes of its own: planted, so the file counts as damaged
};

struct CacheFileCheck {
  bool verdictRead = false;      // SQLite's integrity check came to a verdict
  bool sound = false;            // ... and found nothing wrong
  bool utf16 = false;            // text is UTF-16 in this machine's byte order
  bool otherObjects = false;     // tables, views, indexes or triggers that are not ours
  TableShape plugincache = TableShape::Missing;
  TableShape cacheinfo = TableShape::Missing;
  bool unexpectedValues = false;  // a non-text value where a name or a time half belongs

  // Whether plugincache or cacheinfo is something other than a plain table.
  bool plantedObjects() const;
  // Whether a load may believe what it reads.
  bool loadable() const;
  // Whether the file is evidently no sound cache and nothing in it is someone else's, so a
  // save may put a new file in its place.
  bool replaceable() const;
};

// `wow64Layout`: which cacheinfo layout this detector writes (five columns when set).
CacheFileCheck checkCacheFile(cDataLoader& loader, bool wow64Layout);
