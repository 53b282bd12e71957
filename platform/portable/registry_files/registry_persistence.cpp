#include "registry_files/registry_persistence.h"

#include <cstdio>
#include <cstdlib>

#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "registry_files/atomic_file.h"
#include "registry_files/reg_file.h"
#include "registry_files/registry_hive.h"
#include "registry_files/registry_input_file.h"

namespace portable {

namespace {

// The registry file's path, once a store was loaded from it.
std::string& persistencePath() {
  static std::string* path = new std::string();
  return *path;
}

void saveAtExit() {
  try {
    RegistryStore& store = registryStore();
    std::string bytes;
    {
      auto lock = store.lock();
      if (!store.changed() || machineMounted()) return;
      bytes = regFileBytes(wholeRegistry(store));
    }
    std::string error;
    if (!replaceFileAtomically(persistencePath(), bytes, error)) {
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
    HiveKind kind = HiveKind::Software;
    return mountHive(store, file, path, HiveUse::AsSoftware, kind, error);
  }
  FileBytes bytes(file.fd(), file.size());
  error = applyRegFile(store, bytes, path, false, file.modificationTime());
  return error.empty();
}

}  // namespace

void startPersistence(RegistryStore& store) {
  const char* file = std::getenv("WINPLAT_REGISTRY_FILE");
  if (!file || !*file) return;
  std::string error;
  bool saveBack = false;
  bool loaded = false;
  try {
    persistencePath() = file;
    loaded = load(store, persistencePath(), error, saveBack);
  } catch (...) {
    error = std::string(file) + ": out of memory while loading the registry";
  }
  if (!loaded) {
    // Whatever part of it was read goes: the process sees an empty registry.
    store.reset();
    setStartupError(error);
    return;
  }
  if (saveBack) std::atexit(saveAtExit);
}

// The store loads the file when it is first used.
[[maybe_unused]] const bool attached = (attachStoreStartup(&startPersistence), true);

std::vector<RegSubtree> wholeRegistry(RegistryStore& store) {
  std::vector<RegSubtree> subtrees;
  for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser, Hive::ClassesRoot, Hive::Users}) {
    subtrees.push_back(RegSubtree{hiveName(hive), &store.root(hive), true});
  }
  return subtrees;
}

}  // namespace portable
