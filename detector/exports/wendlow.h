/*
 * Wendlow: which programs are installed on this machine.
 *
 * The library's interface as a host sees it, in C and C++. Only system headers are used.
 * Each function is exported from Wendlow.dll by its plain name and uses the Windows API
 * calling convention (__stdcall: the function removes its arguments). A host links the
 * import library (libWendlow.dll.a or Wendlow.lib), or loads the library itself and looks
 * the functions up by these names.
 *
 * What crosses the boundary:
 *   WendlowHandle     a detector owned by the library, from InitDetector until
 *                     DeleteDetector; opaque to the host
 *   int32_t           signed 32-bit
 *   WendlowBool16     16-bit boolean: -1 true, 0 false
 *   WendlowStringRef  address of the host's variable that holds a pointer to a
 *                     zero-terminated UTF-16 text; only read; a null address or a null
 *                     pointer counts as the empty text
 *   WendlowString     an OLE Automation string (a BSTR): the host owns it and frees it
 *                     with SysFreeString
 *
 * All calls on one detector must come from one thread at a time; the library starts no
 * threads and takes no locks.
 */
#ifndef WENDLOW_H
#define WENDLOW_H

#include <stdint.h>
#if defined(_WIN32)
#include <wchar.h>
#endif

/* A UTF-16 code unit: wchar_t (WCHAR, OLECHAR) on Windows. A C++ host that keeps its text
 * as char16_t may define WENDLOW_CHAR as char16_t before including this header. */
#ifndef WENDLOW_CHAR
#if defined(_WIN32)
#define WENDLOW_CHAR wchar_t
#elif defined(__cplusplus) && __cplusplus >= 201103L
#define WENDLOW_CHAR char16_t
#else
#define WENDLOW_CHAR uint16_t
#endif
#endif

#if defined(_WIN32)
#define WENDLOW_CALL __stdcall
#if defined(WENDLOW_BUILDING_LIBRARY)
#define WENDLOW_API /* exported through Wendlow.def, so the names stay undecorated */
#else
#define WENDLOW_API __declspec(dllimport)
#endif
#else
#define WENDLOW_CALL
#if defined(__GNUC__)
#define WENDLOW_API __attribute__((visibility("default")))
#else
#define WENDLOW_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef WENDLOW_CHAR WendlowChar;
typedef struct WendlowDetector* WendlowHandle;
typedef int16_t WendlowBool16;
typedef const WendlowChar* const* WendlowStringRef;
typedef WendlowChar* WendlowString;

/* Modes: where the answers of isInstalled and isInstalledWildCard come from. */
#define WENDLOW_MODE_SCAN 1      /* the entries found by a full registry scan */
#define WENDLOW_MODE_CACHED 2    /* only the names recorded in the cache file */
#define WENDLOW_MODE_REFRESHED 3 /* a scan that replaced the cache */

/* Creates a detector. mode 1 scans the registry and never reads the cache file; any other
 * mode starts from the cache file cacheFile (null: "Cache.db" in the host's current
 * directory) and scans instead, taking mode 3, when the registry changed since the cache
 * was saved or the file cannot be used. *status (when status is not null) receives 1. */
WENDLOW_API WendlowHandle WENDLOW_CALL InitDetector(int32_t mode, const WendlowChar* cacheFile, int32_t* status);
/* Destroys the detector without saving the cache; 1, or 0 if the destruction failed.
 * A null handle returns 1. The handle is invalid afterwards. */
WENDLOW_API int32_t WENDLOW_CALL DeleteDetector(WendlowHandle detector);

/* The Uninstall entries, ordered by key. FirstUninstallItem moves to the first (returns 0);
 * NextUninstallItem moves on and returns -1 when it moved, 0 when it was already at the
 * end. The step onto the end still returns -1: the reading after it is empty. */
WENDLOW_API int32_t WENDLOW_CALL FirstUninstallItem(WendlowHandle detector);
WENDLOW_API int32_t WENDLOW_CALL NextUninstallItem(WendlowHandle detector);
/* The current entry's key: its registry subkey name with A-Z lowered; empty at the end. */
WENDLOW_API WendlowString WENDLOW_CALL getCurrentItemKey(WendlowHandle detector);
/* One property of the current entry, by its exact name: DisplayName, DisplayVersion,
 * Publisher, InstallDate, InstallLocation and the others of the host guide. Empty for an
 * unknown name or at the end. */
WENDLOW_API WendlowString WENDLOW_CALL getCurrentItemStr(WendlowHandle detector, WendlowStringRef propertyName);
/* Always 0: no property is numeric. */
WENDLOW_API int32_t WENDLOW_CALL getCurrentItemLong(WendlowHandle detector);

/* Whether a program is installed. isInstalled takes an entry key (an Uninstall subkey name
 * such as "foo bar", or an executable registered under App Paths such as "foo.exe");
 * isInstalledWildCard takes a pattern over the Uninstall keys in which '*' stands for any
 * run of characters ("foo*"). Keys hold A-Z in lower case and the comparison is exact, so
 * ask in lower case. -1 yes, 0 no. */
WENDLOW_API WendlowBool16 WENDLOW_CALL isInstalled(WendlowHandle detector, WendlowStringRef name);
WENDLOW_API WendlowBool16 WENDLOW_CALL isInstalledWildCard(WendlowHandle detector, WendlowStringRef pattern);

/* Forgets the recorded names and scans the registry again (mode 3); returns 1. */
WENDLOW_API int32_t WENDLOW_CALL RefreshCache(WendlowHandle detector);
/* Writes the names the queries found to the cache file and keeps only those entries
 * (mode 2); 1 when saved, -1 when the cache file cannot be opened. */
WENDLOW_API int32_t WENDLOW_CALL SaveDetectorCache(WendlowHandle detector);

/* An extension beside the eleven, which hosts may ignore: the detector's mode (1, 2 or 3
 * above); 0 for a null handle. */
WENDLOW_API int32_t WENDLOW_CALL getDetectorMode(WendlowHandle detector);

#ifdef __cplusplus
}
#endif

#endif /* WENDLOW_H */
