#include "glob_match.h"

bool globMatch(std::u16string_view text, std::u16string_view pattern, bool floating) {
  // Each '*' hands the rest of the text and of the pattern on to a floating match; a loop
  // rather than a call per '*' keeps the stack flat for patterns with very many stars.
  for (;;) {
    if (text.size() < pattern.size()) return false;
    if (pattern.empty() && floating) return true;

    const std::size_t star = pattern.find(u'*');
    if (star == std::u16string_view::npos) {
      if (floating) return text.substr(text.size() - pattern.size()) == pattern;
      return text == pattern;
    }

    const std::u16string_view head = pattern.substr(0, star);
    std::size_t start = 0;
    if (floating) {
      start = text.find(head);  // an empty head is found at 0
      if (start == std::u16string_view::npos) return false;
    } else if (text.substr(0, star) != head) {
      return false;
    }
    text.remove_prefix(start + star);
    pattern.remove_prefix(star + 1);
    floating = true;
  }
}
