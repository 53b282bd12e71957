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

void AppInstalledItem::setValue(std::u16string_view name, std::u16string_view value) {
  const std::size_t index = propertyIndex(name);
  if (index == PropertyCount) return;
  const std::uint32_t start = index == 0 ? 0 : ends_[index - 1];
  const std::uint32_t oldEnd = ends_[index];
  const std::size_t size = text_.size() - (oldEnd - start) + value.size();
  if (size <= text_.capacity()) {
    text_.replace(start, oldEnd - start, value);
  } else {
    // Made anew at its exact size: growing by doubling would leave records half empty.
    std::u16string text;
    text.reserve(size);
    text.append(text_, 0, start).append(value).append(text_, oldEnd, std::u16string::npos);
    text_ = std::move(text);
  }
  const std::uint32_t newEnd = start + static_cast<std::uint32_t>(value.size());
  for (std::size_t i = index; i < PropertyCount; ++i) ends_[i] = ends_[i] - oldEnd + newEnd;
}

void AppInstalledItem::setValues(const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values) {
  std::array<std::u16string_view, PropertyCount> pieces;
  for (std::size_t i = 0; i < PropertyCount; ++i) {
    const std::uint32_t start = i == 0 ? 0 : ends_[i - 1];
    pieces[i] = std::u16string_view(text_).substr(start, ends_[i] - start);
  }
  for (const auto& [name, value] : values) {
    const std::size_t index = propertyIndex(name);
    if (index != PropertyCount) pieces[index] = value;
  }
  std::size_t size = 0;
  for (std::u16string_view piece : pieces) size += piece.size();
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
  if (index == PropertyCount) return std::u16string_view();
  const std::uint32_t start = index == 0 ? 0 : ends_[index - 1];
  return std::u16string_view(text_).substr(start, ends_[index] - start);
}
