// The 32-bit and 64-bit views of HKLM\Software, where our 32-bit code runs under WOW64.
#include "platform/system.h"
#include "registry_fixture.h"

namespace qc_test {
namespace {

using namespace win;

bool runsUnderWow64() {
  auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      GetProcAddress(GetModuleHandleW(u"kernel32.dll"), "IsWow64Process"));
  BOOL wow64 = 0;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

class RegistryViewTest : public ::testing::Test {
 protected:
  static constexpr const char16_t* kPath = u"Software\\QcPlatformTest";
  static constexpr const char16_t* kAppPath =
      u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\qcplatformtest.exe";

  void SetUp() override {
    if (!runsUnderWow64()) GTEST_SKIP() << "one registry view on this machine";
    cleanUp();
  }
  void TearDown() override { cleanUp(); }

  void cleanUp() {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      platform::unique_hkey software;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_ALL_ACCESS | view, software.put()) == ERROR_SUCCESS) {
        RegDeleteTreeW(software.get(), u"QcPlatformTest");
      }
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAppPath, view, 0);
    }
  }

  static LONG create(const char16_t* path, REGSAM view) {
    platform::unique_hkey key;
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
  }
  static LONG open(const char16_t* path, REGSAM view) {
    platform::unique_hkey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, key.put());
  }
};

TEST_F(RegistryViewTest, DefaultViewIsTheRedirected32BitOne) {
  ASSERT_EQ(ERROR_SUCCESS, create(u"Software\\QcPlatformTest\\ThirtyTwo", 0));
  EXPECT_EQ(ERROR_SUCCESS, open(u"Software\\QcPlatformTest\\ThirtyTwo", KEY_WOW64_32KEY));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, open(u"Software\\QcPlatformTest\\ThirtyTwo", KEY_WOW64_64KEY));
  EXPECT_EQ(ERROR_SUCCESS, open(u"Software\\Wow6432Node\\QcPlatformTest\\ThirtyTwo", KEY_WOW64_64KEY));
}

TEST_F(RegistryViewTest, The64BitViewIsSeparate) {
  ASSERT_EQ(ERROR_SUCCESS, create(u"Software\\QcPlatformTest\\SixtyFour", KEY_WOW64_64KEY));
  EXPECT_EQ(ERROR_SUCCESS, open(u"Software\\QcPlatformTest\\SixtyFour", KEY_WOW64_64KEY));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, open(u"Software\\QcPlatformTest\\SixtyFour", 0));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyExW(HKEY_LOCAL_MACHINE, u"Software\\QcPlatformTest\\SixtyFour",
                                           KEY_WOW64_64KEY, 0));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, open(u"Software\\QcPlatformTest\\SixtyFour", KEY_WOW64_64KEY));
}

TEST_F(RegistryViewTest, RelativeOpensStayInTheHandlesView) {
  ASSERT_EQ(ERROR_SUCCESS, create(u"Software\\QcPlatformTest\\Only64", KEY_WOW64_64KEY));
  platform::unique_hkey parent;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ | KEY_WOW64_64KEY, parent.put()));
  platform::unique_hkey child;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(parent.get(), u"Only64", 0, KEY_READ, child.put()));
}

TEST_F(RegistryViewTest, AppPathsIsSharedByBothViews) {
  ASSERT_EQ(ERROR_SUCCESS, create(kAppPath, 0));
  EXPECT_EQ(ERROR_SUCCESS, open(kAppPath, KEY_WOW64_64KEY));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAppPath, KEY_WOW64_64KEY, 0));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, open(kAppPath, 0));
}

TEST_F(RegistryViewTest, CurrentUserIsNotRedirected) {
  platform::unique_hkey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\QcPlatformTest\\User", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
  key.reset();
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\QcPlatformTest\\User", 0,
                                         KEY_READ | KEY_WOW64_64KEY, key.put()));
  key.reset();
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\QcPlatformTest"));
}

}  // namespace
}  // namespace qc_test
