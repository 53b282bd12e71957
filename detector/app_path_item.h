// One App Paths registration: only its presence matters to queries; "Path" is kept for completeness.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class AppPathItem {
 public:
  AppPathItem() = default;
  AppPathItem(const AppPathItem&) = delete;
  AppPathItem& operator=(const AppPathItem&) = delete;
  virtual ~AppPathItem();

  // Stores the value only for the exact name "Path".
  void setValue(const std::u16string& name, const std::u16string& value);
  void setValues(const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values);
  // Empty for any name other than "Path".
  std::u16string getValue(const std::u16string& name) const;

 private:
  std::u16string path_;
};
