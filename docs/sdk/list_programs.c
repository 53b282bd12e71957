/*
 * A small host of Wendlow: lists the programs installed on this machine, or answers
 * whether the programs named on the command line are installed.
 *
 *   list_programs                  every Uninstall entry: key and display name
 *   list_programs NAME|PATTERN...  "yes" or "no" for each; exit status 0 when all are
 *                                  installed, 1 otherwise. A name with '*' is a pattern.
 *
 * Build it beside the unpacked archive's sdk folder:
 *   mingw-w64:  i686-w64-mingw32-gcc -std=c99 -Wall list_programs.c -I../sdk/include
 *               ../sdk/lib/libWendlow.dll.a -loleaut32 -o list_programs.exe
 *   Visual C++: cl list_programs.c /I..\sdk\include ..\sdk\lib\Wendlow.lib oleaut32.lib
 * and run it with bin\Wendlow.dll beside it or on the PATH.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <oleauto.h>

#include "wendlow.h"

#ifdef __MINGW32__
int _dowildcard = 0; /* a '*' in an argument is a pattern, not files to expand */
#endif

/* Writes a result string as UTF-8 and frees it: the host owns every result string. */
static void printAndFree(BSTR text) {
    char utf8[4096];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, (int)SysStringLen(text), utf8, sizeof utf8 - 1, NULL, NULL);
    utf8[length > 0 ? length : 0] = '\0';
    fputs(utf8, stdout);
    SysFreeString(text);
}

static void listPrograms(WendlowHandle detector) {
    const wchar_t *displayName = L"DisplayName";
    FirstUninstallItem(detector);
    for (;;) {
        BSTR key = getCurrentItemKey(detector);
        if (SysStringLen(key) == 0) { /* the step onto the end still reports a move */
            SysFreeString(key);
            break;
        }
        printAndFree(key);
        fputs("\t", stdout);
        printAndFree(getCurrentItemStr(detector, &displayName));
        fputs("\n", stdout);
        if (NextUninstallItem(detector) == 0) break;
    }
}

/* Arguments arrive in the ANSI code page; the library takes UTF-16. */
static int askAbout(WendlowHandle detector, const char *argument) {
    wchar_t name[1024];
    const wchar_t *text = name;
    WendlowBool16 installed;
    if (MultiByteToWideChar(CP_ACP, 0, argument, -1, name, 1024) == 0) return 0;
    installed = strchr(argument, '*') != NULL ? isInstalledWildCard(detector, &text) : isInstalled(detector, &text);
    printf("%s: %s\n", argument, installed ? "yes" : "no");
    return installed != 0;
}

int main(int argc, char **argv) {
    int32_t status = 0;
    int allInstalled = 1;
    int i;
    /* Mode 1 scans the registry and leaves the cache file alone. */
    WendlowHandle detector = InitDetector(WENDLOW_MODE_SCAN, NULL, &status);
    if (detector == NULL) {
        fputs("list_programs: the detector could not be created\n", stderr);
        return 2;
    }
    if (argc < 2) {
        listPrograms(detector);
    } else {
        for (i = 1; i < argc; ++i) allInstalled &= askAbout(detector, argv[i]);
    }
    DeleteDetector(detector);
    return allInstalled ? 0 : 1;
}
