// The filtered copy on a double-byte code page (the stand-in's code page is chosen here).
#include <gtest/gtest.h>

#include "mod_main.h"
#include "platform/text.h"
#include "portable/text_control.h"
#include "scratch_folder.h"

namespace {

std::u16string ansi(const std::string& path) { return platform::fromAnsi(path); }

const std::string kScanreg = "C:\\WINDOWS\\command\\scanreg.exe /opt /fix";

TEST(RemoveLinesContaining, SearchesTextNotBytesInADoubleByteCodePage) {
  if (!portable::setAnsiCodePage(932)) GTEST_SKIP() << "iconv lacks code page 932";
  // U+30BD is 0x83 0x5C: its second byte is the one of a backslash.
  const std::string lookalike = "C:\\WINDOWS\\\x83\x5c" "command\\scanreg.exe /opt /fix\r\n";
  ScratchFolder folder;
  folder.write("autoexec.bat", lookalike + kScanreg + "\r\n");
  const int removed = compact::RemoveLinesContaining(ansi(folder.windowsPath("autoexec.bat")),
                                                     ansi(folder.windowsPath("tmp1.tmp")), compact::kSearchText);
  const std::string kept = folder.read("tmp1.tmp");
  portable::setAnsiCodePage(1252);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(kept, lookalike);
}

}  // namespace
