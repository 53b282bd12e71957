// An offline hive file (a disk image's Windows\System32\config\SOFTWARE) as the stand-in's
// HKLM\SOFTWARE, read with libhivex. Read-only and read on demand: a key's subkeys and
// values are read from the file only when something asks for them, and nothing is ever
// written back. Its Wow6432Node subtree serves the 32-bit view through the usual
// redirection.
#pragma once

#include <string>

namespace portable {

class RegistryInputFile;
class RegistryStore;

// The first bytes of every hive file.
inline const std::string kHiveMagic = "regf";

// Mounts the hive under HKEY_LOCAL_MACHINE\SOFTWARE (the store's lock held). False, with
// "<path>: <why>", when the file is no hive that can be read. A hive that turns out to be
// damaged where it is read later is reported through reportRegistryFault.
bool mountSoftwareHive(RegistryStore& store, const RegistryInputFile& file, const std::string& path,
                       std::string& error);

// Empty when the hive's two sequence numbers agree. Otherwise the hive was copied with
// changes still pending in its transaction logs (SOFTWARE.LOG1, SOFTWARE.LOG2), which are not
// replayed: a warning that says so and names the logs lying beside it.
std::string pendingChangesWarning(const RegistryInputFile& file, const std::string& path);

}  // namespace portable
