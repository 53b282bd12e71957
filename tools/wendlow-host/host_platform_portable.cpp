// Linux: the stand-in registry is loaded from the file named by WINPLAT_REGISTRY_FILE
// when it is first used. Without --registry or that variable, the sample machine that a
// build tree keeps beside the program; an installed program has none and asks for one.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host_platform.h"
#include "platform/diagnostics.h"
#include "platform/registry.h"
#include "platform/resource.h"

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

int prepareRegistry(const HostOptions& options, std::string& error) {
  std::string sample;
  const char* chosen = nullptr;
  if (options.registryFile) {
    chosen = options.registryFile->c_str();
  } else if (std::getenv("WINPLAT_REGISTRY_FILE") == nullptr) {
    sample = sampleBesideProgram();
    chosen = sample.c_str();
  }
  if (chosen == nullptr) return kExitSuccess;  // the variable already names one
  if (*chosen == '\0') {
    error = "no machine to inspect: pass --registry FILE (a registry export or a SOFTWARE hive)";
    return kExitUsage;
  }
  // The stand-in starts a missing file empty (and writes it at exit); here that would
  // show a machine with nothing installed.
  struct stat info {};
  if (::stat(chosen, &info) != 0 && errno == ENOENT) {
    error = std::string(chosen) + ": cannot open: " + std::strerror(ENOENT);
    return kExitError;
  }
  if (setenv("WINPLAT_REGISTRY_FILE", chosen, 1) != 0) {
    error = "cannot set WINPLAT_REGISTRY_FILE";
    return kExitError;
  }
  return kExitSuccess;
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
