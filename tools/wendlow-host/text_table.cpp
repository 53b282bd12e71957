#include "text_table.h"

#include <algorithm>
#include <iterator>

#include "platform/text.h"

namespace {

std::u16string printable(const std::u16string& text) {
  std::u16string out = text;
  for (char16_t& c : out) {
    if (c < 0x20 || c == 0x7F) c = 0xFFFD;
  }
  return out;
}

void appendRow(std::string& out, const std::vector<std::u16string>& cells, const std::vector<std::size_t>& widths) {
  std::string line;
  for (std::size_t column = 0; column < widths.size(); ++column) {
    std::u16string cell = column < cells.size() ? printable(cells[column]) : std::u16string();
    line += platform::toUtf8(cell);
    if (column + 1 < widths.size()) line.append(widths[column] - displayWidth(cell) + 2, ' ');
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out += line;
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
  std::vector<std::size_t> widths(header.size());
  for (std::size_t column = 0; column < header.size(); ++column) widths[column] = displayWidth(header[column]);
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < widths.size() && column < row.size(); ++column) {
      widths[column] = std::max(widths[column], displayWidth(printable(row[column])));
    }
  }
  std::string out;
  appendRow(out, header, widths);
  std::vector<std::u16string> rule;
  for (std::size_t width : widths) rule.emplace_back(width, u'-');
  appendRow(out, rule, widths);
  for (const auto& row : rows) appendRow(out, row, widths);
  return out;
}
