// A known machine for the tray tests: empty registry, stand-in shell and windows, drive C in
// a fresh temporary folder, the program in C:\Quorvel, and User Account Control on.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "portable/files_control.h"
#include "portable/registry_control.h"
#include "portable/shell_control.h"
#include "portable/sysinfo_control.h"
#include "portable/user_control.h"
#include "tray_form.h"

namespace tray_test {

inline const win::HKEY HKLM = win::HKEY_LOCAL_MACHINE;
inline const win::HKEY HKCU = win::HKEY_CURRENT_USER;
inline constexpr char16_t kPathKey[] = u"Software\\Taldrin\\Quorvel Utilities 14\\Path";
inline constexpr char16_t kLanguageKey[] = u"Software\\Taldrin\\Quorvel Utilities 14\\Language";
inline constexpr char16_t kPolicyKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr char16_t kProgramDirectory[] = u"C:\\Quorvel";
inline const win::HICON kFormIcon = reinterpret_cast<win::HICON>(std::uintptr_t{0x3A5C});

inline void setString(win::HKEY root, const std::u16string& key, const std::u16string& name,
                      const std::u16string& value) {
  platform::unique_hkey k;
  ASSERT_EQ(win::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, k.put(), nullptr),
            win::ERROR_SUCCESS);
  ASSERT_EQ(win::RegSetValueExW(k.get(), name.c_str(), 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(value.c_str()),
                                static_cast<win::DWORD>((value.size() + 1) * 2)),
            win::ERROR_SUCCESS);
}

inline void setDword(win::HKEY root, const std::u16string& key, const std::u16string& name, win::DWORD value) {
  platform::unique_hkey k;
  ASSERT_EQ(win::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, k.put(), nullptr),
            win::ERROR_SUCCESS);
  ASSERT_EQ(win::RegSetValueExW(k.get(), name.c_str(), 0, win::REG_DWORD, reinterpret_cast<const win::BYTE*>(&value),
                                sizeof value),
            win::ERROR_SUCCESS);
}

inline std::u16string wideField(const char16_t* field, std::size_t count) {
  std::u16string s(field, count);
  return s.substr(0, s.find(u'\0'));
}

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portable::resetRegistry();
    portable::setMachine(portable::Machine::x86);
    portable::shell::reset();
    portable::user::reset();
    portable::resetReportedVersion();
    portable::resetFileSystem();
    drive_ = std::filesystem::temp_directory_path() /
             ("tray-test-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(drive_);
    std::filesystem::create_directories(drive_ / "Quorvel" / "ref");
    portable::setDriveFolder('C', drive_.string());
    portable::user::setProgramFile(std::u16string(kProgramDirectory) + u"\\HXTray.exe");
    setDword(HKLM, kPolicyKey, u"EnableLUA", 1);
  }

  void TearDown() override {
    portable::resetFileSystem();
    std::filesystem::remove_all(drive_);
  }

  // A loaded form on the given release.
  std::unique_ptr<tray::frmHXTray> loadForm(portable::WindowsRelease release) {
    portable::setReportedVersion(release);
    auto form = std::make_unique<tray::frmHXTray>();
    form->Load();
    return form;
  }

  // Writes a file in the system code page under drive C (path relative to the drive).
  void writeFile(const std::string& relative, const std::string& bytes) {
    const auto path = drive_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  const std::vector<portable::shell::NotifyCall>& calls() const { return portable::shell::notifyCalls(); }

  std::filesystem::path drive_;
};

}  // namespace tray_test
