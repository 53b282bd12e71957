// Cuts a fuzzer's bytes into the pieces a target needs. Every piece is taken from the front;
// what runs out reads as zero or empty, so any input is a valid one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

  bool empty() const { return left_ == 0; }

  std::uint8_t byte() {
    if (left_ == 0) return 0;
    --left_;
    return *data_++;
  }

  // UTF-16 code units, two bytes each, little-endian, up to a zero unit or the end.
  std::u16string text16() {
    std::u16string text;
    while (left_ >= 2) {
      const char16_t unit = static_cast<char16_t>(data_[0] | data_[1] << 8);
      data_ += 2;
      left_ -= 2;
      if (unit == 0) break;
      text += unit;
    }
    return text;
  }

  // Bytes up to a zero byte or the end.
  std::string bytes() {
    std::string text;
    while (left_ > 0) {
      const char c = static_cast<char>(byte());
      if (c == 0) break;
      text += c;
    }
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

}  // namespace fuzz
