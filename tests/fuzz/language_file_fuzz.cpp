// The tray's language file on any bytes, read by the form's load as HXTray reads it. Besides
// ending without a fault: no display text comes out longer than the file.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_check.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "portable/files_control.h"
#include "portable/registry_control.h"
#include "portable/shell_control.h"
#include "portable/sysinfo_control.h"
#include "portable/user_control.h"
#include "scratch_dir.h"
#include "tray_form.h"

namespace {

void setString(win::HKEY root, const char16_t* key, const char16_t* name, const std::u16string& value) {
  platform::unique_hkey k;
  win::RegCreateKeyExW(root, key, 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, k.put(), nullptr);
  win::RegSetValueExW(k.get(), name, 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(value.c_str()),
                      static_cast<win::DWORD>((value.size() + 1) * sizeof(char16_t)));
}

void setDword(win::HKEY root, const char16_t* key, const char16_t* name, win::DWORD value) {
  platform::unique_hkey k;
  win::RegCreateKeyExW(root, key, 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, k.put(), nullptr);
  win::RegSetValueExW(k.get(), name, 0, win::REG_DWORD, reinterpret_cast<const win::BYTE*>(&value), sizeof value);
}

// Drive C in a folder of its own (removed at exit), the language "Fuzz" read from C:\ref,
// User Account Control on as on most machines. Made once per process.
std::filesystem::path languageFile() {
  static const ScratchDir drive;
  static const std::filesystem::path file = [] {
    std::filesystem::create_directories(drive.file("ref"));
    portable::setDriveFolder('C', drive.file("ref").parent_path().string());
    portable::setReportedVersion(portable::WindowsRelease::Win7);
    setString(win::HKEY_LOCAL_MACHINE, u"Software\\Taldrin\\Quorvel Utilities 14\\Path", u"RefFile", u"C:\\ref");
    setString(win::HKEY_CURRENT_USER, u"Software\\Taldrin\\Quorvel Utilities 14\\Language", u"Default", u"Fuzz");
    setDword(win::HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", u"EnableLUA",
             1);
    return drive.file("ref") / "Fuzz.ini";
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = languageFile();
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  portable::shell::reset();
  portable::user::reset();
  portable::user::setProgramFile(u"C:\\Quorvel\\HXTray.exe");
  {
    tray::frmHXTray form;
    form.Load();
    // The longest default text is the balloon's, under a hundred characters.
    const std::size_t bound = size + 100;
    FUZZ_CHECK(form.ProductName().size() <= bound);
    FUZZ_CHECK(form.BalloonTitle().size() <= bound);
    FUZZ_CHECK(form.BalloonText().size() <= bound);
  }
  return 0;
}
