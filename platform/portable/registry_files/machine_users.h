// Reading a machine's users: the profiles it lists, and their registry files.
#pragma once

#include <string>

#include "portable/machine_mount.h"

namespace portable {

class RegistryInputFile;

// Opens the user's registry file below its folder, following no symbolic link; false with why.
// `shown` names it in messages.
bool openUserRegistry(const MachineUser& user, RegistryInputFile& file, std::string& shown, std::string& error);

// The user a hive given alone belongs to: the name of the folder holding it.
std::string userOfHive(const std::string& path);

}  // namespace portable
