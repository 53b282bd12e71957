// The notification records: add, modify and delete, the tip, the balloon and the icon.
#include <cstring>

#include "notify_fields.h"
#include "platform/text.h"
#include "tray_form.h"

namespace tray {

namespace {

constexpr win::UINT kCallbackMessage = win::WM_MOUSEMOVE;
constexpr std::size_t kNarrowTipChars = sizeof(win::NOTIFYICONDATAA::szTip);

std::uint8_t* bytes(char16_t* field) { return reinterpret_cast<std::uint8_t*>(field); }

// The narrow tip as compared with the field: the text with one null character after it.
std::string NarrowTip(const std::u16string& text) { return platform::toAnsi(text) + '\0'; }

}  // namespace

std::int32_t frmHXTray::CharsToBytes(std::int32_t count) const { return UseUnicode_ ? count * 2 : count; }

win::DWORD frmHXTray::NotifyRecordSize() const {
  if (UseUnicode_) return BalloonsSupported_ ? win::NOTIFYICONDATAW_V2_SIZE : win::NOTIFYICONDATAW_V1_SIZE;
  return BalloonsSupported_ ? win::NOTIFYICONDATAA_V2_SIZE : win::NOTIFYICONDATAA_V1_SIZE;
}

win::BOOL frmHXTray::Notify(win::DWORD message) {
  // Only the add's result is looked at (SendAdd); modify and delete fail silently.
  if (UseUnicode_) return win::Shell_NotifyIconW(message, &NotifyW_);
  return win::Shell_NotifyIconA(message, &NotifyA_);
}

bool frmHXTray::AddIcon(const std::u16string& sTip) {
  const win::HANDLE32 window = win::handleValue(window_->handle());
  const win::HANDLE32 icon = win::handleValue(icon_.get());
  const std::size_t tipLimit = static_cast<std::size_t>(CharsToBytes(BalloonsSupported_ ? 128 : 64));
  if (UseUnicode_) {
    NotifyW_.hWnd = window;
    NotifyW_.uID = icon;
    NotifyW_.uCallbackMessage = kCallbackMessage;
    NotifyW_.hIcon = icon;
    CopyTextToBytes(sTip, bytes(NotifyW_.szTip), tipLimit);
  } else {
    NotifyA_.hWnd = window;
    NotifyA_.uID = icon;
    NotifyA_.uCallbackMessage = kCallbackMessage;
    NotifyA_.hIcon = icon;
    FillNarrowField(sTip + u'\0', NotifyA_.szTip, kNarrowTipChars);
  }
  return SendAdd();
}

// The add with the record as it stands; true when the shell took the icon.
bool frmHXTray::SendAdd() {
  // uVersion shares its place with the balloon's time-out, which a balloon may have set.
  if (UseUnicode_) {
    NotifyW_.uFlags = win::NIF_MESSAGE | win::NIF_ICON | win::NIF_TIP;
    if (BalloonsSupported_) NotifyW_.uVersion = win::NOTIFYICON_VERSION;
    NotifyW_.cbSize = NotifyRecordSize();
  } else {
    NotifyA_.uFlags = win::NIF_MESSAGE | win::NIF_ICON | win::NIF_TIP;
    if (BalloonsSupported_) NotifyA_.uVersion = win::NOTIFYICON_VERSION;
    NotifyA_.cbSize = NotifyRecordSize();
  }
  const bool added = Notify(win::NIM_ADD) != 0;
  if (BalloonsSupported_) Notify(win::NIM_SETVERSION);
  return added;
}

void frmHXTray::ShowReminder() {
  ShowBalloonTip(BalloonText_, BalloonTitle_, static_cast<std::int32_t>(win::NIIF_INFO), TaggedValue::fromInteger32(1000));
}

// The shell's notification area was created (logon, a restarted shell): the icon is added
// again, and the reminder shown if the icon never made it before.
void frmHXTray::OnTaskbarCreated() {
  if (!loaded_) return;
  if (SendAdd() && BalloonOwed_) {
    BalloonOwed_ = false;
    ShowReminder();
  }
}

void frmHXTray::ShowBalloonTip(const std::u16string& sMessage, const std::u16string& sTitle, std::int32_t eIcon,
                               const TaggedValue& lTimeOutMs) {
  if (!BalloonsSupported_) return;
  // A time-out that is not a number leaves the previous one.
  const auto timeout = lTimeOutMs.toInteger32();
  if (UseUnicode_) {
    CopyTextToBytes(sMessage, bytes(NotifyW_.szInfo), 512);
    CopyTextToBytes(sTitle, bytes(NotifyW_.szInfoTitle), 128);
    if (timeout) NotifyW_.uTimeout = static_cast<win::UINT>(*timeout);
    NotifyW_.dwInfoFlags = static_cast<win::DWORD>(eIcon);
    NotifyW_.uFlags = win::NIF_INFO;
  } else {
    FillNarrowField(sMessage, NotifyA_.szInfo, sizeof NotifyA_.szInfo);
    FillNarrowField(sTitle, NotifyA_.szInfoTitle, sizeof NotifyA_.szInfoTitle);
    if (timeout) NotifyA_.uTimeout = static_cast<win::UINT>(*timeout);
    NotifyA_.dwInfoFlags = static_cast<win::DWORD>(eIcon);
    NotifyA_.uFlags = win::NIF_INFO;
  }
  Notify(win::NIM_MODIFY);
}

std::u16string frmHXTray::ToolTip() const {
  if (UseUnicode_) return TextBeforeNull(NotifyW_.szTip, std::size(NotifyW_.szTip));
  return TextBeforeNull(NotifyA_.szTip, kNarrowTipChars);
}

void frmHXTray::ToolTip(const std::u16string& sTip) {
  if (UseUnicode_) {
    const std::size_t tipLimit = static_cast<std::size_t>(CharsToBytes(BalloonsSupported_ ? 128 : 64));
    CopyTextToBytes(sTip, bytes(NotifyW_.szTip), tipLimit);
    NotifyW_.uFlags = win::NIF_TIP;
  } else {
    const std::string tip = NarrowTip(sTip);
    // Only a tip that fills the whole field can be found unchanged.
    if (tip.size() == kNarrowTipChars && std::memcmp(tip.data(), NotifyA_.szTip, kNarrowTipChars) == 0) return;
    FillNarrowField(sTip + u'\0', NotifyA_.szTip, kNarrowTipChars);
    NotifyA_.uFlags = win::NIF_TIP;
  }
  Notify(win::NIM_MODIFY);
}

std::int32_t frmHXTray::IconHandle() const {
  return static_cast<std::int32_t>(UseUnicode_ ? NotifyW_.hIcon : NotifyA_.hIcon);
}

void frmHXTray::IconHandle(std::int32_t hIcon) {
  const auto value = static_cast<win::HANDLE32>(hIcon);
  win::HANDLE32& current = UseUnicode_ ? NotifyW_.hIcon : NotifyA_.hIcon;
  if (value == current) return;
  current = value;
  if (UseUnicode_)
    NotifyW_.uFlags = win::NIF_ICON;
  else
    NotifyA_.uFlags = win::NIF_ICON;
  Notify(win::NIM_MODIFY);
}

}  // namespace tray
