#include "registry_key.h"

#include <algorithm>
#include <iterator>

#include "name_folding.h"

namespace portable {

RegistryKey::RegistryKey(std::u16string name, RegistryKey* parent, std::uint64_t stamp)
    : name_(std::move(name)), parent_(parent), lastWrite_(stamp) {}

std::shared_ptr<RegistryKey> RegistryKey::findChild(std::u16string_view name) const {
  auto it = children_.find(foldName(name));
  return it == children_.end() ? nullptr : it->second;
}

std::shared_ptr<RegistryKey> RegistryKey::addChild(std::u16string_view name, std::uint64_t stamp) {
  auto child = std::make_shared<RegistryKey>(std::u16string(name), this, stamp);
  children_.emplace(foldName(name), child);
  forgetCursor();
  return child;
}

void RegistryKey::removeChild(RegistryKey& child) {
  auto it = children_.find(foldName(child.name_));
  if (it == children_.end() || it->second.get() != &child) return;
  std::shared_ptr<RegistryKey> keep = it->second;  // handles may still hold it
  children_.erase(it);
  forgetCursor();
  keep->markDeleted();
}

void RegistryKey::removeAllChildren() {
  Children gone;
  gone.swap(children_);
  forgetCursor();
  for (auto& entry : gone) entry.second->markDeleted();
}

void RegistryKey::markDeleted() {
  // Iterative, so that a deep tree cannot exhaust the stack.
  std::vector<std::shared_ptr<RegistryKey>> pending;
  deleted_ = true;
  parent_ = nullptr;
  for (auto& entry : children_) pending.push_back(entry.second);
  children_.clear();
  values_.clear();
  forgetCursor();
  while (!pending.empty()) {
    std::shared_ptr<RegistryKey> key = std::move(pending.back());
    pending.pop_back();
    key->deleted_ = true;
    key->parent_ = nullptr;
    for (auto& entry : key->children_) pending.push_back(entry.second);
    key->children_.clear();
    key->values_.clear();
    key->forgetCursor();
  }
}

RegistryKey* RegistryKey::childAt(std::size_t index) const {
  if (index >= children_.size()) return nullptr;
  if (cursorValid_ && index == cursorIndex_ + 1) {
    ++cursor_;
  } else if (!cursorValid_ || index != cursorIndex_) {
    cursor_ = children_.begin();
    std::advance(cursor_, static_cast<std::ptrdiff_t>(index));
  }
  cursorIndex_ = index;
  cursorValid_ = true;
  return cursor_->second.get();
}

std::size_t RegistryKey::longestChildName() const {
  std::size_t longest = 0;
  for (const auto& entry : children_) longest = std::max(longest, entry.second->name_.size());
  return longest;
}

const RegistryValue* RegistryKey::findValue(std::u16string_view name) const {
  for (const RegistryValue& v : values_) {
    if (sameName(v.name, name)) return &v;
  }
  return nullptr;
}

void RegistryKey::setValue(std::u16string_view name, win::DWORD type, std::vector<win::BYTE> data) {
  for (RegistryValue& v : values_) {
    if (sameName(v.name, name)) {
      v.type = type;
      v.data = std::move(data);
      return;
    }
  }
  values_.push_back(RegistryValue{std::u16string(name), type, std::move(data)});
}

bool RegistryKey::removeValue(std::u16string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(),
                         [&](const RegistryValue& v) { return sameName(v.name, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

}  // namespace portable
