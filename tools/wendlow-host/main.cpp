// wendlow-host: a command-line host of the Wendlow library.
#include <cstdio>
#include <new>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host_options.h"
#include "host_platform.h"
#include "subcommands.h"

namespace {

// Runs the command line; what it prints is collected, so that a registry file found
// damaged while the command ran gives its error instead of a partial answer.
int run(int argc, char** argv, std::string& out, std::ostringstream& err) {
  HostOptions options;
  std::string error;
  if (!parseHostOptions(commandLineWords(argc, argv), options, error)) {
    err << "wendlow-host: " << error << "\n\n" << hostUsage();
    return kExitUsage;
  }
  if (options.help) {
    out = hostUsage();
    return kExitSuccess;
  }
  const Subcommand* command = findSubcommand(options.subcommand);
  if (command == nullptr) {
    if (!options.subcommand.empty()) err << "wendlow-host: unknown command " << options.subcommand << "\n\n";
    err << hostUsage();
    return kExitUsage;
  }
  if (int status = prepareRegistry(options, error); status != kExitSuccess) {
    err << "wendlow-host: " << error << "\n";
    return status;
  }

  WendlowLibrary library;
  if (!library.load(error)) {
    err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  // A registry file that cannot be used leaves the registry empty, and a listing of
  // nothing would hide that.
  std::string registryError;
  if (registryFailed(registryError)) {
    err << "wendlow-host: " << registryError << "\n";
    return kExitError;
  }
  std::string answer;
  int status = command->run(HostContext{options, library.exports(), answer, err});
  if (registryFailed(registryError)) {
    err << "wendlow-host: " << registryError << "\n";
    return kExitError;
  }
  out = std::move(answer);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int status = kExitError;
  try {
    std::string out;
    std::ostringstream err;
    status = run(argc, argv, out, err);
    writeStandardError(err.str());
    writeStandardOutput(out);
  } catch (const std::bad_alloc&) {
    std::fputs("wendlow-host: out of memory\n", stderr);
    status = kExitError;
  } catch (...) {
    std::fputs("wendlow-host: unexpected failure\n", stderr);
    status = kExitError;
  }
  return status;
}
