// The popup menu and its two actions.
#include "clsRegistry.h"
#include "mod_main.h"
#include "platform/text.h"
#include "program_info.h"
#include "text_rules.h"
#include "tray_form.h"

namespace tray {

namespace {
constexpr std::int16_t kRootItem = 1;
constexpr std::int16_t kRunScanItem = 2;
constexpr std::int16_t kCloseItem = 4;
}  // namespace

TaggedValue frmHXTray::ShowMenu() {
  if (!loaded_) return TaggedValue();
  win::SetForegroundWindow(window_->handle());
  MenuControl& menu = *FenMenuSysTray_;
  menu.Font().Name = u"Arial";
  if (auto root = menu.Menus().Item(TaggedValue::fromInteger16(kRootItem))) menu.ShowPopup(root);
  return TaggedValue();
}

void frmHXTray::OnItemClick(const std::shared_ptr<MenuItem>& item) {
  if (!item || !loaded_) return;
  switch (item->Index()) {
    case kRunScanItem:
      RunScan();
      break;
    case kCloseItem:
      Unload();
      break;
    default:
      break;
  }
}

void frmHXTray::RunScan() {
  const std::u16string parameters = mod_main::RunArguments();
  const std::u16string defaultFile = platform::programDirectory() + u"\\qv.exe";
  std::u16string file;
  {
    const clsRegistry registry;
    file = registry.GetRegistryValue(kHiveLocalMachine, kProductPathKey, kMainProgramValue, u"", false).toText();
  }
  // A value with text is used as read, surrounding spaces included.
  if (TrimSpaces(file).empty()) file = defaultFile;

  win::ShellExecuteA(window_->handle(), "open", platform::toAnsi(file).c_str(), platform::toAnsi(parameters).c_str(),
                     nullptr, win::SW_SHOW);
  platform::processPendingMessages();
  Unload();
}

}  // namespace tray
