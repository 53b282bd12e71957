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
  // A user's hive (NTUSER.DAT) given alone: its user, named after the folder holding it.
  std::string user;
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

// A user of a machine, whose own registrations (HKEY_CURRENT_USER) can be read.
struct MachineUser {
  std::string name;  // the profile's folder name, as the volume spells it
  std::string sid;   // the security identifier the machine lists the profile under
  std::string path;  // the user's registry file, for messages: NTUSER.DAT, or a Wine prefix's user.reg
  // Where it is read from: below this folder, by these names, no symbolic link followed.
  std::string folder;
  std::vector<std::string> below;
};

struct MachineUsers {
  std::vector<MachineUser> users;     // in the order the machine lists them
  std::vector<std::string> problems;  // one line for each profile skipped: why it cannot be read
  std::string note;                   // why there are none to look for, when the machine says nothing of users
};

// The users of the machine at `path`, which must be the machine mounted last. A folder
// holding Windows (a volume, or a folder with Windows or WINNT in it) lists its profiles in
// SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList: each ProfileImagePath is read
// below `path` (%SystemDrive%, %SystemRoot% and the system drive's letter resolved against it)
// and the profile's NTUSER.DAT found there. A profile whose path leads out of the folder
// (another drive, "..", a symbolic link) or whose hive is missing or no regular file is
// skipped with a problem line. A Wine prefix has one user: its user.reg, named after its
// drive_c/users folder. Nothing is written.
MachineUsers machineUsers(const std::string& path);

// Reads the user's registry in place of the machine's HKEY_LOCAL_MACHINE\SOFTWARE (the user's
// Software key becomes it), so that a detector lists the user's registrations (Uninstall,
// App Paths) exactly as it lists a machine's. The machine's architecture stays as the last
// mount left it. Like mountMachine otherwise.
MachineMount mountUser(const MachineUser& user);

}  // namespace portable
