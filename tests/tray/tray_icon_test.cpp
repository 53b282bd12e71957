// The notification records as the form sends them: add, balloon, tip, icon and delete.
#include <cstring>
#include <string>

#include "portable/text_control.h"
#include "tray_test_support.h"

namespace {

using portable::WindowsRelease;
using tray_test::TrayTest;
using tray_test::wideField;

constexpr char16_t kDescription[] = u"Quorvel Utilities Startup Tray";
constexpr char16_t kBalloonText[] =
    u"Please click on the Quorvel Utilities tray icon to run your scheduled startup scan.";

std::string narrowField(const char* field, std::size_t count) { return std::string(field, count); }
std::string padded(std::string text, std::size_t size) {
  text.resize(size, ' ');
  return text;
}

struct ModeCase {
  WindowsRelease release;
  const char* name;
  bool wide;
  bool balloons;
  win::DWORD cbSize;
};

class AddSequence : public TrayTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(AddSequence, SendsAddThenBalloonThenTipWithTheModesRecord) {
  const ModeCase mode = GetParam();
  auto form = loadForm(mode.release);
  EXPECT_EQ(form->UseUnicode(), mode.wide);
  EXPECT_EQ(form->BalloonsSupported(), mode.balloons);
  EXPECT_EQ(form->NotifyRecordSize(), mode.cbSize);
  EXPECT_EQ(form->CharsToBytes(10), mode.wide ? 20 : 10);

  std::vector<win::DWORD> expected{win::NIM_ADD};
  if (mode.balloons) expected.insert(expected.end(), {win::NIM_SETVERSION, win::NIM_MODIFY});
  expected.push_back(win::NIM_MODIFY);
  std::vector<win::DWORD> sent;
  for (const auto& c : calls()) {
    sent.push_back(c.message);
    EXPECT_EQ(c.wide, mode.wide) << "only the mode's record is sent";
  }
  ASSERT_EQ(sent, expected);

  const auto window = win::handleValue(form->hWnd());
  const auto icon = win::handleValue(tray_test::kFormIcon);
  const auto& add = calls().front();
  if (mode.wide) {
    const auto& r = add.w;
    EXPECT_EQ(r.cbSize, mode.cbSize);
    EXPECT_EQ(r.hWnd, window);
    EXPECT_EQ(r.uID, icon);
    EXPECT_EQ(r.hIcon, icon);
    EXPECT_EQ(r.uFlags, 7u);
    EXPECT_EQ(r.uCallbackMessage, 0x200u);
    EXPECT_EQ(wideField(r.szTip, 128), kDescription);
    EXPECT_EQ(r.uVersion, mode.balloons ? 3u : 0u);
    EXPECT_EQ(r.dwState, 0u);
    EXPECT_EQ(r.dwStateMask, 0u);
  } else {
    const auto& r = add.a;
    EXPECT_EQ(r.cbSize, mode.cbSize);
    EXPECT_EQ(r.hWnd, window);
    EXPECT_EQ(r.uID, icon);
    EXPECT_EQ(r.hIcon, icon);
    EXPECT_EQ(r.uFlags, 7u);
    EXPECT_EQ(r.uCallbackMessage, 0x200u);
    EXPECT_EQ(narrowField(r.szTip, 128), padded(std::string("Quorvel Utilities Startup Tray") + '\0', 128));
    EXPECT_EQ(r.uVersion, mode.balloons ? 3u : 0u);
  }

  if (mode.balloons) {
    EXPECT_EQ(std::memcmp(&calls()[1].w, &add.w, sizeof add.w), 0) << "the version goes with the same record";
    EXPECT_EQ(std::memcmp(&calls()[1].a, &add.a, sizeof add.a), 0);
    const auto& balloon = calls()[2];
    if (mode.wide) {
      EXPECT_EQ(balloon.w.uFlags, 16u);
      EXPECT_EQ(wideField(balloon.w.szInfo, 256), kBalloonText);
      EXPECT_EQ(wideField(balloon.w.szInfoTitle, 64), u"Quorvel Utilities Startup");
      EXPECT_EQ(balloon.w.uTimeout, 1000u);
      EXPECT_EQ(balloon.w.dwInfoFlags, 1u);
      EXPECT_EQ(wideField(balloon.w.szTip, 128), kDescription) << "the tip is unchanged until set";
    } else {
      EXPECT_EQ(balloon.a.uFlags, 16u);
      EXPECT_EQ(narrowField(balloon.a.szInfo, 256), padded(platform::toAnsi(kBalloonText), 256));
      EXPECT_EQ(narrowField(balloon.a.szInfoTitle, 64), padded("Quorvel Utilities Startup", 64));
      EXPECT_EQ(balloon.a.uTimeout, 1000u);
      EXPECT_EQ(balloon.a.dwInfoFlags, 1u);
    }
  }

