// What differs between the Linux and the Windows build of the host (host_platform_*.cpp).
#pragma once

#include <string>
#include <vector>

#include "host_options.h"

// The command line's words after the program name, in UTF-8: on Windows taken from the
// wide command line, so that every name survives.
std::vector<std::string> commandLineWords(int argc, char** argv);

// Chooses the registry the library will see; must run before anything touches the
// registry. kExitSuccess when it is ready; otherwise the exit status, with a message:
// kExitUsage for what this build cannot do, kExitError for a file that is not there.
int prepareRegistry(const HostOptions& options, std::string& error);

// True, with the message, when the registry file cannot be used: refused when it was
// loaded, or found damaged where it was read (an offline hive is read on demand).
bool registryFailed(std::string& message);

// UTF-8 text to standard output or standard error. A Windows console gets it as wide
// characters, so that every name shows; anything else gets the UTF-8 bytes.
void writeStandardOutput(const std::string& utf8);
void writeStandardError(const std::string& utf8);
