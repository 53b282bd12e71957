#include "registry/registry_operations.h"

#include <cstring>

#include "registry/registry_store.h"

namespace portable {

namespace {

constexpr win::LONG kErrorBadPathname = 161;

// The handle's entry, checked for validity and for a key deleted meanwhile.
win::LONG usable(RegistryStore& store, win::HKEY handle, const OpenKey*& open) {
  open = store.lookup(handle);
  if (!open) return win::ERROR_INVALID_HANDLE;
  if (open->key->deleted()) return win::ERROR_KEY_DELETED;
  return win::ERROR_SUCCESS;
}

win::LONG usableWith(RegistryStore& store, win::HKEY handle, win::REGSAM needed, const OpenKey*& open) {
  win::LONG rc = usable(store, handle, open);
  if (rc != win::ERROR_SUCCESS) return rc;
  if ((open->granted & needed) != needed) return win::ERROR_ACCESS_DENIED;
  return win::ERROR_SUCCESS;
}

// Where a call on `base` with a relative path leads: the path as the program named it (the
// base handle's path, then the relative components) and where that lives. Both view the
// base handle's path and the caller's text, for the span of the call.
struct Target {
  PathView logical;
  PathView redirected;  // empty unless the path lives elsewhere
  win::REGSAM view = 0;

  const PathView& physical() const { return redirected.empty() ? logical : redirected; }
};

Target targetOf(const RegistryStore& store, const OpenKey& base, PathView relative, win::REGSAM samDesired) {
  Target target;
  if (base.logicalPath.empty()) {
    target.logical = std::move(relative);  // a root key's handle: the common case
  } else {
    splitPath(base.logicalPath, target.logical);
    target.logical.insert(target.logical.end(), relative.begin(), relative.end());
  }
  target.view = requestedView(samDesired, base.view);
  target.redirected = redirectedPath(base.hive, target.logical, target.view, store.machine());
  return target;
}

std::u16string joinPath(const PathView& components) {
  std::size_t length = components.empty() ? 0 : components.size() - 1;
  for (std::u16string_view part : components) length += part.size();
  std::u16string path;
  path.reserve(length);
  for (std::u16string_view part : components) {
    if (!path.empty()) path += u'\\';
    path += part;
  }
  return path;
}

win::HKEY allocateFor(RegistryStore& store, const OpenKey& base, const Target& target,
                      std::shared_ptr<RegistryKey> key, win::REGSAM granted) {
  OpenKey open;
  open.key = std::move(key);
  open.hive = base.hive;
  open.logicalPath = joinPath(target.logical);
  open.view = target.view;
  open.granted = granted;
  return store.allocate(std::move(open));
}

}  // namespace

bool acceptableKeyName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxKeyNameLength) return false;
  for (char16_t c : name) {
    if (c == u'\r' || c == u'\n' || c == u'\\' || c == 0) return false;
  }
  return true;
}

win::LONG injectedResult(const char* function) {
  RegistryStore& store = registryStore();
  // Only tests inject failures: every other call learns that without taking the lock.
  if (!store.injecting()) return win::ERROR_SUCCESS;
  auto lock = store.lock();
  return store.injected(function).value_or(win::ERROR_SUCCESS);
}

win::LONG openKey(win::HKEY base, std::u16string_view subKey, win::REGSAM samDesired, win::HKEY& result) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usable(store, base, open)) return rc;
  PathView relative;
  if (!splitPath(subKey, relative)) return win::ERROR_FILE_NOT_FOUND;
  Target target = targetOf(store, *open, std::move(relative), samDesired);
  std::shared_ptr<RegistryKey> key = store.find(open->hive, target.physical());
  if (!key) return win::ERROR_FILE_NOT_FOUND;
  win::REGSAM denied = store.deniedAccess(open->hive, target.physical());
  win::REGSAM granted = mapAccess(samDesired, denied);
  if (granted & denied) return win::ERROR_ACCESS_DENIED;
  result = allocateFor(store, *open, target, std::move(key), granted);
  return win::ERROR_SUCCESS;
}

