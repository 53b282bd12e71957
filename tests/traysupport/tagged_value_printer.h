// Readable tagged values in test failure messages.
#pragma once

#include <ostream>

#include "platform/text.h"
#include "tagged_value.h"

namespace tray {

inline void PrintTo(const TaggedValue& value, std::ostream* os) {
  switch (value.kind()) {
    case TaggedValue::Kind::Empty:
      *os << "Empty";
      return;
    case TaggedValue::Kind::Boolean:
      *os << "Boolean " << (*value.asBoolean() ? "true" : "false");
      return;
    case TaggedValue::Kind::Integer16:
      *os << "Integer16 " << *value.asInteger16();
      return;
    case TaggedValue::Kind::Integer32:
      *os << "Integer32 " << *value.asInteger32() << " (0x" << std::hex
          << static_cast<std::uint32_t>(*value.asInteger32()) << std::dec << ")";
      return;
    case TaggedValue::Kind::String: {
      *os << "String \"";
      for (char16_t c : *value.asString()) {
        if (c == 0) {
          *os << "\\0";
        } else {
          *os << platform::toUtf8(std::u16string(1, c));
        }
      }
      *os << "\"";
      return;
    }
    case TaggedValue::Kind::Bytes: {
      const ByteArray& b = *value.asBytes();
      *os << "Bytes from " << b.lowerBound << " {";
      for (std::size_t i = 0; i < b.bytes.size(); ++i) *os << (i ? " " : "") << static_cast<int>(b.bytes[i]);
      *os << "}";
      return;
    }
  }
}

}  // namespace tray
