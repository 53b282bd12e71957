// An export mounted as a machine is read on demand: every key and value it gives, and every
// recorded time, are those of the same file read whole.
#include <fstream>

#include "platform/diagnostics.h"
#include "portable/machine_mount.h"
#include "portable_support.h"
#include "temp_directory.h"

namespace qc_test {
namespace {

using namespace win;

class RegFileOnDemandTest : public PortableTest {
 protected:
  // The whole registry as .reg text, each hive walked key by key.
  static std::string everything() {
    std::string text;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS}) text += portable::exportRegText(root, u"");
    return text;
  }

  // The file mounted on demand and read whole give the same registry.
  void expectSameAsWhole(const std::string& bytes) {
    const std::string path = dir_.file("machine.reg");
    std::ofstream(path, std::ios::binary) << bytes;
    portable::MachineMount mounted = portable::mountMachine(path);
    ASSERT_TRUE(mounted.ok) << mounted.error;
    const std::string onDemand = everything();
    FILETIME recorded{};
    ASSERT_TRUE(portable::lastWriteTime(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Twice", recorded));

    portable::resetRegistry();
    portable::RegFileResult whole = portable::loadRegData(bytes, "machine.reg");
    ASSERT_TRUE(whole.ok) << whole.error;
    EXPECT_EQ(onDemand, everything());
    EXPECT_NE(onDemand.find("Twice"), std::string::npos) << onDemand;
    FILETIME wholeTime{};
    ASSERT_TRUE(portable::lastWriteTime(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Twice", wholeTime));
    EXPECT_EQ(recorded.dwLowDateTime, wholeTime.dwLowDateTime);
    EXPECT_EQ(recorded.dwHighDateTime, 0x01d9c0f1u) << "the last recorded time wins";
  }

  TempDirectory dir_;
};

// Sections out of order, a key named twice, a value removed later, hex lists over lines, a
// string ending in a backslash before a section, an implicit parent, several roots.
constexpr char16_t kBody[] =
    u"[HKEY_CURRENT_USER\\Software\\Mine]\r\n"
    u"\"Own\"=\"1\"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Twice]\r\n"
    u"\"A\"=\"first\"\r\n"
    u"\"Gone\"=dword:00000001\r\n"
    u";last-write-time=01d9c0f100000001\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta\\Deep\\Er]\r\n"
    u"\"Path\"=\"C:\\\\Program Files\\\\\"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha]\r\n"
    u"\"Long\"=hex:01,02,\\\r\n"
    u"  03,\\\r\n"
    u"  04\r\n"
    u"@=\"x\"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\twice]\r\n"
    u"\"A\"=\"second\"\r\n"
    u"\"Gone\"=-\r\n"
    u";last-write-time=01d9c0f100000002\r\n"
    u"[HKEY_USERS\\.DEFAULT\\X]\r\n"
    u"\"Caf\u00e9\"=\"\u4e2d\"\r\n";

TEST_F(RegFileOnDemandTest, ReadsAsTheWholeFileInEitherFormat) {
  expectSameAsWhole(utf16File(std::u16string(u"Windows Registry Editor Version 5.00\r\n\r\n") + kBody));

  // REGEDIT4 with lone carriage returns, narrow expandable strings and a Windows-1252 byte.
  std::string narrow = "REGEDIT4\r\r";
  for (char16_t c : std::u16string_view(kBody)) {
    if (c == u'\n') continue;
    narrow += c < 0x80 ? static_cast<char>(c) : c == u'\u00e9' ? '\xe9' : '?';
  }
  narrow += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha]\r\"Expand\"=hex(2):25,41,25,00\r";
  expectSameAsWhole(narrow);
}

// Failures name the whole read's line, though the index passes the lines between sections
// without counting them: a section line it checks, and a line of a hex list that looks like a
// section, found when its key is read.
TEST_F(RegFileOnDemandTest, NamesTheLinesTheWholeReadNames) {
  const std::u16string before =
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"L\"=hex:01,\\\r\n  02\r\n\r\n";
  for (const std::u16string_view rest :
       {u"[HKEY_NOWHERE\\B]\r\n",
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\C]\r\n\"L\"=hex:01,\\\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\D]\r\n"}) {
    const std::string bytes = utf16File(before + std::u16string(rest));
    const portable::RegFileResult whole = portable::loadRegData(bytes, "machine.reg");
    ASSERT_FALSE(whole.ok);
    portable::resetRegistry();
    const std::string path = dir_.file("machine.reg");
    std::ofstream(path, std::ios::binary) << bytes;
    const portable::MachineMount mounted = portable::mountMachine(path);
    if (mounted.ok) everything();
    const std::string onDemand = mounted.ok ? platform::startupError() : mounted.error;
    const std::string said = whole.error.substr(whole.error.find(':'));
    EXPECT_NE(onDemand.find(said), std::string::npos) << onDemand << " / " << whole.error;
  }

  // A list that ends in a line the index passes over: the section after it is still one.
  const std::string path = dir_.file("ended.reg");
  std::ofstream(path, std::ios::binary)
      << utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n"
                   u"\"L\"=hex:01,\\\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\B]\\\r\n  02\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\C]\r\n");
  ASSERT_TRUE(portable::mountMachine(path).ok);
  FILETIME written{};
  EXPECT_TRUE(portable::lastWriteTime(HKEY_LOCAL_MACHINE, u"SOFTWARE\\C", written));
}

}  // namespace
}  // namespace qc_test