win::LONG createKey(win::HKEY base, std::u16string_view subKey, win::REGSAM samDesired, win::HKEY& result,
                    win::DWORD& disposition) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usable(store, base, open)) return rc;
  PathView relative;
  if (!splitPath(subKey, relative)) return kErrorBadPathname;
  for (std::u16string_view part : relative) {
    if (!acceptableKeyName(part)) return win::ERROR_INVALID_PARAMETER;
  }
  Target target = targetOf(store, *open, std::move(relative), samDesired);
  if (target.physical().size() > kMaxKeyDepth) return win::ERROR_INVALID_PARAMETER;

  // Walk down as far as the path exists.
  std::shared_ptr<RegistryKey> key = store.find(open->hive, {});
  std::size_t existing = 0;
  for (; existing < target.physical().size(); ++existing) {
    std::shared_ptr<RegistryKey> child = key->findChild(target.physical()[existing]);
    if (!child) break;
    key = std::move(child);
  }
  win::REGSAM denied = store.deniedAccess(open->hive, target.physical());
  win::REGSAM granted = mapAccess(samDesired, denied);
  if (granted & denied) return win::ERROR_ACCESS_DENIED;
  bool createsNew = existing < target.physical().size();
  if (createsNew) {
    if (!(open->granted & win::KEY_CREATE_SUB_KEY)) return win::ERROR_ACCESS_DENIED;
    PathView parentPath(target.physical().begin(), target.physical().begin() + static_cast<std::ptrdiff_t>(existing));
    if (store.deniedAccess(open->hive, parentPath) & win::KEY_CREATE_SUB_KEY) return win::ERROR_ACCESS_DENIED;
    std::uint64_t stamp = store.stamp();
    key->touch(stamp);
    for (std::size_t i = existing; i < target.physical().size(); ++i) {
      key = key->addChild(target.physical()[i], stamp);
    }
    store.markChanged();
  }
  result = allocateFor(store, *open, target, std::move(key), granted);
  disposition = createsNew ? win::REG_CREATED_NEW_KEY : win::REG_OPENED_EXISTING_KEY;
  return win::ERROR_SUCCESS;
}

win::LONG closeKey(win::HKEY key) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  Hive hive;
  if (predefinedHive(key, hive)) return win::ERROR_SUCCESS;
  return store.release(key) ? win::ERROR_SUCCESS : win::ERROR_INVALID_HANDLE;
}

namespace {

// Removes the key from its parent, which records the change.
void detachFromParent(RegistryStore& store, RegistryKey& key) {
  RegistryKey* parent = key.parent();
  parent->removeChild(key);
  store.recordChange(*parent);
}

}  // namespace

win::LONG deleteKey(win::HKEY base, std::u16string_view subKey, win::REGSAM viewSam) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usable(store, base, open)) return rc;
  PathView relative;
  if (!splitPath(subKey, relative)) return win::ERROR_FILE_NOT_FOUND;
  Target target = targetOf(store, *open, std::move(relative), viewSam);
  if (target.physical().empty()) return win::ERROR_ACCESS_DENIED;  // a hive itself
  std::shared_ptr<RegistryKey> key = store.find(open->hive, target.physical());
  if (!key) return win::ERROR_FILE_NOT_FOUND;
  if (store.deniedAccess(open->hive, target.physical()) & kDelete) return win::ERROR_ACCESS_DENIED;
  if (key->childCount() > 0) return win::ERROR_ACCESS_DENIED;
  detachFromParent(store, *key);
  return win::ERROR_SUCCESS;
}

win::LONG deleteTree(win::HKEY base, std::u16string_view subKey) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usable(store, base, open)) return rc;
  PathView relative;
  if (!splitPath(subKey, relative)) return win::ERROR_FILE_NOT_FOUND;
  Target target = targetOf(store, *open, relative, 0);
  std::shared_ptr<RegistryKey> key = store.find(open->hive, target.physical());
  if (!key) return win::ERROR_FILE_NOT_FOUND;
  constexpr win::REGSAM kReadAndDelete = win::KEY_QUERY_VALUE | win::KEY_ENUMERATE_SUB_KEYS | kDelete;
  if (relative.empty()) {
    win::REGSAM needed = win::KEY_QUERY_VALUE | win::KEY_ENUMERATE_SUB_KEYS;
    if (key->valueCount() != 0) needed |= win::KEY_SET_VALUE;
    if ((open->granted & needed) != needed) return win::ERROR_ACCESS_DENIED;
  } else if (store.deniedAccess(open->hive, target.physical()) & kReadAndDelete) {
    return win::ERROR_ACCESS_DENIED;
  }
  // A denial anywhere below stops the whole deletion before anything is gone.
  std::vector<std::pair<RegistryKey*, PathView>> pending;
  for (std::size_t i = 0; RegistryKey* child = key->childAt(i); ++i) {
    PathView path = target.physical();
    path.push_back(child->name());
    pending.emplace_back(child, std::move(path));
  }
  while (!pending.empty()) {
    auto [child, path] = std::move(pending.back());
    pending.pop_back();
    if (store.deniedAccess(open->hive, path) & kReadAndDelete) return win::ERROR_ACCESS_DENIED;
    for (std::size_t i = 0; RegistryKey* grandChild = child->childAt(i); ++i) {
      PathView below = path;
      below.push_back(grandChild->name());
      pending.emplace_back(grandChild, std::move(below));
    }
  }
  if (relative.empty()) {
    key->removeAllChildren();
    key->removeAllValues();
    store.recordChange(*key);
  } else {
    if (target.physical().empty()) return win::ERROR_ACCESS_DENIED;
    detachFromParent(store, *key);
  }
  return win::ERROR_SUCCESS;
}

