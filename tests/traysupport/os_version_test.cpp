// clsOS against every release the stand-in version query can report.
#include <gtest/gtest.h>

#include "clsOS.h"
#include "clsRegistry.h"
#include "portable/sysinfo_control.h"
#include "version_code.h"

namespace {

using portable::WindowsRelease;

struct ReleaseRow {
  WindowsRelease release;
  const char* label;
  std::int32_t code;
  bool nt, nineX, vista, xp, win2k, me, win98, win95;
  const char16_t* name;
  const char16_t* build;
};

// nt is the family answer of isNT/isWinNT: every release of platform 2.
const ReleaseRow kRows[] = {
    {WindowsRelease::Win95, "95", 1, false, true, false, false, false, false, false, true, u"Windows NT ",
     u"4.0 (Build 67109814)"},
    {WindowsRelease::Win98, "98", 2, false, true, false, false, false, false, true, false, u"Windows ME ",
     u"4.10 (Build 67766222)"},
    {WindowsRelease::WinME, "ME", 3, false, true, false, false, false, true, true, false, u"Windows ME ",
     u"4.90 (Build 73010104)"},
    {WindowsRelease::NT4, "NT4", 4, true, false, false, false, true, false, false, false, u"Windows NT ",
     u"4.0 (Build 1381)"},
    {WindowsRelease::Win2000, "2000", 5, true, false, false, false, true, false, false, false, u"Windows 2000 ",
     u"5.0 (Build 2195)"},
    {WindowsRelease::WinXP, "XP", 6, true, false, false, true, false, false, false, false, u"Windows XP ",
     u"5.1 (Build 2600)"},
    {WindowsRelease::Server2003, "2003", 0, true, false, false, true, false, false, false, false, u"Windows 2000 ",
     u"5.2 (Build 3790)"},
    {WindowsRelease::Vista, "Vista", 7, true, false, true, false, false, false, false, false, u"Windows Vista",
     u"6.0 (Build 6002)"},
    {WindowsRelease::Win7, "7", 0, true, false, false, false, false, false, false, false, u"Windows Vista",
     u"6.1 (Build 7601)"},
    {WindowsRelease::Win10, "10", 0, true, false, false, false, false, false, false, false, u"Windows OS",
     u"10.0 (Build 19045)"},
};

void PrintTo(const ReleaseRow& row, std::ostream* os) { *os << "Windows " << row.label; }

class OsVersion : public ::testing::TestWithParam<ReleaseRow> {
 protected:
  void SetUp() override { portable::setReportedVersion(GetParam().release); }
  void TearDown() override { portable::resetReportedVersion(); }
};

INSTANTIATE_TEST_SUITE_P(Releases, OsVersion, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ReleaseRow>& info) {
                           return std::string("Windows") + info.param.label;
                         });

TEST_P(OsVersion, AnswersForTheRelease) {
  const ReleaseRow& row = GetParam();
  tray::clsOS os;
  EXPECT_EQ(os.isNT(), row.nt);
  EXPECT_EQ(os.isWinNT(), row.nt);
  EXPECT_EQ(os.is9x(), row.nineX);
  EXPECT_EQ(os.isWinVista(), row.vista);
  EXPECT_EQ(os.isWinXP(), row.xp);
  EXPECT_EQ(os.isWin2k(), row.win2k);
  EXPECT_EQ(os.isWinME(), row.me);
  EXPECT_EQ(os.isWin98(), row.win98);
  EXPECT_EQ(os.isWin95(), row.win95);
  EXPECT_EQ(os.GetWindowsName(), row.name);
  EXPECT_EQ(os.GetWindowsBuild(), row.build);
}

TEST_P(OsVersion, VersionCode) {
  win::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = 148;
  ASSERT_EQ(win::GetVersionExA(&record), 1);
  EXPECT_EQ(tray::VersionCodeOf(record), GetParam().code);
}

TEST_P(OsVersion, RegistryFamilyFollowsTheVersion) {
  EXPECT_EQ(tray::clsRegistry().IsNT(), GetParam().nt);
}

TEST(OsVersionCode, RowsCatchFirst) {
  const auto code = [](win::DWORD platform, win::DWORD major, win::DWORD minor) {
    win::OSVERSIONINFOA record{};
    record.dwPlatformId = platform;
    record.dwMajorVersion = major;
    record.dwMinorVersion = minor;
    return tray::VersionCodeOf(record);
  };
  EXPECT_EQ(code(2, 4, 51), 4) << "NT 4 with any minor";
  EXPECT_EQ(code(1, 5, 0), 2) << "platform 1 above major 4";
  EXPECT_EQ(code(0, 4, 3), 2) << "major 4 with a minor on any other platform";
  EXPECT_EQ(code(0, 5, 0), 0);
  EXPECT_EQ(code(1, 3, 0), 0);
  EXPECT_EQ(code(2, 6, 2), 0);
  EXPECT_EQ(code(0, 0, 0), 0) << "a failed query";
}

class OsVersionQuery : public ::testing::Test {
 protected:
  void TearDown() override { portable::resetReportedVersion(); }
};

TEST_F(OsVersionQuery, FailedQueryAnswersFalseEverywhere) {
  portable::setReportedVersion(WindowsRelease::WinXP);
  portable::setVersionQueryFails(true);
  tray::clsOS os;
  EXPECT_FALSE(os.isNT() || os.isWinNT() || os.is9x() || os.isWinVista() || os.isWinXP() || os.isWin2k() ||
               os.isWinME() || os.isWin98() || os.isWin95());
  EXPECT_EQ(os.GetWindowsName(), u"Windows OS");
  EXPECT_EQ(os.GetWindowsBuild(), u"0.0 (Build 0)");
  EXPECT_FALSE(tray::clsRegistry().IsNT()) << "the ANSI functions when the family is unknown";
}

TEST_F(OsVersionQuery, TextsAreFixedAtConstructionAnswersAreNot) {
  portable::setReportedVersion(WindowsRelease::Win98);
  tray::clsOS os;
  portable::setReportedVersion(WindowsRelease::WinXP);
  EXPECT_EQ(os.GetWindowsName(), u"Windows ME ");
  EXPECT_FALSE(os.isWin98());
  EXPECT_TRUE(os.isWinXP());
  EXPECT_TRUE(os.isNT());
}

TEST_F(OsVersionQuery, UnusualNumbers) {
  portable::setReportedVersion({2, 3, 5, 1057});
  EXPECT_EQ(tray::clsOS().GetWindowsName(), u"Windows NT ");
  portable::setReportedVersion({2, 3, 51, 1057});
  EXPECT_EQ(tray::clsOS().GetWindowsName(), u"Windows ") << "3.51 has the minor 51, not 5";
  portable::setReportedVersion({2, 3, 10, 0x80000001u});
  EXPECT_EQ(tray::clsOS().GetWindowsName(), u"Windows ");
  EXPECT_EQ(tray::clsOS().GetWindowsBuild(), u"3.10 (Build -2147483647)") << "all 32 build bits, signed";
  portable::setReportedVersion({2, 70000, 1, 5});
  EXPECT_EQ(tray::clsOS().GetWindowsBuild(), u"0.1 (Build 5)") << "a major beyond 16 bits is not taken";
  EXPECT_EQ(tray::clsOS().GetWindowsName(), u"Windows OS");
}

}  // namespace
