// The popup-menu control placed on the tray form: a fixed tree of four items whose children
// open as a popup at the mouse position. Callers use only Font, Menus / Item, Caption, Index,
// ShowPopup and the ItemClick event.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "tagged_value.h"

namespace tray {

struct MenuFont {
  std::u16string Name = u"Arial";
  double Size = 8.25;
  int Weight = 400;
};

class MenuItem {
 public:
  MenuItem(std::int16_t index, std::u16string key, std::u16string caption, std::u16string parentKey);

  void Caption(const std::u16string& sCaption) { caption_ = sCaption; }
  std::int16_t Index() const { return index_; }

 private:
  friend class MenuControl;

  std::int16_t index_;
  std::u16string key_;
  std::u16string caption_;
  std::u16string parentKey_;  // empty for a root
};

class MenuItems {
 public:
  // The item at a 1-based position given as a number; null when there is none.
  std::shared_ptr<MenuItem> Item(const TaggedValue& vIndex) const;

 private:
  friend class MenuControl;
  std::vector<std::shared_ptr<MenuItem>> items_;
};

class MenuControl {
 public:
  // The popup belongs to the owner window; the four items come from the control's configuration.
  explicit MenuControl(win::HWND owner);

  MenuFont& Font() { return font_; }
  MenuItems& Menus() { return menus_; }
  // Opens the item's children at the mouse position (drawn in the system's menu font) and
  // raises ItemClick with the chosen child, if any.
  void ShowPopup(const std::shared_ptr<MenuItem>& item);

  std::function<void(const std::shared_ptr<MenuItem>& item)> ItemClick;

 private:
  win::HWND owner_;
  MenuFont font_;
  MenuItems menus_;
};

}  // namespace tray
