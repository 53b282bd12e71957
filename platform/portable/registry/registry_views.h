// Registry paths and the two views of a 64-bit machine as our 32-bit code sees them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"
#include "portable/registry_control.h"

namespace portable {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine, Users };
constexpr int kHiveCount = 4;

bool predefinedHive(win::HKEY key, Hive& hive);
const char16_t* hiveName(Hive hive);  // "HKEY_LOCAL_MACHINE", ...

using KeyPath = std::vector<std::u16string>;
// A path whose components live elsewhere (in the text it was split from, a key's name or
// a literal), for the span of one call.
using PathView = std::vector<std::u16string_view>;

// Splits "A\B\C" into views of its components; a single trailing backslash is allowed.
// False for a leading backslash or an empty component.
bool splitPath(std::u16string_view path, PathView& components);

// The view a request works in: its own WOW64 flag, else the view of the handle it is
// relative to, else 0 (the process's default view).
win::REGSAM requestedView(win::REGSAM samDesired, win::REGSAM handleView);

// Where a logical path lives physically when that is elsewhere, in views of its
// components; empty when the path lives where it is named. On an x64 machine the default
// and 32-bit views of HKLM\Software\X are HKLM\Software\Wow6432Node\X, except for the
// App Paths subtree, which both views share; HKCU and the other hives are not redirected.
PathView redirectedPath(Hive hive, const PathView& logical, win::REGSAM view, Machine machine);

}  // namespace portable
