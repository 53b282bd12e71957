#include "tagged_value.h"

#include <limits>

namespace tray {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<std::int32_t> parseDecimalInteger32(std::u16string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  std::u16string_view s = text.substr(first, last - first);

  bool negative = false;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  std::size_t dot = s.find(u'.');
  std::u16string_view whole = s.substr(0, dot);
  std::u16string_view fraction = dot == std::u16string_view::npos ? std::u16string_view() : s.substr(dot + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;

  // Accumulate in 64 bits; anything beyond the 32-bit range is rejected before it could wrap.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
  std::int64_t magnitude = 0;
  for (char16_t c : whole) {
    if (!isDigit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > kLimit) return std::nullopt;
  }
  for (char16_t c : fraction) {
    if (!isDigit(c)) return std::nullopt;
  }
  if (!fraction.empty()) {
    int firstDigit = fraction.front() - u'0';
    bool restNonZero = fraction.find_first_not_of(u'0', 1) != std::u16string_view::npos;
    bool roundUp = firstDigit > 5 || (firstDigit == 5 && (restNonZero || magnitude % 2 == 1));
    if (roundUp) ++magnitude;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::u16string decimalText(std::int32_t value) {
  std::int64_t v = value;
  bool negative = v < 0;
  if (negative) v = -v;
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::optional<std::int32_t> TaggedValue::toInteger32() const {
  switch (kind()) {
    case Kind::Empty:
      return 0;
    case Kind::Boolean:
      return *asBoolean() ? -1 : 0;
    case Kind::Integer16:
      return *asInteger16();
    case Kind::Integer32:
      return *asInteger32();
    case Kind::String:
      return parseDecimalInteger32(*asString());
    case Kind::Bytes:
      break;
  }
  return std::nullopt;
}

std::u16string TaggedValue::toText() const {
  switch (kind()) {
    case Kind::Empty:
      return std::u16string();
    case Kind::Boolean:
      return *asBoolean() ? u"True" : u"False";
    case Kind::Integer16:
      return decimalText(*asInteger16());
    case Kind::Integer32:
      return decimalText(*asInteger32());
    case Kind::String:
      return *asString();
    case Kind::Bytes: {
      const std::vector<std::uint8_t>& b = asBytes()->bytes;
      std::u16string text;
      text.reserve((b.size() + 1) / 2);
      for (std::size_t i = 0; i < b.size(); i += 2) {
        char16_t unit = b[i];
        if (i + 1 < b.size()) unit = static_cast<char16_t>(unit | (b[i + 1] << 8));
        text += unit;
      }
      return text;
    }
  }
  return std::u16string();
}

}  // namespace tray
