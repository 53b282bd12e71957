// Failures of clsScanAnyNumBase's setters.
#pragma once

#include <stdexcept>

namespace tray {

class NumberConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The number left the signed 32-bit range.
class NumberOverflowError : public NumberConversionError {
 public:
  NumberOverflowError() : NumberConversionError("Overflow") {}
};

// A character that is not a decimal digit where one is needed.
class TypeMismatchError : public NumberConversionError {
 public:
  TypeMismatchError() : NumberConversionError("Type mismatch") {}
};

}  // namespace tray
