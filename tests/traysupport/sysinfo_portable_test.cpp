// The stand-in's version and environment controls.
#include <gtest/gtest.h>

#include "clsRegistry.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/sysinfo.h"
#include "portable/registry_control.h"
#include "portable/sysinfo_control.h"

namespace {

class PortableVersion : public ::testing::Test {
 protected:
  void TearDown() override { portable::resetReportedVersion(); }
};

TEST_F(PortableVersion, StartsAsWindows7) {
  portable::resetReportedVersion();
  win::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = 148;
  ASSERT_EQ(win::GetVersionExA(&record), 1);
  EXPECT_EQ(record.dwPlatformId, 2u);
  EXPECT_EQ(record.dwMajorVersion, 6u);
  EXPECT_EQ(record.dwMinorVersion, 1u);
  EXPECT_EQ(record.dwBuildNumber, 7601u);
  EXPECT_EQ(win::GetVersion(), 0x1DB10106u);
}

TEST_F(PortableVersion, OlderFamilySetsBit31) {
  portable::setReportedVersion(portable::WindowsRelease::Win98);
  EXPECT_EQ(win::GetVersion(), 0x87CE0A04u);
  portable::setReportedVersion(portable::WindowsRelease::Win95);
  EXPECT_EQ(win::GetVersion() & 0x8000FFFFu, 0x80000004u);
}

TEST_F(PortableVersion, FailingQueryLeavesTheRecordAlone) {
  portable::setReportedVersion(portable::WindowsRelease::Vista);
  portable::setVersionQueryFails(true);
  win::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = 148;
  record.dwPlatformId = 77;
  EXPECT_EQ(win::GetVersionExA(&record), 0);
  EXPECT_EQ(record.dwPlatformId, 77u);
  EXPECT_EQ(win::GetVersion() & 0xFFFF, 0x0006u) << "GetVersion still answers";
}

TEST(PortableExpansion, ControlsSetTheProcessEnvironment) {
  portable::setExpansionVariable(u"QV_PORTABLE_EXP", u"one");
  portable::setExpansionVariable(u"qv_portable_exp", u"two");  // the same variable
  char16_t out[32] = {};
  ASSERT_EQ(win::ExpandEnvironmentStringsW(u"%QV_PORTABLE_EXP%", out, 32), 4u);
  EXPECT_EQ(std::u16string(out), u"two");
  portable::removeExpansionVariable(u"Qv_Portable_Exp");
  ASSERT_EQ(win::ExpandEnvironmentStringsW(u"%QV_PORTABLE_EXP%", out, 32), 18u);
  EXPECT_EQ(std::u16string(out), u"%QV_PORTABLE_EXP%");
}

TEST(PortableExpansion, TooSmallBufferIsNotTouched) {
  char16_t out[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(win::ExpandEnvironmentStringsW(u"abcdef", out, 4), 7u);
  EXPECT_EQ(std::u16string(out, 4), u"####");
  EXPECT_EQ(win::ExpandEnvironmentStringsW(nullptr, out, 4), 0u);
  EXPECT_EQ(win::SetEnvironmentVariableW(u"A=B", u"x"), 0) << "'=' cannot be part of a name";
}

TEST(PortableExpansion, AnsiFormIsGivenOneByteMoreThanReported) {
  portable::resetRegistry();
  portable::setExpansionVariable(u"QV_PORTABLE_EXP", u"dir");
  const std::u16string data = u"%QV_PORTABLE_EXP%\\x";
  platform::unique_hkey key;
  ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_CURRENT_USER, u"Software\\QvExp", 0, nullptr, 0, win::KEY_ALL_ACCESS,
                                 nullptr, key.put(), nullptr),
            win::ERROR_SUCCESS);
  ASSERT_EQ(win::RegSetValueExW(key.get(), u"Path", 0, win::REG_EXPAND_SZ, reinterpret_cast<const win::BYTE*>(data.c_str()),
                                static_cast<win::DWORD>((data.size() + 1) * 2)),
            win::ERROR_SUCCESS);
  portable::clearAnsiExpansionSizes();
  tray::clsRegistry narrow(false);
  EXPECT_EQ(narrow.GetRegistryValue(tray::kHiveCurrentUser, u"Software\\QvExp", u"Path", u"", false),
            tray::TaggedValue::fromString(u"dir\\x"));
  EXPECT_EQ(portable::ansiExpansionSizes(), (std::vector<win::DWORD>{0, 7})) << "6 reported, \"dir\\x\" and its zero";
  portable::removeExpansionVariable(u"QV_PORTABLE_EXP");
  portable::resetRegistry();
}

}  // namespace
