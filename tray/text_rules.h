// Small text rules of the tray program.
#pragma once

#include <string>
#include <string_view>

namespace tray {

// Without leading and trailing spaces (only U+0020 counts as a space).
std::u16string TrimSpaces(std::u16string_view text);
// Upper case by the system's case table, letters of every script; the length stays.
std::u16string UpperCase(std::u16string_view text);

}  // namespace tray
