// Mounting a machine: locate its registry, tell the format by the contents, load it.
#include "portable/machine_mount.h"

#include <sys/stat.h>

#include <new>

#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "registry_files/machine_locate.h"
#include "registry_files/reg_file.h"
#include "registry_files/registry_hive.h"
#include "registry_files/registry_input_file.h"
#include "registry_files/wine_registry.h"

namespace portable {

namespace {

// Loads the open file into the empty store; empty when done, else why not. `what` says
// what the file turned out to be.
std::string load(RegistryStore& store, const RegistryInputFile& file, const std::string& path, std::string& what,
                 std::vector<std::string>& warnings) {
  if (file.startsWith(kHiveMagic)) {
    what = "an offline SOFTWARE hive";
    std::string error;
    if (!mountSoftwareHive(store, file, path, error)) return error;
    const std::string pending = pendingChangesWarning(file, path);
    if (!pending.empty()) warnings.push_back(pending);
    return {};
  }
  if (file.startsWith(std::string(kWineRegistryMagic))) {
    // Mapped, as libhivex maps a hive.
    std::string error;
    std::shared_ptr<const WineText> text = mapWineText(file.fd(), file.size(), error);
    if (!text) return path + ": " + error;
    WineArch arch = WineArch::Unknown;
    error = applyWineRegistry(store, std::move(text), path, file.modificationTime(), arch);
    if (arch == WineArch::Win32) store.setMachine(Machine::x86);
    if (arch == WineArch::Win64) store.setMachine(Machine::x64);
    what = arch == WineArch::Win32   ? "a 32-bit Wine prefix's registry"
           : arch == WineArch::Win64 ? "a 64-bit Wine prefix's registry"
                                     : "a Wine prefix's registry";
    return error;
  }
  what = "a registry export";
  FileBytes bytes(file.fd(), file.size());
  return applyRegFile(store, bytes, path, false, file.modificationTime());
}

}  // namespace

MachineMount mountMachine(const std::string& path) {
  MachineMount result;
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.reset();
  beginMachineMount();
  std::string error;
  try {
    RegistryInputFile file;
    std::string shown = path;
    struct stat info {};
    bool opened = false;
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      std::string relative;
      opened = findMachineRegistry(path, file, relative, error);
      shown = path + (path.empty() || path.back() == '/' ? "" : "/") + relative;
      result.found = relative;
    } else {
      bool missing = false;
      opened = file.open(path, error, missing);
    }
    if (opened) {
      std::string what;
      error = load(store, file, shown, what, result.warnings);
      if (!result.found.empty()) result.found += " (" + what + ")";
    }
  } catch (const std::bad_alloc&) {
    error = path + ": out of memory while loading the registry";
  }
  if (!error.empty()) {
    // Whatever part was read goes: the machine shows as unreadable, never as empty.
    store.reset();
    setMountError(error);
    result.error = error;
    result.warnings.clear();
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace portable
