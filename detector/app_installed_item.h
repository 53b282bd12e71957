// One Uninstall registration: twelve text properties addressed by their exact names.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

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
  void setValue(std::u16string_view name, const std::u16string& value);
  // Empty for a name that is not a property (also one differing only in case).
  const std::u16string& getValue(std::u16string_view name) const;

 private:
  std::array<std::u16string, PropertyCount> values_;
};
