#include "empty_hive.h"

#include <initializer_list>

namespace {

constexpr std::size_t kBlock = 4096;  // the base block and the one hive bin are this long
constexpr std::uint32_t kNone = 0xFFFFFFFF;

void put16(std::string& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>(value >> 8);
}
void put32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(value >> (8 * i));
}
void put64(std::string& out, std::size_t at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out[at + i] = static_cast<char>(value >> (8 * i));
}

std::uint32_t get32(const std::string& in, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(in[at + i]);
  return value;
}

// A cell: its size (negative: in use), rounded up to 8 bytes, then the contents.
std::size_t cellSize(std::size_t contents) { return (contents + 4 + 7) & ~std::size_t{7}; }

}  // namespace

std::string emptyHiveBytes(std::uint64_t rootTime) {
  std::string file(2 * kBlock, '\0');
  const std::size_t bin = kBlock;  // cell offsets count from here

  // Hive bin header: "hbin", its offset from the first bin, its size.
  file.replace(bin, 4, "hbin");
  put32(file, bin + 0x04, 0);
  put32(file, bin + 0x08, kBlock);

  // Security cell: a self-relative descriptor with no owner, no group and a null DACL.
  const std::size_t sk = 0x20;
  const std::size_t descriptorSize = 20;
  const std::size_t skSize = cellSize(0x14 + descriptorSize);
  put32(file, bin + sk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(skSize)));
  file.replace(bin + sk + 4, 2, "sk");
  put32(file, bin + sk + 0x08, sk);  // previous and next security cell: itself
  put32(file, bin + sk + 0x0C, sk);
  put32(file, bin + sk + 0x10, 1);   // used by one key
  put32(file, bin + sk + 0x14, descriptorSize);
  file[bin + sk + 0x18] = 1;                  // revision
  put16(file, bin + sk + 0x1A, 0x8004);      // self-relative, DACL present

  // Root key cell.
  const std::string name = "ROOT";
  const std::size_t nk = sk + skSize;
  const std::size_t nkSize = cellSize(0x4C + name.size());
  put32(file, bin + nk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(nkSize)));
  const std::size_t key = bin + nk + 4;
  file.replace(key, 2, "nk");
  put16(file, key + 0x02, 0x2C);  // hive entry, no delete, name in ASCII
  put64(file, key + 0x04, rootTime);
  put32(file, key + 0x10, kNone);  // parent
  for (std::size_t field : {0x1C, 0x20, 0x28, 0x30}) put32(file, key + field, kNone);  // no lists, no class
  put32(file, key + 0x2C, sk);
  put16(file, key + 0x48, static_cast<std::uint16_t>(name.size()));
  file.replace(key + 0x4C, name.size(), name);

  // The rest of the bin is one free cell.
  const std::size_t free = nk + nkSize;
  put32(file, bin + free, static_cast<std::uint32_t>(kBlock - free));

  // Base block: "regf", equal sequence numbers (cleanly written), version 1.5, the root
  // key's offset, the size of the bins, and a checksum over the first 508 bytes.
  file.replace(0, 4, "regf");
  put32(file, 0x04, 1);
  put32(file, 0x08, 1);
  put64(file, 0x0C, rootTime);
  put32(file, 0x14, 1);
  put32(file, 0x18, 5);
  put32(file, 0x20, 1);
  put32(file, 0x24, nk);
  put32(file, 0x28, kBlock);
  put32(file, 0x2C, 1);
  std::uint32_t checksum = 0;
  for (std::size_t at = 0; at < 0x1FC; at += 4) checksum ^= get32(file, at);
  if (checksum == 0) checksum = 1;
  if (checksum == kNone) checksum = kNone - 1;
  put32(file, 0x1FC, checksum);
  return file;
}
