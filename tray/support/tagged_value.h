// A value that carries its kind, as the registry class reads and writes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tray {

// Bytes together with the index of their first element. Values read from the registry
// always start at index 0; another lower bound only arises from a caller's own array.
struct ByteArray {
  std::vector<std::uint8_t> bytes;
  std::int32_t lowerBound = 0;

  // lowerBound - 1 for an array without elements.
  std::int32_t upperBound() const { return lowerBound + static_cast<std::int32_t>(bytes.size()) - 1; }
  bool operator==(const ByteArray& other) const {
    return bytes == other.bytes && lowerBound == other.lowerBound;
  }
  bool operator!=(const ByteArray& other) const { return !(*this == other); }
};

class TaggedValue {
 public:
  enum class Kind { Empty, Boolean, Integer16, Integer32, String, Bytes };

  TaggedValue() = default;  // empty
  static TaggedValue fromBoolean(bool value) { return TaggedValue(Payload(std::in_place_index<1>, value)); }
  static TaggedValue fromInteger16(std::int16_t value) { return TaggedValue(Payload(std::in_place_index<2>, value)); }
  static TaggedValue fromInteger32(std::int32_t value) { return TaggedValue(Payload(std::in_place_index<3>, value)); }
  static TaggedValue fromString(std::u16string value) {
    return TaggedValue(Payload(std::in_place_index<4>, std::move(value)));
  }
  static TaggedValue fromBytes(std::vector<std::uint8_t> bytes, std::int32_t lowerBound = 0) {
    return TaggedValue(Payload(std::in_place_index<5>, ByteArray{std::move(bytes), lowerBound}));
  }

  Kind kind() const { return static_cast<Kind>(payload_.index()); }
  bool isEmpty() const { return kind() == Kind::Empty; }

  // The held value when it is of that kind, otherwise null.
  const bool* asBoolean() const { return std::get_if<1>(&payload_); }
  const std::int16_t* asInteger16() const { return std::get_if<2>(&payload_); }
  const std::int32_t* asInteger32() const { return std::get_if<3>(&payload_); }
  const std::u16string* asString() const { return std::get_if<4>(&payload_); }
  const ByteArray* asBytes() const { return std::get_if<5>(&payload_); }

  // The value as a signed 32-bit integer: numbers as they are, true as -1, empty as 0, a text
  // holding a decimal number (surrounding blanks, sign and fraction allowed; fractions round half
  // to even). Nothing for a text that is not a number or does not fit, and for byte arrays.
  std::optional<std::int32_t> toInteger32() const;

  // The value as text: numbers in decimal, "True"/"False", "" for empty, byte arrays read as
  // little-endian UTF-16 code units (an odd last byte stands alone).
  std::u16string toText() const;

  bool operator==(const TaggedValue& other) const { return payload_ == other.payload_; }
  bool operator!=(const TaggedValue& other) const { return !(*this == other); }

 private:
  using Payload = std::variant<std::monostate, bool, std::int16_t, std::int32_t, std::u16string, ByteArray>;
  explicit TaggedValue(Payload payload) : payload_(std::move(payload)) {}

  Payload payload_;
};

// A decimal number in text form as a signed 32-bit integer (the rules of toInteger32).
std::optional<std::int32_t> parseDecimalInteger32(std::u16string_view text);

// Decimal digits of a signed 32-bit integer, with a leading '-' when negative.
std::u16string decimalText(std::int32_t value);

}  // namespace tray
