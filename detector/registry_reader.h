// Registry reads with the detector's fixed buffers: subkey names of up to 20000 code
// units and value data of up to 20000 bytes. One reader serves a whole scan, so the
// buffers are allocated once and reused for every subkey and value.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/resource.h"
#include "platform/win_types.h"

class cRegistryReader {
 public:
  static constexpr win::DWORD NameBufferChars = 20000;
  static constexpr win::DWORD ValueBufferBytes = 20000;

  cRegistryReader();

  // Opens HKEY_LOCAL_MACHINE\path; an empty owner when the open fails.
  static platform::unique_hkey openMachineKey(const std::u16string& path, win::REGSAM access);

  // The key's last-write time; `time` is left alone when it cannot be read.
  static void queryLastWriteTime(win::HKEY key, win::FILETIME& time);

  // The name of the subkey at `index`, valid until the next call; false on any
  // non-zero result, which ends an enumeration.
  bool subkeyName(win::HKEY key, win::DWORD index, std::u16string_view& name);

  // The value's data as text, whatever its type. False when the value is absent,
  // larger than the buffer, or unreadable for any other reason.
  bool valueText(win::HKEY key, const std::u16string& valueName, std::u16string& text);

  // Those of `names` that the key holds, each with its text, in the names' order. Valid
  // until the next call: the buffers are reused, so that reading one entry after another
  // allocates nothing once they have grown.
  using NamedText = std::pair<std::u16string_view, std::u16string_view>;
  const std::vector<NamedText>& valueTexts(win::HKEY key, const std::set<std::u16string>& names);

 private:
  std::unique_ptr<char16_t[]> nameBuffer_;
  std::unique_ptr<win::BYTE[]> valueBuffer_;
  std::vector<std::u16string> texts_;
  std::vector<NamedText> found_;
};

// Registry data taken as UTF-16 text: up to the first zero code unit, or all of the
// bytes given when none holds zero. An odd trailing byte is no code unit and is dropped.
std::u16string registryDataAsText(const win::BYTE* data, win::DWORD byteCount);
// The same into `text`, whose buffer is reused.
void assignRegistryDataAsText(const win::BYTE* data, win::DWORD byteCount, std::u16string& text);
