// oleaut32 string allocation behind our declarations.
#include "platform/oleaut.h"

#include <windows.h>
#include <oleauto.h>

#include "wide.h"

namespace win {

namespace {
::BSTR native(BSTR s) { return reinterpret_cast<::BSTR>(s); }
BSTR ours(::BSTR s) { return reinterpret_cast<BSTR>(s); }
}  // namespace

BSTR SysAllocString(const char16_t* psz) { return ours(::SysAllocString(detail::wide(psz))); }

BSTR SysAllocStringLen(const char16_t* strIn, UINT ui) { return ours(::SysAllocStringLen(detail::wide(strIn), ui)); }

UINT SysStringLen(BSTR bstr) { return ::SysStringLen(native(bstr)); }

UINT SysStringByteLen(BSTR bstr) { return ::SysStringByteLen(native(bstr)); }

void SysFreeString(BSTR bstrString) { ::SysFreeString(native(bstrString)); }

}  // namespace win
