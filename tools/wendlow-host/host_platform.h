// What differs between the Linux and the Windows build of the host (host_platform_*.cpp).
#pragma once

#include <string>

#include "host_options.h"

// A command-line word as UTF-16 (UTF-8 on Linux, the ANSI code page on Windows).
std::u16string commandLineText(const std::string& word);

// Chooses the registry the library will see; must run before anything touches the
// registry. False, with a message, when the options ask for what this build cannot do.
bool prepareRegistry(const HostOptions& options, std::string& error);

// True, with the message, when the registry could not be set up (a malformed file).
bool registryStartupFailed(std::string& message);
