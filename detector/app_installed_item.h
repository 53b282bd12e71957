// One Uninstall registration: twelve text properties addressed by their exact names.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class AppInstalledItem {
 public:
  static constexpr std::size_t PropertyCount = 12;

  AppInstalledItem() = default;
  AppInstalledItem(const AppInstalledItem&) = delete;
  AppInstalledItem& operator=(const AppInstalledItem&) = delete;
  virtual ~AppInstalledItem();

  // The property names in the order they are tested; exact, case-sensitive.
  static const std::array<std::u16string, PropertyCount>& propertyNames();

  // A name that is not a property changes nothing.
  void setValue(std::u16string_view name, std::u16string_view value);
  // Several (name, value) pairs at once, as setValue would set them one by one, in a
  // single allocation.
  void setValues(const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values);
  // Empty for a name that is not a property (also one differing only in case). Valid
  // until the next setValue.
  std::u16string_view getValue(std::u16string_view name) const;

 private:
  std::u16string_view property(std::size_t index) const;

  // The values end to end in property order, in one block: a scan makes tens of
  // thousands of records. Property i ends at ends_[i] and starts where i - 1 ends.
  std::u16string text_;
  std::array<std::uint32_t, PropertyCount> ends_{};
};
