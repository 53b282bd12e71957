// Windows: the library reads the machine's own registry; there is nothing to load.
#include "host_platform.h"
#include "platform/text.h"

std::u16string commandLineText(const std::string& word) { return platform::fromAnsi(word); }

bool prepareRegistry(const HostOptions& options, std::string& error) {
  if (options.registryFile) {
    error = "--registry is not available on Windows: the detector reads this machine's registry";
    return false;
  }
  return true;
}

bool registryStartupFailed(std::string&) { return false; }
