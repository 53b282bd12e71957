// Wine's own registry files: a prefix's system.reg, which its wineserver writes. The first
// line is "WINE REGISTRY Version 2"; each section "[path] seconds" names a key relative to
// HKEY_LOCAL_MACHINE, "#time=" its last-write time, "#arch=" the prefix's kind; values are
// written much as in a .reg export, with \x escapes for characters beyond ASCII.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win_types.h"
#include "registry_files/mapped_text.h"

namespace portable {

class RegistryStore;

inline constexpr std::string_view kWineRegistryMagic = "WINE REGISTRY Version 2";

enum class WineArch { Unknown, Win32, Win64 };

// One section of the file: where its line stands. Its path is read from the file again
// when it is needed: a prefix's file has thousands of sections, of which a listing needs few.
struct WineSection {
  std::size_t offset = 0;  // of the section's own line, at its '['
  std::size_t line = 0;    // that line's number
  std::uint64_t headerTime = 0;  // the section line's seconds as a FILETIME count; 0: none
  std::uint32_t depth = 0;       // the number of names in its path
};

struct WineIndex {
  WineArch arch = WineArch::Unknown;
  std::vector<WineSection> sections;  // in file order
  // Whether every key's sections lie together, its own first (see winePathLess): Wine
  // writes them so, mostly; else the reader sorts them.
  bool ordered = true;
};

// Lists the file's sections, checking its header, #arch and the section lines; what is
// written inside a section is checked when it is read. Empty when all is well, else
// "<source>:<line>: <what>".
// Whose keys a file is read as: a machine's (system.reg, relative to REGISTRY\\Machine) or a
// user's (user.reg, relative to REGISTRY\\User\\<SID>). A file relative to the other root is
// refused at its ";; All keys relative to" line.
enum class WineKeys { Machine, User };

std::string indexWineRegistry(std::string_view text, const std::string& sourceName, WineIndex& index,
                              WineKeys keys = WineKeys::Machine);

// A section's path, decoded, and where each name in it starts and ends.
struct WinePath {
  std::u16string text;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> parts;  // offset and length of each name
  std::u16string_view part(std::size_t index) const {
    return std::u16string_view(text).substr(parts[index].first, parts[index].second);
  }
};
// Reads the path of a section the index listed.
void readWinePath(std::string_view text, const WineSection& section, WinePath& path);

// The order that keeps every key's sections together, its own first: paths compared name
// by name, each name with ASCII lowered (as Wine orders them) and other letters
// upper-cased as the store compares them, a path before the longer ones it begins. Two
// names compare equal exactly when the store takes them for the same name.
int compareWineNames(std::u16string_view a, std::u16string_view b);
bool winePathLess(const WinePath& a, const WinePath& b);

// What a section says about its key: #time (else the section line's seconds) and #link.
struct WineKeyOptions {
  std::optional<std::uint64_t> time;
  bool link = false;
};
std::string readWineOptions(std::string_view text, const WineSection& section, const std::string& sourceName,
                            WineKeyOptions& options);

using WineValueSink = std::function<void(std::u16string_view name, win::DWORD type, const std::vector<win::BYTE>& data)>;
// The values of a section, in file order, checked line by line (following Wine's own
// reader, server/registry.c). Empty when the section is well-formed, else the first error.
std::string readWineValues(std::string_view text, const WineSection& section, const std::string& sourceName,
                           const WineValueSink& add);

// The bytes of such a file, held while keys are read from it.
using WineText = FileText;
inline std::shared_ptr<const WineText> wineTextInMemory(std::string bytes) { return fileTextInMemory(std::move(bytes)); }
inline std::shared_ptr<const WineText> mapWineText(int fd, std::uint64_t size, std::string& error) {
  return mapFileText(fd, size, error);
}

// Mounts such a file as the store's HKEY_LOCAL_MACHINE (the store's lock held, the store
// empty; a user's keys take the machine's place), read on demand like an offline hive: keys and values are read from the file when
// first needed, and a malformed line is reported (reportRegistryFault) when its section is
// read. Keys take their recorded times; a key the file leaves implicit (it has subkeys and
// no values) takes the time of the first section below it, as Wine gives it when it loads
// the file; symbolic links (#link, keys Wine shares between the views) are left out.
std::string applyWineRegistry(RegistryStore& store, std::shared_ptr<const WineText> text,
                              const std::string& sourceName, std::uint64_t fileTime, WineArch& arch,
                              WineKeys keys = WineKeys::Machine);

}  // namespace portable
