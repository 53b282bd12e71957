// What an open cache database holds, as far as reading it or saving into it goes. The
// checks run through the loader's own statements and read only whether rows come back, so
// they give the same answers whatever text encoding the file has.
#pragma once

#include "cachedb/data_loader.h"

enum class TableShape {
  Missing,
  Ours,        // created by the statement this detector uses
  OtherOurs,   // cacheinfo only: the layout of the other registry-view count
  Unexpected,  // a table of that name made some other way
};

struct CacheFileCheck {
  bool verdictRead = false;      // SQLite's integrity check came to a verdict
  bool sound = false;            // ... and found nothing wrong
  bool utf16 = false;            // text is UTF-16 in this machine's byte order
  bool otherObjects = false;     // tables, views, indexes or triggers that are not ours
  TableShape plugincache = TableShape::Missing;
  TableShape cacheinfo = TableShape::Missing;
  bool unexpectedValues = false;  // a non-text value where a name or a time half belongs

  // Whether a load may believe what it reads.
  bool loadable() const;
  // Whether the file is evidently no sound cache and nothing in it is someone else's, so a
  // save may put a new file in its place.
  bool replaceable() const;
};

// `wow64Layout`: which cacheinfo layout this detector writes (five columns when set).
CacheFileCheck checkCacheFile(cDataLoader& loader, bool wow64Layout);
