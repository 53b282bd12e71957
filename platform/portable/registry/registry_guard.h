// No exception leaves a registry function: running out of memory is reported as Windows
// reports it.
#pragma once

#include "platform/win_types.h"

namespace portable {

template <typename Body>
win::LONG guarded(Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return win::ERROR_NOT_ENOUGH_MEMORY;
  }
}

}  // namespace portable
