// Registry data as bytes: string values are stored as UTF-16LE, as Windows stores them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace portable {

inline bool isStringType(win::DWORD type) {
  return type == win::REG_SZ || type == win::REG_EXPAND_SZ || type == win::REG_MULTI_SZ;
}

// Whole code units only: an odd last byte is dropped.
inline std::u16string unitsOf(const win::BYTE* data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return units;
}
inline std::u16string unitsOf(const std::vector<win::BYTE>& data) { return unitsOf(data.data(), data.size()); }

inline std::vector<win::BYTE> bytesOf(std::u16string_view units) {
  std::vector<win::BYTE> data(units.size() * 2);
  for (std::size_t i = 0; i < units.size(); ++i) {
    data[2 * i] = static_cast<win::BYTE>(units[i] & 0xFF);
    data[2 * i + 1] = static_cast<win::BYTE>(units[i] >> 8);
  }
  return data;
}

inline std::u16string_view orEmpty(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

}  // namespace portable
