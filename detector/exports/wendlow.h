// The library's exported interface, as a host sees it. Hosts load the library at run
// time and look the functions up by these plain names; each uses the Windows API
// calling convention.
//
//   handle               address of a detector owned by the library
//   int                  signed 32-bit
//   bool16               16-bit boolean: -1 true, 0 false
//   string by reference  address of the host's variable holding a pointer to a
//                        zero-terminated UTF-16 text; only read; null counts as empty
//   result string        OLE Automation string (SysAllocString); the host frees it
#pragma once

#include <cstdint>

#include "platform/win_types.h"

class cDetector;

#if defined(_WIN32)
#define WENDLOW_API  // exported through Wendlow.def, so the names stay undecorated
#else
#define WENDLOW_API __attribute__((visibility("default")))
#endif

using WendlowHandle = cDetector*;
using WendlowBool16 = std::int16_t;
using WendlowStringRef = const char16_t* const*;

extern "C" {

WENDLOW_API WendlowHandle WINPLAT_STDCALL InitDetector(std::int32_t mode, const char16_t* cacheFile,
                                                       std::int32_t* status);
WENDLOW_API std::int32_t WINPLAT_STDCALL DeleteDetector(WendlowHandle detector);
WENDLOW_API std::int32_t WINPLAT_STDCALL FirstUninstallItem(WendlowHandle detector);
WENDLOW_API std::int32_t WINPLAT_STDCALL NextUninstallItem(WendlowHandle detector);
WENDLOW_API win::BSTR WINPLAT_STDCALL getCurrentItemKey(WendlowHandle detector);
WENDLOW_API win::BSTR WINPLAT_STDCALL getCurrentItemStr(WendlowHandle detector, WendlowStringRef propertyName);
WENDLOW_API std::int32_t WINPLAT_STDCALL getCurrentItemLong(WendlowHandle detector);
WENDLOW_API WendlowBool16 WINPLAT_STDCALL isInstalled(WendlowHandle detector, WendlowStringRef name);
WENDLOW_API WendlowBool16 WINPLAT_STDCALL isInstalledWildCard(WendlowHandle detector, WendlowStringRef pattern);
WENDLOW_API std::int32_t WINPLAT_STDCALL RefreshCache(WendlowHandle detector);
WENDLOW_API std::int32_t WINPLAT_STDCALL SaveDetectorCache(WendlowHandle detector);

// An extension beside the eleven, which hosts may ignore: the detector's mode, that is
// where queries are answered from (1 a full scan, 2 the names recorded in the cache,
// 3 a scan that replaced the cache); 0 for a null handle.
WENDLOW_API std::int32_t WINPLAT_STDCALL getDetectorMode(WendlowHandle detector);

}  // extern "C"
