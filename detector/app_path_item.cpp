#include "app_path_item.h"

namespace {
const std::u16string kPath = u"Path";
}

AppPathItem::~AppPathItem() = default;

void AppPathItem::setValue(const std::u16string& name, const std::u16string& value) {
  if (name == kPath) path_ = value;
}

void AppPathItem::setValues(const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values) {
  for (const auto& [name, value] : values) {
    if (name == kPath) path_ = value;
  }
}

std::u16string AppPathItem::getValue(const std::u16string& name) const {
  return name == kPath ? path_ : std::u16string();
}
