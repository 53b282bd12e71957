// The stand-in's controls and the behaviour only it can be made to show: machines, denials,
// injected failures, the clock, handle views, enumeration at scale.
#include "platform/system.h"
#include "portable_support.h"

namespace qc_test {
namespace {

using namespace win;

constexpr DWORD kSentinelTime = 0xdeadbeef;

class PortableControlsTest : public PortableTest {
 protected:
  static LONG create(HKEY root, const char16_t* path, REGSAM access = KEY_ALL_ACCESS) {
    platform::unique_hkey key;
    return RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, key.put(), nullptr);
  }
  static BOOL isWow64() {
    auto fn = reinterpret_cast<IsWow64ProcessFn>(GetProcAddress(GetModuleHandleW(u"KERNEL32.DLL"), "IsWow64Process"));
    BOOL wow64 = -1;
    EXPECT_NE(nullptr, fn);
    if (fn) {
      EXPECT_NE(0, fn(GetCurrentProcess(), &wow64));
    }
    return wow64;
  }
};

TEST_F(PortableControlsTest, X64MachineRedirectsHklmSoftware) {
  ASSERT_EQ(portable::Machine::x64, portable::currentMachine());
  EXPECT_EQ(1, isWow64());
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_LOCAL_MACHINE, u"Software\\Vendor\\App"));
  EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432NODE\\Vendor\\App", KEY_WOW64_64KEY));
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Vendor", KEY_WOW64_64KEY));
  // Naming the node explicitly is not redirected twice.
  EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Wow6432Node\\Vendor\\App"));
}

TEST_F(PortableControlsTest, X86MachineHasOneViewAndIgnoresTheFlags) {
  portable::setMachine(portable::Machine::x86);
  EXPECT_EQ(0, isWow64());
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_LOCAL_MACHINE, u"Software\\Vendor\\App"));
  EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Vendor\\App", KEY_WOW64_64KEY));
  EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Vendor\\App", KEY_WOW64_32KEY));
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Wow6432Node"));
}

TEST_F(PortableControlsTest, OldWindowsLacksIsWow64Process) {
  portable::setIsWow64ProcessPresent(false);
  EXPECT_EQ(nullptr, GetProcAddress(GetModuleHandleW(u"kernel32"), "IsWow64Process"));
  portable::resetRegistry();
  EXPECT_NE(nullptr, GetProcAddress(GetModuleHandleW(u"kernel32"), "IsWow64Process"));
}

TEST_F(PortableControlsTest, HandleKeepsItsViewForRelativeOpens) {
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_LOCAL_MACHINE, u"Software\\Both", KEY_ALL_ACCESS | KEY_WOW64_64KEY));
  platform::unique_hkey software64;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ | KEY_WOW64_64KEY, software64.put()));
  platform::unique_hkey both;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(software64.get(), u"Both", 0, KEY_READ, both.put()));
  // The request's own flag wins over the handle's view.
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(software64.get(), u"Both", 0, KEY_READ | KEY_WOW64_32KEY, both.put()));
}

TEST_F(PortableControlsTest, DeniedAccessBitsRefuseOpensThatAskForThem) {
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_LOCAL_MACHINE, u"Software\\Locked"));
  portable::denyAccess(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node\\locked", KEY_SET_VALUE | 0x10000);
  platform::unique_hkey key;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Locked", 0, KEY_ALL_ACCESS, key.put()));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Locked", 0, KEY_WRITE, key.put()));
  EXPECT_EQ(ERROR_ACCESS_DENIED, create(HKEY_LOCAL_MACHINE, u"Software\\Locked"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Locked"));
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Locked", 0, KEY_READ, key.put()));
  portable::denyAccess(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node\\Locked", 0);
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Locked", 0, KEY_ALL_ACCESS, key.put()));
}

TEST_F(PortableControlsTest, CreatingASubkeyNeedsCreateAccessOnTheParentHandle) {
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_CURRENT_USER, u"Software\\Parent"));
  platform::unique_hkey readOnly;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Parent", 0, KEY_READ, readOnly.put()));
  platform::unique_hkey child;
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegCreateKeyExW(readOnly.get(), u"Child", 0, nullptr, 0, KEY_READ, nullptr, child.put(), nullptr));
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, u"Software\\Parent\\Child"));
}

TEST_F(PortableControlsTest, QueryInfoNeedsQueryAccess) {
  // Windows checks this; Wine does not, so only the stand-in's own suite says so.
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_CURRENT_USER, u"Software\\Info"));
  platform::unique_hkey writeOnly;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Info", 0, KEY_SET_VALUE, writeOnly.put()));
  FILETIME time{kSentinelTime, kSentinelTime};
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryInfoKeyW(writeOnly.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr, nullptr, &time));
  EXPECT_EQ(kSentinelTime, time.dwLowDateTime);
}

TEST_F(PortableControlsTest, InjectedFailuresHitTheChosenCallsOnly) {
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_CURRENT_USER, u"Software\\A"));
  portable::injectFailure("RegOpenKeyExW", 2, 2, ERROR_ACCESS_DENIED);
  platform::unique_hkey key;
  std::vector<LONG> results;
  for (int i = 0; i < 4; ++i) results.push_back(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\A", 0, KEY_READ, key.put()));
  EXPECT_EQ((std::vector<LONG>{ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, ERROR_SUCCESS}), results);
  // Other functions, and the other character form, count separately.
  portable::injectFailure("RegEnumKeyW", 1, 1, ERROR_NOT_ENOUGH_MEMORY);
  char16_t name[16] = u"unset";
  EXPECT_EQ(ERROR_NOT_ENOUGH_MEMORY, RegEnumKeyW(HKEY_CURRENT_USER, 0, name, 16));
  EXPECT_EQ(std::u16string(u"unset"), name);
  EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyW(HKEY_CURRENT_USER, 0, name, 16));
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_READ, key.put()));
}

