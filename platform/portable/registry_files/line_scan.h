// Looking through a large file's text many units at a time, for the passes that need only a
// few of its lines: where a character occurs, and how many lines end before some point.
#pragma once

#include <cstddef>

namespace portable {

// The first position in text[from, size) that holds `a` or `b`; size when none does.
std::size_t findEither(const char16_t* text, std::size_t from, std::size_t size, char16_t a, char16_t b);
std::size_t findEither(const char* text, std::size_t from, std::size_t size, char a, char b);

// How many lines end in text[from, to): at each LF, and at each CR that no LF follows
// (text[to] is looked at when to < size, for a CR just before it). Counted unit by unit: only
// a failure's message needs a line's number.
std::size_t countLineEnds(const char16_t* text, std::size_t from, std::size_t to, std::size_t size);
std::size_t countLineEnds(const char* text, std::size_t from, std::size_t to, std::size_t size);

}  // namespace portable
