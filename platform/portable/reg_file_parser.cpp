#include <algorithm>

#include "name_folding.h"
#include "platform/text.h"
#include "reg_file.h"
#include "registry_bytes.h"
#include "registry_operations.h"

namespace portable {

namespace {

constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeader4 = u"REGEDIT4";
constexpr std::u16string_view kTimeComment = u";last-write-time=";

// UTF-8, with any byte that does not start a valid sequence taken as Windows-1252.
std::u16string decodeNarrow(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    char32_t c = 0;
    bool valid = length > 0 && i + length <= bytes.size();
    if (valid) {
      c = length == 1 ? b : (b & (0x7F >> length));
      for (std::size_t k = 1; k < length && valid; ++k) {
        auto cb = static_cast<unsigned char>(bytes[i + k]);
        valid = (cb & 0xC0) == 0x80;
        c = (c << 6) | (cb & 0x3F);
      }
      static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
      valid = valid && c >= minimum[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    }
    if (!valid) {
      out += platform::fromAnsi(bytes.substr(i, 1));
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

std::vector<std::u16string> splitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trimLeft(std::u16string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::u16string_view trimRight(std::u16string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::u16string_view trim(std::u16string_view s) { return trimRight(trimLeft(s)); }

bool startsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && sameName(s.substr(0, prefix.size()), prefix);
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// 1 to maxDigits hex digits, nothing else.
bool parseHexNumber(std::u16string_view s, std::size_t maxDigits, std::uint64_t& value) {
  if (s.empty() || s.size() > maxDigits) return false;
  value = 0;
  for (char16_t c : s) {
    int d = hexDigit(c);
    if (d < 0) return false;
    value = value * 16 + static_cast<unsigned>(d);
  }
  return true;
}

class Parser {
 public:
  Parser(std::vector<std::u16string> lines, std::string source) : lines_(std::move(lines)), source_(std::move(source)) {}

  RegFileParse run() {
    RegFileParse result;
    if (lines_.empty() || (trimRight(lines_[0]) != kHeader5 && trimRight(lines_[0]) != kHeader4)) {
      fail(1, "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"");
    } else {
      unicode_ = trimRight(lines_[0]) == kHeader5;
      for (line_ = 1; line_ < lines_.size() && error_.empty(); ++line_) statement();
    }
    result.ok = error_.empty();
    result.error = error_;
    if (result.ok) result.ops = std::move(ops_);
    return result;
  }

 private:
  void fail(std::size_t lineNumber, const std::string& what) {
    if (error_.empty()) error_ = source_ + ":" + std::to_string(lineNumber) + ": " + what;
  }
  void fail(const std::string& what) { fail(line_ + 1, what); }

  void statement() {
    std::u16string_view s = trimLeft(lines_[line_]);
    if (s.empty()) return;
    if (s.front() == u';') return comment(s);
    if (s.front() == u'[') return section(trimRight(s));
    if (s.front() == u'"' || s.front() == u'@') return value(s);
    fail("unrecognised line");
  }

  void comment(std::u16string_view s) {
    std::uint64_t stamp = 0;
    if (!inSection_ || deletion_ || s.substr(0, kTimeComment.size()) != kTimeComment) return;
    if (!parseHexNumber(trimRight(s.substr(kTimeComment.size())), 16, stamp)) return;
    RegFileOp op;
    op.kind = RegFileOp::Kind::SetLastWrite;
    op.hive = hive_;
    op.path = path_;
    op.lastWrite = stamp;
    ops_.push_back(std::move(op));
  }

  void section(std::u16string_view s) {
    if (s.back() != u']') return fail("key section without a closing ']'");
    std::u16string_view inner = s.substr(1, s.size() - 2);
    bool deletion = !inner.empty() && inner.front() == u'-';
    if (deletion) inner.remove_prefix(1);
    std::size_t slash = inner.find(u'\\');
    std::u16string_view rootName = inner.substr(0, slash);
    std::u16string_view rest = slash == std::u16string_view::npos ? std::u16string_view() : inner.substr(slash + 1);
    Hive hive;
    if (!hiveNamed(rootName, hive)) return fail("unknown root key \"" + platform::toUtf8(rootName) + "\"");
    KeyPath path;
    if (!splitPath(rest, path) || (slash != std::u16string_view::npos && rest.empty())) {
      return fail("empty key name in the path");
    }
    for (const std::u16string& part : path) {
      if (!acceptableKeyName(part)) return fail("key name longer than 255 characters");
    }
    if (path.size() > kMaxKeyDepth) return fail("key path nested too deeply");
    if (deletion && path.empty()) return fail("a root key cannot be deleted");
    RegFileOp op;
    op.kind = deletion ? RegFileOp::Kind::DeleteKey : RegFileOp::Kind::CreateKey;
    op.hive = hive;
    op.path = path;
    ops_.push_back(std::move(op));
    inSection_ = true;
    deletion_ = deletion;
    hive_ = hive;
    path_ = std::move(path);
  }

  static bool hiveNamed(std::u16string_view name, Hive& hive) {
    for (int i = 0; i < kHiveCount; ++i) {
      if (sameName(name, hiveName(static_cast<Hive>(i)))) {
        hive = static_cast<Hive>(i);
        return true;
      }
    }
    return false;
  }

  // A "..." string at s[pos]; pos ends after the closing quote.
  bool quoted(std::u16string_view s, std::size_t& pos, std::u16string& text) {
    text.clear();
    for (++pos; pos < s.size(); ++pos) {
      char16_t c = s[pos];
      if (c == u'"') {
        ++pos;
        return true;
      }
      if (c != u'\\') {
        text += c;
        continue;
      }
      if (++pos == s.size()) break;
      switch (s[pos]) {
        case u'\\': text += u'\\'; break;
        case u'"': text += u'"'; break;
        case u'n': text += u'\n'; break;
        case u'r': text += u'\r'; break;
        default:
          fail("unknown escape \"\\" + platform::toUtf8(s.substr(pos, 1)) + "\" in a string");
          return false;
      }
    }
    fail("string without a closing quote");
    return false;
  }

  void value(std::u16string_view s) {
    std::size_t pos = 0;
    std::u16string name;
    if (s.front() == u'@') {
      pos = 1;
    } else if (!quoted(s, pos, name)) {
      return;
    }
    std::u16string_view rest = trimLeft(s.substr(pos));
    if (rest.empty() || rest.front() != u'=') return fail("expected '=' after the value name");
    rest = trimLeft(rest.substr(1));
    if (!inSection_) return fail("value outside a key section");
    if (deletion_) return fail("value inside a key deletion");

    RegFileOp op;
    op.hive = hive_;
    op.path = path_;
    op.name = std::move(name);
    if (!rest.empty() && rest.front() == u'-') {
      if (!trim(rest.substr(1)).empty()) return fail("unexpected text after '-'");
      op.kind = RegFileOp::Kind::DeleteValue;
    } else if (!rest.empty() && rest.front() == u'"') {
      std::size_t at = 0;
      std::u16string text;
      if (!quoted(rest, at, text)) return;
      if (!trim(rest.substr(at)).empty()) return fail("unexpected text after the string");
      text += u'\0';
      op.kind = RegFileOp::Kind::SetValue;
      op.type = win::REG_SZ;
      op.data = bytesOf(text);
    } else if (startsWithNoCase(rest, u"dword:")) {
      std::uint64_t number = 0;
      if (!parseHexNumber(trim(rest.substr(6)), 8, number)) return fail("dword needs 1 to 8 hex digits");
      op.kind = RegFileOp::Kind::SetValue;
      op.type = win::REG_DWORD;
      for (int i = 0; i < 4; ++i) op.data.push_back(static_cast<win::BYTE>(number >> (8 * i)));
    } else if (startsWithNoCase(rest, u"hex")) {
      if (!hexValue(rest.substr(3), op)) return;
    } else {
      return fail("unrecognised value data");
    }
    ops_.push_back(std::move(op));
  }

  // hex:..., hex(N):..., with continuation lines.
  bool hexValue(std::u16string_view s, RegFileOp& op) {
    std::size_t startLine = line_;
    op.kind = RegFileOp::Kind::SetValue;
    op.type = win::REG_BINARY;
    if (!s.empty() && s.front() == u'(') {
      std::size_t close = s.find(u')');
      std::uint64_t type = 0;
      if (close == std::u16string_view::npos || !parseHexNumber(s.substr(1, close - 1), 8, type)) {
        fail("hex( needs a type of 1 to 8 hex digits and a ')'");
        return false;
      }
      op.type = static_cast<win::DWORD>(type);
      s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != u':') {
      fail("expected ':' after hex");
      return false;
    }
    std::u16string list(trimRight(s.substr(1)));
    while (!list.empty() && list.back() == u'\\') {
      list.pop_back();
      if (++line_ >= lines_.size()) {
        fail(startLine + 1, "continuation line missing at the end of the file");
        return false;
      }
      list += trimRight(trimLeft(lines_[line_]));
    }
    std::u16string_view bytes = trim(list);
    std::size_t pos = 0;
    while (!bytes.empty() && pos <= bytes.size()) {
      std::size_t comma = bytes.find(u',', pos);
      std::u16string_view token = trim(bytes.substr(pos, comma == std::u16string_view::npos ? comma : comma - pos));
      std::uint64_t byte = 0;
      if (!parseHexNumber(token, 2, byte)) {
        fail(line_ + 1, "bad hex byte \"" + platform::toUtf8(token) + "\"");
        return false;
      }
      op.data.push_back(static_cast<win::BYTE>(byte));
      if (comma == std::u16string_view::npos) break;
      pos = comma + 1;
    }
    // REGEDIT4 keeps expandable and multi strings as narrow text.
    if (!unicode_ && (op.type == win::REG_EXPAND_SZ || op.type == win::REG_MULTI_SZ)) {
      op.data = bytesOf(decodeNarrow(std::string_view(reinterpret_cast<const char*>(op.data.data()), op.data.size())));
    }
    return true;
  }

  std::vector<std::u16string> lines_;
  std::string source_;
  std::size_t line_ = 0;
  bool unicode_ = true;
  std::string error_;
  std::vector<RegFileOp> ops_;
  bool inSection_ = false;
  bool deletion_ = false;
  Hive hive_ = Hive::LocalMachine;
  KeyPath path_;
};

}  // namespace

RegFileParse parseRegFile(std::string_view bytes, const std::string& sourceName) {
  std::u16string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) {
      RegFileParse odd;
      odd.error = sourceName + ":1: UTF-16 file with an odd number of bytes";
      return odd;
    }
    text.resize((bytes.size() - 2) / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                      (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
  } else {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    text = decodeNarrow(bytes);
  }
  return Parser(splitLines(text), sourceName).run();
}

}  // namespace portable
