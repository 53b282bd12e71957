// The two machine-wide registration areas the detector reads, and the values it reads there.
#pragma once

#include <array>
#include <string>

#include "platform/win_types.h"

// Prefixes end with a backslash: a subkey's full path is the prefix followed by its name.
inline const std::u16string kUninstallRoot = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const std::u16string kAppPathsRoot = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// Read for every Uninstall entry; the record keeps all but UninstallString.
inline const std::array<std::u16string, 8> kUninstallValueNames = {
    u"DisplayName", u"DisplayVersion", u"DisplayIcon", u"Publisher",
    u"UninstallString", u"InstallLocation", u"InstallDate", u"HelpLink",
};
// Read for every App Paths entry (the unnamed default value is not).
inline const std::u16string kAppPathValueName = u"Path";

// The default view: for a 32-bit process on 64-bit Windows, the 32-bit one.
constexpr win::REGSAM kDefaultViewAccess = win::KEY_READ;
constexpr win::REGSAM k64BitViewAccess = win::KEY_READ | win::KEY_WOW64_64KEY;
