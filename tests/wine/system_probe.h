// What the tests read from Windows directly, past the platform layer, to have an independent
// answer. Kept apart: <windows.h> macros clash with the platform's names.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace probe {

unsigned ansiCodePage();
// Current time as a FILETIME count of 100 ns since 1601.
std::uint64_t systemTimeTicks();
// Reads a REG_SZ value with advapi32 itself; false when it is missing or of another type.
bool readStringValue(win::HKEY key, const std::u16string& name, std::u16string& value);

}  // namespace probe
