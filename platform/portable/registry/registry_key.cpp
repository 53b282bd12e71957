#include "registry/registry_key.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "shared/name_folding.h"

namespace portable {

bool RegistryKey::ByFoldedName::operator()(const std::shared_ptr<RegistryKey>& a,
                                           const std::shared_ptr<RegistryKey>& b) const {
  return foldedLess(a->name_, b->name_);
}
bool RegistryKey::ByFoldedName::operator()(const std::shared_ptr<RegistryKey>& a, std::u16string_view b) const {
  return foldedLess(a->name_, b);
}
bool RegistryKey::ByFoldedName::operator()(std::u16string_view a, const std::shared_ptr<RegistryKey>& b) const {
  return foldedLess(a, b->name_);
}

RegistryKey::RegistryKey(std::u16string name, RegistryKey* parent, std::uint64_t stamp)
    : name_(std::move(name)), parent_(parent), lastWrite_(stamp) {}

void RegistryKey::readLater(std::shared_ptr<KeySource> source, std::uint64_t node) {
  source_ = std::move(source);
  sourceNode_ = node;
  unreadSubkeys_ = unreadValues_ = true;
}

template <typename Fill>
void RegistryKey::readFromSource(bool RegistryKey::*unread, Fill fill) const {
  auto* self = const_cast<RegistryKey*>(this);
  if (!(self->*unread)) return;
  // Cleared first: filling adds subkeys or values, which must not read again.
  self->*unread = false;
  std::shared_ptr<KeySource> source = source_;
  try {
    fill(*source, *self);
  } catch (...) {
    // Out of memory part way: unread again, so that a later use tries once more.
    self->*unread = true;
    throw;
  }
  if (!unreadSubkeys_ && !unreadValues_ && !valuesAsRead_) self->source_.reset();
}

void RegistryKey::readSubkeysNow() const {
  readFromSource(&RegistryKey::unreadSubkeys_, [this](KeySource& source, RegistryKey& self) {
    self.children_.clear();
    forgetCursor();
    source.fillSubkeys(self, sourceNode_);
  });
}

void RegistryKey::readValuesNow() const {
  readFromSource(&RegistryKey::unreadValues_, [this](KeySource& source, RegistryKey& self) {
    self.values_.clear();
    source.fillValues(self, sourceNode_);
    self.valuesAsRead_ = true;
  });
}

void RegistryKey::forgetValuesAsRead() {
  if (!valuesAsRead_ || !source_) return;
  values_.clear();
  valuesAsRead_ = false;
  unreadValues_ = true;
}

std::shared_ptr<RegistryKey> RegistryKey::findChild(std::u16string_view name) const {
  readSubkeys();
  // Programs mostly enumerate subkeys and then open each by name: the subkey the
  // enumeration stands on is the likely one.
  if (cursorValid_ && sameName((*cursor_)->name_, name)) return *cursor_;
  auto it = children_.find(name);
  return it == children_.end() ? nullptr : *it;
}

std::shared_ptr<RegistryKey> RegistryKey::addChild(std::u16string_view name, std::uint64_t stamp) {
  readSubkeys();
  auto child = std::make_shared<RegistryKey>(std::u16string(name), this, stamp);
  // Hives and exports list subkeys in enumeration order: the hint makes that case cheap.
  children_.insert(children_.end(), child);
  forgetCursor();
  return child;
}

void RegistryKey::removeChild(RegistryKey& child) {
  readSubkeys();
  auto it = children_.find(std::u16string_view(child.name_));
  if (it == children_.end() || it->get() != &child) return;
  std::shared_ptr<RegistryKey> keep = *it;  // handles may still hold it
  children_.erase(it);
  forgetCursor();
  keep->markDeleted();
}

void RegistryKey::removeAllChildren() {
  readSubkeys();
  Children gone;
  gone.swap(children_);
  forgetCursor();
  for (const auto& child : gone) child->markDeleted();
}

void RegistryKey::markDeleted() {
  // Iterative, so that a deep tree cannot exhaust the stack. Keys not read yet stay so.
  std::vector<std::shared_ptr<RegistryKey>> pending;
  auto detach = [&pending](RegistryKey& key) {
    key.deleted_ = true;
    key.parent_ = nullptr;
    pending.insert(pending.end(), key.children_.begin(), key.children_.end());
    key.children_.clear();
    key.values_.clear();
    key.source_.reset();
    key.unreadSubkeys_ = key.unreadValues_ = key.valuesAsRead_ = false;
    key.forgetCursor();
  };
  detach(*this);
  while (!pending.empty()) {
    std::shared_ptr<RegistryKey> key = std::move(pending.back());
    pending.pop_back();
    detach(*key);
  }
}

std::size_t RegistryKey::childCount() const {
  readSubkeys();
  return children_.size();
}

RegistryKey* RegistryKey::childAt(std::size_t index) const {
  readSubkeys();
  if (index >= children_.size()) return nullptr;
  if (cursorValid_ && index == cursorIndex_ + 1) {
    ++cursor_;
  } else if (!cursorValid_ || index != cursorIndex_) {
    cursor_ = children_.begin();
    std::advance(cursor_, static_cast<std::ptrdiff_t>(index));
  }
  cursorIndex_ = index;
  cursorValid_ = true;
  return cursor_->get();
}

std::size_t RegistryKey::longestChildName() const {
  readSubkeys();
  std::size_t longest = 0;
  for (const auto& child : children_) longest = std::max(longest, child->name_.size());
  return longest;
}

const PackedValue* RegistryKey::findValue(std::u16string_view name) const {
  readValues();
  return values_.find(name);
}

void RegistryKey::setValue(std::u16string_view name, win::DWORD type, const win::BYTE* data, std::size_t size) {
  readValues();
  values_.set(name, type, data, size);
  valuesAsRead_ = false;
}

bool RegistryKey::removeValue(std::u16string_view name) {
  readValues();
  valuesAsRead_ = false;
  return values_.remove(name);
}

void RegistryKey::removeAllValues() {
  readValues();
  values_.clear();
  valuesAsRead_ = false;
}

std::size_t RegistryKey::valueCount() const {
  readValues();
  return values_.size();
}

const PackedValue* RegistryKey::valueAt(std::size_t index) const {
  readValues();
  return index < values_.size() ? &values_.at(index) : nullptr;
}

}  // namespace portable
