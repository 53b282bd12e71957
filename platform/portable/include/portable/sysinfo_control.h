// Test controls of the portable version query and environment. Not part of the Windows seam:
// only tests (and tools that imitate a machine) include this.
#pragma once

#include <string_view>
#include <vector>

#include "platform/sysinfo.h"

namespace portable {

struct ReportedVersion {
  win::DWORD platformId;
  win::DWORD major;
  win::DWORD minor;
  win::DWORD build;  // as GetVersionExA reports it (95/98/ME: major and minor in the high word)
};

enum class WindowsRelease { Win95, Win98, WinME, NT4, Win2000, WinXP, Server2003, Vista, Win7, Win10 };

// The record each release reports, e.g. Win98: platform 1, 4.10, build field 0x040A07CE.
ReportedVersion reportedVersionOf(WindowsRelease release);

// What GetVersionExA and GetVersion report from now on. The starting state is Windows 7
// (platform 2, 6.1 build 7601) with a working query, as Wine reports by default.
void setReportedVersion(WindowsRelease release);
void setReportedVersion(const ReportedVersion& version);
// GetVersionExA returns 0 and leaves the record alone while set; GetVersion is unaffected.
void setVersionQueryFails(bool fails);
void resetReportedVersion();

// Variables that ExpandEnvironmentStrings* sees: those of the process environment.
void setExpansionVariable(std::u16string_view name, std::u16string_view value);
void removeExpansionVariable(std::u16string_view name);
// The buffer size of every ExpandEnvironmentStringsA call since the last clear, in call order.
const std::vector<win::DWORD>& ansiExpansionSizes();
void clearAnsiExpansionSizes();

}  // namespace portable
