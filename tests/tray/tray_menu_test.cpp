// Shell callbacks, the popup menu and its actions.
#include <string>
#include <vector>

#include "mod_main.h"
#include "tray_test_support.h"

namespace {

using portable::WindowsRelease;
using tray_test::TrayTest;

class Callbacks : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    form_ = loadForm(WindowsRelease::Win7);
    form_->SysTrayMouseDown = [this](std::int32_t b) { events_.push_back("down" + std::to_string(b)); };
    form_->SysTrayMouseUp = [this](std::int32_t b) { events_.push_back("up" + std::to_string(b)); };
    form_->SysTrayDoubleClick = [this](std::int32_t b) { events_.push_back("double" + std::to_string(b)); };
    form_->SysTrayMouseMove = [this] { events_.push_back("move"); };
    form_->BalloonShow = [this] { events_.push_back("balloonShow"); };
    form_->BalloonHide = [this] { events_.push_back("balloonHide"); };
    form_->BalloonTimeOut = [this] { events_.push_back("balloonTimeOut"); };
    form_->BalloonClicked = [this] { events_.push_back("balloonClicked"); };
  }

  // The shell's callback: the code sits in the low word of lParam.
  void notify(win::LPARAM lParam) {
    portable::user::sendMessage(form_->hWnd(), win::WM_MOUSEMOVE, win::handleValue(tray_test::kFormIcon), lParam);
  }
  std::size_t popups() const { return portable::user::popupCalls().size(); }

  std::unique_ptr<tray::frmHXTray> form_;
  std::vector<std::string> events_;
};

TEST_F(Callbacks, EachCodeRaisesItsEventAndOnlyTwoOpenTheMenu) {
  struct Case {
    win::LPARAM code;
    const char* event;
    bool opensMenu;
  };
  const Case cases[] = {
      {0x200, "move", false},         {0x201, "down1", false},        {0x202, "up1", false},
      {0x203, "double1", true},       {0x204, "down2", false},        {0x205, "up2", true},
      {0x206, "double2", false},      {0x402, "balloonShow", false},  {0x403, "balloonHide", false},
      {0x404, "balloonTimeOut", false}, {0x405, "balloonClicked", false},
  };
  for (const Case& c : cases) {
    events_.clear();
    const auto before = popups();
    notify(c.code);
    EXPECT_EQ(events_, std::vector<std::string>{c.event}) << "code 0x" << std::hex << c.code;
    EXPECT_EQ(popups(), before + (c.opensMenu ? 1 : 0)) << "code 0x" << std::hex << c.code;
  }
  EXPECT_TRUE(form_->IsLoaded()) << "dismissed menus leave the tray waiting";
}

TEST_F(Callbacks, OtherCodesDoNothing) {
  for (win::LPARAM code : {0x400, 0x401, 0x7B, 0x207, 0x406, 0}) {
    notify(code);
  }
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(popups(), 0u);
}

TEST_F(Callbacks, OnlyTheLowWordCarriesTheCode) {
  notify(0x00050205);
  EXPECT_EQ(events_, std::vector<std::string>{"up2"});
  EXPECT_EQ(popups(), 1u);
}

TEST_F(Callbacks, MenuOpensAtTheCursorWithTheFormInFront) {
  portable::user::setCursorPos({612, 740});
  notify(0x205);
  ASSERT_EQ(popups(), 1u);
  const auto& popup = portable::user::popupCalls().back();
  EXPECT_EQ(popup.owner, form_->hWnd());
  EXPECT_EQ(popup.position.x, 612);
  EXPECT_EQ(popup.position.y, 740);
  ASSERT_EQ(popup.entries.size(), 3u);
  EXPECT_EQ(popup.entries[0].text, u"Run Scan");
  EXPECT_EQ(popup.entries[0].id, 2u);
  EXPECT_EQ(popup.entries[1].flags & win::MF_SEPARATOR, win::MF_SEPARATOR);
  EXPECT_EQ(popup.entries[2].text, u"Close");
  EXPECT_EQ(popup.entries[2].id, 4u);
  EXPECT_EQ(portable::user::foregroundWindows(), std::vector<win::HWND>{form_->hWnd()});
  EXPECT_EQ(form_->FenMenuSysTray().Font().Name, u"Arial");
  EXPECT_EQ(portable::user::liveMenuCount(), 0) << "the popup menu is destroyed after use";
}

TEST_F(Callbacks, CloseUnloadsAndDeletesTheIcon) {
  portable::user::scriptMenuChoice(4);
  notify(0x203);
  EXPECT_FALSE(form_->IsLoaded());
  EXPECT_EQ(calls().back().message, win::NIM_DELETE);
  EXPECT_EQ(portable::shell::visibleIconCount(), 0u);
  EXPECT_TRUE(portable::user::quitRequested());
  EXPECT_TRUE(portable::shell::executeCalls().empty());
}

