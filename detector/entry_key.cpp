#include "entry_key.h"

std::u16string makeEntryKey(std::u16string_view subkeyName) {
  std::u16string key(subkeyName);
  for (char16_t& c : key) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return key;
}
