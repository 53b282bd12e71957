// PENDING: isInstalled and isInstalledWildCard answer "not installed" until the
// installed checks land (exports_installed_checks.cpp replaces this file).
#include "export_frame.h"

extern "C" {

WendlowBool16 WINPLAT_STDCALL isInstalled(WendlowHandle, WendlowStringRef) { return wendlow::kFalse16; }

WendlowBool16 WINPLAT_STDCALL isInstalledWildCard(WendlowHandle, WendlowStringRef) { return wendlow::kFalse16; }

}  // extern "C"
