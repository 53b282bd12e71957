// Stand-in case conversion of user32: the C library's Unicode case table.
#include <locale.h>
#include <wctype.h>

#include "platform/user.h"

namespace {

// The UTF-8 C locale carries the full Unicode case table; without it only ASCII changes.
class UnicodeCaseTable {
 public:
  UnicodeCaseTable() : locale_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {}
  ~UnicodeCaseTable() {
    if (locale_ != static_cast<locale_t>(nullptr)) ::freelocale(locale_);
  }
  UnicodeCaseTable(const UnicodeCaseTable&) = delete;
  UnicodeCaseTable& operator=(const UnicodeCaseTable&) = delete;

  char16_t upper(char16_t c) const {
    // Surrogate halves are no characters of their own and stay as they are.
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    if (locale_ == static_cast<locale_t>(nullptr)) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    const wint_t mapped = ::towupper_l(static_cast<wint_t>(c), locale_);
    // A letter whose capital lies outside the 16-bit range keeps its place.
    return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : c;
  }

 private:
  locale_t locale_;
};

}  // namespace

namespace win {

DWORD CharUpperBuffW(char16_t* lpsz, DWORD cchLength) {
  if (lpsz == nullptr) return 0;
  static const UnicodeCaseTable table;
  for (DWORD i = 0; i < cchLength; ++i) lpsz[i] = table.upper(lpsz[i]);
  return cchLength;
}

}  // namespace win
