#include "text_rules.h"

#include "platform/user.h"

namespace tray {

std::u16string TrimSpaces(std::u16string_view text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return std::u16string();
  const auto last = text.find_last_not_of(u' ');
  return std::u16string(text.substr(first, last - first + 1));
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string result(text);
  if (!result.empty()) win::CharUpperBuffW(result.data(), static_cast<win::DWORD>(result.size()));
  return result;
}

}  // namespace tray
