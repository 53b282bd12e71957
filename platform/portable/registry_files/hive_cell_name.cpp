#include "registry_files/hive_cell_name.h"

#include <cstring>

#include "shared/little_endian.h"

namespace portable {

namespace {

// Where the fields lie in a key ("nk") and a value ("vk") cell, from the cell's start
// (its size, negative while the cell is in use).
struct CellLayout {
  char id[2];
  std::size_t flagsAt;
  unsigned latin1Flag;
  std::size_t lengthAt;
  std::size_t nameAt;
};
constexpr CellLayout kKeyCell{{'n', 'k'}, 0x06, 0x0020, 0x4C, 0x50};
constexpr CellLayout kValueCell{{'v', 'k'}, 0x14, 0x0001, 0x06, 0x18};

}  // namespace

bool readLatin1Name(std::string_view hive, std::uint64_t offset, HiveCell cell, std::u16string& name) {
  const CellLayout& layout = cell == HiveCell::Key ? kKeyCell : kValueCell;
  if (offset > hive.size() || hive.size() - offset < layout.nameAt) return false;
  const auto* at = reinterpret_cast<const unsigned char*>(hive.data() + offset);
  const auto stored = static_cast<std::int32_t>(littleEndian32(at));
  if (stored >= 0) return false;
  const std::uint64_t cellLength = std::uint64_t{0} - static_cast<std::int64_t>(stored);
  if (cellLength > hive.size() - offset || cellLength < layout.nameAt) return false;
  if (at[4] != static_cast<unsigned char>(layout.id[0]) || at[5] != static_cast<unsigned char>(layout.id[1])) return false;
  if (!(littleEndian16(at + layout.flagsAt) & layout.latin1Flag)) return false;
  const std::size_t units = littleEndian16(at + layout.lengthAt);
  if (units > cellLength - layout.nameAt) return false;
  const unsigned char* first = at + layout.nameAt;
  const void* zero = std::memchr(first, 0, units);
  const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - first) : units;
  // Latin-1 is the first 256 code points. A plain loop, which the compiler widens many
  // units at a time; the buffer is reused, so the resize rarely allocates.
  name.resize(length);
  char16_t* out = name.data();
  for (std::size_t i = 0; i < length; ++i) out[i] = first[i];
  return true;
}

}  // namespace portable
