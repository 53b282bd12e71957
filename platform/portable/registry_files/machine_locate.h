// Finding a machine's registry inside a folder: a Wine prefix (its system.reg), a config
// folder (its SOFTWARE hive), a Windows folder or a volume or folder holding an installation
// (Windows or WINNT, then System32/config/SOFTWARE). Names are compared without regard to
// case, as a volume may spell them WINDOWS, WINNT, system32 or CONFIG. Nothing below the
// folder given is reached through a symbolic link, and nothing is written.
#pragma once

#include <string>
#include <vector>

namespace portable {

class RegistryInputFile;

// Opens the registry file of the machine in `folder`. True with `file` open and `relative`
// its path below the folder, as the folder spells it; false with `error`, which names the
// places looked at when none held a registry, or why the one found cannot be opened.
bool findMachineRegistry(const std::string& folder, RegistryInputFile& file, std::string& relative,
                         std::string& error);

// `relative` below `folder`, with one slash between them.
inline std::string joinPath(const std::string& folder, const std::string& relative) {
  return folder + (folder.empty() || folder.back() == '/' ? "" : "/") + relative;
}

// How far openBelowFolder came.
enum class Reached {
  Opened,    // `file` is open
  Missing,   // a name on the way is not there, or not a folder
  Linked,    // a name on the way is a symbolic link, which is not followed
  Unusable,  // the file is there but cannot be read (`error` says why)
};

// Follows `names` (folders, then the file) from the open folder, each compared without
// regard to case, following no symbolic link. `relative` is the part of the path reached,
// as the folder spells it; `error` is set for a file that is unusable or itself a link.
Reached openBelowFolder(int folder, const std::string& shownFolder, const std::vector<std::string>& names,
                        RegistryInputFile& file, std::string& relative, std::string& error);

}  // namespace portable
