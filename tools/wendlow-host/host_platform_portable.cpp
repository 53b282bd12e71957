// Linux: each machine given is mounted into the stand-in registry in turn. Without
// --registry, the file WINPLAT_REGISTRY_FILE names (loaded when the registry is first used)
// or the sample machine that a build tree keeps beside the program; an installed program
// has none and asks for one.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host_platform.h"
#include "platform/diagnostics.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "portable/machine_mount.h"

namespace {

std::string sampleBesideProgram() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  path.replace(path.rfind('/') + 1, std::string::npos, "sample-machine.reg");
  return ::access(path.c_str(), F_OK) == 0 ? path : std::string();
}

}  // namespace

std::vector<std::string> commandLineWords(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

int chooseMachines(const HostOptions& options, std::vector<std::string>& machines, std::string& error) {
  if (!options.registries.empty()) {
    machines = options.registries;
  } else if (std::getenv("WINPLAT_REGISTRY_FILE") != nullptr) {
    machines.assign(1, std::string());  // loaded where the registry is first used
  } else {
    const std::string sample = sampleBesideProgram();
    if (sample.empty()) {
      error = "no machine to inspect: pass --registry PATH (a registry export, a SOFTWARE hive, "
              "a Wine prefix or a folder holding Windows)";
      return kExitUsage;
    }
    machines.assign(1, sample);
  }
  return kExitSuccess;
}

bool useMachine(const std::string& machine, bool quiet, std::vector<std::string>& notes, std::string& user,
                std::string& error) {
  if (machine.empty()) return true;
  const portable::MachineMount mounted = portable::mountMachine(machine);
  if (!mounted.ok) {
    error = mounted.error;
    return false;
  }
  if (!quiet && !mounted.found.empty()) notes.push_back(machine + ": reading " + mounted.found);
  notes.insert(notes.end(), mounted.warnings.begin(), mounted.warnings.end());
  user = mounted.user;
  return true;
}

namespace {

// Where the users of the machine in use are read from.
std::vector<portable::MachineUser>& knownUsers() {
  static std::vector<portable::MachineUser> users;
  return users;
}

}  // namespace

std::vector<HostUser> machineUsers(const std::string& machine, std::vector<std::string>& problems,
                                   std::vector<std::string>& notes) {
  portable::MachineUsers found = portable::machineUsers(machine);
  problems = std::move(found.problems);
  if (!found.note.empty()) notes.push_back(found.note);
  knownUsers() = std::move(found.users);
  std::vector<HostUser> users;
  for (std::size_t i = 0; i < knownUsers().size(); ++i) {
    users.push_back(HostUser{knownUsers()[i].name, knownUsers()[i].sid, i});
  }
  return users;
}

bool useUser(const HostUser& user, std::vector<std::string>& notes, std::string& error) {
  const portable::MachineMount mounted = portable::mountUser(knownUsers().at(user.index));
  if (!mounted.ok) {
    error = mounted.error;
    return false;
  }
  notes.insert(notes.end(), mounted.warnings.begin(), mounted.warnings.end());
  return true;
}

bool registryFailed(std::string& message) {
  // The file is read on the registry's first use: make that happen here.
  platform::unique_hkey probe;
  win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, u"Software", 0, win::KEY_READ, probe.put());
  message = platform::startupError();
  return !message.empty();
}

void writeStandardOutput(const std::string& utf8) {
  // The whole answer in one write, the only one to stdout: a stdio buffer would only copy
  // it, and allocating that buffer just after a large listing was freed costs glibc a
  // sweep over every small block freed.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

void writeStandardError(const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stderr); }
