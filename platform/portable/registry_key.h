// One key of the stand-in registry: its subkeys, its values and its last-write time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace portable {

struct RegistryValue {
  std::u16string name;
  win::DWORD type = win::REG_NONE;
  std::vector<win::BYTE> data;  // exactly the bytes stored; strings as UTF-16LE
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

  std::shared_ptr<RegistryKey> findChild(std::u16string_view name) const;
  // The caller has checked that no child of that name exists.
  std::shared_ptr<RegistryKey> addChild(std::u16string_view name, std::uint64_t stamp);
  // Detaches the child and marks it and everything below it deleted.
  void removeChild(RegistryKey& child);
  // Detaches and marks deleted every child.
  void removeAllChildren();
  std::size_t childCount() const { return children_.size(); }
  // Subkeys in Windows' enumeration order; null past the end. Walking the indexes in
  // order costs O(1) per step.
  RegistryKey* childAt(std::size_t index) const;
  std::size_t longestChildName() const;

  const RegistryValue* findValue(std::u16string_view name) const;
  void setValue(std::u16string_view name, win::DWORD type, std::vector<win::BYTE> data);
  bool removeValue(std::u16string_view name);
  void removeAllValues() { values_.clear(); }
  // In creation order.
  const std::vector<RegistryValue>& values() const { return values_; }

 private:
  using Children = std::map<std::u16string, std::shared_ptr<RegistryKey>>;  // by folded name
  void markDeleted();
  void forgetCursor() const { cursorValid_ = false; }

  std::u16string name_;
  RegistryKey* parent_;
  bool deleted_ = false;
  std::uint64_t lastWrite_;
  Children children_;
  std::vector<RegistryValue> values_;
  mutable bool cursorValid_ = false;
  mutable std::size_t cursorIndex_ = 0;
  mutable Children::const_iterator cursor_;
};

}  // namespace portable
