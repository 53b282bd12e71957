#include "json_output.h"

#include <cstdio>

#include "platform/text.h"

std::string jsonString(std::u16string_view text) {
  std::string out = "\"";
  for (char c : platform::toUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string jsonArrayOfObjects(const std::vector<std::u16string>& header, const TextRows& rows) {
  if (rows.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    out += "  {";
    for (std::size_t column = 0; column < header.size(); ++column) {
      if (column != 0) out += ", ";
      out += jsonString(header[column]);
      out += ": ";
      out += jsonString(rows.cell(r, column));
    }
    out += r + 1 < rows.size() ? "},\n" : "}\n";
  }
  out += "]";
  return out;
}
