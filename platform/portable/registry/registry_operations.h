// The registry operations in UTF-16, shared by the W and A entry points. Each takes the
// store's lock itself and copies out what the caller needs, so buffer handling happens
// outside it. Results are Windows error codes; outputs are set only on success.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"
#include "registry/registry_key.h"

namespace portable {

struct KeyInfo {
  // What the caller asks for: counting a key read on demand reads its subkeys or values.
  bool wantSubKeys = true, wantValues = true;
  win::DWORD subKeys = 0;
  win::DWORD maxSubKeyLen = 0;     // characters, without the terminator
  win::DWORD values = 0;
  win::DWORD maxValueNameLen = 0;  // characters, without the terminator
  win::DWORD maxValueLen = 0;      // bytes
  win::FILETIME lastWrite{};
};

// ERROR_SUCCESS, or the result a test injected into this call of `function`.
win::LONG injectedResult(const char* function);

win::LONG openKey(win::HKEY base, std::u16string_view subKey, win::REGSAM samDesired, win::HKEY& result);
win::LONG createKey(win::HKEY base, std::u16string_view subKey, win::REGSAM samDesired, win::HKEY& result,
                    win::DWORD& disposition);
win::LONG closeKey(win::HKEY key);
// viewSam: the WOW64 flags that choose the view (0: the handle's or the default view).
win::LONG deleteKey(win::HKEY base, std::u16string_view subKey, win::REGSAM viewSam);
win::LONG deleteTree(win::HKEY base, std::u16string_view subKey);

win::LONG queryValue(win::HKEY key, std::u16string_view name, RegistryValue& value);
// The value's type and size, with its data copied straight into `buffer` when it holds
// `capacity` bytes (no buffer: nothing copied); ERROR_MORE_DATA, with type and size,
// when it does not.
win::LONG readValue(win::HKEY key, std::u16string_view name, win::BYTE* buffer, win::DWORD capacity,
                    win::DWORD& type, win::DWORD& size);
win::LONG setValue(win::HKEY key, std::u16string_view name, win::DWORD type, std::vector<win::BYTE> data);
win::LONG deleteValue(win::HKEY key, std::u16string_view name);

win::LONG queryInfo(win::HKEY key, KeyInfo& info);
win::LONG enumKey(win::HKEY key, win::DWORD index, std::u16string& name);
win::LONG enumValue(win::HKEY key, win::DWORD index, RegistryValue& value);

// Longest key name component, and deepest path, the registry accepts.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxKeyDepth = 512;
// Whether a key name can be created (and written to a .reg file).
bool acceptableKeyName(std::u16string_view name);

}  // namespace portable
