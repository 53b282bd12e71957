// Start-up: the argument, the version word, one instance, and the UAC decision.
#include <string>

#include "mod_main.h"
#include "program_info.h"
#include "tray_test_support.h"

namespace {

using portable::WindowsRelease;
using tray::mod_main::Main;
using tray_test::TrayTest;

TEST(RunArguments, KeepsTheFirstThreeTrimmedUpperCasedCharacters) {
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"  /sched now"), u"/SC");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"ab"), u"AB");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u""), u"");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"    "), u"");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"a b c"), u"A B");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"\u00e9t\u00e9"), u"\u00c9T\u00c9");
  // Letters of other scripts are upper-cased as well (Cyrillic, Greek, Latin Extended-A).
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u" /\u0441\u0445 now"), u"/\u0421\u0425");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"\u03b1\u03b2\u03b3\u03b4"), u"\u0391\u0392\u0393");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"\u0161\u0142z"), u"\u0160\u0141Z");
  EXPECT_EQ(tray::mod_main::RunArgumentsOf(u"1-\u00df"), u"1-\u00df") << "no capital of its own";
}

using WindowsVersion = TrayTest;

TEST_F(WindowsVersion, SplitsTheVersionWord) {
  struct Case {
    portable::ReportedVersion reported;
    std::int32_t major, minor, buildLow, buildHigh;
    bool isNT;
  };
  const Case cases[] = {
      {{2, 6, 1, 7601}, 6, 1, 0xB1, 0x1D, true},
      {{2, 4, 0, 1381}, 4, 0, 0x65, 0x05, true},
      {{1, 4, 90, (4u << 24) | (90u << 16) | 3000u}, 4, 90, 0xB8, 0x0B + 128, false},
      {{1, 4, 10, (4u << 24) | (10u << 16) | 0x7FFFu}, 4, 10, 0xFF, 0x7F + 128, false},
  };
  for (const Case& c : cases) {
    portable::setReportedVersion(c.reported);
    std::int32_t major = -1, minor = -1, buildLow = -1, buildHigh = -1;
    bool isNT = !c.isNT;
    tray::mod_main::GetWindowsVersion(major, minor, buildLow, buildHigh, isNT);
    EXPECT_EQ(major, c.major);
    EXPECT_EQ(minor, c.minor);
    EXPECT_EQ(buildLow, c.buildLow);
    EXPECT_EQ(buildHigh, c.buildHigh);
    EXPECT_EQ(isNT, c.isNT);
  }
}

class Startup : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    application_ = std::make_unique<platform::ApplicationWindow>(tray::kApplicationTitle);
  }
  void TearDown() override {
    application_.reset();
    TrayTest::TearDown();
  }
  tray::mod_main::RunningTray start(const std::u16string& commandLine) {
    portable::user::setCommandLine(commandLine);
    return Main(*application_);
  }
  // A running first instance: its mutex, its hidden main window and a window above that.
  void simulateFirstInstance(const std::string& windowClass = "ThunderRT6Main") {
    firstMutex_.reset(win::CreateMutexA(nullptr, 0, tray::kMutexName));
    firstMain_ = portable::user::addWindow(windowClass, tray::kApplicationTitle);
    firstAbove_ = portable::user::addWindow("FirstInstanceForm", u"");
  }

  std::unique_ptr<platform::ApplicationWindow> application_;
  platform::unique_handle firstMutex_;
  win::HWND firstMain_ = nullptr;
  win::HWND firstAbove_ = nullptr;
};

TEST_F(Startup, FirstInstanceHoldsTheMutexAndWaitsForTheUser) {
  auto running = start(u"  /sched now");
  ASSERT_TRUE(running.form);
  EXPECT_TRUE(running.form->IsLoaded());
  EXPECT_EQ(tray::mod_main::RunArguments(), u"/SC");
  EXPECT_EQ(application_->title(), u"Quorvel Utilities Startup Tray");
  EXPECT_EQ(portable::user::mutexNames(), std::vector<std::string>{"TaldrinQuorvelUtilitiesSysTray"});
  EXPECT_TRUE(portable::shell::executeCalls().empty());
  EXPECT_EQ(portable::shell::visibleIconCount(), 1u);
  running = {};
  EXPECT_TRUE(portable::user::mutexNames().empty());
}

TEST_F(Startup, PreviousInstanceIsBroughtForwardAndNoFormIsMade) {
  simulateFirstInstance();
  EXPECT_THROW(start(u"/sched"), portable::user::ProcessEnded);
  EXPECT_EQ(portable::user::openedIcons(), std::vector<win::HWND>{firstAbove_});
  EXPECT_EQ(portable::user::foregroundWindows(), std::vector<win::HWND>{firstAbove_});
  EXPECT_TRUE(portable::shell::notifyCalls().empty());
  EXPECT_EQ(portable::user::lastMessageWindow(), nullptr) << "no form window was created";
  EXPECT_EQ(application_->title(), u"unwanted instance");
}

