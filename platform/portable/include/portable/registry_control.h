// Test control of the portable backend's stand-in registry and simulated machine.
// Native builds only: tests and tools that need a known registry include this header.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace portable {

enum class Machine { x86, x64 };

// Empties every hive, closes every open handle, and drops denials, injected failures and
// the test clock; the machine and the presence of IsWow64Process return to their start-up
// settings (WINPLAT_MACHINE=x86|x64, default x64).
void resetRegistry();

// x64: our 32-bit code runs under WOW64 (IsWow64Process reports TRUE, HKLM\Software is
// redirected to Software\Wow6432Node); x86: one view, the WOW64 access flags are ignored.
void setMachine(Machine machine);
Machine currentMachine();
// false: kernel32 lacks IsWow64Process, as on Windows before XP SP2.
void setIsWow64ProcessPresent(bool present);

// Opens and creates of the key at the physical path (e.g. u"SOFTWARE\\Wow6432Node\\X")
// that ask for any of these access bits fail with ERROR_ACCESS_DENIED. Bits accumulate;
// 0 lifts every denial of the key.
void denyAccess(win::HKEY root, std::u16string_view physicalPath, win::REGSAM bits);

// Calls firstCall .. firstCall + count - 1 (counted from 1, from now on) of the named
// registry function (e.g. "RegEnumKeyW") return `result` without doing anything.
void injectFailure(std::string_view function, unsigned firstCall, unsigned count, win::LONG result);

// The key's last-write time; false when the key does not exist.
bool lastWriteTime(win::HKEY root, std::u16string_view physicalPath, win::FILETIME& time);

// From now on stamps are `next`, next + 1, ...; useRealClock() returns to the system clock.
// Stamps never repeat within a process.
void setClock(win::FILETIME next);
void useRealClock();

struct RegFileResult {
  bool ok = false;
  std::string error;  // "<file>:<line>: <what>" when !ok
};

// Merges a .reg file ("Windows Registry Editor Version 5.00" in UTF-16LE with BOM, or
// "REGEDIT4" in UTF-8) into the registry. Paths are physical. A malformed file changes nothing.
RegFileResult loadRegFile(const std::string& path);
// The same for file contents held in memory; `sourceName` names them in error messages.
RegFileResult loadRegData(std::string_view bytes, const std::string& sourceName);
// Writes the whole registry as a Version 5.00 file, atomically.
RegFileResult saveRegFile(const std::string& path);
// The key at the physical path and everything below it as .reg text (UTF-8, LF line ends);
// just the header line when the key does not exist.
std::string exportRegText(win::HKEY root, std::u16string_view physicalPath);

}  // namespace portable