win::LONG queryValue(win::HKEY key, std::u16string_view name, RegistryValue& value) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_QUERY_VALUE, open)) return rc;
  const PackedValue* found = open->key->findValue(name);
  if (!found) return win::ERROR_FILE_NOT_FOUND;
  value = found->copy();
  return win::ERROR_SUCCESS;
}

win::LONG readValue(win::HKEY key, std::u16string_view name, win::BYTE* buffer, win::DWORD capacity,
                    win::DWORD& type, win::DWORD& size) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_QUERY_VALUE, open)) return rc;
  const PackedValue* found = open->key->findValue(name);
  if (!found) return win::ERROR_FILE_NOT_FOUND;
  type = found->type();
  size = static_cast<win::DWORD>(found->size());
  if (!buffer) return win::ERROR_SUCCESS;
  if (size > capacity) return win::ERROR_MORE_DATA;
  if (size) std::memcpy(buffer, found->data(), size);
  return win::ERROR_SUCCESS;
}

win::LONG setValue(win::HKEY key, std::u16string_view name, win::DWORD type, std::vector<win::BYTE> data) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_SET_VALUE, open)) return rc;
  open->key->setValue(name, type, data.data(), data.size());
  store.recordChange(*open->key);
  return win::ERROR_SUCCESS;
}

win::LONG deleteValue(win::HKEY key, std::u16string_view name) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_SET_VALUE, open)) return rc;
  if (!open->key->removeValue(name)) return win::ERROR_FILE_NOT_FOUND;
  store.recordChange(*open->key);
  return win::ERROR_SUCCESS;
}

win::LONG queryInfo(win::HKEY key, KeyInfo& info) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_QUERY_VALUE, open)) return rc;
  const RegistryKey& k = *open->key;
  KeyInfo out;
  out.wantSubKeys = info.wantSubKeys;
  out.wantValues = info.wantValues;
  if (info.wantSubKeys) {
    out.subKeys = static_cast<win::DWORD>(k.childCount());
    out.maxSubKeyLen = static_cast<win::DWORD>(k.longestChildName());
  }
  if (info.wantValues) {
    out.values = static_cast<win::DWORD>(k.valueCount());
    for (std::size_t i = 0; const PackedValue* v = k.valueAt(i); ++i) {
      out.maxValueNameLen = std::max(out.maxValueNameLen, static_cast<win::DWORD>(v->name().size()));
      out.maxValueLen = std::max(out.maxValueLen, static_cast<win::DWORD>(v->size()));
    }
  }
  out.lastWrite = toFileTime(k.lastWrite());
  info = out;
  return win::ERROR_SUCCESS;
}

win::LONG enumKey(win::HKEY key, win::DWORD index, std::u16string& name) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_ENUMERATE_SUB_KEYS, open)) return rc;
  RegistryKey* child = open->key->childAt(index);
  if (!child) return win::ERROR_NO_MORE_ITEMS;
  name = child->name();
  return win::ERROR_SUCCESS;
}

win::LONG enumValue(win::HKEY key, win::DWORD index, RegistryValue& value) {
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  const OpenKey* open = nullptr;
  if (win::LONG rc = usableWith(store, key, win::KEY_QUERY_VALUE, open)) return rc;
  const PackedValue* found = open->key->valueAt(index);
  if (!found) return win::ERROR_NO_MORE_ITEMS;
  value = found->copy();
  return win::ERROR_SUCCESS;
}

}  // namespace portable
