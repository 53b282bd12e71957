// The hidden tray form: one notification-area icon with its tip, balloon and popup menu.
// Everything runs on the user-interface thread; the form is loaded once and unloaded once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "menu_control.h"
#include "platform/shell.h"
#include "platform/user.h"
#include "tagged_value.h"

namespace tray {

class frmHXTray {
 public:
  // Creates the form's hidden window and its menu control; nothing is shown yet.
  frmHXTray();
  // Unloads the form when it is still loaded.
  ~frmHXTray();
  frmHXTray(const frmHXTray&) = delete;
  frmHXTray& operator=(const frmHXTray&) = delete;

  // The load sequence: language strings, mode, icon, balloon, tip, then the UAC decision.
  void Load();
  // Deletes the icon and ends the message loop. Never cancelled; later calls do nothing.
  void Unload();
  bool IsLoaded() const { return loaded_; }

  // Public interface.
  void ShowBalloonTip(const std::u16string& sMessage, const std::u16string& sTitle, std::int32_t eIcon,
                      const TaggedValue& lTimeOutMs);
  std::u16string ToolTip() const;
  void ToolTip(const std::u16string& sTip);
  std::int32_t IconHandle() const;
  void IconHandle(std::int32_t hIcon);
  TaggedValue ShowMenu();

  // Outgoing events; eButton is 1 for the left and 2 for the right button.
  std::function<void(std::int32_t eButton)> SysTrayMouseDown;
  std::function<void(std::int32_t eButton)> SysTrayMouseUp;
  std::function<void()> SysTrayMouseMove;
  std::function<void(std::int32_t eButton)> SysTrayDoubleClick;
  std::function<void()> BalloonShow;
  std::function<void()> BalloonHide;
  std::function<void()> BalloonTimeOut;
  std::function<void()> BalloonClicked;

  // State, readable for inspection.
  bool UseUnicode() const { return UseUnicode_; }
  bool BalloonsSupported() const { return BalloonsSupported_; }
  const win::NOTIFYICONDATAA& NotifyA() const { return NotifyA_; }
  const win::NOTIFYICONDATAW& NotifyW() const { return NotifyW_; }
  const std::u16string& ProductName() const { return ProductName_; }
  const std::u16string& BalloonTitle() const { return BalloonTitle_; }
  const std::u16string& BalloonText() const { return BalloonText_; }
  MenuControl& FenMenuSysTray() { return *FenMenuSysTray_; }
  win::HWND hWnd() const { return window_->handle(); }

  // Bytes per character of the record in use, and the record size to send.
  std::int32_t CharsToBytes(std::int32_t count) const;
  win::DWORD NotifyRecordSize() const;

 private:
  void LoadLanguageStrings();
  void ChooseMode();
  bool AddIcon(const std::u16string& sTip);
  bool SendAdd();
  void ShowReminder();
  void OnTaskbarCreated();
  win::BOOL Notify(win::DWORD message);
  void OnTrayNotification(std::uint32_t code);
  void OnItemClick(const std::shared_ptr<MenuItem>& item);
  void RunScan();
  bool OnWindowMessage(win::UINT message, win::WPARAM wParam, win::LPARAM lParam);

  bool UseUnicode_ = false;
  bool BalloonsSupported_ = false;
  win::NOTIFYICONDATAA NotifyA_{};
  win::NOTIFYICONDATAW NotifyW_{};
  std::u16string ProductName_;
  std::u16string BalloonTitle_;
  std::u16string BalloonText_;

  // The shell's broadcast when its notification area is (re)created; 0 when unknown.
  win::UINT TaskbarCreated_ = 0;
  // The reminder balloon could not be shown because the icon was never added.
  bool BalloonOwed_ = false;

  bool loaded_ = false;
  std::unique_ptr<platform::MessageWindow> window_;
  std::unique_ptr<MenuControl> FenMenuSysTray_;
  platform::unique_hicon icon_;
};

}  // namespace tray
