#include "registry_persistence.h"

#include <sys/stat.h>

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

// The file's modification time as a FILETIME count; 0 when it cannot be read.
std::uint64_t modificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || info.st_mtim.tv_sec < 0) return 0;
  constexpr std::uint64_t kUnixEpochInFileTime = 116444736000000000ull;
  return kUnixEpochInFileTime + static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 10000000ull +
         static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
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
    applyRegFile(store, parsed.ops, false, modificationTime(state.path));
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
