// The form's life: its window, the load sequence and the unload.
#include "tray_form.h"

#include "clsRegistry.h"
#include "mod_main.h"
#include "program_info.h"

namespace tray {

frmHXTray::frmHXTray()
    : window_(std::make_unique<platform::MessageWindow>(
          [this](win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
            return OnWindowMessage(message, wParam, lParam);
          })),
      FenMenuSysTray_(std::make_unique<MenuControl>(window_->handle())),
      icon_(platform::loadProgramIcon()) {
  FenMenuSysTray_->ItemClick = [this](const std::shared_ptr<MenuItem>& item) { OnItemClick(item); };
}

frmHXTray::~frmHXTray() { Unload(); }

void frmHXTray::Load() {
  loaded_ = true;
  LoadLanguageStrings();
  ChooseMode();
  // The icon comes back whenever the shell announces a new notification area: at logon the
  // tray may start before there is one, and the shell may restart.
  TaskbarCreated_ = win::RegisterWindowMessageW(u"TaskbarCreated");
  BalloonOwed_ = !AddIcon(kFileDescription) && BalloonsSupported_;
  ShowReminder();
  ToolTip(ProductName_);

  std::int32_t enableLua = 0;
  {
    const clsRegistry registry;
    // An absent value comes back as the empty default, which counts as 0.
    if (auto number = registry.GetRegistryValue(kHiveLocalMachine, kSystemPolicyKey, kEnableLuaValue, u"", false)
                          .toInteger32())
      enableLua = *number;
  }
  if (enableLua != 1) RunScan();
}

void frmHXTray::ChooseMode() {
  std::int32_t major = 0, minor = 0, buildLow = 0, buildHigh = 0;
  bool isNT = false;
  mod_main::GetWindowsVersion(major, minor, buildLow, buildHigh, isNT);
  if (isNT) {
    UseUnicode_ = true;
    BalloonsSupported_ = major >= 5;
  } else {
    BalloonsSupported_ = major == 4 && minor == 90;
  }
}

void frmHXTray::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  Notify(win::NIM_DELETE);
  // The window itself lives until the form object goes: its handler may be running now.
  platform::quitMessageLoop();
}

bool frmHXTray::OnWindowMessage(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  if (message == TaskbarCreated_ && TaskbarCreated_ != 0) {
    OnTaskbarCreated();
    return true;
  }
  switch (message) {
    case win::WM_MOUSEMOVE:
      // The shell puts its notification code where a mouse move carries x.
      OnTrayNotification(static_cast<std::uint32_t>(lParam) & 0xFFFF);
      return true;
    case win::WM_CLOSE:
      Unload();
      return true;
    case win::WM_ENDSESSION:
      if (wParam != 0) Unload();
      return true;
    default:
      return false;
  }
}

}  // namespace tray
