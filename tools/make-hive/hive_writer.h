// Writing a registry hive file as the published hive format lays it out: a base block,
// then hive bins holding the cells (key nodes, their sorted subkey lists, values, value
// lists, one shared security descriptor). Every cell is written once, where it stays:
// the file holds no dead cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HiveValue {
  std::u16string name;  // empty: the key's default value
  std::uint32_t type = 0;
  std::string data;
};

struct HiveKey {
  std::u16string name;
  std::uint64_t lastWrite = 0;  // FILETIME count
  std::vector<HiveValue> values;
  std::vector<HiveKey> children;  // in any order; the file lists them sorted
};

// The file's bytes; empty, with the reason, when the tree cannot be written (a value's
// data longer than one cell holds, or a key with more than 65,535 subkeys).
std::string hiveFileBytes(const HiveKey& root, std::string& error);
