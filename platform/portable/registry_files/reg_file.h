// .reg files, the registry editor's export format: "Windows Registry Editor Version 5.00"
// (UTF-16LE with BOM) and "REGEDIT4" (UTF-8, with Windows-1252 for bytes that are not).
// Key paths in them are physical. A comment ";last-write-time=<16 hex digits>" inside a
// section keeps that key's last-write time across a save and a load; other readers of the
// format ignore it like any comment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/registry_key.h"
#include "registry/registry_views.h"
#include "registry_files/mapped_text.h"
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

// Reading a file on demand, as a hive is read: one pass finds where each section starts and
// checks the header, every section line and all before the first section; a section's
// values are read when its key's are asked for (docs/platform.md says what that keeps).
// Sixteen bytes each: a large export has hundreds of thousands. A section ends where the
// next one in the file begins. Its line's number is counted only for a failure's message.
struct RegSection {
  std::uint64_t begin = 0;  // where its own line starts, in bytes
  std::uint16_t depth = 0;  // the names below the root key
  std::uint8_t hive = 0;
};

// The sections in file order, in up to two blocks: the index reads a large file's halves at
// once, and neither half is copied into the other.
class RegSections {
 public:
  std::size_t size() const { return head_.size() + tail_.size(); }
  bool empty() const { return head_.empty() && tail_.empty(); }
  const RegSection& operator[](std::size_t i) const { return i < head_.size() ? head_[i] : tail_[i - head_.size()]; }
  const RegSection& back() const { return tail_.empty() ? head_.back() : tail_.back(); }
  void push_back(const RegSection& section) { (tail_.empty() ? head_ : tail_).push_back(section); }
  void append(RegSections&& more) {
    if (tail_.empty() && more.tail_.empty()) {
      tail_ = std::move(more.head_);
      return;
    }
    for (std::size_t i = 0; i < more.size(); ++i) push_back(more[i]);
  }

 private:
  std::vector<RegSection> head_, tail_;
};

struct RegIndex {
  bool unicode = true;     // "Windows Registry Editor Version 5.00", else REGEDIT4
  bool deletions = false;  // a [-key] section: the file must be read whole, in its order
  bool recordedTimes = false;  // a ";last-write-time" comment in some section
  // Whether no section's path comes before the one above it (regedit writes them so).
  bool ordered = true;
  RegSections sections;  // in file order
};

// A section's root and key names: text holds the names end to end.
struct RegPath {
  Hive hive = Hive::LocalMachine;
  std::u16string text;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> parts;  // offset and length of each name
  std::u16string_view part(std::size_t index) const {
    return std::u16string_view(text).substr(parts[index].first, parts[index].second);
  }
};
// By root, then name by name without regard to case; a key before what lies below it.
bool regPathLess(const RegPath& a, const RegPath& b);

// Empty when the header, the section lines and all before the first section are sound;
// else "<source>:<line>: <what>".
std::string indexRegFile(std::string_view text, const std::string& sourceName, RegIndex& index);

// Reads a file's sections one at a time, keeping its buffers from one to the next.
class RegSectionReader {
 public:
  // `index` and `text` must outlive it.
  RegSectionReader(const RegIndex& index, std::string_view text, std::string sourceName);
  ~RegSectionReader();
  RegSectionReader(const RegSectionReader&) = delete;
  RegSectionReader& operator=(const RegSectionReader&) = delete;

  // Of the section at that position in the file.
  void readPath(std::size_t section, RegPath& path);
  // Its name at `index` below the root (which it has): a view valid until the next read.
  std::u16string_view readName(std::size_t section, std::size_t index);
  // Tells the sink what the section says after its own line; empty, or its first error.
  // Without `values`, only the comments (the recorded times) are read.
  std::string read(std::size_t section, RegFileSink& sink, bool values);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Mounts the file as what its sections name (the store's lock held, the store empty), read
// on demand: each hive it names reads its keys from the file when first needed, and a
// section's malformed line is reported (reportRegistryFault) when its key's values are read.
// Keys take their recorded times (";last-write-time"), else fileTime. The index must have
// no deletions: those change what came before them, and such a file is read whole.
void mountRegFile(RegistryStore& store, std::shared_ptr<const FileText> text, RegIndex index,
                  const std::string& sourceName, std::uint64_t fileTime);

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
