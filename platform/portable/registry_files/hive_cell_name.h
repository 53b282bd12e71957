// A key's or value's name read straight from a hive's bytes when the hive holds it one
// byte per character, as it holds nearly every name: libhivex recodes each name through
// iconv into a new allocation, which is most of what a listing spends in it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace portable {

enum class HiveCell { Key, Value };

// False, leaving the name to libhivex (and its refusals), for a name held in UTF-16 and
// for a cell that is not an allocated key or value cell wholly inside `hive`. The name
// ends at its first zero, as libhivex's does.
bool readLatin1Name(std::string_view hive, std::uint64_t offset, HiveCell cell, std::u16string& name);

}  // namespace portable
