// One signed 32-bit number, set and read in decimal, as binary digits or as hexadecimal digits.
#pragma once

#include <cstdint>
#include <string>

#include "number_base_errors.h"

namespace tray {

class clsScanAnyNumBase {
 public:
  void DeciNum(std::int32_t DecNumber) { lNumber = DecNumber; }
  std::int32_t DeciNum() const { return lNumber; }

  // Digits right to left, digit d in position p adding d * 2^p (any decimal digit counts).
  // Throws TypeMismatchError for a non-digit and NumberOverflowError beyond the 32-bit range;
  // the number then holds what the digits to the right of the failing one added up to.
  void BinNum(const std::u16string& BinNumber);
  // Four binary digits per hexadecimal digit of HexNum().
  std::u16string BinNum() const;

  // As BinNum with weights 16^p; characters that are not hexadecimal digits count as 0.
  // Throws NumberOverflowError from 0x80000000 on.
  void HexNum(const std::u16string& HexNumber);
  // Upper-case hexadecimal without leading zeros; negative numbers as eight digits.
  std::u16string HexNum() const;

 private:
  static std::u16string HexDigitToBinary(char16_t digit);
  static std::int32_t HexDigitValue(char16_t digit);

  std::int32_t lNumber = 0;
};

}  // namespace tray
