// Filling the text fields of the notification records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tray {

// Copies the text's UTF-16LE bytes into the first `limit` bytes of a field: at most
// limit/2 - 1 characters, then zeros up to limit. An empty text leaves the field as it is;
// bytes beyond limit are never touched.
void CopyTextToBytes(std::u16string_view text, std::uint8_t* field, std::size_t limit);

// A narrow field holding the text in the ANSI code page left-aligned, cut to the field size
// at a character boundary and filled up with spaces.
void FillNarrowField(std::u16string_view text, char* field, std::size_t fieldSize);

// The characters before the first null, or the whole field when it holds none.
std::u16string TextBeforeNull(const char16_t* field, std::size_t count);
std::u16string TextBeforeNull(const char* ansiField, std::size_t count);

}  // namespace tray
