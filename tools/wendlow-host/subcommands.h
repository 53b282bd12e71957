// The host's subcommands: one table, one file per command (cmd_<name>.cpp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host_options.h"
#include "wendlow_library.h"

struct HostContext {
  const HostOptions& options;
  const WendlowExports& library;
  std::string& out;  // a listing can run to megabytes: collected without a stream's copies
  std::ostream& err;
};

struct Subcommand {
  const char* name;
  const char* argumentsHelp;  // e.g. "NAME"; empty when the command takes none
  const char* summary;
  int (*run)(const HostContext& context);  // the process exit code
};

const std::vector<Subcommand>& subcommands();
// Null when there is no such command.
const Subcommand* findSubcommand(const std::string& name);

// Commands.
int runList(const HostContext& context);
// query, wildcard, save and refresh, in the order given on the command line.
int runSession(const HostContext& context);
