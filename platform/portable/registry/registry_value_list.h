// A key's values, kept compact: a large export holds millions of them. Each value is one
// heap block (type, lengths, name, data); a key with many values gets a hash index, so
// setting a value never costs a walk over all the others.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace portable {

// A value as it is handed over: its own copy of the name and the bytes.
struct RegistryValue {
  std::u16string name;
  win::DWORD type = win::REG_NONE;
  std::vector<win::BYTE> data;  // exactly the bytes stored; strings as UTF-16LE
};

class PackedValue {
 public:
  PackedValue(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size);

  std::u16string_view name() const;
  win::DWORD type() const { return header().type; }
  const win::BYTE* data() const;
  std::size_t size() const { return header().dataSize; }
  RegistryValue copy() const;

  // A removed value keeps its place until the list is compacted.
  bool removed() const { return !block_; }
  void drop() { block_.reset(); }

 private:
  struct Header {
    win::DWORD type;
    std::uint32_t nameLength;
    std::uint32_t dataSize;
  };
  const Header& header() const { return *reinterpret_cast<const Header*>(block_.get()); }

  std::unique_ptr<unsigned char[]> block_;  // Header, name (UTF-16), data
};

class ValueList {
 public:
  ValueList();
  ValueList(ValueList&&) noexcept;
  ValueList& operator=(ValueList&&) noexcept;
  ~ValueList();

  std::size_t size() const { return values_.size() - removed_; }
  bool empty() const { return size() == 0; }
  // In creation order.
  const PackedValue& at(std::size_t index) const;
  const PackedValue* find(std::u16string_view name) const;
  // Replaces the value of that name (keeping its place) or adds it at the end.
  void set(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size);
  // Adds at the end without looking for the name: a second value of a name already held
  // is listed too, and lookups find the first.
  void append(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size);
  bool remove(std::u16string_view name);
  void reserve(std::size_t count) { values_.reserve(count); }
  void clear();

 private:
  class Index;
  std::size_t position(std::u16string_view name) const;  // values_.size() when absent
  // Closes the gaps that removals left (positions change).
  void compact() const;

  // Removals leave gaps that are closed later, so that removing many values stays linear.
  mutable std::vector<PackedValue> values_;
  mutable std::size_t removed_ = 0;
  mutable std::unique_ptr<Index> index_;  // only for keys with many values
};

}  // namespace portable
