// wendlow-host: a command-line host of the Wendlow library.
#include <algorithm>
#include <cstdio>
#include <new>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host_options.h"
#include "host_platform.h"
#include "json_output.h"
#include "platform/text.h"
#include "subcommands.h"

namespace {

// Runs the command on one machine, appending its rows; its exit status. A registry file
// found damaged while the command ran gives its error instead of a partial answer.
int runOnMachine(const Subcommand& command, const HostOptions& options, const WendlowExports& library,
                 const std::string& machine, const std::u16string* label, TextRows& rows, std::ostringstream& err) {
  std::string error;
  std::vector<std::string> notes;
  const bool used = useMachine(machine, options.quiet, notes, error);
  for (const std::string& note : notes) err << "wendlow-host: " << note << "\n";
  // A registry that cannot be used is empty, and a listing of nothing would hide that.
  if (!used || registryFailed(error)) {
    err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  const std::size_t before = rows.size();
  const int status = command.run(HostContext{options, library, label, rows, err});
  if (registryFailed(error)) {
    while (rows.size() > before) rows.removeLastRow();
    err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  return status;
}

// Runs the command line; what it prints is collected, so that a machine that cannot be read
// is reported before the answers of the others.
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
  std::vector<std::string> machines;
  if (int status = chooseMachines(options, machines, error); status != kExitSuccess) {
    err << "wendlow-host: " << error << "\n";
    return status;
  }

  WendlowLibrary library;
  if (!library.load(error)) {
    err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  // Several machines: each row starts with the machine's name as given.
  const bool several = machines.size() > 1;
  TextRows rows;
  int status = kExitSuccess;
  bool anyRead = false;
  for (const std::string& machine : machines) {
    const std::u16string label = platform::fromUtf8(machine);
    const int machineStatus =
        runOnMachine(*command, options, library.exports(), machine, several ? &label : nullptr, rows, err);
    if (machineStatus == kExitUsage) return kExitUsage;
    anyRead = anyRead || machineStatus != kExitError || rows.size() > 0;
    // 2 (an error) outweighs 1 (something not installed), which outweighs 0.
    status = std::max(status, machineStatus);
  }
  if (!anyRead) return status;

  std::vector<std::u16string> header = command->columns();
  if (several) header.insert(header.begin(), kMachineColumn);
  out = options.json ? jsonArrayOfObjects(header, rows) + "\n" : command->renderText(header, rows);
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
