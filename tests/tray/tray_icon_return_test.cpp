// The icon comes back when the shell announces a new notification area ("TaskbarCreated").
#include <string>

#include "tray_test_support.h"

namespace {

using portable::WindowsRelease;
using tray_test::TrayTest;
using tray_test::wideField;

using IconReturn = TrayTest;

std::vector<win::DWORD> messagesFrom(const std::vector<portable::shell::NotifyCall>& calls, std::size_t first) {
  std::vector<win::DWORD> messages;
  for (std::size_t i = first; i < calls.size(); ++i) messages.push_back(calls[i].message);
  return messages;
}

void announceNotificationArea(const tray::frmHXTray& form) {
  portable::user::sendMessage(form.hWnd(), win::RegisterWindowMessageW(u"TaskbarCreated"), 0, 0);
}

TEST_F(IconReturn, ShellRestartAddsTheRecordAsItStandsAndNeverRepeatsTheBalloon) {
  auto form = loadForm(WindowsRelease::WinXP);
  form->ToolTip(u"Changed tip");
  form->IconHandle(0x77);
  portable::shell::setNotificationArea(false);
  portable::shell::setNotificationArea(true);

  const std::size_t before = calls().size();
  announceNotificationArea(*form);
  announceNotificationArea(*form);
  ASSERT_EQ(messagesFrom(calls(), before),
            (std::vector<win::DWORD>{win::NIM_ADD, win::NIM_SETVERSION, win::NIM_ADD, win::NIM_SETVERSION}))
      << "added again each time, and no balloon: it was shown at load";
  const auto& add = calls()[before].w;
  EXPECT_EQ(add.uFlags, 7u);
  EXPECT_EQ(add.cbSize, 936u);
  EXPECT_EQ(add.uVersion, 3u) << "not the balloon's time-out that shares its place";
  EXPECT_EQ(add.hIcon, 0x77u);
  EXPECT_EQ(add.uID, win::handleValue(tray_test::kFormIcon));
  EXPECT_EQ(wideField(add.szTip, 128), u"Changed tip");
  EXPECT_EQ(portable::shell::visibleIconCount(), 1u);
}

TEST_F(IconReturn, StartedWithoutANotificationAreaShowsIconAndReminderOnceItExists) {
  portable::shell::setNotificationArea(false);
  auto form = loadForm(WindowsRelease::WinME);  // the narrow record, with balloons
  EXPECT_EQ(portable::shell::visibleIconCount(), 0u);
  portable::shell::setNotificationArea(true);

  const std::size_t before = calls().size();
  announceNotificationArea(*form);
  announceNotificationArea(*form);
  ASSERT_EQ(messagesFrom(calls(), before), (std::vector<win::DWORD>{win::NIM_ADD, win::NIM_SETVERSION, win::NIM_MODIFY,
                                                                    win::NIM_ADD, win::NIM_SETVERSION}));
  const auto& balloon = calls()[before + 2].a;
  EXPECT_EQ(balloon.uFlags, 16u);
  EXPECT_EQ(balloon.uTimeout, 1000u);
  EXPECT_EQ(std::string(balloon.szInfoTitle, 25), "Quorvel Utilities Startup");
  EXPECT_EQ(portable::shell::visibleIconCount(), 1u);
}

}  // namespace
