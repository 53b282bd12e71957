#include "subcommands.h"

const std::vector<Subcommand>& subcommands() {
  static const std::vector<Subcommand> table = {
      {"list", "", "list the uninstall entries", runList},
  };
  return table;
}

const Subcommand* findSubcommand(const std::string& name) {
  for (const Subcommand& command : subcommands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}
