// The process's stand-in registry: hives, open handles, the simulated machine and the
// test controls. One mutex guards it all; callers hold lock() while they use it.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "registry/registry_key.h"
#include "registry/registry_views.h"
#include "registry/stamp_clock.h"

namespace portable {

constexpr win::REGSAM kDelete = 0x00010000;
constexpr win::REGSAM kMaximumAllowed = 0x02000000;

struct OpenKey {
  std::shared_ptr<RegistryKey> key;
  Hive hive = Hive::LocalMachine;
  std::u16string logicalPath;  // as the program named it, relative to the hive; components joined by backslashes
  win::REGSAM view = 0;  // KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0
  win::REGSAM granted = 0;
};

class RegistryStore {
 public:
  RegistryStore();

  std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

  RegistryKey& root(Hive hive) { return *roots_[static_cast<int>(hive)]; }
  const std::shared_ptr<RegistryKey>& rootKey(Hive hive) const { return roots_[static_cast<int>(hive)]; }
  // The key at a physical path, or null.
  std::shared_ptr<RegistryKey> find(Hive hive, const PathView& physical);

  // Null for a handle that is neither predefined nor open.
  const OpenKey* lookup(win::HKEY handle) const;
  win::HKEY allocate(OpenKey key);
  bool release(win::HKEY handle);

  std::uint64_t stamp() { return clock_.next(); }
  StampClock& clock() { return clock_; }

  Machine machine() const { return machine_; }
  void setMachine(Machine machine) { machine_ = machine; }
  bool isWow64ProcessPresent() const { return isWow64ProcessPresent_; }
  void setIsWow64ProcessPresent(bool present) { isWow64ProcessPresent_ = present; }

  win::REGSAM deniedAccess(Hive hive, const PathView& physical) const;
  void deny(Hive hive, const PathView& physical, win::REGSAM bits);

  void injectFailure(std::string_view function, unsigned firstCall, unsigned count, win::LONG result);
  // Whether any failure has been injected since the last reset; read without the lock.
  bool injecting() const { return injecting_.load(std::memory_order_acquire); }
  // The result injected into this call of the function, if any.
  std::optional<win::LONG> injected(std::string_view function);

  void markChanged() { changed_ = true; }
  // A change to the key's values or subkeys: a new last-write time, and the store is dirty.
  void recordChange(RegistryKey& key) {
    key.touch(stamp());
    markChanged();
  }
  bool changed() const { return changed_; }

  // Back to an empty registry with the start-up settings.
  void reset();

 private:
  struct Injection {
    unsigned calls = 0;
    unsigned first = 0;
    unsigned count = 0;
    win::LONG result = 0;
  };
  static std::u16string denialKey(Hive hive, const PathView& physical);

  // The parent of the key found last: programs open many subkeys of one key, each by its
  // whole path. Kept while it is not deleted (which a reset does not mark).
  struct FoundParent {
    Hive hive = Hive::LocalMachine;
    KeyPath path;
    std::shared_ptr<RegistryKey> key;
  };
  std::shared_ptr<RegistryKey> knownParent(Hive hive, const PathView& physical) const;

  std::mutex mutex_;
  std::shared_ptr<RegistryKey> roots_[kHiveCount];
  std::unordered_map<std::uintptr_t, OpenKey> handles_;
  std::uintptr_t nextHandle_ = 0x1000;
  OpenKey predefined_[kHiveCount];
  StampClock clock_;
  Machine machine_ = Machine::x64;
  bool isWow64ProcessPresent_ = true;
  std::map<std::u16string, win::REGSAM> denials_;
  std::map<std::string, Injection, std::less<>> injections_;
  std::atomic<bool> injecting_{false};
  FoundParent lastParent_;
  bool changed_ = false;
};

// The one store of the process; the first call also runs the attached start-up, which loads
// the registry file WINPLAT_REGISTRY_FILE names.
RegistryStore& registryStore();

// What fills a new store before its first use. The registry file's persistence attaches
// itself when the library is loaded: the library is shared, so that is before any caller
// can reach the store.
using StoreStartup = void (*)(RegistryStore& store);
void attachStoreStartup(StoreStartup startup);

// The access a request for samDesired is granted (generic rights mapped, view flags dropped).
win::REGSAM mapAccess(win::REGSAM samDesired, win::REGSAM denied);

}  // namespace portable
