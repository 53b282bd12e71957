#include "subcommands.h"

#include "text_table.h"

const std::vector<Subcommand>& subcommands() {
  static const std::vector<Subcommand> table = {
      {"list", "", "list the uninstall entries", runList, listColumns, renderTable},
      // These four are steps on one detector and may follow one another: query a save.
      {"query", "NAME", "is NAME installed (exact)", runSession, sessionColumns, renderSession},
      {"wildcard", "PATTERN", "is anything matching PATTERN (* only) installed", runSession, sessionColumns,
       renderSession},
      {"save", "", "SaveDetectorCache", runSession, sessionColumns, renderSession},
      {"refresh", "", "RefreshCache", runSession, sessionColumns, renderSession},
  };
  return table;
}

const Subcommand* findSubcommand(const std::string& name) {
  for (const Subcommand& command : subcommands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}
