// What every export shares: a defined result for a null handle, no exception crossing
// the boundary, strings read by reference and returned as OLE Automation strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "detector.h"
#include "platform/oleaut.h"
#include "utf16_zero.h"
#include "wendlow.h"

namespace wendlow {

constexpr WendlowBool16 kTrue16 = -1;
constexpr WendlowBool16 kFalse16 = 0;

inline WendlowBool16 toBool16(bool value) { return value ? kTrue16 : kFalse16; }

// The handle a host holds is the detector's address.
inline cDetector* detectorOf(WendlowHandle handle) { return reinterpret_cast<cDetector*>(handle); }
inline WendlowHandle handleOf(cDetector* detector) { return reinterpret_cast<WendlowHandle>(detector); }

// Runs body(detector) and returns its result; `fallback` for a null handle or when
// anything is thrown.
template <typename Result, typename Body>
Result guarded(WendlowHandle handle, Result fallback, Body&& body) noexcept {
  if (handle == nullptr) return fallback;
  try {
    return body(*detectorOf(handle));
  } catch (...) {
    return fallback;
  }
}

// A null reference, or a reference to a null pointer, is the empty string.
inline std::u16string_view viewStringRef(WendlowStringRef ref) {
  if (ref == nullptr || *ref == nullptr) return std::u16string_view();
  return std::u16string_view(*ref);
}

inline std::u16string readStringRef(WendlowStringRef ref) { return std::u16string(viewStringRef(ref)); }

// Up to the first zero, as from a C string.
inline win::BSTR resultString(std::u16string_view text) {
  const std::size_t length = firstZeroUnit(text.data(), text.size());
  return win::SysAllocStringLen(text.data(), static_cast<win::UINT>(length));
}

// The result for a null handle or a failed call: an empty string, never null unless
// memory has run out.
inline win::BSTR emptyResultString() noexcept { return win::SysAllocString(u""); }

}  // namespace wendlow
