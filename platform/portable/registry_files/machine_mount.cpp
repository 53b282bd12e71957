// Mounting a machine: locate its registry, tell the format by the contents, load it.
#include "portable/machine_mount.h"

#include <sys/stat.h>

#include <new>
#include <optional>

#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "portable/registry_control.h"
#include "registry_files/machine_locate.h"
#include "registry_files/machine_users.h"
#include "registry_files/reg_file.h"
#include "registry_files/registry_hive.h"
#include "registry_files/registry_input_file.h"
#include "registry_files/wine_registry.h"

namespace portable {

namespace {

// Loads the open file into the empty store; empty when done, else why not. `what` says
// what the file turned out to be.
std::string load(RegistryStore& store, const RegistryInputFile& file, const std::string& path, std::string& what,
                 MachineMount& result, WineKeys keys) {
  if (file.startsWith(kHiveMagic)) {
    std::string error;
    HiveKind kind = HiveKind::Software;
    if (!mountHive(store, file, path, HiveUse::AsFound, kind, error)) return error;
    if (kind == HiveKind::User) {
      what = "a user's hive";
      result.user = userOfHive(path);
    } else {
      what = "an offline SOFTWARE hive";
    }
    const std::string pending = pendingChangesWarning(file, path);
    if (!pending.empty()) result.warnings.push_back(pending);
    return {};
  }
  if (file.startsWith(std::string(kWineRegistryMagic))) {
    // Mapped, as libhivex maps a hive.
    std::string error;
    std::shared_ptr<const WineText> text = mapWineText(file.fd(), file.size(), error);
    if (!text) return path + ": " + error;
    WineArch arch = WineArch::Unknown;
    error = applyWineRegistry(store, std::move(text), path, file.modificationTime(), arch, keys);
    if (arch == WineArch::Win32) store.setMachine(Machine::x86);
    if (arch == WineArch::Win64) store.setMachine(Machine::x64);
    what = arch == WineArch::Win32   ? "a 32-bit Wine prefix's registry"
           : arch == WineArch::Win64 ? "a 64-bit Wine prefix's registry"
                                     : "a Wine prefix's registry";
    return error;
  }
  what = "a registry export";
  // Mapped and read on demand, as a hive is; a file that deletes keys is read whole, in order.
  std::string error;
  std::shared_ptr<const FileText> text = mapFileText(file.fd(), file.size(), error);
  if (!text) return path + ": " + error;
  RegIndex index;
  error = indexRegFile(text->bytes(), path, index);
  if (!error.empty()) return error;
  if (!index.deletions) {
    mountRegFile(store, std::move(text), std::move(index), path, file.modificationTime());
    return {};
  }
  FileBytes bytes(file.fd(), file.size());
  return applyRegFile(store, bytes, path, false, file.modificationTime());
}

// Empties the store and mounts what `open` opens: the machine or the user it names.
// `machine`: the architecture to keep, where the file does not name one (a Wine file does).
template <typename Open>
MachineMount mount(const std::string& path, const Open& open, WineKeys keys = WineKeys::Machine,
                   std::optional<Machine> machine = std::nullopt) {
  MachineMount result;
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.reset();
  if (machine) store.setMachine(*machine);
  beginMachineMount();
  std::string error;
  try {
    RegistryInputFile file;
    std::string shown = path;
    if (open(file, shown, result, error)) {
      std::string what;
      error = load(store, file, shown, what, result, keys);
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
    result.user.clear();
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace

MachineMount mountMachine(const std::string& path) {
  return mount(path, [&path](RegistryInputFile& file, std::string& shown, MachineMount& result, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      std::string relative;
      const bool opened = findMachineRegistry(path, file, relative, error);
      shown = joinPath(path, relative);
      result.found = relative;
      return opened;
    }
    bool missing = false;
    return file.open(path, error, missing);
  });
}

MachineMount mountUser(const MachineUser& user) {
  MachineMount result = mount(
      user.path,
      [&user](RegistryInputFile& file, std::string& shown, MachineMount&, std::string& error) {
        return openUserRegistry(user, file, shown, error);
      },
      WineKeys::User, currentMachine());
  if (result.ok) result.user = user.name;
  return result;
}

}  // namespace portable
