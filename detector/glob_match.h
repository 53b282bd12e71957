// The wildcard matcher of isInstalledWildCard: only '*' is special.
#pragma once

#include <string_view>

// Whether `text` matches `pattern`, where '*' stands for any run of code units and every
// other code unit, '?' included, for itself; case counts. Anchored (floating false), the
// pattern must match from the text's first code unit; floating, its part before the first
// '*' may start anywhere, and only its first occurrence is tried. The text, and each rest of
// it, must be at least as long as the pattern or its rest, each '*' counting as one.
bool globMatch(std::u16string_view text, std::u16string_view pattern, bool floating);
