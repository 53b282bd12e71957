#include "registry_persistence.h"

#include <cstdio>
#include <cstdlib>

#include "atomic_file.h"
#include "platform/diagnostics.h"
#include "reg_file.h"
#include "registry_hive.h"
#include "registry_input_file.h"
#include "registry_store.h"

namespace portable {

namespace {

struct Persistence {
  std::string path;
  std::string startupError;
  bool machineMounted = false;  // the registry is no longer the file's
};

Persistence& persistence() {
  static Persistence* state = new Persistence();
  return *state;
}

void saveAtExit() {
  try {
    RegistryStore& store = registryStore();
    std::string bytes;
    {
      auto lock = store.lock();
      if (!store.changed() || persistence().machineMounted) return;
      bytes = regFileBytes(wholeRegistry(store));
    }
    std::string error;
    if (!replaceFileAtomically(persistence().path, bytes, error)) {
      std::fprintf(stderr, "winplatform: the registry was not saved: %s\n", error.c_str());
    }
  } catch (...) {
    std::fprintf(stderr, "winplatform: the registry was not saved: out of memory\n");
  }
}

// Loads the file into the fresh store; false, with the reason, when it cannot be used.
// `saveBack`: whether changes go back into it at exit (never into a hive).
bool load(RegistryStore& store, const std::string& path, std::string& error, bool& saveBack) {
  RegistryInputFile file;
  bool missing = false;
  saveBack = true;
  if (!file.open(path, error, missing)) return missing;  // a missing file starts empty
  if (file.startsWith(kHiveMagic)) {
    saveBack = false;
    return mountSoftwareHive(store, file, path, error);
  }
  FileBytes bytes(file.fd(), file.size());
  error = applyRegFile(store, bytes, path, false, file.modificationTime());
  return error.empty();
}

}  // namespace

void startPersistence(RegistryStore& store) {
  const char* file = std::getenv("WINPLAT_REGISTRY_FILE");
  if (!file || !*file) return;
  Persistence& state = persistence();
  std::string error;
  bool saveBack = false;
  bool loaded = false;
  try {
    state.path = file;
    loaded = load(store, state.path, error, saveBack);
  } catch (...) {
    error = std::string(file) + ": out of memory while loading the registry";
  }
  if (!loaded) {
    // Whatever part of it was read goes: the process sees an empty registry.
    store.reset();
    state.startupError = error;
    return;
  }
  if (saveBack) std::atexit(saveAtExit);
}

void reportRegistryFault(const std::string& message) {
  Persistence& state = persistence();
  if (state.startupError.empty()) state.startupError = message;
}

void beginMachineMount() {
  Persistence& state = persistence();
  state.machineMounted = true;
  state.startupError.clear();
}

void setMountError(const std::string& message) { persistence().startupError = message; }

std::vector<RegSubtree> wholeRegistry(RegistryStore& store) {
  std::vector<RegSubtree> subtrees;
  for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser, Hive::ClassesRoot, Hive::Users}) {
    subtrees.push_back(RegSubtree{hiveName(hive), &store.root(hive), true});
  }
  return subtrees;
}

}  // namespace portable

std::string platform::startupError() {
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  return portable::persistence().startupError;
}
