#include <cstdio>

#include "registry/registry_bytes.h"
#include "registry_files/reg_file.h"
#include "shared/little_endian.h"

namespace portable {

namespace {

constexpr std::size_t kLineWidth = 80;

std::u16string ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

std::u16string quote(std::u16string_view text) {
  std::u16string out = u"\"";
  for (char16_t c : text) {
    switch (c) {
      case u'\\': out += u"\\\\"; break;
      case u'"': out += u"\\\""; break;
      case u'\n': out += u"\\n"; break;
      case u'\r': out += u"\\r"; break;
      default: out += c;
    }
  }
  return out + u"\"";
}

// REG_SZ data that a "..." string reproduces byte for byte (and any reader understands).
bool writableAsString(const PackedValue& value) {
  if (value.type() != win::REG_SZ || value.size() < 2 || value.size() % 2 != 0) return false;
  std::u16string units = unitsOf(value.data(), value.size());
  if (units.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < units.size(); ++i) {
    if (units[i] == 0 || units[i] == u'\r' || units[i] == u'\n') return false;
  }
  return true;
}

void writeHex(std::u16string& out, std::u16string lead, const PackedValue& value, std::u16string_view newline) {
  out += lead;
  std::size_t column = lead.size();
  const win::BYTE* data = value.data();
  for (std::size_t i = 0; i < value.size(); ++i) {
    char token[4];
    std::snprintf(token, sizeof token, i + 1 < value.size() ? "%02x," : "%02x", data[i]);
    std::u16string piece = ascii(token);
    if (column + piece.size() > kLineWidth - 2) {
      out += u'\\';
      out += newline;
      out += u"  ";
      column = 2;
    }
    out += piece;
    column += piece.size();
  }
}

void writeValue(std::u16string& out, const PackedValue& value, std::u16string_view newline) {
  std::u16string name = value.name().empty() ? std::u16string(u"@") : quote(value.name());
  const win::BYTE* data = value.data();
  if (writableAsString(value)) {
    std::u16string text = unitsOf(data, value.size());
    text.pop_back();
    out += name + u"=" + quote(text);
  } else if (value.type() == win::REG_DWORD && value.size() == 4) {
    char digits[16];
    const unsigned number = littleEndian32(data);
    std::snprintf(digits, sizeof digits, "dword:%08x", number);
    out += name + u"=" + ascii(digits);
  } else if (value.type() == win::REG_BINARY) {
    writeHex(out, name + u"=hex:", value, newline);
  } else {
    char kind[24];
    std::snprintf(kind, sizeof kind, "=hex(%x):", static_cast<unsigned>(value.type()));
    writeHex(out, name + ascii(kind), value, newline);
  }
  out += newline;
}

void writeKey(std::u16string& out, const std::u16string& section, const RegistryKey& key, bool isHive,
              std::u16string_view newline, bool withTimes) {
  if (!isHive || key.valueCount() != 0) {
    out += u"[" + section + u"]";
    out += newline;
    if (withTimes) {
      char stamp[40];
      std::snprintf(stamp, sizeof stamp, ";last-write-time=%016llx", static_cast<unsigned long long>(key.lastWrite()));
      out += ascii(stamp);
      out += newline;
    }
    for (std::size_t i = 0; const PackedValue* value = key.valueAt(i); ++i) writeValue(out, *value, newline);
    out += newline;
  }
  for (std::size_t i = 0; const RegistryKey* child = key.childAt(i); ++i) {
    writeKey(out, section + u"\\" + child->name(), *child, false, newline, withTimes);
  }
}

}  // namespace

std::u16string writeRegText(const std::vector<RegSubtree>& subtrees, std::u16string_view newline, bool withTimes) {
  std::u16string out = u"Windows Registry Editor Version 5.00";
  out += newline;
  out += newline;
  for (const RegSubtree& subtree : subtrees) {
    if (subtree.key) writeKey(out, subtree.prefix, *subtree.key, subtree.isHive, newline, withTimes);
  }
  return out;
}

std::string regFileBytes(const std::vector<RegSubtree>& subtrees) {
  std::u16string text = writeRegText(subtrees, u"\r\n", true);
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + text.size() * 2);
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

}  // namespace portable
