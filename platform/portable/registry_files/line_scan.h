// Looking through a large file's text many units at a time, for the passes that need only a
// few of its lines: where a character occurs, and how many lines end before some point.
#pragma once

#include <cstddef>

namespace portable {

// The first position in text[from, size) that holds `a` or `b`; size when none does.
std::size_t findEither(const char16_t* text, std::size_t from, std::size_t size, char16_t a, char16_t b);
std::size_t findEither(const char* text, std::size_t from, std::size_t size, char a, char b);

// How many lines end at the units [from, to) of a text of `size` units, each read as
// unitAt(i): at each LF, and at each CR that no LF follows (unit `to` is looked at when
// to < size, for a CR just before it). Counted unit by unit: only a failure's message needs a
// line's number.
template <typename UnitAt>
std::size_t countLineEnds(UnitAt unitAt, std::size_t from, std::size_t to, std::size_t size) {
  std::size_t ends = 0;
  for (std::size_t at = from; at < to; ++at) {
    const char16_t unit = unitAt(at);
    if (unit == u'\n' || (unit == u'\r' && (at + 1 >= size || unitAt(at + 1) != u'\n'))) ++ends;
  }
  return ends;
}

}  // namespace portable
