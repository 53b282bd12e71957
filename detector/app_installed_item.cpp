#include "app_installed_item.h"

namespace {

// Returns PropertyCount when the name is not a property.
std::size_t propertyIndex(std::u16string_view name) {
  const auto& names = AppInstalledItem::propertyNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].size() == name.size() && names[i] == name) return i;
  }
  return AppInstalledItem::PropertyCount;
}

}  // namespace

AppInstalledItem::~AppInstalledItem() = default;

const std::array<std::u16string, AppInstalledItem::PropertyCount>& AppInstalledItem::propertyNames() {
  // UninstallString is read by the scan but deliberately has no property: it is dropped.
  static const std::array<std::u16string, PropertyCount> names = {
      u"UninstallKey", u"DisplayName",     u"DisplayVersion", u"DisplayIcon",   u"HelpLink",    u"HelpTelephone",
      u"Publisher",    u"PublisherLink",   u"InstallLocation", u"InstallSource", u"InstallDate", u"Size",
  };
  return names;
}

void AppInstalledItem::setValue(std::u16string_view name, const std::u16string& value) {
  std::size_t index = propertyIndex(name);
  if (index < PropertyCount) values_[index] = value;
}

const std::u16string& AppInstalledItem::getValue(std::u16string_view name) const {
  static const std::u16string empty;
  std::size_t index = propertyIndex(name);
  return index < PropertyCount ? values_[index] : empty;
}
