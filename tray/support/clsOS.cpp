#include "clsOS.h"

#include <limits>

#include "platform/sysinfo.h"
#include "tagged_value.h"
#include "version_code.h"

namespace tray {

namespace {

constexpr win::DWORD kRecordSize = 148;

// The record as the query leaves it; all zero but the size when the query does not return 1.
win::OSVERSIONINFOA queryVersion(bool* succeeded = nullptr) {
  win::OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = kRecordSize;
  const bool ok = win::GetVersionExA(&record) == 1;
  if (!ok) {
    record = win::OSVERSIONINFOA{};
    record.dwOSVersionInfoSize = kRecordSize;
  }
  if (succeeded != nullptr) *succeeded = ok;
  return record;
}

// A conversion to a 16-bit integer that does not fit is skipped and leaves 0.
std::int16_t asShortOrZero(win::DWORD value) {
  return value <= static_cast<win::DWORD>(std::numeric_limits<std::int16_t>::max()) ? static_cast<std::int16_t>(value)
                                                                                    : 0;
}

const char16_t* windowsNameOf(std::int16_t major, std::int16_t minor) {
  switch (major) {
    case 3:
      return minor == 5 ? u"Windows NT " : u"Windows ";
    case 4:
      if (minor == 0) return u"Windows NT ";
      if (minor == 1) return u"Windows 98 ";
      return u"Windows ME ";
    case 5:
      return minor == 1 ? u"Windows XP " : u"Windows 2000 ";
    case 6:
      return u"Windows Vista";
    default:
      return u"Windows OS";
  }
}

}  // namespace

clsOS::clsOS() { LoadVersionStrings(); }

void clsOS::LoadVersionStrings() {
  const win::OSVERSIONINFOA v = queryVersion();
  const std::int16_t major = asShortOrZero(v.dwMajorVersion);
  const std::int16_t minor = asShortOrZero(v.dwMinorVersion);
  const std::int32_t build = static_cast<std::int32_t>(v.dwBuildNumber);  // all 32 bits, signed
  sWindowsName = windowsNameOf(major, minor);
  sWindowsBuild = decimalText(major) + u"." + decimalText(minor) + u" (Build " + decimalText(build) + u")";
}

std::int32_t clsOS::GetVersionCode() const { return VersionCodeOf(queryVersion()); }

bool clsOS::isNT() const {
  // Any release of the NT platform, 5.2 and 6.1 onwards included.
  bool ok = false;
  const win::OSVERSIONINFOA v = queryVersion(&ok);
  return ok && v.dwPlatformId == win::VER_PLATFORM_WIN32_NT;
}

bool clsOS::is9x() const {
  const std::int32_t code = GetVersionCode();
  return code >= 1 && code <= 3;
}

bool clsOS::isWinVista() const {
  const win::OSVERSIONINFOA v = queryVersion();
  return v.dwPlatformId == 2 && v.dwMajorVersion == 6 && v.dwMinorVersion == 0;
}

bool clsOS::isWinXP() const {
  const win::OSVERSIONINFOA v = queryVersion();
  return v.dwPlatformId == 2 && v.dwMajorVersion == 5 && (v.dwMinorVersion == 1 || v.dwMinorVersion == 2);
}

bool clsOS::isWin2k() const {
  const win::OSVERSIONINFOA v = queryVersion();
  return v.dwPlatformId == 2 && ((v.dwMajorVersion == 5 && v.dwMinorVersion == 0) || v.dwMajorVersion == 4);
}

bool clsOS::isWinNT() const { return isNT(); }

bool clsOS::isWinME() const {
  const win::OSVERSIONINFOA v = queryVersion();
  return v.dwPlatformId == 1 && v.dwMajorVersion == 4 && v.dwMinorVersion == 90;
}

bool clsOS::isWin98() const {
  const win::OSVERSIONINFOA v = queryVersion();
  return (v.dwPlatformId == 1 && v.dwMajorVersion > 4) || (v.dwMajorVersion == 4 && v.dwMinorVersion > 0);
}

bool clsOS::isWin95() const {
  const win::OSVERSIONINFOA v = queryVersion();
  return v.dwPlatformId == 1 && v.dwMajorVersion == 4 && v.dwMinorVersion == 0;
}

}  // namespace tray
