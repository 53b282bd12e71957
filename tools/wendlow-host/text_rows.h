// Rows of text cells kept end to end in blocks: a listing holds tens of thousands of
// cells, which as strings of their own would cost an allocation each, and in one
// growing buffer a copy of all of them at every growth.
#pragma once

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TextRows {
 public:
  TextRows() = default;
  TextRows(std::initializer_list<std::initializer_list<std::u16string_view>> rows) { addRows(rows); }
  explicit TextRows(const std::vector<std::vector<std::u16string>>& rows) { addRows(rows); }
  // Cells view the blocks, which a move keeps and a copy would not.
  TextRows(TextRows&&) = default;
  TextRows& operator=(TextRows&&) = default;
  TextRows(const TextRows&) = delete;
  TextRows& operator=(const TextRows&) = delete;

  // Starts a new last row, without cells.
  void addRow() { rowStarts_.push_back(cells_.size()); }
  // Appends a cell to the last row (a row is started when there is none).
  void addCell(std::u16string_view text);
  void removeLastRow();

  std::size_t size() const { return rowStarts_.size(); }
  bool empty() const { return rowStarts_.empty(); }
  std::size_t cellCount(std::size_t row) const;
  // Empty past the row's last cell.
  std::u16string_view cell(std::size_t row, std::size_t column) const;
  // A copy without the column.
  TextRows withoutColumn(std::size_t column) const;

 private:
  template <typename Rows>
  void addRows(const Rows& rows) {
    for (const auto& row : rows) {
      addRow();
      for (const auto& text : row) addCell(text);
    }
  }

  static constexpr std::size_t kBlockUnits = 32 * 1024;
  std::vector<std::unique_ptr<char16_t[]>> blocks_;
  std::size_t used_ = 0;      // code units taken in the last block
  std::size_t capacity_ = 0;  // and its size
  std::deque<std::u16string_view> cells_;  // grows without copying what it holds
  std::vector<std::size_t> rowStarts_;  // each row's first cell in cells_
};
