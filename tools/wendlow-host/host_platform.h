// What differs between the Linux and the Windows build of the host (host_platform_*.cpp).
#pragma once

#include <string>
#include <vector>

#include "host_options.h"

// The command line's words after the program name, in UTF-8: on Windows taken from the
// wide command line, so that every name survives.
std::vector<std::string> commandLineWords(int argc, char** argv);

// The machines to inspect, in order, by the names shown for them: on Linux those of
// --registry; without it the one WINPLAT_REGISTRY_FILE names (an empty name) or the
// sample beside the program in a build tree. On Windows this machine (an empty name).
// kExitSuccess, or kExitUsage with a message.
int chooseMachines(const HostOptions& options, std::vector<std::string>& machines, std::string& error);

// Makes `machine` the registry the library sees from now on; every detector of the machine
// before must be gone. False with the reason. `notes` receives lines for standard error:
// the file found in a folder (unless `quiet`) and warnings about what was read.
// `user`: the user when the machine turned out to be a user's hive given alone.
bool useMachine(const std::string& machine, bool quiet, std::vector<std::string>& notes, std::string& user,
                std::string& error);

// A user of the machine in use (--users), by the names shown for it.
struct HostUser {
  std::string name;  // the profile's folder name
  std::string sid;
  std::size_t index = 0;  // the platform's own record of where to read it
};
// The users of `machine`, the machine in use. `problems` receives a line for each profile
// that cannot be read, `notes` what the reader should know (no users to look for).
std::vector<HostUser> machineUsers(const std::string& machine, std::vector<std::string>& problems,
                                   std::vector<std::string>& notes);
// Makes the user's own registrations the registry the library sees, as useMachine does.
bool useUser(const HostUser& user, std::vector<std::string>& notes, std::string& error);

// True, with the message, when the registry file cannot be used: refused when it was
// loaded, or found damaged where it was read (an offline hive is read on demand).
bool registryFailed(std::string& message);

// UTF-8 text to standard output or standard error. A Windows console gets it as wide
// characters, so that every name shows; anything else gets the UTF-8 bytes.
void writeStandardOutput(const std::string& utf8);
void writeStandardError(const std::string& utf8);
