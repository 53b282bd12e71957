// The number-base scanner on any digits. Besides ending with a number or one of its two
// failures: every number from 0 up reads back from its own hexadecimal and binary digits.
#include <cstdint>

#include "clsScanAnyNumBase.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace {

bool onlyDigitsOf(const std::u16string& text, const std::u16string& digits) {
  return !text.empty() && text.find_first_not_of(digits) == std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits = bits << 8 | input.byte();
  const std::u16string digits = input.text16();

  tray::clsScanAnyNumBase scanner;
  try {
    scanner.BinNum(digits);
  } catch (const tray::NumberConversionError&) {
  }
  try {
    scanner.HexNum(digits);
  } catch (const tray::NumberConversionError&) {
  }

  const auto number = static_cast<std::int32_t>(bits);
  scanner.DeciNum(number);
  const std::u16string hex = scanner.HexNum();
  const std::u16string binary = scanner.BinNum();
  FUZZ_CHECK(onlyDigitsOf(hex, u"0123456789ABCDEF"));
  FUZZ_CHECK(onlyDigitsOf(binary, u"01"));
  if (number >= 0) {
    scanner.HexNum(hex);
    FUZZ_CHECK(scanner.DeciNum() == number);
    scanner.DeciNum(0);
    scanner.BinNum(binary);
    FUZZ_CHECK(scanner.DeciNum() == number);
  }
  return 0;
}