TEST_F(Callbacks, RunScanStartsTheMainProgramAndUnloads) {
  portable::user::scriptMenuChoice(2);
  notify(0x205);
  ASSERT_EQ(portable::shell::executeCalls().size(), 1u);
  EXPECT_EQ(portable::user::pendingMessageRuns(), 1);
  EXPECT_FALSE(form_->IsLoaded());
  EXPECT_EQ(calls().back().message, win::NIM_DELETE);
}

TEST_F(Callbacks, ItemsActByPositionWhatEverTheirCaptions) {
  auto& menus = form_->FenMenuSysTray().Menus();
  menus.Item(tray::TaggedValue::fromInteger16(2))->Caption(u"Close");
  menus.Item(tray::TaggedValue::fromInteger16(4))->Caption(u"Run Scan");
  portable::user::scriptMenuChoice(2);
  notify(0x205);
  const auto& popup = portable::user::popupCalls().back();
  EXPECT_EQ(popup.entries[0].text, u"Close");
  EXPECT_EQ(popup.entries[2].text, u"Run Scan");
  EXPECT_EQ(portable::shell::executeCalls().size(), 1u) << "position 2 runs the scan";
}

TEST_F(Callbacks, SeparatorAndRootPositionsDoNothing) {
  auto& menu = form_->FenMenuSysTray();
  for (std::int16_t position : {1, 3}) {
    const auto item = menu.Menus().Item(tray::TaggedValue::fromInteger16(position));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Index(), position);
    menu.ItemClick(item);
  }
  EXPECT_TRUE(form_->IsLoaded());
  EXPECT_TRUE(portable::shell::executeCalls().empty());
}

TEST_F(Callbacks, ItemLookupAcceptsOnlyExistingPositions) {
  auto& menus = form_->FenMenuSysTray().Menus();
  EXPECT_FALSE(menus.Item(tray::TaggedValue::fromInteger16(0)));
  EXPECT_FALSE(menus.Item(tray::TaggedValue::fromInteger16(5)));
  EXPECT_FALSE(menus.Item(tray::TaggedValue()));
  EXPECT_FALSE(menus.Item(tray::TaggedValue::fromString(u"mnuClose")));
  EXPECT_EQ(menus.Item(tray::TaggedValue::fromInteger32(4))->Index(), 4);
}

TEST_F(Callbacks, SystemCloseAndSessionEndUnload) {
  portable::user::sendMessage(form_->hWnd(), win::WM_ENDSESSION, 0, 0);
  EXPECT_TRUE(form_->IsLoaded()) << "the session does not end";
  portable::user::sendMessage(form_->hWnd(), win::WM_CLOSE, 0, 0);
  EXPECT_FALSE(form_->IsLoaded());
  EXPECT_EQ(calls().back().message, win::NIM_DELETE);
  EXPECT_EQ(portable::shell::visibleIconCount(), 0u);

  auto other = loadForm(WindowsRelease::Win98);
  portable::user::sendMessage(other->hWnd(), win::WM_ENDSESSION, 1, 0);
  EXPECT_FALSE(other->IsLoaded());
  EXPECT_EQ(calls().back().message, win::NIM_DELETE);
  EXPECT_FALSE(calls().back().wide);
}

struct PathCase {
  const char* name;
  const char16_t* stored;  // null: no value
  const char* expectedFile;
};

class RunScanPath : public TrayTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(RunScanPath, FallsBackToTheProgramFolderOnlyWithoutText) {
  if (GetParam().stored) tray_test::setString(tray_test::HKLM, tray_test::kPathKey, u"QuorvelUtilities", GetParam().stored);
  auto form = loadForm(WindowsRelease::Win7);
  portable::user::scriptMenuChoice(2);
  portable::user::sendMessage(form->hWnd(), win::WM_MOUSEMOVE, 0, 0x205);
  ASSERT_EQ(portable::shell::executeCalls().size(), 1u);
  const auto& call = portable::shell::executeCalls().front();
  EXPECT_EQ(call.hwnd, form->hWnd());
  EXPECT_EQ(call.operation, std::optional<std::string>("open"));
  EXPECT_EQ(call.file, std::optional<std::string>(GetParam().expectedFile));
  EXPECT_EQ(call.parameters, std::optional<std::string>(platform::toAnsi(tray::mod_main::RunArguments())));
  EXPECT_EQ(call.directory, std::nullopt);
  EXPECT_EQ(call.showCommand, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RunScanPath,
    ::testing::Values(PathCase{"Absent", nullptr, "C:\\Quorvel\\qv.exe"}, PathCase{"Empty", u"", "C:\\Quorvel\\qv.exe"},
                      PathCase{"Spaces", u"   ", "C:\\Quorvel\\qv.exe"},
                      PathCase{"Set", u"D:\\Apps\\QV\\qv.exe", "D:\\Apps\\QV\\qv.exe"},
                      PathCase{"SurroundingSpaces", u" D:\\Apps\\qv.exe ", " D:\\Apps\\qv.exe "},
                      PathCase{"NonAscii", u"D:\\Programme\\Qu\u00F6rvel\\qv.exe", "D:\\Programme\\Qu\xF6rvel\\qv.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
