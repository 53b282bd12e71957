// The key an entry is filed under: its subkey name with only A-Z lowered.
#pragma once

#include <string>
#include <string_view>

// Every other code unit, non-ASCII letters included, stays as it is, so the
// result never depends on a locale.
std::u16string makeEntryKey(std::u16string_view subkeyName);
