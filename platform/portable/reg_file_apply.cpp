#include "reg_file.h"
#include "registry_store.h"

namespace portable {

namespace {

// The stamp for what the load changes: the file's own time when one is given.
struct LoadStamp {
  RegistryStore& store;
  std::uint64_t fileTime;
  std::uint64_t operator()() const { return fileTime ? fileTime : store.stamp(); }
};

RegistryKey& ensureKey(RegistryStore& store, const LoadStamp& nextStamp, Hive hive, const KeyPath& path) {
  RegistryKey* key = &store.root(hive);
  bool created = false;
  std::uint64_t stamp = 0;
  for (const std::u16string& part : path) {
    std::shared_ptr<RegistryKey> child = key->findChild(part);
    if (!child) {
      if (!created) {
        stamp = nextStamp();
        key->touch(stamp);
        created = true;
      }
      child = key->addChild(part, stamp);
    }
    key = child.get();
  }
  return *key;
}

}  // namespace

void applyRegFile(RegistryStore& store, const std::vector<RegFileOp>& ops, bool asChange, std::uint64_t fileTime) {
  const LoadStamp nextStamp{store, fileTime};
  std::vector<const RegFileOp*> times;
  for (const RegFileOp& op : ops) {
    switch (op.kind) {
      case RegFileOp::Kind::DeleteKey:
        if (std::shared_ptr<RegistryKey> key = store.find(op.hive, op.path)) {
          RegistryKey* parent = key->parent();
          parent->removeChild(*key);
          parent->touch(nextStamp());
        }
        break;
      case RegFileOp::Kind::CreateKey:
        ensureKey(store, nextStamp, op.hive, op.path);
        break;
      case RegFileOp::Kind::SetValue: {
        RegistryKey& key = ensureKey(store, nextStamp, op.hive, op.path);
        key.setValue(op.name, op.type, op.data);
        key.touch(nextStamp());
        break;
      }
      case RegFileOp::Kind::DeleteValue:
        if (std::shared_ptr<RegistryKey> key = store.find(op.hive, op.path)) {
          if (key->removeValue(op.name)) key->touch(nextStamp());
        }
        break;
      case RegFileOp::Kind::SetLastWrite:
        times.push_back(&op);
        break;
    }
  }
  if (fileTime) store.clock().atLeast(fileTime);
  // Recorded times win over the stamps of the load itself.
  for (const RegFileOp* op : times) {
    if (std::shared_ptr<RegistryKey> key = store.find(op->hive, op->path)) {
      key->touch(op->lastWrite);
      store.clock().atLeast(op->lastWrite);
    }
  }
  if (asChange) store.markChanged();
}

}  // namespace portable
