#include "app_installed_item.h"

namespace {

// Returns PropertyCount when the name is not a property.
std::size_t propertyIndex(const std::u16string& name) {
  const auto& names = AppInstalledItem::propertyNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
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

void AppInstalledItem::setValue(const std::u16string& name, const std::u16string& value) {
  std::size_t index = propertyIndex(name);
  if (index < PropertyCount) values_[index] = value;
}

std::u16string AppInstalledItem::getValue(const std::u16string& name) const {
  std::size_t index = propertyIndex(name);
  return index < PropertyCount ? values_[index] : std::u16string();
}
