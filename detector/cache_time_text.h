// The cache stores each 32-bit half of a FILETIME as unsigned decimal text.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

// Digits only: no sign, no leading zeros, "0" for zero (3950712832 stays positive).
std::u16string timeHalfToText(win::DWORD half);

// The number the text starts with. A text that starts with no digit, the empty text, and a
// number too large for 32 bits all read as 0.
win::DWORD timeHalfFromText(std::u16string_view text);
