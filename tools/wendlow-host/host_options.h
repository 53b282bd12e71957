// The host's command line: global options anywhere, then a subcommand and its arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct HostOptions {
  std::int32_t mode = 1;
  std::optional<std::u16string> cachePath;     // --cache; absent: the library's default
  std::vector<std::string> registries;         // each --registry (Linux only), as given, in order
  bool json = false;                           // --json
  bool users = false;                          // --users: each user's entries too
  bool quiet = false;                          // --quiet
  bool help = false;                           // --help / -h
  std::string subcommand;                      // first word that is no option
  std::vector<std::string> arguments;          // the words after it that are no option
};

// Exit statuses, as --help and the README tell them.
constexpr int kExitSuccess = 0;       // done; query and wildcard: everything asked about is installed
constexpr int kExitNotInstalled = 1;  // query and wildcard: something asked about is not installed
constexpr int kExitError = 2;         // the registry file, the library or a step failed
constexpr int kExitUsage = 64;        // the command line is wrong

// The words are UTF-8 (on Windows, taken from the wide command line). False with a
// message for an unknown option, a missing or malformed option value.
bool parseHostOptions(const std::vector<std::string>& words, HostOptions& options, std::string& error);

std::string hostUsage();
