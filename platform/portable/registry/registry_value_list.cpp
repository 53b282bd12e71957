#include "registry/registry_value_list.h"

#include <cstring>
#include <new>

#include "shared/name_folding.h"

namespace portable {

PackedValue::PackedValue(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size) {
  const std::size_t nameBytes = name.size() * sizeof(char16_t);
  block_.reset(new unsigned char[sizeof(Header) + nameBytes + size]);
  Header header{type, static_cast<std::uint32_t>(name.size()), static_cast<std::uint32_t>(size)};
  std::memcpy(block_.get(), &header, sizeof header);
  if (nameBytes) std::memcpy(block_.get() + sizeof(Header), name.data(), nameBytes);
  if (size) std::memcpy(block_.get() + sizeof(Header) + nameBytes, data, size);
}

std::u16string_view PackedValue::name() const {
  // The block is aligned for any type, and the header's size keeps the name aligned.
  static_assert(sizeof(Header) % alignof(char16_t) == 0);
  return std::u16string_view(std::launder(reinterpret_cast<const char16_t*>(block_.get() + sizeof(Header))),
                             header().nameLength);
}

const win::BYTE* PackedValue::data() const {
  return block_.get() + sizeof(Header) + header().nameLength * sizeof(char16_t);
}

RegistryValue PackedValue::copy() const {
  return RegistryValue{std::u16string(name()), type(), std::vector<win::BYTE>(data(), data() + size())};
}

namespace {

constexpr std::size_t kIndexFrom = 16;

std::size_t foldedHash(std::u16string_view name) {
  std::size_t hash = 1469598103934665603ull;
  for (char16_t c : name) hash = (hash ^ upcaseChar(c)) * 1099511628211ull;
  return hash;
}

}  // namespace

// Open addressing over positions in the list (stored + 1; 0 is an empty slot), at most
// half full.
class ValueList::Index {
 public:
  explicit Index(const std::vector<PackedValue>& values) { rebuild(values); }

  std::size_t find(const std::vector<PackedValue>& values, std::u16string_view name) const {
    for (std::size_t slot = foldedHash(name) & mask_;; slot = (slot + 1) & mask_) {
      std::uint32_t entry = slots_[slot];
      if (entry == 0) return values.size();
      const PackedValue& value = values[entry - 1];
      if (!value.removed() && sameName(value.name(), name)) return entry - 1;
    }
  }

  // The value at `position` has just been added.
  void added(const std::vector<PackedValue>& values, std::size_t position) {
    if (values.size() * 2 > slots_.size()) return rebuild(values);
    insert(values[position].name(), position);
  }

  void rebuild(const std::vector<PackedValue>& values) {
    std::size_t capacity = 64;
    while (capacity < values.size() * 2 + 2) capacity *= 2;
    slots_.assign(capacity, 0);
    mask_ = capacity - 1;
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!values[i].removed()) insert(values[i].name(), i);
    }
  }

 private:
  void insert(std::u16string_view name, std::size_t position) {
    std::size_t slot = foldedHash(name) & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = static_cast<std::uint32_t>(position + 1);
  }

  std::vector<std::uint32_t> slots_;
  std::size_t mask_ = 0;
};

ValueList::ValueList() = default;
ValueList::ValueList(ValueList&&) noexcept = default;
ValueList& ValueList::operator=(ValueList&&) noexcept = default;
ValueList::~ValueList() = default;

std::size_t ValueList::position(std::u16string_view name) const {
  if (index_) return index_->find(values_, name);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (!values_[i].removed() && sameName(values_[i].name(), name)) return i;
  }
  return values_.size();
}

void ValueList::compact() const {
  if (removed_ == 0) return;
  std::vector<PackedValue> kept;
  kept.reserve(values_.size() - removed_);
  for (PackedValue& value : values_) {
    if (!value.removed()) kept.push_back(std::move(value));
  }
  values_ = std::move(kept);
  removed_ = 0;
  if (index_) index_->rebuild(values_);
}

const PackedValue& ValueList::at(std::size_t index) const {
  compact();
  return values_[index];
}

const PackedValue* ValueList::find(std::u16string_view name) const {
  std::size_t at = position(name);
  return at < values_.size() ? &values_[at] : nullptr;
}

void ValueList::set(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size) {
  std::size_t at = position(name);
  if (at < values_.size()) {
    // The name keeps the spelling it was created with, as on Windows.
    std::u16string kept(values_[at].name());
    values_[at] = PackedValue(kept, type, data, size);
    return;
  }
  append(name, type, data, size);
}

void ValueList::append(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size) {
  // Most keys hold a few values: room for four at once saves growing one by one.
  if (values_.size() == values_.capacity()) values_.reserve(values_.empty() ? 4 : values_.size() * 2);
  values_.emplace_back(name, type, data, size);
  if (index_) {
    index_->added(values_, values_.size() - 1);
  } else if (values_.size() > kIndexFrom) {
    index_ = std::make_unique<Index>(values_);
  }
}

bool ValueList::remove(std::u16string_view name) {
  std::size_t at = position(name);
  if (at == values_.size()) return false;
  values_[at].drop();
  if (++removed_ > kIndexFrom && removed_ * 2 > values_.size()) compact();
  return true;
}

void ValueList::clear() {
  values_.clear();
  values_.shrink_to_fit();
  removed_ = 0;
  index_.reset();
}

}  // namespace portable
