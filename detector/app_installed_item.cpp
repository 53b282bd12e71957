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

void AppInstalledItem::setValue(std::u16string_view name, std::u16string_view value) {
  const std::size_t index = propertyIndex(name);
  if (index == PropertyCount) return;
  const std::uint32_t start = index == 0 ? 0 : ends_[index - 1];
  const std::uint32_t oldEnd = ends_[index];
  text_.replace(start, oldEnd - start, value);
  const std::uint32_t newEnd = start + static_cast<std::uint32_t>(value.size());
  for (std::size_t i = index; i < PropertyCount; ++i) ends_[i] = ends_[i] - oldEnd + newEnd;
}

std::u16string_view AppInstalledItem::getValue(std::u16string_view name) const {
  const std::size_t index = propertyIndex(name);
  if (index == PropertyCount) return std::u16string_view();
  const std::uint32_t start = index == 0 ? 0 : ends_[index - 1];
  return std::u16string_view(text_).substr(start, ends_[index] - start);
}
