#include "clsScanAnyNumBase.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tray {

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c; }

// weight * value, computed in double and rounded to the nearest 32-bit integer.
std::int32_t weightedDigit(double base, std::size_t position, std::int32_t value) {
  const double weight = std::pow(base, static_cast<double>(position));
  if (!std::isfinite(weight)) throw NumberOverflowError();
  const double product = weight * value;
  if (!(product > -2147483648.5 && product < 2147483647.5)) throw NumberOverflowError();
  return static_cast<std::int32_t>(std::nearbyint(product));
}

std::int32_t checkedSum(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = std::int64_t{a} + b;
  if (sum < std::numeric_limits<std::int32_t>::min() || sum > std::numeric_limits<std::int32_t>::max()) {
    throw NumberOverflowError();
  }
  return static_cast<std::int32_t>(sum);
}

}  // namespace

std::u16string clsScanAnyNumBase::HexDigitToBinary(char16_t digit) {
  const char16_t c = upperAscii(digit);
  for (int v = 0; v < 16; ++v) {
    if (kHexDigits[v] == c) {
      std::u16string bits;
      for (int bit = 3; bit >= 0; --bit) bits += ((v >> bit) & 1) ? u'1' : u'0';
      return bits;
    }
  }
  return std::u16string();
}

std::int32_t clsScanAnyNumBase::HexDigitValue(char16_t digit) {
  const char16_t c = upperAscii(digit);
  for (std::int32_t v = 0; v < 16; ++v) {
    if (kHexDigits[v] == c) return v;
  }
  return 0;
}

void clsScanAnyNumBase::BinNum(const std::u16string& BinNumber) {
  lNumber = 0;
  const std::size_t n = BinNumber.size();
  for (std::size_t i = n; i >= 1; --i) {
    const char16_t c = BinNumber[i - 1];
    if (c < u'0' || c > u'9') throw TypeMismatchError();
    lNumber = checkedSum(lNumber, weightedDigit(2.0, n - i, c - u'0'));
  }
}

std::u16string clsScanAnyNumBase::BinNum() const {
  std::u16string bits;
  for (char16_t digit : HexNum()) bits += HexDigitToBinary(digit);
  return bits;
}

void clsScanAnyNumBase::HexNum(const std::u16string& HexNumber) {
  lNumber = 0;
  const std::size_t n = HexNumber.size();
  for (std::size_t i = n; i >= 1; --i) {
    lNumber = checkedSum(lNumber, weightedDigit(16.0, n - i, HexDigitValue(HexNumber[i - 1])));
  }
}

std::u16string clsScanAnyNumBase::HexNum() const {
  auto v = static_cast<std::uint32_t>(lNumber);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kHexDigits[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  return digits;
}

}  // namespace tray
