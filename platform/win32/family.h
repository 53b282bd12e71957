// Which Windows family this process runs on. On 95/98/Me most wide (W) functions are
// exported stubs that fail, so the backend makes its calls in their ANSI forms there, with
// text converted through the ANSI code page; the NT family keeps the wide forms.
#pragma once

namespace win::detail {

// True on 95/98/Me (GetVersion's bit 31), read once.
bool ansiFamily();

}  // namespace win::detail
