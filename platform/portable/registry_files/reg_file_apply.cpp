// Applying a .reg file to the store while it is read. Each section's key is found (or
// made) once, at its header, starting from the keys that the previous section shares.
#include <memory>
#include <utility>
#include <vector>

#include "registry/registry_store.h"
#include "registry_files/reg_file.h"
#include "shared/name_folding.h"

namespace portable {

namespace {

class Applier final : public RegFileSink {
 public:
  Applier(RegistryStore& store, std::uint64_t fileTime) : store_(store), fileTime_(fileTime) {}

  void section(Hive hive, const std::vector<std::u16string_view>& path, bool deletion) override {
    current_ = nullptr;
    if (deletion) return deleteKey(hive, path);
    current_ = ensureKey(hive, path);
  }

  void value(std::u16string_view name, win::DWORD type, const std::vector<win::BYTE>& data) override {
    current_->setValue(name, type, data.data(), data.size());
    current_->touch(nextStamp());
  }

  void removeValue(std::u16string_view name) override {
    if (current_->removeValue(name)) current_->touch(nextStamp());
  }

  void lastWrite(std::uint64_t stamp) override { times_.emplace_back(chain_.back(), stamp); }

  // Recorded times win over the stamps of the load itself.
  void finish(bool asChange) {
    if (fileTime_) store_.clock().atLeast(fileTime_);
    for (const auto& [key, stamp] : times_) {
      if (key->deleted()) continue;
      key->touch(stamp);
      store_.clock().atLeast(stamp);
    }
    if (asChange) store_.markChanged();
  }

 private:
  // The stamp for what the load changes: the file's own time when one is given.
  std::uint64_t nextStamp() { return fileTime_ ? fileTime_ : store_.stamp(); }

  // How many components of `path` the previous section's chain already holds.
  std::size_t sharedStart(Hive hive, const std::vector<std::u16string_view>& path) const {
    if (chain_.empty() || hive != chainHive_) return 0;
    std::size_t shared = 0;
    while (shared < path.size() && shared + 1 < chain_.size() && sameName(chain_[shared + 1]->name(), path[shared])) {
      ++shared;
    }
    return shared;
  }

  RegistryKey* ensureKey(Hive hive, const std::vector<std::u16string_view>& path) {
    std::size_t depth = sharedStart(hive, path);
    if (depth == 0) {
      chain_.assign(1, store_.rootKey(hive));
      chainHive_ = hive;
    } else {
      chain_.resize(depth + 1);
    }
    bool created = false;
    std::uint64_t stamp = 0;
    for (; depth < path.size(); ++depth) {
      RegistryKey& key = *chain_.back();
      chain_.push_back(key.findOrAddChild(path[depth], [&] {
        // One stamp for all that this section creates; the first parent records it.
        if (!created) {
          stamp = nextStamp();
          key.touch(stamp);
          created = true;
        }
        return stamp;
      }));
    }
    return chain_.back().get();
  }

  void deleteKey(Hive hive, const std::vector<std::u16string_view>& path) {
    chain_.clear();  // it may hold what goes now
    std::shared_ptr<RegistryKey> key = store_.rootKey(hive);
    for (std::u16string_view part : path) {
      key = key->findChild(part);
      if (!key) return;
    }
    RegistryKey* parent = key->parent();
    parent->removeChild(*key);
    parent->touch(nextStamp());
  }

  RegistryStore& store_;
  const std::uint64_t fileTime_;
  RegistryKey* current_ = nullptr;  // null in a deletion section
  Hive chainHive_ = Hive::LocalMachine;
  std::vector<std::shared_ptr<RegistryKey>> chain_;  // the current section's keys, root first
  std::vector<std::pair<std::shared_ptr<RegistryKey>, std::uint64_t>> times_;
};

}  // namespace

std::string applyRegFile(RegistryStore& store, ByteSource& bytes, const std::string& sourceName, bool asChange,
                         std::uint64_t fileTime) {
  Applier applier(store, fileTime);
  std::string error = parseRegFile(bytes, sourceName, applier);
  if (error.empty()) applier.finish(asChange);
  return error;
}

}  // namespace portable
