// JSON text for the host's --json output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text_rows.h"

// A JSON string literal in UTF-8: quotes, backslashes and control characters escaped,
// everything else as UTF-8 (a lone surrogate becomes U+FFFD).
std::string jsonString(std::u16string_view text);

// An array with one object per row, its members named by the header, in header order.
std::string jsonArrayOfObjects(const std::vector<std::u16string>& header, const TextRows& rows);
