#include "text_rows.h"

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
