// OLE Automation strings: a 32-bit byte length before the text, a zero code unit after it.
#pragma once

#include "platform/win_types.h"

namespace win {

BSTR SysAllocString(const char16_t* psz);  // null for a null argument or when out of memory
BSTR SysAllocStringLen(const char16_t* strIn, UINT ui);
UINT SysStringLen(BSTR bstr);      // in characters; 0 for null
UINT SysStringByteLen(BSTR bstr);  // in bytes; 0 for null
void SysFreeString(BSTR bstrString);

}  // namespace win
