// One key of the stand-in registry: its subkeys, its values and its last-write time.
// A key may come from a file that is read on demand (an offline hive): such a key is
// filled from its source the first time anything asks for its subkeys or values.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/win_types.h"
#include "registry/registry_value_list.h"

namespace portable {

class RegistryKey;

// Where the contents of a key not yet read come from. On a failure the key keeps what
// was added; the source reports why.
class KeySource {
 public:
  virtual ~KeySource() = default;
  // Adds the subkeys (themselves unread, from the same source) of the key `node` names.
  virtual void fillSubkeys(RegistryKey& key, std::uint64_t node) = 0;
  virtual void fillValues(RegistryKey& key, std::uint64_t node) = 0;
};

class RegistryKey {
 public:
  RegistryKey(std::u16string name, RegistryKey* parent, std::uint64_t stamp);
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  const std::u16string& name() const { return name_; }
  RegistryKey* parent() const { return parent_; }
  bool deleted() const { return deleted_; }
  std::uint64_t lastWrite() const { return lastWrite_; }
  void touch(std::uint64_t stamp) { lastWrite_ = stamp; }

  // The contents come from `source` when first needed.
  void readLater(std::shared_ptr<KeySource> source, std::uint64_t node);
  // Values read from the source and not changed since are dropped, to be read again when
  // next needed: a file read on demand keeps holding them.
  void forgetValuesAsRead();

  std::shared_ptr<RegistryKey> findChild(std::u16string_view name) const;
  // The caller has checked that no child of that name exists.
  std::shared_ptr<RegistryKey> addChild(std::u16string_view name, std::uint64_t stamp);
  // The child of that name, added when there is none with the stamp that newStamp()
  // gives (called only then): one search instead of two.
  template <typename NewStamp>
  std::shared_ptr<RegistryKey> findOrAddChild(std::u16string_view name, NewStamp newStamp);
  // Detaches the child and marks it and everything below it deleted.
  void removeChild(RegistryKey& child);
  // Detaches and marks deleted every child.
  void removeAllChildren();
  std::size_t childCount() const;
  // Subkeys in Windows' enumeration order; null past the end. Walking the indexes in
  // order costs O(1) per step.
  RegistryKey* childAt(std::size_t index) const;
  std::size_t longestChildName() const;

  const PackedValue* findValue(std::u16string_view name) const;
  void setValue(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size);
  // For a source filling the key: values in the source's order, without a search for
  // each name (a name a damaged file lists twice is kept twice; lookups find the first).
  void addSourceValue(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size) {
    values_.append(name, type, data, size);
  }
  bool removeValue(std::u16string_view name);
  void removeAllValues();
  // Room for that many values, for a source that knows how many it adds.
  void reserveValues(std::size_t count) { values_.reserve(count); }
  std::size_t valueCount() const;
  // In creation order; null past the end.
  const PackedValue* valueAt(std::size_t index) const;

 private:
  // Subkeys ordered by their upper-cased names, compared without a folded copy.
  struct ByFoldedName {
    using is_transparent = void;
    bool operator()(const std::shared_ptr<RegistryKey>& a, const std::shared_ptr<RegistryKey>& b) const;
    bool operator()(const std::shared_ptr<RegistryKey>& a, std::u16string_view b) const;
    bool operator()(std::u16string_view a, const std::shared_ptr<RegistryKey>& b) const;
  };
  using Children = std::set<std::shared_ptr<RegistryKey>, ByFoldedName>;

  void markDeleted();
  void forgetCursor() const { cursorValid_ = false; }
  // Fill a key's subkeys or values from its source when they have not been read yet.
  void readSubkeys() const {
    if (unreadSubkeys_) readSubkeysNow();
  }
  void readValues() const {
    if (unreadValues_) readValuesNow();
  }
  void readSubkeysNow() const;
  void readValuesNow() const;
  template <typename Fill>
  void readFromSource(bool RegistryKey::*unread, Fill fill) const;

  std::u16string name_;
  RegistryKey* parent_;
  std::uint64_t lastWrite_;
  Children children_;
  ValueList values_;
  std::shared_ptr<KeySource> source_;  // set until the key has been read
  std::uint64_t sourceNode_ = 0;
  bool unreadSubkeys_ = false;
  bool unreadValues_ = false;
  bool valuesAsRead_ = false;  // the values are the source's, unchanged
  bool deleted_ = false;
  mutable bool cursorValid_ = false;
  mutable std::size_t cursorIndex_ = 0;
  mutable Children::const_iterator cursor_;
};

template <typename NewStamp>
std::shared_ptr<RegistryKey> RegistryKey::findOrAddChild(std::u16string_view name, NewStamp newStamp) {
  readSubkeys();
  // Files list subkeys in enumeration order: a new one mostly goes last.
  auto at = children_.end();
  if (!children_.empty() && !ByFoldedName()(*children_.rbegin(), name)) at = children_.lower_bound(name);
  if (at != children_.end() && !ByFoldedName()(name, *at)) return *at;
  auto child = std::make_shared<RegistryKey>(std::u16string(name), this, newStamp());
  children_.insert(at, child);
  forgetCursor();
  return child;
}

}  // namespace portable
