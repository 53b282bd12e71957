// The sections of a registry file read on demand (Wine's files, .reg exports), in an order
// that keeps every key's together: the file's own when its writer kept it (each key before
// what lies below it, siblings by name), else sorted once. A key's sections, and those below
// it, are then a run in the order, and a run's end is found by a search, so that opening the
// few keys a detector needs looks at few of the file's section lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace portable {

class SectionRuns {
 public:
  explicit SectionRuns(std::size_t count) : count_(count) {}

  // Sorts by `less` over file positions; sections that compare equal keep their file order.
  template <typename Less>
  void sort(Less less) {
    order_.resize(count_);
    for (std::size_t i = 0; i < count_; ++i) order_[i] = i;
    std::stable_sort(order_.begin(), order_.end(), less);
  }

  std::size_t size() const { return count_; }
  // The file position of the section at `position` in the order.
  std::size_t at(std::size_t position) const { return order_.empty() ? position : order_[position]; }
  // The file position of the first of the run's sections in the file.
  std::size_t firstInFile(std::size_t begin, std::size_t end) const {
    if (order_.empty()) return begin;
    std::size_t first = order_[begin];
    for (std::size_t i = begin + 1; i < end; ++i) first = std::min(first, order_[i]);
    return first;
  }

  // The end of the run from `begin` (which is in it) of positions for which `inRun` holds:
  // doubling steps, then halving them.
  template <typename InRun>
  std::size_t runEnd(std::size_t begin, std::size_t end, InRun inRun) const {
    std::size_t in = begin, out = begin + 1;
    for (std::size_t step = 1; out < end && inRun(out); step *= 2) {
      in = out;
      out = std::min(end, in + step * 2);
    }
    while (out - in > 1) {
      const std::size_t middle = in + (out - in) / 2;
      (inRun(middle) ? in : out) = middle;
    }
    return out;
  }

 private:
  std::size_t count_;
  std::vector<std::size_t> order_;  // file positions in the order, when not the file's own
};

}  // namespace portable
