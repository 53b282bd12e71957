// IsWow64Process is looked up at run time: older Windows lacks it, and then there is
// only one registry view.
#include "detector.h"
#include "platform/system.h"

bool cDetector::detectWow64() {
  win::HMODULE kernel = win::GetModuleHandleW(u"kernel32");
  if (!kernel) return false;
  auto isWow64Process = reinterpret_cast<win::IsWow64ProcessFn>(win::GetProcAddress(kernel, "IsWow64Process"));
  if (!isWow64Process) return false;
  win::BOOL wow64 = 0;
  return isWow64Process(win::GetCurrentProcess(), &wow64) != 0 && wow64 == 1;
}
