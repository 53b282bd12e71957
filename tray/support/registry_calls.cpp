#include "registry_calls.h"

#include "platform/registry.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace tray::regcall {

win::HKEY hiveKey(std::int32_t hive) { return win::predefinedKey(static_cast<std::uint32_t>(hive)); }

win::LONG openKey(Form form, std::int32_t hive, const std::u16string& path, win::REGSAM access,
                  platform::unique_hkey& key) {
  if (form == Form::Wide) return win::RegOpenKeyExW(hiveKey(hive), path.c_str(), 0, access, key.put());
  return win::RegOpenKeyExA(hiveKey(hive), platform::toAnsi(path).c_str(), 0, access, key.put());
}

win::LONG createKey(Form form, std::int32_t hive, const std::u16string& path, win::REGSAM access,
                    platform::unique_hkey& key) {
  win::DWORD disposition = 0;
  if (form == Form::Wide) {
    char16_t noClass[1] = {0};
    return win::RegCreateKeyExW(hiveKey(hive), path.c_str(), 0, noClass, 0, access, nullptr, key.put(),
                                &disposition);
  }
  char noClass[1] = {0};
  return win::RegCreateKeyExA(hiveKey(hive), platform::toAnsi(path).c_str(), 0, noClass, 0, access, nullptr,
                              key.put(), &disposition);
}

win::LONG deleteKey(Form form, std::int32_t hive, const std::u16string& path) {
  if (form == Form::Wide) return win::RegDeleteKeyW(hiveKey(hive), path.c_str());
  return win::RegDeleteKeyA(hiveKey(hive), platform::toAnsi(path).c_str());
}

win::LONG deleteValue(Form form, win::HKEY key, const std::u16string& name) {
  if (form == Form::Wide) return win::RegDeleteValueW(key, name.c_str());
  return win::RegDeleteValueA(key, platform::toAnsi(name).c_str());
}

win::LONG setValue(Form form, win::HKEY key, const std::u16string& name, win::DWORD type, const void* data,
                   win::DWORD byteCount) {
  const auto* bytes = static_cast<const win::BYTE*>(data);
  if (form == Form::Wide) return win::RegSetValueExW(key, name.c_str(), 0, type, bytes, byteCount);
  return win::RegSetValueExA(key, platform::toAnsi(name).c_str(), 0, type, bytes, byteCount);
}

win::LONG queryValueType(Form form, win::HKEY key, const std::u16string& name, win::DWORD& type) {
  if (form == Form::Wide) return win::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, nullptr);
  return win::RegQueryValueExA(key, platform::toAnsi(name).c_str(), nullptr, &type, nullptr, nullptr);
}

win::LONG queryValueAnsi(win::HKEY key, const std::u16string& name, win::DWORD* type, win::BYTE* data,
                         win::DWORD* byteCount) {
  return win::RegQueryValueExA(key, platform::toAnsi(name).c_str(), nullptr, type, data, byteCount);
}

std::u16string expandEnvironment(Form form, const std::u16string& text) {
  if (form == Form::Wide) {
    const win::DWORD needed = win::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return std::u16string();
    std::u16string buffer(needed, u'\0');  // needed - 1 characters and the terminator
    const win::DWORD written = win::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    if (written == 0 || written > needed) return std::u16string();
    buffer.resize(buffer.find(u'\0'));
    return buffer;
  }
  const std::string source = platform::toAnsi(text);
  const win::DWORD needed = win::ExpandEnvironmentStringsA(source.c_str(), nullptr, 0);
  if (needed == 0) return std::u16string();
  // ANSI callers are asked for one byte more than the size reported.
  std::string buffer(static_cast<std::size_t>(needed) + 1, '\0');
  const win::DWORD written = win::ExpandEnvironmentStringsA(source.c_str(), buffer.data(), needed + 1);
  if (written == 0 || written > needed + 1) return std::u16string();
  buffer.resize(buffer.find('\0'));
  return platform::fromAnsi(buffer);
}

}  // namespace tray::regcall
