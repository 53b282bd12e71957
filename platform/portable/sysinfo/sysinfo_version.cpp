// The version query, answering with the release chosen by the test controls.
#include "platform/sysinfo.h"

#include <cstring>

#include "portable/sysinfo_control.h"

namespace {

struct VersionState {
  portable::ReportedVersion version = portable::reportedVersionOf(portable::WindowsRelease::Win7);
  bool queryFails = false;
};

VersionState& state() {
  static VersionState s;
  return s;
}

constexpr win::DWORD nineXBuild(win::DWORD major, win::DWORD minor, win::DWORD build) {
  return (major << 24) | (minor << 16) | build;
}

}  // namespace

namespace portable {

ReportedVersion reportedVersionOf(WindowsRelease release) {
  using win::VER_PLATFORM_WIN32_NT;
  using win::VER_PLATFORM_WIN32_WINDOWS;
  switch (release) {
    case WindowsRelease::Win95:
      return {VER_PLATFORM_WIN32_WINDOWS, 4, 0, nineXBuild(4, 0, 950)};
    case WindowsRelease::Win98:
      return {VER_PLATFORM_WIN32_WINDOWS, 4, 10, nineXBuild(4, 10, 1998)};
    case WindowsRelease::WinME:
      return {VER_PLATFORM_WIN32_WINDOWS, 4, 90, nineXBuild(4, 90, 3000)};
    case WindowsRelease::NT4:
      return {VER_PLATFORM_WIN32_NT, 4, 0, 1381};
    case WindowsRelease::Win2000:
      return {VER_PLATFORM_WIN32_NT, 5, 0, 2195};
    case WindowsRelease::WinXP:
      return {VER_PLATFORM_WIN32_NT, 5, 1, 2600};
    case WindowsRelease::Server2003:
      return {VER_PLATFORM_WIN32_NT, 5, 2, 3790};
    case WindowsRelease::Vista:
      return {VER_PLATFORM_WIN32_NT, 6, 0, 6002};
    case WindowsRelease::Win7:
      return {VER_PLATFORM_WIN32_NT, 6, 1, 7601};
    case WindowsRelease::Win10:
      return {VER_PLATFORM_WIN32_NT, 10, 0, 19045};
  }
  return {VER_PLATFORM_WIN32_NT, 6, 1, 7601};
}

void setReportedVersion(WindowsRelease release) { state().version = reportedVersionOf(release); }
void setReportedVersion(const ReportedVersion& version) { state().version = version; }
void setVersionQueryFails(bool fails) { state().queryFails = fails; }
void resetReportedVersion() { state() = VersionState(); }

}  // namespace portable

namespace win {

BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
  if (lpVersionInformation == nullptr || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    return 0;
  }
  if (state().queryFails) return 0;
  const portable::ReportedVersion& v = state().version;
  lpVersionInformation->dwMajorVersion = v.major;
  lpVersionInformation->dwMinorVersion = v.minor;
  lpVersionInformation->dwBuildNumber = v.build;
  lpVersionInformation->dwPlatformId = v.platformId;
  std::memset(lpVersionInformation->szCSDVersion, 0, sizeof lpVersionInformation->szCSDVersion);
  return 1;
}

DWORD GetVersion() {
  const portable::ReportedVersion& v = state().version;
  DWORD high = v.build & 0x7FFF;
  if (v.platformId != VER_PLATFORM_WIN32_NT) high |= 0x8000;
  return (v.major & 0xFF) | ((v.minor & 0xFF) << 8) | (high << 16);
}

}  // namespace win
