#include "version_code.h"

namespace tray {

std::int32_t VersionCodeOf(const win::OSVERSIONINFOA& version) {
  const win::DWORD platform = version.dwPlatformId;
  const win::DWORD major = version.dwMajorVersion;
  const win::DWORD minor = version.dwMinorVersion;
  if (platform == 2 && major == 6 && minor == 0) return 7;
  if (platform == 2 && major == 5 && minor == 1) return 6;
  if (platform == 2 && major == 5 && minor == 0) return 5;
  if (platform == 2 && major == 4) return 4;
  if (platform == 1 && major == 4 && minor == 90) return 3;
  // The 98 row reads "above 4" on the older platform only, but "4 with a minor" on any platform.
  if ((platform == 1 && major > 4) || (major == 4 && minor > 0)) return 2;
  if (platform == 1 && major == 4 && minor == 0) return 1;
  return 0;
}

}  // namespace tray
