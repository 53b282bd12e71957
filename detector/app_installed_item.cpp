#include "app_installed_item.h"

#include <cstring>

namespace {

// UninstallString is read by the scan but deliberately has no property: it is dropped.
constexpr std::array<std::u16string_view, AppInstalledItem::PropertyCount> kNames = {
    u"UninstallKey", u"DisplayName",     u"DisplayVersion", u"DisplayIcon",   u"HelpLink",    u"HelpTelephone",
    u"Publisher",    u"PublisherLink",   u"InstallLocation", u"InstallSource", u"InstallDate", u"Size",
};

// Returns PropertyCount when the name is not a property.
std::size_t propertyIndex(std::u16string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    // Equality only: memcmp, rather than the character-ordering comparison of ==.
    if (kNames[i].size() == name.size() && std::memcmp(kNames[i].data(), name.data(), name.size() * 2) == 0) {
      return i;
    }
  }
  return AppInstalledItem::PropertyCount;
}

}  // namespace

AppInstalledItem::~AppInstalledItem() = default;

const std::array<std::u16string, AppInstalledItem::PropertyCount>& AppInstalledItem::propertyNames() {
  static const std::array<std::u16string, PropertyCount> names = [] {
    std::array<std::u16string, PropertyCount> copies;
    for (std::size_t i = 0; i < PropertyCount; ++i) copies[i] = std::u16string(kNames[i]);
    return copies;
  }();
  return names;
}

void AppInstalledItem::setValue(std::u16string_view name, std::u16string_view value) { setValues({{name, value}}); }

void AppInstalledItem::setValues(const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values) {
  std::array<std::u16string_view, PropertyCount> pieces;
  for (std::size_t i = 0; i < PropertyCount; ++i) pieces[i] = property(i);
  for (const auto& [name, value] : values) {
    const std::size_t index = propertyIndex(name);
    if (index != PropertyCount) pieces[index] = value;
  }
  std::size_t size = 0;
  for (std::u16string_view piece : pieces) size += piece.size();
  // Made at its exact size: a scan makes tens of thousands of records.
  std::u16string text;
  text.reserve(size);
  for (std::size_t i = 0; i < PropertyCount; ++i) {
    text.append(pieces[i]);
    ends_[i] = static_cast<std::uint32_t>(text.size());
  }
  text_ = std::move(text);
}

std::u16string_view AppInstalledItem::getValue(std::u16string_view name) const {
  const std::size_t index = propertyIndex(name);
  return index == PropertyCount ? std::u16string_view() : property(index);
}

std::u16string_view AppInstalledItem::property(std::size_t index) const {
  const std::uint32_t start = index == 0 ? 0 : ends_[index - 1];
  return std::u16string_view(text_).substr(start, ends_[index] - start);
}
