// wendlow-host: a command-line host of the Wendlow library.
#include <algorithm>
#include <cstdio>
#include <new>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "heap_pages.h"
#include "host_options.h"
#include "host_platform.h"
#include "json_output.h"
#include "platform/text.h"
#include "subcommands.h"

namespace {

// Runs the command on the scope the library sees now (a machine, or a user of it), appending
// its rows; its exit status. A registry file found damaged while the command ran gives its
// error instead of a partial answer.
int runOnScope(const Subcommand& command, const HostContext& context) {
  std::string error;
  // A registry that cannot be used is empty, and a listing of nothing would hide that.
  if (registryFailed(error)) {
    context.err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  const std::size_t before = context.rows.size();
  const int status = command.run(context);
  if (registryFailed(error)) {
    while (context.rows.size() > before) context.rows.removeLastRow();
    context.err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  return status;
}

// Runs the command on one machine and, with --users, on each of its users; the exit status.
// `label`: the machine's name leading each row, when several are inspected.
int runOnMachine(const Subcommand& command, const HostOptions& options, const WendlowExports& library,
                 const std::string& machine, const std::u16string* label, TextRows& rows, std::ostringstream& err) {
  std::string error, hiveUser;
  std::vector<std::string> notes;
  const bool used = useMachine(machine, options.quiet, notes, hiveUser, error);
  for (const std::string& note : notes) err << "wendlow-host: " << note << "\n";
  if (!used) {
    err << "wendlow-host: " << error << "\n";
    return kExitError;
  }
  // query and wildcard answer once for all the scopes; list gives each scope's rows.
  ScopeAnswers answers;
  ScopeAnswers* across = options.users && command.run == runSession ? &answers : nullptr;
  std::vector<std::u16string> leading;
  if (label != nullptr) leading.push_back(*label);
  const std::vector<std::u16string> machineLeading = leading;
  if (options.users && across == nullptr) leading.insert(leading.end(), {platform::fromUtf8(hiveUser), u""});
  answers.scope = hiveUser.empty() ? u"the machine" : platform::fromUtf8(hiveUser);

  int status = runOnScope(command, HostContext{options, library, leading, rows, err, across});
  if (status == kExitUsage) return status;
  int errors = status == kExitError ? kExitError : kExitSuccess;
  if (options.users && hiveUser.empty()) {
    std::vector<std::string> problems;
    notes.clear();
    const std::vector<HostUser> users = machineUsers(machine, problems, notes);
    for (const std::string& note : notes) err << "wendlow-host: " << note << "\n";
    for (const std::string& problem : problems) err << "wendlow-host: " << problem << "\n";
    if (!problems.empty()) errors = kExitError;
    for (const HostUser& user : users) {
      notes.clear();
      const bool usable = useUser(user, notes, error);
      for (const std::string& note : notes) err << "wendlow-host: " << note << "\n";
      if (!usable) {
        err << "wendlow-host: " << error << "\n";
        errors = kExitError;
        continue;
      }
      if (across == nullptr) {
        leading[leading.size() - 2] = platform::fromUtf8(user.name);
        leading.back() = platform::fromUtf8(user.sid);
      }
      answers.scope = platform::fromUtf8(user.name);
      const int userStatus = runOnScope(command, HostContext{options, library, leading, rows, err, across});
      if (userStatus == kExitError) errors = kExitError;
      status = std::max(status, userStatus);
    }
  }
  if (across != nullptr) status = answerAcrossScopes(options, answers, machineLeading, rows);
  // 2 (an error) outweighs 1 (something not installed), which outweighs 0.
  return std::max(status, errors);
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
  if (options.users && command->run == runSession && !sessionAcrossScopes(options, error)) {
    err << "wendlow-host: " << error << "\n";
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
  const bool userColumns = options.users && command->run != runSession;
  if (userColumns) header.insert(header.begin(), {kUserColumn, kSidColumn});
  if (several) header.insert(header.begin(), kMachineColumn);
  if (options.json) {
    out = jsonArrayOfObjects(header, rows) + "\n";
  } else if (userColumns) {
    // The identifier is for programs: the table shows the user's name only.
    const std::size_t sid = several ? 2 : 1;
    header.erase(header.begin() + static_cast<std::ptrdiff_t>(sid));
    out = command->renderText(header, rows.withoutColumn(sid));
  } else {
    out = command->renderText(header, rows);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  useHugePagesForHeap();
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
