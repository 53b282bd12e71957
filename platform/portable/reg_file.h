// .reg files, the registry editor's export format: "Windows Registry Editor Version 5.00"
// (UTF-16LE with BOM) and "REGEDIT4" (UTF-8, with Windows-1252 for bytes that are not).
// Key paths in them are physical. A comment ";last-write-time=<16 hex digits>" inside a
// section keeps that key's last-write time across a save and a load; other readers of the
// format ignore it like any comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "registry_key.h"
#include "registry_views.h"

namespace portable {

class RegistryStore;

struct RegFileOp {
  enum class Kind { DeleteKey, CreateKey, SetValue, DeleteValue, SetLastWrite };
  Kind kind = Kind::CreateKey;
  Hive hive = Hive::LocalMachine;
  KeyPath path;
  std::u16string name;
  win::DWORD type = win::REG_NONE;
  std::vector<win::BYTE> data;
  std::uint64_t lastWrite = 0;
};

struct RegFileParse {
  bool ok = false;
  std::string error;  // "<source>:<line>: <what>"
  std::vector<RegFileOp> ops;
};

// Reads a whole file's bytes; nothing is applied here.
RegFileParse parseRegFile(std::string_view bytes, const std::string& sourceName);

// Applies parsed operations in order (the store's lock held). `asChange`: whether this
// counts as the process changing the registry (and so is saved at exit).
// fileTime (a FILETIME count, 0 for none) stamps every key the load touches that carries
// no recorded time, so a file that has not changed gives the same times at every load.
void applyRegFile(RegistryStore& store, const std::vector<RegFileOp>& ops, bool asChange,
                  std::uint64_t fileTime = 0);

// A hive's key and what lies below it, as .reg sections; `prefix` is its section name.
struct RegSubtree {
  std::u16string prefix;
  const RegistryKey* key = nullptr;
  bool isHive = false;  // a hive's own section is written only when it holds values
};
// The text of a .reg file: header, then each subtree. `withTimes` adds the last-write comments.
std::u16string writeRegText(const std::vector<RegSubtree>& subtrees, std::u16string_view newline, bool withTimes);

// Version 5.00 file bytes: UTF-16LE with BOM, CR LF, last-write times.
std::string regFileBytes(const std::vector<RegSubtree>& subtrees);

}  // namespace portable
