// Mounting a Windows machine to inspect: the stand-in registry becomes that machine's, read
// from what a user brings. Not part of the Windows seam: hosts that inspect machines (and
// tests) include this.
#pragma once

#include <string>
#include <vector>

namespace portable {

struct MachineMount {
  bool ok = false;
  std::string error;     // why the machine cannot be read: "<file>: <why>" or "<file>:<line>: <what>"
  std::string found;     // for a folder: the file read in it and what it is, e.g.
                         // "Windows/System32/config/SOFTWARE (an offline SOFTWARE hive)"
  std::vector<std::string> warnings;  // what the reader should know, e.g. changes pending in a hive's logs
};

// Empties the registry and reads the machine at `path` into it: a registry export (.reg),
// an offline SOFTWARE hive, a Wine prefix's system.reg, or a folder holding one of them (a
// Wine prefix, a config folder, a Windows folder, a volume). Told apart by their contents.
// The machine's architecture follows a Wine file's #arch (win32: one registry view); else
// WINPLAT_MACHINE. Read-only: nothing is ever written back, also not into a file that
// WINPLAT_REGISTRY_FILE named before. Call it again for the next machine, after every handle
// and every detector of the last one is gone. An offline hive is read on demand: damage
// found later is reported by platform::startupError().
MachineMount mountMachine(const std::string& path);

}  // namespace portable
