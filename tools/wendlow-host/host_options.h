// The host's command line: global options anywhere, then a subcommand and its arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct HostOptions {
  std::int32_t mode = 1;
  std::optional<std::u16string> cachePath;     // --cache; absent: the library's default
  std::optional<std::string> registryFile;     // --registry (Linux only), as given
  bool json = false;                           // --json
  bool help = false;                           // --help / -h
  std::string subcommand;                      // first word that is no option
  std::vector<std::string> arguments;          // the words after it that are no option
};

// False with a message for an unknown option, a missing or malformed option value.
// `toText` turns a command-line word into UTF-16 the way this platform encodes it.
bool parseHostOptions(const std::vector<std::string>& words, HostOptions& options, std::string& error,
                      std::u16string (*toText)(const std::string&));

std::string hostUsage();
