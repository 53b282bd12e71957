// The shell's callback codes, decoded into the form's events and the menu.
#include "platform/shell.h"
#include "tray_form.h"

namespace tray {

namespace {
constexpr std::int32_t kLeft = 1;
constexpr std::int32_t kRight = 2;

template <typename Event, typename... Args>
void Raise(const Event& event, Args... args) {
  if (event) event(args...);
}
}  // namespace

void frmHXTray::OnTrayNotification(std::uint32_t code) {
  switch (code) {
    case win::WM_MOUSEMOVE:
      Raise(SysTrayMouseMove);
      break;
    case win::WM_LBUTTONDOWN:
      Raise(SysTrayMouseDown, kLeft);
      break;
    case win::WM_LBUTTONUP:
      Raise(SysTrayMouseUp, kLeft);
      break;
    case win::WM_LBUTTONDBLCLK:
      Raise(SysTrayDoubleClick, kLeft);
      ShowMenu();
      break;
    case win::WM_RBUTTONDOWN:
      Raise(SysTrayMouseDown, kRight);
      break;
    case win::WM_RBUTTONUP:
      Raise(SysTrayMouseUp, kRight);
      ShowMenu();
      break;
    case win::WM_RBUTTONDBLCLK:
      Raise(SysTrayDoubleClick, kRight);
      break;
    case win::NIN_BALLOONSHOW:
      Raise(BalloonShow);
      break;
    case win::NIN_BALLOONHIDE:
      Raise(BalloonHide);
      break;
    case win::NIN_BALLOONTIMEOUT:
      Raise(BalloonTimeOut);
      break;
    case win::NIN_BALLOONUSERCLICK:
      Raise(BalloonClicked);
      break;
    default:
      break;  // keyboard selection and the rest: nothing
  }
}

}  // namespace tray
