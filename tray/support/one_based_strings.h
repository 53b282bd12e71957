// The string lists that the registry enumerations fill: elements 1 to count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tray {

class OneBasedStrings {
 public:
  std::int32_t lowerBound() const { return 1; }
  std::int32_t upperBound() const { return static_cast<std::int32_t>(items_.size()); }
  std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
  bool empty() const { return items_.empty(); }

  // Element i, 1 <= i <= upperBound(); throws std::out_of_range otherwise.
  const std::u16string& at(std::int32_t i) const { return items_.at(index(i)); }
  std::u16string& at(std::int32_t i) { return items_.at(index(i)); }

  void clear() { items_.clear(); }
  // New upper bound; elements up to it keep their text, new ones are empty.
  void resizePreserving(std::int32_t upper) { items_.resize(upper > 0 ? static_cast<std::size_t>(upper) : 0); }

  const std::vector<std::u16string>& items() const { return items_; }

 private:
  static std::size_t index(std::int32_t i) {
    return i >= 1 ? static_cast<std::size_t>(i - 1) : static_cast<std::size_t>(-1);
  }
  std::vector<std::u16string> items_;
};

}  // namespace tray
