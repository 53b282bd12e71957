// wendlow-host: a command-line host of the Wendlow library.
#include <iostream>
#include <string>
#include <vector>

#include "host_options.h"
#include "host_platform.h"
#include "subcommands.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  HostOptions options;
  std::string error;
  if (!parseHostOptions(words, options, error, commandLineText)) {
    std::cerr << "wendlow-host: " << error << "\n\n" << hostUsage();
    return 64;
  }
  if (options.help) {
    std::cout << hostUsage();
    return 0;
  }
  const Subcommand* command = findSubcommand(options.subcommand);
  if (command == nullptr) {
    if (!options.subcommand.empty()) std::cerr << "wendlow-host: unknown command " << options.subcommand << "\n\n";
    std::cerr << hostUsage();
    return 64;
  }
  if (!prepareRegistry(options, error)) {
    std::cerr << "wendlow-host: " << error << "\n";
    return 64;
  }

  WendlowLibrary library;
  if (!library.load(error)) {
    std::cerr << "wendlow-host: " << error << "\n";
    return 1;
  }
  // The registry file is read when first used; a malformed one leaves it empty, and a
  // listing of nothing would hide that.
  std::string startupMessage;
  if (registryStartupFailed(startupMessage)) {
    std::cerr << "wendlow-host: " << startupMessage << "\n";
    return 2;
  }
  return command->run(HostContext{options, library.exports(), std::cout, std::cerr});
}