TEST_F(Startup, MutexHeldWithOtherRightsAlsoMeansAPreviousInstance) {
  // The first tray runs with rights that keep us from opening its mutex.
  portable::user::addForeignMutex(tray::kMutexName);
  firstMain_ = portable::user::addWindow("ThunderRT6Main", tray::kApplicationTitle);
  firstAbove_ = portable::user::addWindow("FirstInstanceForm", u"");
  EXPECT_THROW(start(u""), portable::user::ProcessEnded);
  EXPECT_EQ(portable::user::foregroundWindows(), std::vector<win::HWND>{firstAbove_});
  EXPECT_TRUE(portable::shell::notifyCalls().empty());
}

TEST_F(Startup, OlderMainWindowClassesAreFoundFirst) {
  simulateFirstInstance("ThunderRTMain");
  const win::HWND newerMain = portable::user::addWindow("ThunderRT6Main", tray::kApplicationTitle);
  const win::HWND aboveNewer = portable::user::addWindow("Other", u"");
  EXPECT_THROW(start(u""), portable::user::ProcessEnded);
  EXPECT_EQ(portable::user::foregroundWindows(), std::vector<win::HWND>{firstAbove_});
  EXPECT_NE(newerMain, nullptr);
  EXPECT_NE(aboveNewer, nullptr);
}

TEST_F(Startup, UnfoundPreviousInstanceLeavesAFullTrayAsUnwantedInstance) {
  firstMutex_.reset(win::CreateMutexA(nullptr, 0, tray::kMutexName));
  auto running = start(u"ab");
  ASSERT_TRUE(running.form);
  EXPECT_TRUE(running.form->IsLoaded());
  EXPECT_EQ(application_->title(), u"unwanted instance");
  EXPECT_EQ(tray::mod_main::RunArguments(), u"AB");
  EXPECT_EQ(portable::shell::visibleIconCount(), 1u);
  EXPECT_TRUE(portable::user::foregroundWindows().empty());
}

TEST_F(Startup, OwnMainWindowIsNotMistakenForAPreviousInstance) {
  // Only the mutex tells of another instance; our own window carries the title at first.
  firstMutex_.reset(win::CreateMutexA(nullptr, 0, tray::kMutexName));
  auto running = start(u"");
  EXPECT_TRUE(running.form);
  EXPECT_TRUE(portable::user::openedIcons().empty());
}

class UacDecision : public Startup, public ::testing::WithParamInterface<int> {};

TEST_P(UacDecision, AnythingButOneStartsTheMainProgramAtOnce) {
  const int setting = GetParam();
  platform::unique_hkey key;
  ASSERT_EQ(win::RegOpenKeyExW(tray_test::HKLM, tray_test::kPolicyKey, 0, win::KEY_ALL_ACCESS, key.put()), 0);
  if (setting < 0)
    ASSERT_EQ(win::RegDeleteValueW(key.get(), u"EnableLUA"), 0);
  else
    tray_test::setDword(tray_test::HKLM, tray_test::kPolicyKey, u"EnableLUA", static_cast<win::DWORD>(setting));

  auto running = start(u"");
  const bool waits = setting == 1;
  EXPECT_EQ(running.form->IsLoaded(), waits);
  EXPECT_EQ(portable::shell::executeCalls().size(), waits ? 0u : 1u);
  if (!waits) {
    const auto& call = portable::shell::executeCalls().front();
    EXPECT_EQ(call.parameters, std::optional<std::string>("")) << "no arguments, no parameters";
    EXPECT_EQ(call.file, std::optional<std::string>("C:\\Quorvel\\qv.exe"));
    EXPECT_EQ(portable::shell::visibleIconCount(), 0u);
    EXPECT_TRUE(portable::user::quitRequested());
    // The icon and the balloon appeared before the icon went again.
    const auto& sent = calls();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.front().message, win::NIM_ADD);
    EXPECT_EQ(sent.back().message, win::NIM_DELETE);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, UacDecision, ::testing::Values(-1, 0, 1, 2));

TEST_F(Startup, TextOneCountsAsOne) {
  tray_test::setString(tray_test::HKLM, tray_test::kPolicyKey, u"EnableLUA", u"1");
  auto running = start(u"");
  EXPECT_TRUE(running.form->IsLoaded());
}

TEST_F(Startup, MessageLoopRunsUntilTheUserPicksRunScan) {
  auto running = start(u"  /sched now");
  int idleCalls = 0;
  portable::user::setIdleHandler([&] {
    ++idleCalls;
    portable::user::scriptMenuChoice(2);
    win::PostMessageW(portable::user::lastMessageWindow(), win::WM_MOUSEMOVE, 0, 0x205);
    return idleCalls < 5;
  });
  platform::runMessageLoop();
  EXPECT_EQ(idleCalls, 1);
  EXPECT_FALSE(running.form->IsLoaded());
  ASSERT_EQ(portable::shell::executeCalls().size(), 1u);
  EXPECT_EQ(portable::shell::executeCalls().front().parameters, std::optional<std::string>("/SC"));
  EXPECT_EQ(portable::shell::visibleIconCount(), 0u);
}

}  // namespace
