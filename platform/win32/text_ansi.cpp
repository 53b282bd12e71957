// UTF-16 <-> the system ANSI code page through the Windows conversions.
#include "platform/text.h"
#include "platform/win_types.h"

#include <climits>
#include <stdexcept>

#include <windows.h>

#include "wide.h"

namespace platform {

namespace {
// The conversions count in int; longer texts cannot exist in a 32-bit process in practice.
int checkedLength(size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long for the ANSI conversion");
  return static_cast<int>(size);
}
}  // namespace

std::string toAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const int length = checkedLength(text.size());
  const wchar_t* source = win::detail::wide(text.data());
  const char defaultChar = '?';
  const int needed = ::WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, &defaultChar, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  const int written = ::WideCharToMultiByte(CP_ACP, 0, source, length, out.data(), needed, &defaultChar, nullptr);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

std::u16string fromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = checkedLength(bytes.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string out(static_cast<size_t>(needed), u'\0');
  const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, win::detail::wide(out.data()), needed);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

}  // namespace platform
