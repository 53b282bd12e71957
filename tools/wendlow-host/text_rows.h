// Rows of text cells kept end to end in one buffer: a listing holds tens of thousands of
// cells, which as strings of their own would cost an allocation each.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class TextRows {
 public:
  TextRows() = default;
  TextRows(std::initializer_list<std::initializer_list<std::u16string_view>> rows) { addRows(rows); }
  explicit TextRows(const std::vector<std::vector<std::u16string>>& rows) { addRows(rows); }

  // Starts a new last row, without cells.
  void addRow() { rowStarts_.push_back(cellEnds_.size()); }
  // Appends a cell to the last row (a row is started when there is none).
  void addCell(std::u16string_view text);
  void removeLastRow();

  std::size_t size() const { return rowStarts_.size(); }
  bool empty() const { return rowStarts_.empty(); }
  std::size_t cellCount(std::size_t row) const;
  // Empty past the row's last cell.
  std::u16string_view cell(std::size_t row, std::size_t column) const;

 private:
  template <typename Rows>
  void addRows(const Rows& rows) {
    for (const auto& row : rows) {
      addRow();
      for (const auto& text : row) addCell(text);
    }
  }

  std::u16string text_;
  std::vector<std::size_t> cellEnds_;   // where each cell ends in text_
  std::vector<std::size_t> rowStarts_;  // each row's first cell in cellEnds_
};
