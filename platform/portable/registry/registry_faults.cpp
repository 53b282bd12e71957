#include "registry/registry_faults.h"

#include "platform/diagnostics.h"
#include "registry/registry_store.h"

namespace portable {

namespace {

struct Faults {
  std::string startupError;
  bool machineMounted = false;  // the registry is no longer the file's
};

Faults& faults() {
  static Faults* state = new Faults();
  return *state;
}

}  // namespace

void reportRegistryFault(const std::string& message) {
  Faults& state = faults();
  if (state.startupError.empty()) state.startupError = message;
}

void setStartupError(const std::string& message) { faults().startupError = message; }

void beginMachineMount() {
  Faults& state = faults();
  state.machineMounted = true;
  state.startupError.clear();
}

void setMountError(const std::string& message) { faults().startupError = message; }

bool machineMounted() { return faults().machineMounted; }

}  // namespace portable

std::string platform::startupError() {
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  return portable::faults().startupError;
}
