// Environment expansion over the process environment, with Windows' case-insensitive names.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sysinfo.h"
#include "platform/text.h"
#include "portable/sysinfo_control.h"

extern char** environ;

namespace {

char16_t upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  return c;
}

bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

struct Variable {
  std::string rawName;  // as the process environment spells it
  std::u16string value;
};

std::optional<Variable> findVariable(std::u16string_view name) {
  if (name.empty()) return std::nullopt;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* eq = std::strchr(*entry, '=');
    if (eq == nullptr || eq == *entry) continue;
    std::string_view rawName(*entry, static_cast<std::size_t>(eq - *entry));
    if (sameName(platform::fromUtf8(rawName), name)) {
      return Variable{std::string(rawName), platform::fromUtf8(eq + 1)};
    }
  }
  return std::nullopt;
}

std::u16string expand(std::u16string_view src) {
  std::u16string out;
  std::size_t i = 0;
  while (i < src.size()) {
    if (src[i] != u'%') {
      std::size_t next = src.find(u'%', i);
      if (next == std::u16string_view::npos) next = src.size();
      out.append(src.substr(i, next - i));
      i = next;
      continue;
    }
    std::size_t close = src.find(u'%', i + 1);
    if (close == std::u16string_view::npos) {  // an unfinished reference is plain text
      out.append(src.substr(i));
      break;
    }
    std::optional<Variable> var = findVariable(src.substr(i + 1, close - i - 1));
    if (var) {
      out += var->value;
    } else {
      out.append(src.substr(i, close - i + 1));
    }
    i = close + 1;
  }
  return out;
}

bool setVariable(std::u16string_view name, const char16_t* value) {
  if (name.empty() || name.find(u'=') != std::u16string_view::npos) return false;
  std::optional<Variable> existing = findVariable(name);
  std::string rawName = existing ? existing->rawName : platform::toUtf8(name);
  if (value == nullptr) return !existing || ::unsetenv(rawName.c_str()) == 0;
  return ::setenv(rawName.c_str(), platform::toUtf8(value).c_str(), 1) == 0;
}

}  // namespace

namespace portable {

void setExpansionVariable(std::u16string_view name, std::u16string_view value) {
  std::u16string copy(value);
  setVariable(name, copy.c_str());
}

void removeExpansionVariable(std::u16string_view name) { setVariable(name, nullptr); }

std::vector<win::DWORD>& ansiSizes() {
  static std::vector<win::DWORD> sizes;
  return sizes;
}
const std::vector<win::DWORD>& ansiExpansionSizes() { return ansiSizes(); }
void clearAnsiExpansionSizes() { ansiSizes().clear(); }

}  // namespace portable

namespace win {

DWORD ExpandEnvironmentStringsW(const char16_t* lpSrc, char16_t* lpDst, DWORD nSize) {
  if (lpSrc == nullptr) return 0;
  const std::u16string expanded = expand(lpSrc);
  const DWORD needed = static_cast<DWORD>(expanded.size() + 1);
  if (lpDst != nullptr && nSize >= needed) {
    std::memcpy(lpDst, expanded.c_str(), needed * sizeof(char16_t));
  }
  return needed;
}

DWORD ExpandEnvironmentStringsA(const char* lpSrc, char* lpDst, DWORD nSize) {
  portable::ansiSizes().push_back(nSize);
  if (lpSrc == nullptr) return 0;
  const std::string expanded = platform::toAnsi(expand(platform::fromAnsi(lpSrc)));
  const DWORD needed = static_cast<DWORD>(expanded.size() + 1);
  if (lpDst != nullptr && nSize >= needed) {
    std::memcpy(lpDst, expanded.c_str(), needed);
  }
  return needed;
}

BOOL SetEnvironmentVariableW(const char16_t* lpName, const char16_t* lpValue) {
  if (lpName == nullptr) return 0;
  return setVariable(lpName, lpValue) ? 1 : 0;
}

}  // namespace win
