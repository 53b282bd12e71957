// Linux: the stand-in registry is loaded from a .reg file named by WINPLAT_REGISTRY_FILE
// when it is first used. Without --registry or that variable, the bundled sample machine.
#include <cstdlib>

#include "host_platform.h"
#include "platform/diagnostics.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"

#ifndef WENDLOW_SAMPLE_REGISTRY
#define WENDLOW_SAMPLE_REGISTRY ""
#endif

std::u16string commandLineText(const std::string& word) { return platform::fromUtf8(word); }

bool prepareRegistry(const HostOptions& options, std::string& error) {
  const char* chosen = nullptr;
  if (options.registryFile) {
    chosen = options.registryFile->c_str();
  } else if (std::getenv("WINPLAT_REGISTRY_FILE") == nullptr) {
    chosen = WENDLOW_SAMPLE_REGISTRY;
  }
  if (chosen == nullptr) return true;  // the variable already names one
  if (*chosen == '\0') {
    error = "no registry file: pass --registry FILE.reg";
    return false;
  }
  if (setenv("WINPLAT_REGISTRY_FILE", chosen, 1) != 0) {
    error = "cannot set WINPLAT_REGISTRY_FILE";
    return false;
  }
  return true;
}

bool registryStartupFailed(std::string& message) {
  // The file is read on the registry's first use: make that happen here.
  platform::unique_hkey probe;
  win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, u"Software", 0, win::KEY_READ, probe.put());
  message = platform::startupError();
  return !message.empty();
}
