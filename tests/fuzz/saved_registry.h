// The whole stand-in registry as the bytes of the .reg file it would be saved to.
#pragma once

#include <string>

#include "registry/registry_store.h"
#include "registry_files/reg_file.h"
#include "registry_files/registry_persistence.h"

inline std::string savedRegistry() {
  portable::RegistryStore& store = portable::registryStore();
  auto lock = store.lock();
  return portable::regFileBytes(portable::wholeRegistry(store));
}
