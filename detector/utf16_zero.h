// Finding the end of UTF-16 text that may hold a zero code unit: registry data read as
// text, and strings handed back as C strings.
#pragma once

#include <cstddef>

// The index of the first zero code unit of `units` ones at `data` (which carries no
// alignment promise); `units` when none is zero.
std::size_t firstZeroUnit(const void* data, std::size_t units);
