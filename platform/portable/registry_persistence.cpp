#include "registry_persistence.h"

#include <cstdio>
#include <cstdlib>

#include "atomic_file.h"
#include "platform/diagnostics.h"
#include "reg_file.h"
#include "registry_store.h"

namespace portable {

namespace {

struct Persistence {
  std::string path;
  std::string startupError;
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
      if (!store.changed()) return;
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

}  // namespace

void startPersistence(RegistryStore& store) {
  const char* file = std::getenv("WINPLAT_REGISTRY_FILE");
  if (!file || !*file) return;
  Persistence& state = persistence();
  state.path = file;
  std::string bytes;
  std::string error;
  bool missing = false;
  if (!readWholeFile(state.path, bytes, error, missing)) {
    if (!missing) {
      state.startupError = error;
      return;
    }
  } else {
    RegFileParse parsed = parseRegFile(bytes, state.path);
    if (!parsed.ok) {
      state.startupError = parsed.error;
      return;
    }
    applyRegFile(store, parsed.ops, false);
  }
  std::atexit(saveAtExit);
}

std::vector<RegSubtree> wholeRegistry(RegistryStore& store) {
  std::vector<RegSubtree> subtrees;
  for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser, Hive::ClassesRoot, Hive::Users}) {
    subtrees.push_back(RegSubtree{hiveName(hive), &store.root(hive), true});
  }
  return subtrees;
}

}  // namespace portable

std::string platform::startupError() {
  portable::registryStore();
  return portable::persistence().startupError;
}
