// The test controls of portable/registry_control.h over the store itself: reset, machine,
// denials, injected failures, the clock. Loading and saving files: reg_file_control.cpp.
#include "portable/registry_control.h"
#include "registry/registry_store.h"

namespace portable {

namespace {

bool locate(win::HKEY root, std::u16string_view physicalPath, Hive& hive, PathView& path) {
  return predefinedHive(root, hive) && splitPath(physicalPath, path);
}

}  // namespace

void resetRegistry() {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.reset();
}

void setMachine(Machine machine) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.setMachine(machine);
}

Machine currentMachine() {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  return store.machine();
}

void setIsWow64ProcessPresent(bool present) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.setIsWow64ProcessPresent(present);
}

void denyAccess(win::HKEY root, std::u16string_view physicalPath, win::REGSAM bits) {
  Hive hive;
  PathView path;
  if (!locate(root, physicalPath, hive, path)) return;
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.deny(hive, path, bits);
}

void injectFailure(std::string_view function, unsigned firstCall, unsigned count, win::LONG result) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.injectFailure(function, firstCall, count, result);
}

bool lastWriteTime(win::HKEY root, std::u16string_view physicalPath, win::FILETIME& time) {
  Hive hive;
  PathView path;
  if (!locate(root, physicalPath, hive, path)) return false;
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  std::shared_ptr<RegistryKey> key = store.find(hive, path);
  if (!key) return false;
  time = toFileTime(key->lastWrite());
  return true;
}

void setClock(win::FILETIME next) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.clock().fix(fromFileTime(next));
}

void useRealClock() {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  store.clock().useReal();
}

}  // namespace portable
