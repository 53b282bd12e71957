// Test control of the stand-in's ANSI code page. Not part of the Windows seam.
#pragma once

namespace portable {

// Windows-1252 unless a test chooses another code page that iconv knows, such as 932 (a
// double-byte one). False, with the code page unchanged, when iconv lacks it.
bool setAnsiCodePage(unsigned codePage);

}  // namespace portable
