#include "registry_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/registry.h"
#include "utf16_zero.h"

void assignRegistryDataAsText(const win::BYTE* data, win::DWORD byteCount, std::u16string& text) {
  const std::size_t length = firstZeroUnit(data, byteCount / sizeof(char16_t));
  text.resize(length);
  if (length != 0) std::memcpy(&text[0], data, length * sizeof(char16_t));
}

std::u16string registryDataAsText(const win::BYTE* data, win::DWORD byteCount) {
  std::u16string text;
  assignRegistryDataAsText(data, byteCount, text);
  return text;
}

cRegistryReader::cRegistryReader()
    : nameBuffer_(new char16_t[NameBufferChars]), valueBuffer_(new win::BYTE[ValueBufferBytes]) {}

platform::unique_hkey cRegistryReader::openMachineKey(const std::u16string& path, win::REGSAM access) {
  win::HKEY key = nullptr;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != win::ERROR_SUCCESS) {
    return platform::unique_hkey();
  }
  return platform::unique_hkey(key);
}

void cRegistryReader::queryLastWriteTime(win::HKEY key, win::FILETIME& time) {
  win::FILETIME written{0, 0};
  if (win::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, &written) == win::ERROR_SUCCESS) {
    time = written;
  }
}

bool cRegistryReader::subkeyName(win::HKEY key, win::DWORD index, std::u16string_view& name) {
  if (win::RegEnumKeyW(key, index, nameBuffer_.get(), NameBufferChars) != win::ERROR_SUCCESS) return false;
  const char16_t* begin = nameBuffer_.get();
  const char16_t* end = std::find(begin, begin + NameBufferChars, u'\0');
  name = std::u16string_view(begin, static_cast<std::size_t>(end - begin));
  return true;
}

bool cRegistryReader::valueText(win::HKEY key, const std::u16string& valueName, std::u16string& text) {
  win::DWORD size = ValueBufferBytes;  // the whole buffer is offered to every read
  if (win::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, valueBuffer_.get(), &size) !=
      win::ERROR_SUCCESS) {
    return false;
  }
  assignRegistryDataAsText(valueBuffer_.get(), std::min(size, ValueBufferBytes), text);
  return true;
}

const std::vector<cRegistryReader::NamedText>& cRegistryReader::valueTexts(win::HKEY key,
                                                                         const std::set<std::u16string>& names) {
  // Grown before any view into it is taken.
  if (texts_.size() < names.size()) texts_.resize(names.size());
  found_.clear();
  for (const std::u16string& name : names) {
    std::u16string& text = texts_[found_.size()];
    if (valueText(key, name, text)) found_.emplace_back(name, text);
  }
  return found_;
}
