// Finding a machine's registry inside a folder: a Wine prefix (its system.reg), a config
// folder (its SOFTWARE hive), a Windows folder or a volume or folder holding an installation
// (Windows or WINNT, then System32/config/SOFTWARE). Names are compared without regard to
// case, as a volume may spell them WINDOWS, WINNT, system32 or CONFIG. Nothing below the
// folder given is reached through a symbolic link, and nothing is written.
#pragma once

#include <string>

namespace portable {

class RegistryInputFile;

// Opens the registry file of the machine in `folder`. True with `file` open and `relative`
// its path below the folder, as the folder spells it; false with `error`, which names the
// places looked at when none held a registry, or why the one found cannot be opened.
bool findMachineRegistry(const std::string& folder, RegistryInputFile& file, std::string& relative,
                         std::string& error);

}  // namespace portable
