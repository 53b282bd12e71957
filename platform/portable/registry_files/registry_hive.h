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
// An offline hive holds a machine's SOFTWARE, or a user's registry (NTUSER.DAT, the user's
// HKEY_CURRENT_USER), whose root holds Software and no Microsoft key.
enum class HiveKind { Software, User };
// Whether the kind is told from the contents, or the hive taken as a SOFTWARE hive.
enum class HiveUse { AsSoftware, AsFound };

// Mounts the hive, read on demand, as HKEY_LOCAL_MACHINE\SOFTWARE: a SOFTWARE hive whole,
// a user's hive by its Software key, so that the machine's registrations there read as the
// user's do. `kind` says which it was. False with why the file is no hive.
bool mountHive(RegistryStore& store, const RegistryInputFile& file, const std::string& path, HiveUse use,
               HiveKind& kind, std::string& error);

// Empty when the hive's two sequence numbers agree. Otherwise the hive was copied with
// changes still pending in its transaction logs (SOFTWARE.LOG1, SOFTWARE.LOG2), which are not
// replayed: a warning that says so and names the logs lying beside it.
std::string pendingChangesWarning(const RegistryInputFile& file, const std::string& path);

}  // namespace portable
