#include "text_rows.h"

#include <algorithm>

void TextRows::addCell(std::u16string_view text) {
  if (rowStarts_.empty()) addRow();
  if (text.empty()) {
    cells_.emplace_back();
    return;
  }
  if (text.size() > capacity_ - used_) {
    // A cell longer than a block gets a block of its own size.
    capacity_ = std::max(text.size(), kBlockUnits);
    blocks_.emplace_back(new char16_t[capacity_]);
    used_ = 0;
  }
  char16_t* at = blocks_.back().get() + used_;
  std::copy(text.begin(), text.end(), at);
  used_ += text.size();
  cells_.emplace_back(at, text.size());
}

void TextRows::removeLastRow() {
  if (rowStarts_.empty()) return;
  cells_.resize(rowStarts_.back());  // their text stays in the blocks, unused
  rowStarts_.pop_back();
}

std::size_t TextRows::cellCount(std::size_t row) const {
  const std::size_t end = row + 1 < rowStarts_.size() ? rowStarts_[row + 1] : cells_.size();
  return end - rowStarts_[row];
}

std::u16string_view TextRows::cell(std::size_t row, std::size_t column) const {
  if (column >= cellCount(row)) return std::u16string_view();
  return cells_[rowStarts_[row] + column];
}

TextRows TextRows::withoutColumn(std::size_t column) const {
  TextRows copy;
  for (std::size_t r = 0; r < size(); ++r) {
    copy.addRow();
    for (std::size_t c = 0; c < cellCount(r); ++c) {
      if (c != column) copy.addCell(cell(r, c));
    }
  }
  return copy;
}
