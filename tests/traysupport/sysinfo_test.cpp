// The version and environment operations the support classes build on, as both backends
// (our stand-in and Windows itself) answer them.
#include <gtest/gtest.h>

#include <string>

#include "platform/sysinfo.h"

namespace {

TEST(VersionQuery, RecordOf148BytesIsFilled) {
  win::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = 148;
  record.dwMajorVersion = 0xDEADBEEF;
  ASSERT_EQ(win::GetVersionExA(&record), 1);
  EXPECT_NE(record.dwMajorVersion, 0xDEADBEEFu);
  EXPECT_TRUE(record.dwPlatformId == 1 || record.dwPlatformId == 2) << record.dwPlatformId;

  win::OSVERSIONINFOA wrongSize{};
  wrongSize.dwOSVersionInfoSize = 100;
  wrongSize.dwMajorVersion = 0xDEADBEEF;
  EXPECT_EQ(win::GetVersionExA(&wrongSize), 0);
  EXPECT_EQ(wrongSize.dwMajorVersion, 0xDEADBEEFu);
}

TEST(VersionQuery, GetVersionAgreesWithTheRecord) {
  win::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = 148;
  ASSERT_EQ(win::GetVersionExA(&record), 1);
  const win::DWORD packed = win::GetVersion();
  EXPECT_EQ(packed & 0xFF, record.dwMajorVersion);
  EXPECT_EQ((packed >> 8) & 0xFF, record.dwMinorVersion);
  EXPECT_EQ((packed & 0x80000000u) != 0, record.dwPlatformId != 2);
  if (record.dwPlatformId == 2) {
    EXPECT_EQ((packed >> 16) & 0x7FFF, record.dwBuildNumber & 0x7FFF);
  }
}

class Expansion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(win::SetEnvironmentVariableW(u"QV_SYSINFO_TEST", u"value\u00E9"), 0);
  }
  void TearDown() override { win::SetEnvironmentVariableW(u"QV_SYSINFO_TEST", nullptr); }

  static std::u16string expandW(const std::u16string& text) {
    const win::DWORD needed = win::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return u"<failed>";
    std::u16string buffer(needed + 2, u'#');
    EXPECT_EQ(win::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed), needed);
    EXPECT_EQ(buffer[needed - 1], u'\0') << "terminator inside the count";
    EXPECT_EQ(buffer[needed], u'#') << "nothing written past the capacity";
    buffer.resize(needed - 1);
    return buffer;
  }
};

TEST_F(Expansion, CapacityZeroReportsTheNeededCount) {
  const std::u16string text = u"[%QV_SYSINFO_TEST%]";
  EXPECT_EQ(win::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0), 9u) << "[value\u00E9] and the terminator";
  char16_t small[4] = {};
  EXPECT_EQ(win::ExpandEnvironmentStringsW(text.c_str(), small, 4), 9u);
  EXPECT_EQ(win::ExpandEnvironmentStringsW(u"", nullptr, 0), 1u);
}

TEST_F(Expansion, NamesMatchWhateverTheirCase) {
  EXPECT_EQ(expandW(u"%QV_SYSINFO_TEST%"), u"value\u00E9");
  EXPECT_EQ(expandW(u"a%qv_sysinfo_test%b%Qv_SysInfo_Test%"), u"avalue\u00E9bvalue\u00E9");
}

TEST_F(Expansion, UnknownAndUnfinishedReferencesStay) {
  EXPECT_EQ(expandW(u"%QV_SYSINFO_MISSING%\\x"), u"%QV_SYSINFO_MISSING%\\x");
  EXPECT_EQ(expandW(u"100%"), u"100%");
  EXPECT_EQ(expandW(u"50% of %QV_SYSINFO_TEST"), u"50% of %QV_SYSINFO_TEST");
  EXPECT_EQ(expandW(u"plain"), u"plain");
}

TEST_F(Expansion, AnsiFormCountsBytes) {
  const char* text = "<%QV_SYSINFO_TEST%>";
  const win::DWORD needed = win::ExpandEnvironmentStringsA(text, nullptr, 0);
  ASSERT_EQ(needed, 9u);
  std::string buffer(needed, '#');
  EXPECT_EQ(win::ExpandEnvironmentStringsA(text, buffer.data(), needed), needed);
  EXPECT_EQ(buffer, std::string("<value\xE9>\0", 9)) << "e-acute in the ANSI code page";
}

TEST_F(Expansion, RemovedVariableNoLongerExpands) {
  ASSERT_NE(win::SetEnvironmentVariableW(u"QV_SYSINFO_TEST", nullptr), 0);
  EXPECT_EQ(expandW(u"%QV_SYSINFO_TEST%"), u"%QV_SYSINFO_TEST%");
}

}  // namespace
