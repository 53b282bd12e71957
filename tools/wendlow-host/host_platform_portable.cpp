// Linux: the stand-in registry is loaded from the file named by WINPLAT_REGISTRY_FILE
// when it is first used. Without --registry or that variable, the bundled sample machine.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host_platform.h"
#include "platform/diagnostics.h"
#include "platform/registry.h"
#include "platform/resource.h"

#ifndef WENDLOW_SAMPLE_REGISTRY
#define WENDLOW_SAMPLE_REGISTRY ""
#endif

std::vector<std::string> commandLineWords(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

int prepareRegistry(const HostOptions& options, std::string& error) {
  const char* chosen = nullptr;
  if (options.registryFile) {
    chosen = options.registryFile->c_str();
  } else if (std::getenv("WINPLAT_REGISTRY_FILE") == nullptr) {
    chosen = WENDLOW_SAMPLE_REGISTRY;
  }
  if (chosen == nullptr) return kExitSuccess;  // the variable already names one
  if (*chosen == '\0') {
    error = "no registry file: pass --registry FILE";
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
