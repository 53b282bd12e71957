// The registry and environment calls of clsRegistry in the character form it chooses:
// wide (UTF-16) or ANSI, where texts are converted to the ANSI code page and back.
#pragma once

#include <cstdint>
#include <string>

#include "platform/resource.h"
#include "platform/win_types.h"

namespace tray::regcall {

enum class Form { Wide, Ansi };

inline Form formFor(bool bIsNT) { return bIsNT ? Form::Wide : Form::Ansi; }

// A hive given as a signed 32-bit handle value, sign-extended as Windows does.
win::HKEY hiveKey(std::int32_t hive);

// The key is held by `key` on success; results are Windows error codes.
win::LONG openKey(Form form, std::int32_t hive, const std::u16string& path, win::REGSAM access,
                  platform::unique_hkey& key);
// Creates or opens; class "" (wide/ANSI as chosen), options 0, default security.
win::LONG createKey(Form form, std::int32_t hive, const std::u16string& path, win::REGSAM access,
                    platform::unique_hkey& key);
win::LONG deleteKey(Form form, std::int32_t hive, const std::u16string& path);
win::LONG deleteValue(Form form, win::HKEY key, const std::u16string& name);
// Writes data bytes as they are; the name alone is converted in the ANSI form.
win::LONG setValue(Form form, win::HKEY key, const std::u16string& name, win::DWORD type, const void* data,
                   win::DWORD byteCount);
// Type only, no data and no size.
win::LONG queryValueType(Form form, win::HKEY key, const std::u16string& name, win::DWORD& type);
// Always the ANSI form.
win::LONG queryValueAnsi(win::HKEY key, const std::u16string& name, win::DWORD* type, win::BYTE* data,
                         win::DWORD* byteCount);

// The text with %NAME% references replaced, as long as the expansion reports (empty when the
// size query answers 0).
std::u16string expandEnvironment(Form form, const std::u16string& text);

}  // namespace tray::regcall