  const auto& tip = calls().back();
  if (mode.wide) {
    EXPECT_EQ(tip.w.uFlags, 4u);
    EXPECT_EQ(wideField(tip.w.szTip, 128), u"Quorvel Utilities");
    EXPECT_EQ(tip.w.cbSize, mode.cbSize);
  } else {
    EXPECT_EQ(tip.a.uFlags, 4u);
    EXPECT_EQ(narrowField(tip.a.szTip, 128), padded(std::string("Quorvel Utilities") + '\0', 128));
  }
  EXPECT_EQ(form->ToolTip(), u"Quorvel Utilities");
  EXPECT_EQ(form->IconHandle(), static_cast<std::int32_t>(icon));
  EXPECT_EQ(portable::shell::visibleIconCount(), 1u);

  form->Unload();
  ASSERT_EQ(calls().back().message, win::NIM_DELETE);
  EXPECT_EQ(mode.wide ? calls().back().w.cbSize : calls().back().a.cbSize, mode.cbSize);
  EXPECT_EQ(portable::shell::visibleIconCount(), 0u);
  const auto sentBefore = calls().size();
  form->Unload();
  form.reset();
  EXPECT_EQ(calls().size(), sentBefore) << "an unloaded form sends nothing more";
}

INSTANTIATE_TEST_SUITE_P(Releases, AddSequence,
                         ::testing::Values(ModeCase{WindowsRelease::Win95, "Win95", false, false, 88},
                                           ModeCase{WindowsRelease::Win98, "Win98", false, false, 88},
                                           ModeCase{WindowsRelease::WinME, "WinME", false, true, 488},
                                           ModeCase{WindowsRelease::NT4, "NT4", true, false, 152},
                                           ModeCase{WindowsRelease::Win2000, "Win2000", true, true, 936},
                                           ModeCase{WindowsRelease::Win10, "Win10", true, true, 936}),
                         [](const auto& info) { return std::string(info.param.name); });

using WideTip = TrayTest;

TEST_F(WideTip, HoldsAtMost127CharactersWithBalloonsAnd63Without) {
  const std::u16string longTip(200, u'x');
  auto withBalloons = loadForm(WindowsRelease::Win2000);
  withBalloons->ToolTip(longTip);
  EXPECT_EQ(wideField(calls().back().w.szTip, 128), std::u16string(127, u'x'));
  EXPECT_EQ(withBalloons->ToolTip(), std::u16string(127, u'x'));
  withBalloons.reset();

  portable::shell::reset();
  auto without = loadForm(WindowsRelease::NT4);
  without->ToolTip(longTip);
  const auto& r = calls().back().w;
  EXPECT_EQ(r.cbSize, 152u);
  EXPECT_EQ(wideField(r.szTip, 128), std::u16string(63, u'x'));
}

TEST_F(WideTip, EmptyTipKeepsThePreviousTipAndStillSends) {
  auto form = loadForm(WindowsRelease::Win7);
  const auto before = calls().size();
  form->ToolTip(u"");
  ASSERT_EQ(calls().size(), before + 1);
  EXPECT_EQ(calls().back().message, win::NIM_MODIFY);
  EXPECT_EQ(calls().back().w.uFlags, 4u);
  EXPECT_EQ(wideField(calls().back().w.szTip, 128), u"Quorvel Utilities");
}

TEST_F(WideTip, BalloonTextsAreCutAtTheirLimits) {
  auto form = loadForm(WindowsRelease::WinXP);
  form->ShowBalloonTip(std::u16string(300, u'm'), std::u16string(100, u't'), 2, tray::TaggedValue::fromInteger32(5000));
  const auto& r = calls().back().w;
  EXPECT_EQ(wideField(r.szInfo, 256), std::u16string(255, u'm'));
  EXPECT_EQ(wideField(r.szInfoTitle, 64), std::u16string(63, u't'));
  EXPECT_EQ(r.uTimeout, 5000u);
  EXPECT_EQ(r.dwInfoFlags, 2u);
}

TEST_F(WideTip, EmptyBalloonMessageResendsThePreviousText) {
  auto form = loadForm(WindowsRelease::Win7);
  const auto before = calls().size();
  form->ShowBalloonTip(u"", u"New title", 1, tray::TaggedValue::fromString(u"250"));
  ASSERT_EQ(calls().size(), before + 1);
  const auto& r = calls().back().w;
  EXPECT_EQ(calls().back().message, win::NIM_MODIFY);
  EXPECT_EQ(wideField(r.szInfo, 256), kBalloonText);
  EXPECT_EQ(wideField(r.szInfoTitle, 64), u"New title");
  EXPECT_EQ(r.uTimeout, 250u);
}

using NarrowTip = TrayTest;

TEST_F(NarrowTip, A127CharacterTipAlreadyInPlaceIsNotSentAgain) {
  auto form = loadForm(WindowsRelease::Win98);
  const std::u16string tip127(127, u'a');
  auto before = calls().size();
  form->ToolTip(tip127);
  EXPECT_EQ(calls().size(), before + 1);
  form->ToolTip(tip127);
  EXPECT_EQ(calls().size(), before + 1) << "the whole field already holds the text and its null";

  const std::u16string tip126(126, u'b');
  form->ToolTip(tip126);
  form->ToolTip(tip126);
  EXPECT_EQ(calls().size(), before + 3) << "a shorter tip is padded with spaces, so it never compares equal";
  EXPECT_EQ(form->ToolTip(), tip126);
}

TEST_F(NarrowTip, LongTipIsCutAt128CharactersWithoutNull) {
  auto form = loadForm(WindowsRelease::Win95);
  form->ToolTip(std::u16string(200, u'c'));
  EXPECT_EQ(narrowField(calls().back().a.szTip, 128), std::string(128, 'c'));
  EXPECT_EQ(form->ToolTip(), std::u16string(128, u'c'));
}

TEST_F(NarrowTip, EmptyTipEmptiesTheField) {
  auto form = loadForm(WindowsRelease::Win98);
  form->ToolTip(u"");
  EXPECT_EQ(narrowField(calls().back().a.szTip, 128), padded(std::string(1, '\0'), 128));
  EXPECT_EQ(form->ToolTip(), u"");
}

TEST_F(NarrowTip, TextsAreSentInTheAnsiCodePage) {
  auto form = loadForm(WindowsRelease::WinME);
  form->ShowBalloonTip(u"caf\u00E9 \u20AC", u"T\u00EDtulo", 1, tray::TaggedValue::fromInteger32(10));
  const auto& r = calls().back().a;
  EXPECT_EQ(narrowField(r.szInfo, 8), "caf\xE9 \x80  ");
  EXPECT_EQ(narrowField(r.szInfoTitle, 7), "T\xEDtulo ");
  form->ShowBalloonTip(std::u16string(300, u'z'), u"", 1, tray::TaggedValue::fromInteger32(10));
  EXPECT_EQ(narrowField(calls().back().a.szInfo, 256), std::string(256, 'z'));
  EXPECT_EQ(narrowField(calls().back().a.szInfoTitle, 64), std::string(64, ' ')) << "no null character is added";
}

// A cut never splits the two bytes of one character of a double-byte code page.
TEST_F(NarrowTip, OnADoubleByteCodePageTextsAreCutBetweenCharacters) {
  ASSERT_TRUE(portable::setAnsiCodePage(932));
  auto form = loadForm(WindowsRelease::WinME);
  form->ToolTip(std::u16string(127, u'a') + u"\u65E5");
  EXPECT_EQ(narrowField(calls().back().a.szTip, 128), std::string(127, 'a') + ' ');
  form->ShowBalloonTip(u"\u65E5\u672C", std::u16string(63, u'x') + u"\u65E5", 1, tray::TaggedValue::fromInteger32(10));
  EXPECT_EQ(narrowField(calls().back().a.szInfoTitle, 64), std::string(63, 'x') + ' ');
  EXPECT_EQ(narrowField(calls().back().a.szInfo, 5), "\x93\xFA\x96\x7B ");
  portable::setAnsiCodePage(1252);
}

using BalloonSupport = TrayTest;

TEST_F(BalloonSupport, NoBalloonWhereTheSystemLacksThem) {
  for (auto release : {WindowsRelease::Win95, WindowsRelease::Win98, WindowsRelease::NT4}) {
    portable::shell::reset();
    auto form = loadForm(release);
    const auto before = calls().size();
    form->ShowBalloonTip(u"text", u"title", 1, tray::TaggedValue::fromInteger32(1000));
    EXPECT_EQ(calls().size(), before);
    for (const auto& c : calls()) EXPECT_NE(c.message, win::NIM_SETVERSION);
  }
}

using IconHandle = TrayTest;

TEST_F(IconHandle, SameHandleSendsNothingANewOneSendsTheIconOnly) {
  auto form = loadForm(WindowsRelease::Win7);
  const auto before = calls().size();
  form->IconHandle(form->IconHandle());
  EXPECT_EQ(calls().size(), before);

  form->IconHandle(0x5150);
  ASSERT_EQ(calls().size(), before + 1);
  const auto& r = calls().back().w;
  EXPECT_EQ(calls().back().message, win::NIM_MODIFY);
  EXPECT_EQ(r.uFlags, 2u);
  EXPECT_EQ(r.hIcon, 0x5150u);
  EXPECT_EQ(r.uID, win::handleValue(tray_test::kFormIcon)) << "the icon's id stays";
  EXPECT_EQ(form->IconHandle(), 0x5150);
}

TEST_F(IconHandle, NarrowRecordCarriesTheNewHandle) {
  auto form = loadForm(WindowsRelease::Win98);
  form->IconHandle(0x77);
  EXPECT_FALSE(calls().back().wide);
  EXPECT_EQ(calls().back().a.hIcon, 0x77u);
  EXPECT_EQ(calls().back().a.uFlags, 2u);
}

}  // namespace