TEST_F(PortableControlsTest, StampsFollowTheSetClockAndNeverRepeat) {
  portable::setClock(FILETIME{100, 7});
  ASSERT_EQ(ERROR_SUCCESS, create(HKEY_CURRENT_USER, u"Software\\Clocked"));
  FILETIME parent{}, child{};
  ASSERT_TRUE(portable::lastWriteTime(HKEY_CURRENT_USER, u"Software", parent));
  ASSERT_TRUE(portable::lastWriteTime(HKEY_CURRENT_USER, u"software\\clocked", child));
  // The parent changed when the child was created: one stamp for both.
  EXPECT_EQ(100u, parent.dwLowDateTime);
  EXPECT_EQ(7u, parent.dwHighDateTime);
  EXPECT_EQ(100u, child.dwLowDateTime);
  platform::unique_hkey key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Clocked", 0, KEY_SET_VALUE, key.put()));
  const BYTE one = 1;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), u"v", 0, REG_BINARY, &one, 1));
  ASSERT_TRUE(portable::lastWriteTime(HKEY_CURRENT_USER, u"Software\\Clocked", child));
  EXPECT_EQ(101u, child.dwLowDateTime);
  FILETIME missing{};
  EXPECT_FALSE(portable::lastWriteTime(HKEY_CURRENT_USER, u"Software\\Nowhere", missing));
}

TEST_F(PortableControlsTest, ValuesEnumerateInCreationOrder) {
  platform::unique_hkey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Order", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, key.put(), nullptr));
  for (const char16_t* name : {u"zeta", u"alpha", u"Mid"}) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), name, 0, REG_NONE, nullptr, 0));
  }
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), u"ZETA", 0, REG_NONE, nullptr, 0));  // replaces, keeps place
  std::vector<std::u16string> names;
  char16_t name[16];
  DWORD length = 16;
  for (DWORD i = 0; RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = 16) {
    names.emplace_back(name);
  }
  EXPECT_EQ((std::vector<std::u16string>{u"zeta", u"alpha", u"Mid"}), names);
}

TEST_F(PortableControlsTest, NonAsciiNamesFoldAndSortUpperCased) {
  for (const char16_t* name : {u"\u00e9t\u00e9", u"\u00c9T\u00c9", u"\u0436\u0443\u043a", u"Zulu", u"_under"}) {
    create(HKEY_CURRENT_USER, (std::u16string(u"Software\\Fold\\") + name).c_str());
  }
  platform::unique_hkey fold;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Fold", 0, KEY_READ, fold.put()));
  std::vector<std::u16string> names;
  char16_t name[16];
  for (DWORD i = 0; RegEnumKeyW(fold.get(), i, name, 16) == ERROR_SUCCESS; ++i) names.emplace_back(name);
  // Upper-cased, "_" (0x5F) sorts after "Z" (0x5A).
  EXPECT_EQ((std::vector<std::u16string>{u"Zulu", u"_under", u"\u00e9t\u00e9", u"\u0436\u0443\u043a"}), names);
}

TEST_F(PortableControlsTest, HostileNamesAreRefused) {
  EXPECT_EQ(ERROR_INVALID_PARAMETER, create(HKEY_CURRENT_USER, u"Software\\line\nbreak"));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, create(HKEY_CURRENT_USER, (u"Software\\" + std::u16string(256, u'x')).c_str()));
  EXPECT_EQ(ERROR_SUCCESS, create(HKEY_CURRENT_USER, (u"Software\\" + std::u16string(255, u'x')).c_str()));
  EXPECT_EQ(161, create(HKEY_CURRENT_USER, u"\\Software\\Leading"));
  EXPECT_EQ(161, create(HKEY_CURRENT_USER, u"Software\\\\Double"));
}

TEST_F(PortableControlsTest, ResetInvalidatesOpenHandles) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Reset", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  portable::resetRegistry();
  char16_t name[8];
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegEnumKeyW(key, 0, name, 8));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, u"Software\\Reset"));
}

TEST_F(PortableControlsTest, LargeEnumerationWalksEveryKeyInOrder) {
  platform::unique_hkey parent;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Many", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, parent.put(), nullptr));
  const int count = 5000;
  for (int i = count - 1; i >= 0; --i) {
    std::u16string name = u"K" + std::u16string(5 - std::to_string(i).size(), u'0');
    for (char c : std::to_string(i)) name += static_cast<char16_t>(c);
    platform::unique_hkey child;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(parent.get(), name.c_str(), 0, nullptr, 0, KEY_READ, nullptr,
                                             child.put(), nullptr));
  }
  char16_t name[16];
  DWORD i = 0;
  std::u16string previous;
  for (; RegEnumKeyW(parent.get(), i, name, 16) == ERROR_SUCCESS; ++i) {
    ASSERT_LT(previous, std::u16string(name));
    previous = name;
  }
  EXPECT_EQ(static_cast<DWORD>(count), i);
  // Jumping back and forth gives the same answers as walking.
  ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyW(parent.get(), 10, name, 16));
  EXPECT_EQ(std::u16string(u"K00010"), name);
  ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyW(parent.get(), 3, name, 16));
  EXPECT_EQ(std::u16string(u"K00003"), name);
}

}  // namespace
}  // namespace qc_test
