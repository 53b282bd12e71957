// The filtered copy: which lines go, how the kept ones come out, and failed copies.
#include <gtest/gtest.h>

#include "mod_main.h"
#include "platform/text.h"
#include "scratch_folder.h"

namespace {

std::u16string ansi(const std::string& path) { return platform::fromAnsi(path); }

struct Filtering {
  const char* what;
  std::string source;
  std::string expected;
  int removed;
};

const std::string kScanreg = "C:\\WINDOWS\\command\\scanreg.exe /opt /fix";

TEST(RemoveLinesContaining, KeepsTheOtherLinesInOrderWithCrLf) {
  const Filtering cases[] = {
      {"one match", "@echo off\r\n" + kScanreg + "\r\nSET PATH=C:\\DOS\r\n", "@echo off\r\nSET PATH=C:\\DOS\r\n", 1},
      {"several matches", kScanreg + "\r\nA\r\nrem " + kScanreg + " now\r\n" + kScanreg, "A\r\n", 3},
      {"other letter case stays", "C:\\WINDOWS\\COMMAND\\SCANREG.EXE /OPT /FIX\r\nc:\\windows\\command\\scanreg.exe /OPT /fix\r\n",
       "C:\\WINDOWS\\COMMAND\\SCANREG.EXE /OPT /FIX\r\nc:\\windows\\command\\scanreg.exe /OPT /fix\r\n", 0},
      {"no match still rewritten", "a\rb\r\n", "a\r\nb\r\n", 0},
      {"LF line ends become CR LF", "a\nb\r\nc\n", "a\r\nb\r\nc\r\n", 0},
      {"only the matching LF-ended line goes", "keep\r\nrem\n" + kScanreg + "\nx\r\nlast\r\n",
       "keep\r\nrem\r\nx\r\nlast\r\n", 1},
      {"LF before CR LF ends an empty line", "a\n\r\n", "a\r\n\r\n", 0},
      {"empty file", "", "", 0},
      {"last line without break", "a\r\n" + kScanreg + "\r\nlast", "a\r\nlast\r\n", 1},
      {"CR-only line ends", "a\r" + kScanreg + "\rb\r", "a\r\nb\r\n", 1},
      {"empty lines kept", "\r\n\r\n", "\r\n\r\n", 0},
      {"bytes pass unchanged", "caf\xe9 \x81\x8d\x90\r\n", "caf\xe9 \x81\x8d\x90\r\n", 0},
  };
  ScratchFolder folder;
  for (const Filtering& c : cases) {
    folder.write("autoexec.bat", c.source);
    folder.write("tmp1.tmp", "stale");
    EXPECT_EQ(compact::RemoveLinesContaining(ansi(folder.windowsPath("autoexec.bat")),
                                             ansi(folder.windowsPath("tmp1.tmp")), compact::kSearchText),
              c.removed)
        << c.what;
    EXPECT_EQ(folder.read("tmp1.tmp"), c.expected) << c.what;
    EXPECT_EQ(folder.read("autoexec.bat"), c.source) << c.what << ": the source is only read";
  }
}

TEST(RemoveLinesContaining, UnreadableSourceIsAFailedCopy) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.hostPath("folder.bat"));
  for (const char* source : {"absent.bat", "folder.bat"}) {
    folder.write("tmp1.tmp", "");
    EXPECT_EQ(compact::RemoveLinesContaining(ansi(folder.windowsPath(source)), ansi(folder.windowsPath("tmp1.tmp")),
                                             compact::kSearchText),
              compact::kCopyFailed)
        << source;
  }
}

TEST(RemoveLinesContaining, UnwritableTargetIsAFailedCopy) {
  ScratchFolder folder;
  folder.write("autoexec.bat", "a\r\n");
  std::filesystem::create_directory(folder.hostPath("target"));
  EXPECT_EQ(compact::RemoveLinesContaining(ansi(folder.windowsPath("autoexec.bat")),
                                           ansi(folder.windowsPath("target")), compact::kSearchText),
            compact::kCopyFailed);
  EXPECT_EQ(folder.read("autoexec.bat"), "a\r\n");
}

}  // namespace
