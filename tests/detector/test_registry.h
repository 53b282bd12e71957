// Registrations written for a test through the platform's own registry functions, so the
// same tests run on the stand-in registry and on Windows (under Wine). Every subkey the
// tests write starts with kTestPrefix; the fixture removes all of them before and after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/resource.h"
#include "platform/win_types.h"

namespace testreg {

inline const std::u16string kTestPrefix = u"WendlowTest ";
// The prefix as the detector files it (A-Z lowered).
inline const std::u16string kTestKeyPrefix = u"wendlowtest ";

inline const std::u16string kUninstallPath = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline const std::u16string kAppPathsPath = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

enum class View { Default, Bits64 };

win::REGSAM viewFlag(View view);

// Whether this process sees two registry views (IsWow64Process reports TRUE).
bool runsUnderWow64();

// HKLM\<area>\<name>, created in the view; fails the test when it cannot be.
platform::unique_hkey createKey(const std::u16string& area, const std::u16string& name, View view = View::Default);

void setString(win::HKEY key, const std::u16string& name, const std::u16string& value,
               win::DWORD type = win::REG_SZ);
void setDword(win::HKEY key, const std::u16string& name, win::DWORD value);
void setBytes(win::HKEY key, const std::u16string& name, const std::vector<win::BYTE>& data,
              win::DWORD type = win::REG_BINARY);

// Deletes every subkey of the area whose name starts with kTestPrefix, in the view.
void removeTestKeys(const std::u16string& area, View view);
// Both areas, in every view this process has.
void removeAllTestKeys();

}  // namespace testreg
