#include "text_rows.h"

TextRows::TextRows(std::initializer_list<std::initializer_list<std::u16string_view>> rows) {
  for (const auto& row : rows) {
    addRow();
    for (std::u16string_view text : row) addCell(text);
  }
}

TextRows::TextRows(const std::vector<std::vector<std::u16string>>& rows) {
  for (const auto& row : rows) {
    addRow();
    for (const std::u16string& text : row) addCell(text);
  }
}

void TextRows::addCell(std::u16string_view text) {
  if (rowStarts_.empty()) addRow();
  text_.append(text);
  cellEnds_.push_back(text_.size());
}

void TextRows::removeLastRow() {
  if (rowStarts_.empty()) return;
  cellEnds_.resize(rowStarts_.back());
  text_.resize(cellEnds_.empty() ? 0 : cellEnds_.back());
  rowStarts_.pop_back();
}

std::size_t TextRows::cellCount(std::size_t row) const {
  const std::size_t end = row + 1 < rowStarts_.size() ? rowStarts_[row + 1] : cellEnds_.size();
  return end - rowStarts_[row];
}

std::u16string_view TextRows::cell(std::size_t row, std::size_t column) const {
  if (column >= cellCount(row)) return std::u16string_view();
  const std::size_t index = rowStarts_[row] + column;
  const std::size_t start = index == 0 ? 0 : cellEnds_[index - 1];
  return std::u16string_view(text_).substr(start, cellEnds_[index] - start);
}
