#include "menu_control.h"

#include "platform/user.h"

namespace tray {

namespace {

struct ConfiguredItem {
  const char16_t* key;
  const char16_t* caption;
  const char16_t* parentKey;
};

// The control's persisted configuration, by position.
constexpr ConfiguredItem kConfiguredItems[] = {
    {u"mnuSystray", u"Hello", u""},
    {u"mnuRunScan", u"Run Scan", u"mnuSystray"},
    {u"mnuSpace1", u"-", u"mnuSystray"},
    {u"mnuClose", u"Close", u"mnuSystray"},
};

constexpr char16_t kSeparatorCaption[] = u"-";

}  // namespace

MenuItem::MenuItem(std::int16_t index, std::u16string key, std::u16string caption, std::u16string parentKey)
    : index_(index), key_(std::move(key)), caption_(std::move(caption)), parentKey_(std::move(parentKey)) {}

std::shared_ptr<MenuItem> MenuItems::Item(const TaggedValue& vIndex) const {
  std::int32_t position = 0;
  if (const auto* p = vIndex.asInteger16())
    position = *p;
  else if (const auto* p32 = vIndex.asInteger32())
    position = *p32;
  if (position < 1 || position > static_cast<std::int32_t>(items_.size())) return nullptr;
  return items_[static_cast<std::size_t>(position - 1)];
}

MenuControl::MenuControl(win::HWND owner) : owner_(owner) {
  std::int16_t position = 1;
  for (const auto& configured : kConfiguredItems)
    menus_.items_.push_back(
        std::make_shared<MenuItem>(position++, configured.key, configured.caption, configured.parentKey));
}

void MenuControl::ShowPopup(const std::shared_ptr<MenuItem>& item) {
  if (!item) return;
  platform::unique_hmenu popup(win::CreatePopupMenu());
  if (!popup) return;
  bool any = false;
  for (const auto& child : menus_.items_) {
    if (child->parentKey_ != item->key_) continue;
    const win::UINT flags = child->caption_ == kSeparatorCaption ? win::MF_SEPARATOR : win::MF_STRING;
    win::AppendMenuW(popup.get(), flags, static_cast<win::UINT_PTR>(child->index_), child->caption_.c_str());
    any = true;
  }
  if (!any) return;

  win::POINT at{0, 0};
  win::GetCursorPos(&at);
  const win::BOOL chosen = win::TrackPopupMenu(popup.get(), win::TPM_RETURNCMD | win::TPM_NONOTIFY | win::TPM_RIGHTBUTTON,
                                               at.x, at.y, 0, owner_, nullptr);
  // Lets the menu close properly when the user clicks elsewhere next time.
  win::PostMessageW(owner_, win::WM_NULL, 0, 0);
  popup.reset();

  if (chosen <= 0 || !ItemClick) return;
  if (auto picked = menus_.Item(TaggedValue::fromInteger32(chosen))) ItemClick(picked);
}

}  // namespace tray
