// A plain-text table in UTF-8: columns padded to their widest cell, counted in terminal
// columns, so that names in any script line up as well as a terminal allows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text_rows.h"

// Control characters (which would break the layout) show as U+FFFD; the last column
// carries no trailing blanks. Rows shorter than the header get empty cells.
std::string renderTable(const std::vector<std::u16string>& header, const TextRows& rows);

// Terminal columns the text takes: East Asian wide characters (CJK, kana, Hangul,
// full-width forms, most emoji) take two, combining accents none, everything else one;
// a surrogate pair is one character.
std::size_t displayWidth(std::u16string_view text);
