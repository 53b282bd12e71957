#include "notify_fields.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace tray {

void CopyTextToBytes(std::u16string_view text, std::uint8_t* field, std::size_t limit) {
  if (text.empty() || limit == 0) return;
  const std::size_t byteCount = text.size() * 2;
  std::size_t stop = byteCount;
  for (std::size_t i = 0; i < byteCount; ++i) {
    const char16_t unit = text[i / 2];
    field[i] = static_cast<std::uint8_t>(i % 2 == 0 ? unit & 0xFF : unit >> 8);
    if (i + 2 == limit) {  // the last byte that may hold text
      stop = i;
      break;
    }
  }
  for (std::size_t j = stop; j < limit; ++j) field[j] = 0;
}

void FillNarrowField(std::u16string_view text, char* field, std::size_t fieldSize) {
  const std::string ansi = platform::toAnsiPrefix(text, fieldSize);
  std::memcpy(field, ansi.data(), ansi.size());
  std::memset(field + ansi.size(), ' ', fieldSize - ansi.size());
}

std::u16string TextBeforeNull(const char16_t* field, std::size_t count) {
  const char16_t* end = std::find(field, field + count, u'\0');
  return std::u16string(field, end);
}

std::u16string TextBeforeNull(const char* ansiField, std::size_t count) {
  const char* end = std::find(ansiField, ansiField + count, '\0');
  return platform::fromAnsi(std::string_view(ansiField, static_cast<std::size_t>(end - ansiField)));
}

}  // namespace tray
