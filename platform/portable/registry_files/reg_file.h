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

#include "registry/registry_key.h"
#include "registry/registry_views.h"
#include "registry_files/reg_text_reader.h"

namespace portable {

class RegistryStore;

// What a file says, statement by statement, in file order. Texts and paths are views
// into the line being read: valid during the call only. The defaults ignore everything,
// which is what checking a file needs.
class RegFileSink {
 public:
  virtual ~RegFileSink() = default;
  // [path] or [-path]: the keys below the root, outermost first.
  virtual void section(Hive, const std::vector<std::u16string_view>& /*path*/, bool /*deletion*/) {}
  // name=data (the unnamed value has an empty name), or name=- when `remove`.
  virtual void value(std::u16string_view /*name*/, win::DWORD /*type*/, const std::vector<win::BYTE>& /*data*/) {}
  virtual void removeValue(std::u16string_view /*name*/) {}
  // ;last-write-time=... for the current section's key.
  virtual void lastWrite(std::uint64_t /*stamp*/) {}
};

// Reads the whole file; empty when it is well-formed, else "<source>:<line>: <what>".
// What the sink was told before an error stands: callers that must change nothing for a
// malformed file read it twice, first with the default sink.
std::string parseRegFile(ByteSource& bytes, const std::string& sourceName, RegFileSink& sink);

// Applies a file to the store as it is read (the store's lock held). `asChange`: whether
// this counts as the process changing the registry (and so is saved at exit). fileTime
// (a FILETIME count, 0 for none) stamps every key the load touches that carries no
// recorded time, so a file that has not changed gives the same times at every load.
std::string applyRegFile(RegistryStore& store, ByteSource& bytes, const std::string& sourceName, bool asChange,
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
