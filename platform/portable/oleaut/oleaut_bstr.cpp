// BSTR: one allocation holding a 32-bit byte length, the UTF-16 text and a zero code unit;
// the BSTR points at the text.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/oleaut.h"

namespace win {

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* prefixOf(BSTR bstr) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<unsigned char*>(bstr) - kPrefix);
}

}  // namespace

BSTR SysAllocStringLen(const char16_t* strIn, UINT ui) {
  // The byte length must fit the 32-bit prefix.
  if (ui > (UINT32_MAX - kPrefix - sizeof(char16_t)) / sizeof(char16_t)) return nullptr;
  std::uint32_t bytes = ui * static_cast<std::uint32_t>(sizeof(char16_t));
  auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(char16_t)));
  if (!block) return nullptr;
  std::memcpy(block, &bytes, kPrefix);
  auto* text = reinterpret_cast<char16_t*>(block + kPrefix);
  if (strIn) {
    std::memcpy(text, strIn, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  text[ui] = 0;
  return text;
}

BSTR SysAllocString(const char16_t* psz) {
  if (!psz) return nullptr;
  UINT length = 0;
  while (psz[length]) ++length;
  return SysAllocStringLen(psz, length);
}

UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  std::uint32_t bytes;
  std::memcpy(&bytes, prefixOf(bstr), kPrefix);
  return bytes;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(char16_t); }

void SysFreeString(BSTR bstrString) {
  if (bstrString) std::free(prefixOf(bstrString));
}

}  // namespace win
