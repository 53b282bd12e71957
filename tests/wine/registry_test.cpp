// The registry wrappers against the real advapi32: the two views of a 64-bit system,
// last-write times and text in both character forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/win_types.h"
#include "system_probe.h"

namespace {

constexpr char16_t kTestKey[] = u"Software\\QuorvelWineBackendTest";
constexpr char16_t kRedirectedKey[] = u"Software\\Wow6432Node\\QuorvelWineBackendTest";

bool is64BitPrefix() {
  const char* v = std::getenv("QC_EXPECT_WOW64");
  return v && std::string(v) == "1";
}

std::uint64_t ticks(const win::FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { removeTestKeys(); }
  void TearDown() override { removeTestKeys(); }

  static void removeTestKeys() {
    for (win::REGSAM view : {win::KEY_WOW64_32KEY, win::KEY_WOW64_64KEY}) {
      platform::unique_hkey key;
      if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, kTestKey, 0, win::KEY_ALL_ACCESS | view, key.put()) ==
          win::ERROR_SUCCESS) {
        win::RegDeleteTreeW(key.get(), nullptr);
        key.reset();
        win::RegDeleteKeyExW(win::HKEY_LOCAL_MACHINE, kTestKey, view, 0);
      }
    }
  }

  static platform::unique_hkey create(const char16_t* path, win::REGSAM view, win::DWORD* disposition = nullptr) {
    platform::unique_hkey key;
    const win::LONG rc = win::RegCreateKeyExW(win::HKEY_LOCAL_MACHINE, path, 0, nullptr, win::REG_OPTION_NON_VOLATILE,
                                              win::KEY_ALL_ACCESS | view, nullptr, key.put(), disposition);
    EXPECT_EQ(rc, win::ERROR_SUCCESS) << "creating the test key";
    return key;
  }

  static win::LONG openRead(const char16_t* path, win::REGSAM view) {
    platform::unique_hkey key;
    return win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, path, 0, win::KEY_READ | view, key.put());
  }
};

TEST_F(Registry, SixtyFourBitViewIsSeparateOnlyOnSixtyFourBitSystems) {
  win::DWORD disposition = 0xDEADBEEF;
  create(kTestKey, win::KEY_WOW64_64KEY, &disposition);
  EXPECT_EQ(disposition, win::REG_CREATED_NEW_KEY);
  const win::LONG defaultView = openRead(kTestKey, 0);
  const win::LONG redirected = openRead(kRedirectedKey, win::KEY_WOW64_64KEY);
  disposition = 0xDEADBEEF;
  create(kTestKey, win::KEY_WOW64_32KEY, &disposition);
  if (is64BitPrefix()) {
    EXPECT_EQ(defaultView, win::ERROR_FILE_NOT_FOUND) << "a 32-bit program sees the 32-bit view by default";
    EXPECT_EQ(redirected, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(disposition, win::REG_CREATED_NEW_KEY);
  } else {
    EXPECT_EQ(defaultView, win::ERROR_SUCCESS) << "a 32-bit system has one view";
    EXPECT_EQ(disposition, win::REG_OPENED_EXISTING_KEY);
  }
}

TEST_F(Registry, DefaultViewOfThirtyTwoBitProgramIsWow6432Node) {
  create(kTestKey, 0);
  EXPECT_EQ(openRead(kTestKey, win::KEY_WOW64_32KEY), win::ERROR_SUCCESS);
  if (is64BitPrefix()) {
    EXPECT_EQ(openRead(kRedirectedKey, win::KEY_WOW64_64KEY), win::ERROR_SUCCESS);
    EXPECT_EQ(openRead(kTestKey, win::KEY_WOW64_64KEY), win::ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(Registry, DeleteKeyExRemovesOnlyTheChosenView) {
  create(kTestKey, win::KEY_WOW64_32KEY);
  create(kTestKey, win::KEY_WOW64_64KEY);
  ASSERT_EQ(win::RegDeleteKeyExW(win::HKEY_LOCAL_MACHINE, kTestKey, win::KEY_WOW64_64KEY, 0), win::ERROR_SUCCESS);
  EXPECT_EQ(openRead(kTestKey, win::KEY_WOW64_64KEY), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(openRead(kTestKey, win::KEY_WOW64_32KEY), is64BitPrefix() ? win::ERROR_SUCCESS : win::ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, LastWriteTimeIsTheSystemClock) {
  const std::uint64_t before = probe::systemTimeTicks();
  platform::unique_hkey key = create(kTestKey, 0);
  const std::uint64_t after = probe::systemTimeTicks();

  win::FILETIME written{0xDEADBEEFu, 0xDEADBEEFu};
  ASSERT_EQ(win::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, &written),
            win::ERROR_SUCCESS);
  const std::uint64_t slack = 20'000'000;  // 2 s: the clocks of server and program are read apart
  EXPECT_GE(ticks(written) + slack, before) << std::hex << written.dwHighDateTime << ':' << written.dwLowDateTime;
  EXPECT_LE(ticks(written), after + slack) << std::hex << written.dwHighDateTime << ':' << written.dwLowDateTime;
}

TEST_F(Registry, WideNamesAndDataArriveUnchanged) {
  platform::unique_hkey key = create(kTestKey, 0);
  const std::u16string data = u"\u0434\u0430\u043D\u043D\u044B\u0435 \U0001F600";
  ASSERT_EQ(win::RegSetValueExW(key.get(), u"Wert-\u00E9\u4E2D", 0, win::REG_SZ,
                                reinterpret_cast<const win::BYTE*>(data.c_str()),
                                static_cast<win::DWORD>((data.size() + 1) * sizeof(char16_t))),
            win::ERROR_SUCCESS);

  // Read back past our wrappers, straight from advapi32.
  std::u16string stored;
  ASSERT_TRUE(probe::readStringValue(key.get(), u"Wert-\u00E9\u4E2D", stored));
  EXPECT_EQ(stored, data);
}

TEST_F(Registry, AnsiFormsUseTheAnsiCodePage) {
  ASSERT_EQ(probe::ansiCodePage(), 1252u);
  platform::unique_hkey key = create(kTestKey, 0);
  const std::u16string data = u"caf\u00E9 \u20AC";
  ASSERT_EQ(win::RegSetValueExW(key.get(), u"Name\u00E9", 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(data.c_str()),
                                static_cast<win::DWORD>((data.size() + 1) * sizeof(char16_t))),
            win::ERROR_SUCCESS);

  char buffer[32];
  std::memset(buffer, 0xBD, sizeof buffer);
  win::DWORD size = sizeof buffer;
  win::DWORD type = 0;
  ASSERT_EQ(win::RegQueryValueExA(key.get(), "Name\xE9", nullptr, &type, reinterpret_cast<win::BYTE*>(buffer), &size),
            win::ERROR_SUCCESS);
  EXPECT_EQ(type, win::REG_SZ);
  ASSERT_EQ(size, 7u);
  EXPECT_EQ(std::string(buffer, size), std::string("caf\xE9 \x80\0", 7));
  EXPECT_EQ(static_cast<unsigned char>(buffer[size]), 0xBDu) << "written past the reported size";

  char name[16] = {};
  win::DWORD nameLength = sizeof name;
  ASSERT_EQ(win::RegEnumValueA(key.get(), 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr),
            win::ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, nameLength), "Name\xE9");
}

}  // namespace
