// One owner per handle: the handle is released exactly once, on every path.
#pragma once

#include <utility>

#include "platform/oleaut.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace platform {

template <typename T, auto Close, T Invalid = T{}>
class unique_any {
 public:
  unique_any() = default;
  explicit unique_any(T value) : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid; }
  // For out-parameters: releases what is held and hands out the slot.
  T* put() {
    reset();
    return &value_;
  }
  T release() { return std::exchange(value_, Invalid); }
  void reset(T value = Invalid) {
    T old = std::exchange(value_, value);
    if (old != Invalid) Close(old);
  }

 private:
  T value_ = Invalid;
};

inline void closeKey(win::HKEY key) { win::RegCloseKey(key); }
inline void freeBstr(win::BSTR s) { win::SysFreeString(s); }
inline void freeLibrary(win::HMODULE m) { win::FreeLibrary(m); }

using unique_hkey = unique_any<win::HKEY, closeKey>;
using unique_bstr = unique_any<win::BSTR, freeBstr>;
using unique_module = unique_any<win::HMODULE, freeLibrary>;

}  // namespace platform
