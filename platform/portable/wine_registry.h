// Wine's own registry files: a prefix's system.reg, which its wineserver writes. The first
// line is "WINE REGISTRY Version 2"; each section "[path] seconds" names a key relative to
// HKEY_LOCAL_MACHINE, "#time=" its last-write time, "#arch=" the prefix's kind; values are
// written much as in a .reg export, with \x escapes for characters beyond ASCII.
#pragma once

#include <string>
#include <string_view>

#include "reg_file.h"

namespace portable {

class RegistryStore;

inline constexpr std::string_view kWineRegistryMagic = "WINE REGISTRY Version 2";

enum class WineArch { Unknown, Win32, Win64 };

// Reads the whole file; empty when it is well-formed, else "<source>:<line>: <what>". Keys
// come as sections of HKEY_LOCAL_MACHINE, each followed by its recorded times (the section
// line's seconds, then #time). Symbolic links (#link: keys Wine shares between the views)
// are left out. `arch` receives the #arch line.
std::string parseWineRegistry(ByteSource& bytes, const std::string& sourceName, RegFileSink& sink, WineArch& arch);

// Loads such a file into the store (its lock held). Keys take their recorded times; a key
// the file leaves implicit (it has subkeys and no values) takes the time of the first
// section below it, as Wine itself does when it loads the file.
std::string applyWineRegistry(RegistryStore& store, ByteSource& bytes, const std::string& sourceName,
                              WineArch& arch);

}  // namespace portable
