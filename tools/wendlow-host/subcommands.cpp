#include "subcommands.h"

const std::vector<Subcommand>& subcommands() {
  static const std::vector<Subcommand> table = {
      {"list", "", "list the uninstall entries", runList},
      // These four are steps on one detector and may follow one another: query a save.
      {"query", "NAME", "is NAME installed (exact)", runSession},
      {"wildcard", "PATTERN", "is anything matching PATTERN (* only) installed", runSession},
      {"save", "", "SaveDetectorCache", runSession},
      {"refresh", "", "RefreshCache", runSession},
  };
  return table;
}

const Subcommand* findSubcommand(const std::string& name) {
  for (const Subcommand& command : subcommands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}
