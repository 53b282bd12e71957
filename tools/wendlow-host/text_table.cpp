#include "text_table.h"

#include <algorithm>

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
    if (column + 1 < widths.size()) line.append(widths[column] - codePointCount(cell) + 2, ' ');
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out += line;
  out += '\n';
}

}  // namespace

std::size_t codePointCount(const std::u16string& text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF;
    if (pair) ++i;
    ++count;
  }
  return count;
}

std::string renderTable(const std::vector<std::u16string>& header,
                        const std::vector<std::vector<std::u16string>>& rows) {
  std::vector<std::size_t> widths(header.size());
  for (std::size_t column = 0; column < header.size(); ++column) widths[column] = codePointCount(header[column]);
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < widths.size() && column < row.size(); ++column) {
      widths[column] = std::max(widths[column], codePointCount(printable(row[column])));
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
