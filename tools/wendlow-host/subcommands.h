// The host's subcommands: one table, one file per command (cmd_<name>.cpp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host_options.h"
#include "text_rows.h"
#include "wendlow_library.h"

struct HostContext {
  const HostOptions& options;
  const WendlowExports& library;
  // The machine's name as given, which leads each row when several are inspected; null
  // when there is one.
  const std::u16string* machine;
  TextRows& rows;  // a listing can run to megabytes: collected as cells, rendered once
  std::ostream& err;
};

struct Subcommand {
  const char* name;
  const char* argumentsHelp;  // e.g. "NAME"; empty when the command takes none
  const char* summary;
  // Runs on the machine the library sees now, appending its rows; the exit status for
  // this machine (kExitUsage for a command line that no machine can serve).
  int (*run)(const HostContext& context);
  // The rows' columns (without the leading Machine).
  const std::vector<std::u16string>& (*columns)();
  // The rows as text; `header` starts with "Machine" when several machines were inspected.
  std::string (*renderText)(const std::vector<std::u16string>& header, const TextRows& rows);
};

inline constexpr char16_t kMachineColumn[] = u"Machine";

const std::vector<Subcommand>& subcommands();
// Null when there is no such command.
const Subcommand* findSubcommand(const std::string& name);

// Commands.
int runList(const HostContext& context);
const std::vector<std::u16string>& listColumns();
// query, wildcard, save and refresh, in the order given on the command line.
int runSession(const HostContext& context);
const std::vector<std::u16string>& sessionColumns();
std::string renderSession(const std::vector<std::u16string>& header, const TextRows& rows);
