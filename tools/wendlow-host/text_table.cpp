#include "text_table.h"

#include <algorithm>
#include <iterator>

#include "platform/text.h"

namespace {

bool isControl(char16_t c) { return c < 0x20 || c == 0x7F; }

std::u16string printable(const std::u16string& text) {
  std::u16string out = text;
  for (char16_t& c : out) {
    if (isControl(c)) c = 0xFFFD;
  }
  return out;
}

// A cell as it is printed: its UTF-8 text and the terminal columns it takes.
struct Cell {
  std::string text;
  std::size_t width;
};

Cell cellOf(const std::u16string& text) {
  if (std::none_of(text.begin(), text.end(), isControl)) return Cell{platform::toUtf8(text), displayWidth(text)};
  std::u16string shown = printable(text);
  return Cell{platform::toUtf8(shown), displayWidth(shown)};
}

void appendRow(std::string& out, const std::vector<Cell>& cells, const std::vector<std::size_t>& widths) {
  const std::size_t start = out.size();
  for (std::size_t column = 0; column < widths.size(); ++column) {
    const Cell* cell = column < cells.size() ? &cells[column] : nullptr;
    if (cell) out += cell->text;
    if (column + 1 < widths.size()) out.append(widths[column] - (cell ? cell->width : 0) + 2, ' ');
  }
  while (out.size() > start && out.back() == ' ') out.pop_back();
  out += '\n';
}

}  // namespace

std::size_t displayWidth(const std::u16string& text) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kWide[] = {
      {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
      {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
      {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
      {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
  };
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x0300) {
      ++width;
      continue;
    }
    if (c <= 0x036F) continue;  // combining accents sit on the previous character
    bool wide = std::any_of(std::begin(kWide), std::end(kWide),
                            [c](const Range& r) { return c >= r.first && c <= r.last; });
    width += wide ? 2 : 1;
  }
  return width;
}

std::string renderTable(const std::vector<std::u16string>& header,
                        const std::vector<std::vector<std::u16string>>& rows) {
  // Each cell is converted once; the widths come from the converted cells.
  std::vector<std::vector<Cell>> cells;
  cells.reserve(rows.size() + 2);
  std::vector<std::size_t> widths(header.size());
  auto add = [&](const std::vector<std::u16string>& row) {
    std::vector<Cell> converted;
    for (std::size_t column = 0; column < row.size() && column < header.size(); ++column) {
      converted.push_back(cellOf(row[column]));
      widths[column] = std::max(widths[column], converted.back().width);
    }
    cells.push_back(std::move(converted));
  };
  add(header);
  cells.emplace_back();  // the rule, filled in below
  for (const auto& row : rows) add(row);
  for (std::size_t width : widths) cells[1].push_back(Cell{std::string(width, '-'), width});
  std::string out;
  for (const auto& row : cells) appendRow(out, row, widths);
  return out;
}
