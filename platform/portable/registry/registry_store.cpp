#include "registry/registry_store.h"

#include <cstdlib>
#include <cstring>

#include "shared/name_folding.h"

namespace portable {

namespace {

Machine machineFromEnvironment() {
  const char* value = std::getenv("WINPLAT_MACHINE");
  return (value && std::strcmp(value, "x86") == 0) ? Machine::x86 : Machine::x64;
}

constexpr win::REGSAM kGenericRead = 0x80000000;
constexpr win::REGSAM kGenericWrite = 0x40000000;
constexpr win::REGSAM kGenericExecute = 0x20000000;
constexpr win::REGSAM kGenericAll = 0x10000000;

}  // namespace

win::REGSAM mapAccess(win::REGSAM samDesired, win::REGSAM denied) {
  win::REGSAM mapped = samDesired;
  if (mapped & (kGenericRead | kGenericExecute)) mapped |= win::KEY_READ;
  if (mapped & kGenericWrite) mapped |= win::KEY_WRITE;
  if (mapped & kGenericAll) mapped |= win::KEY_ALL_ACCESS;
  if (mapped & kMaximumAllowed) mapped |= win::KEY_ALL_ACCESS & ~denied;
  return mapped & win::KEY_ALL_ACCESS;
}

RegistryStore::RegistryStore() {
  machine_ = machineFromEnvironment();
  std::uint64_t now = clock_.next();
  for (int i = 0; i < kHiveCount; ++i) {
    roots_[i] = std::make_shared<RegistryKey>(hiveName(static_cast<Hive>(i)), nullptr, now);
    predefined_[i].key = roots_[i];
    predefined_[i].hive = static_cast<Hive>(i);
    predefined_[i].granted = win::KEY_ALL_ACCESS;
  }
}

std::shared_ptr<RegistryKey> RegistryStore::knownParent(Hive hive, const PathView& physical) const {
  const FoundParent& known = lastParent_;
  if (!known.key || known.key->deleted() || known.hive != hive || known.path.size() + 1 != physical.size()) {
    return nullptr;
  }
  for (std::size_t i = 0; i < known.path.size(); ++i) {
    if (!sameName(known.path[i], physical[i])) return nullptr;
  }
  return known.key;
}

std::shared_ptr<RegistryKey> RegistryStore::find(Hive hive, const PathView& physical) {
  if (physical.empty()) return roots_[static_cast<int>(hive)];
  std::shared_ptr<RegistryKey> parent = knownParent(hive, physical);
  if (!parent) {
    parent = roots_[static_cast<int>(hive)];
    for (std::size_t i = 0; i + 1 < physical.size(); ++i) {
      parent = parent->findChild(physical[i]);
      if (!parent) return nullptr;
    }
    lastParent_ = FoundParent{hive, KeyPath(physical.begin(), physical.end() - 1), parent};
  }
  return parent->findChild(physical.back());
}

const OpenKey* RegistryStore::lookup(win::HKEY handle) const {
  Hive hive;
  if (predefinedHive(handle, hive)) return &predefined_[static_cast<int>(hive)];
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == handles_.end() ? nullptr : &it->second;
}

win::HKEY RegistryStore::allocate(OpenKey key) {
  std::uintptr_t value = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(value, std::move(key));
  return reinterpret_cast<win::HKEY>(value);
}

bool RegistryStore::release(win::HKEY handle) {
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == handles_.end()) return false;
  std::shared_ptr<RegistryKey> key = std::move(it->second.key);
  handles_.erase(it);
  // A listing reads tens of thousands of keys of a hive once each: what was read from the
  // file goes back to it rather than staying in memory.
  key->forgetValuesAsRead();
  return true;
}

std::u16string RegistryStore::denialKey(Hive hive, const PathView& physical) {
  std::u16string key(1, static_cast<char16_t>(u'0' + static_cast<int>(hive)));
  for (std::u16string_view part : physical) {
    key += u'\\';
    key += foldName(part);
  }
  return key;
}

win::REGSAM RegistryStore::deniedAccess(Hive hive, const PathView& physical) const {
  if (denials_.empty()) return 0;
  auto it = denials_.find(denialKey(hive, physical));
  return it == denials_.end() ? 0 : it->second;
}

void RegistryStore::deny(Hive hive, const PathView& physical, win::REGSAM bits) {
  std::u16string key = denialKey(hive, physical);
  if (bits == 0) {
    denials_.erase(key);
  } else {
    denials_[key] |= bits;
  }
}

void RegistryStore::injectFailure(std::string_view function, unsigned firstCall, unsigned count,
                                  win::LONG result) {
  injections_[std::string(function)] = Injection{0, firstCall, count, result};
  injecting_.store(true, std::memory_order_release);
}

std::optional<win::LONG> RegistryStore::injected(std::string_view function) {
  if (injections_.empty()) return std::nullopt;
  auto it = injections_.find(function);
  if (it == injections_.end()) return std::nullopt;
  Injection& injection = it->second;
  ++injection.calls;
  if (injection.calls >= injection.first && injection.calls - injection.first < injection.count) {
    return injection.result;
  }
  return std::nullopt;
}

void RegistryStore::reset() {
  handles_.clear();
  lastParent_ = FoundParent();
  // The old keys go first, so that a reset after running out of memory has room.
  for (int i = 0; i < kHiveCount; ++i) {
    predefined_[i].key.reset();
    roots_[i].reset();
  }
  std::uint64_t now = clock_.next();
  for (int i = 0; i < kHiveCount; ++i) {
    roots_[i] = std::make_shared<RegistryKey>(hiveName(static_cast<Hive>(i)), nullptr, now);
    predefined_[i].key = roots_[i];
  }
  denials_.clear();
  injections_.clear();
  injecting_.store(false, std::memory_order_release);
  clock_.useReal();
  machine_ = machineFromEnvironment();
  isWow64ProcessPresent_ = true;
  changed_ = true;
}

namespace {

StoreStartup& storeStartup() {
  static StoreStartup startup = nullptr;
  return startup;
}

}  // namespace

void attachStoreStartup(StoreStartup startup) { storeStartup() = startup; }

RegistryStore& registryStore() {
  // Never destroyed: code that runs during exit may still use the registry.
  static RegistryStore* store = [] {
    auto* created = new RegistryStore();
    if (StoreStartup startup = storeStartup()) startup(*created);
    return created;
  }();
  return *store;
}

}  // namespace portable
