// A plain-text table in UTF-8: columns padded to their widest cell, counted in code
// points, so that names in any script line up as well as a terminal allows.
#pragma once

#include <string>
#include <vector>

// Control characters (which would break the layout) show as U+FFFD; the last column
// carries no trailing blanks. Rows shorter than the header get empty cells.
std::string renderTable(const std::vector<std::u16string>& header,
                        const std::vector<std::vector<std::u16string>>& rows);

// Code points in the text: a surrogate pair counts once.
std::size_t codePointCount(const std::u16string& text);
