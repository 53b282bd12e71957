// Wine's registry files mounted as a machine: escapes and every value form, recorded
// times, the prefix's architecture, links left out, and malformed files refused with the line.
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/diagnostics.h"
#include "portable/machine_mount.h"
#include "portable_support.h"
#include "temp_directory.h"

namespace qc_test {
namespace {

using namespace win;

class WineRegistryTest : public PortableTest {
 protected:
  portable::MachineMount mountText(const std::string& text) {
    const std::string path = dir_.file("system.reg");
    std::ofstream(path, std::ios::binary) << text;
    return portable::mountMachine(path);
  }
  TempDirectory dir_;
};

const char* const kHead =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n";

TEST_F(WineRegistryTest, EscapesAndEveryValueForm) {
  const std::string text = std::string(kHead) +
                           "\n[Software\\\\Demo\\\\\\xc4rger \\x58a8] 1700000000\n"
                           "#time=1d9c0f1a2b3c4d5\n"
                           "@=\"default\"\n"
                           "\"Quoted\"=\"say \\\"hi\\\" C:\\\\dir\"\n"
                           "\"Wide\"=\"\\xc4\\x00e9x\\x58a8\"\n"
                           "\"Controls\"=\"a\\tb\\nc\\0d\\101\"\n"
                           "\"Expand\"=str(2):\"%SystemRoot%\"\n"
                           "\"Multi\"=str(7):\"a\\0b\\0\"\n"
                           "\"Plain\"=str:\"p\"\n"
                           "\"Number\"=dword:0000002a\n"
                           "\"Blob\"=hex:01,02,\\\n"
                           "  ff\n"
                           "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\n"
                           "\"Empty\"=hex(0):\n"
                           "\n[Software\\\\Wow6432Node\\\\Demo] 1700000000\n"
                           "#time=1d9c0f1a2b3c4d6\n"
                           "#link\n"
                           "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n";
  portable::MachineMount mounted = mountText(text);
  ASSERT_TRUE(mounted.ok) << mounted.error;

  const char16_t* demo = u"Software\\Demo\\\u00C4rger \u58A8";
  auto text16 = [](std::u16string_view s) { return utf16Bytes(std::u16string(s) + u'\0'); };
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"", KEY_WOW64_64KEY).data, text16(u"default"));
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"Quoted", KEY_WOW64_64KEY).data, text16(u"say \"hi\" C:\\dir"));
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"Wide", KEY_WOW64_64KEY).data, text16(u"\u00C4\u00E9x\u58A8"))
      << "four digits where a hex digit follows";
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"Controls", KEY_WOW64_64KEY).data,
            text16(std::u16string(u"a\tb\nc\0dA", 8)));
  const StoredValue expand = readValue(HKEY_LOCAL_MACHINE, demo, u"Expand", KEY_WOW64_64KEY);
  EXPECT_EQ(expand.type, REG_EXPAND_SZ);
  EXPECT_EQ(expand.data, text16(u"%SystemRoot%"));
  const StoredValue multi = readValue(HKEY_LOCAL_MACHINE, demo, u"Multi", KEY_WOW64_64KEY);
  EXPECT_EQ(multi.type, REG_MULTI_SZ);
  EXPECT_EQ(multi.data, text16(std::u16string(u"a\0b\0", 4)));
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"Plain", KEY_WOW64_64KEY).type, REG_SZ);
  const StoredValue number = readValue(HKEY_LOCAL_MACHINE, demo, u"Number", KEY_WOW64_64KEY);
  EXPECT_EQ(number.type, REG_DWORD);
  EXPECT_EQ(number.data, (std::vector<BYTE>{0x2a, 0, 0, 0}));
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"Blob", KEY_WOW64_64KEY).data, (std::vector<BYTE>{1, 2, 0xff}));
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, demo, u"Quad", KEY_WOW64_64KEY).type, 0xbu);
  const StoredValue empty = readValue(HKEY_LOCAL_MACHINE, demo, u"Empty", KEY_WOW64_64KEY);
  EXPECT_TRUE(empty.found);
  EXPECT_EQ(empty.type, REG_NONE);

  FILETIME time{};
  ASSERT_TRUE(portable::lastWriteTime(HKEY_LOCAL_MACHINE, demo, time));
  EXPECT_EQ((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, 0x1d9c0f1a2b3c4d5ull) << "#time wins";
  ASSERT_TRUE(portable::lastWriteTime(HKEY_LOCAL_MACHINE, u"Software\\Demo", time));
  EXPECT_EQ((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, 0x1d9c0f1a2b3c4d5ull)
      << "a key the file leaves implicit takes the time of the first key below it";
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\Wow6432Node\\Demo", KEY_WOW64_64KEY)) << "links are left out";
  EXPECT_EQ(portable::currentMachine(), portable::Machine::x64);
}

TEST_F(WineRegistryTest, SectionsInAnyOrderMakeTheSameKeys) {
  const std::string text = std::string(kHead) +
                           "[Software\\\\B]\n#time=1d000000000000b\n\"V\"=\"b\"\n"
                           "[Software\\\\A\\\\Deep]\n#time=1d000000000000d\n"
                           "[Software\\\\a]\n#time=1d000000000000a\n\"V\"=\"a\"\n"
                           "[Software\\\\A\\\\Other]\n\"W\"=dword:00000001\n"
                           "[Software\\\\A]\n\"V\"=\"later\"\n";
  portable::MachineMount mounted = mountText(text);
  ASSERT_TRUE(mounted.ok) << mounted.error;
  auto time = [](const char16_t* path) {
    FILETIME t{};
    EXPECT_TRUE(portable::lastWriteTime(HKEY_LOCAL_MACHINE, path, t)) << std::string(path, path + 10);
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
  };
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, u"Software\\A", u"V", KEY_WOW64_64KEY).data,
            utf16Bytes(std::u16string(u"later") + u'\0'))
      << "one key, however its sections spell it; the later value wins";
  EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, u"Software\\A\\Deep", KEY_WOW64_64KEY));
  EXPECT_TRUE(readValue(HKEY_LOCAL_MACHINE, u"Software\\A\\Other", u"W", KEY_WOW64_64KEY).found);
  EXPECT_TRUE(readValue(HKEY_LOCAL_MACHINE, u"Software\\B", u"V", KEY_WOW64_64KEY).found);
  EXPECT_EQ(time(u"Software\\A"), 0x1d000000000000aull) << "the time of its first own section";
  EXPECT_EQ(time(u"Software"), 0x1d000000000000bull) << "implicit: the time of the first section below it";
}

TEST_F(WineRegistryTest, A32BitPrefixIsAMachineWithOneView) {
  ::setenv("WINPLAT_MACHINE", "x64", 1);
  const std::string text = "WINE REGISTRY Version 2\n#arch=win32\n\n[Software\\\\X] 1\n\"V\"=\"1\"\n";
  portable::MachineMount mounted = mountText(text);
  ::unsetenv("WINPLAT_MACHINE");
  ASSERT_TRUE(mounted.ok) << mounted.error;
  EXPECT_EQ(portable::currentMachine(), portable::Machine::x86);
  EXPECT_TRUE(readValue(HKEY_LOCAL_MACHINE, u"Software\\X", u"V").found) << "the default view is the only one";
}

TEST_F(WineRegistryTest, MalformedLinesAreReportedWithTheirLine) {
  const struct {
    const char* body;
    const char* error;
    bool atMount;  // else when the key's values are read, as in a hive read on demand
  } cases[] = {
      {"\"V\"=\"1\"\n", ":5: value without a key", true},
      {"[Software\\\\X\n", ":5: malformed key: no closing ]", true},
      {"[Software\\\\\\\\X]\n", ":5: malformed key path", true},
      {"garbage\n", ":5: unrecognized line", true},
      {"[X]\n\"V\"=\"unterminated\n", ":6: malformed string: no closing quote", false},
      {"[X]\n\"V\"=dword:1234567890\n", ":6: malformed dword: more than 8 digits", false},
      {"[X]\n\"V\"=hex:01,zz\n", ":6: malformed hex data", false},
      {"[X]\n\"V\"=hex:01,\\\n", ":6: hex data continues past the end of the file", false},
      {"[X]\n\"V\"=qword:1\n", ":6: unknown value type", false},
      {"[X]\ngarbage\n", ":6: unrecognized line", false},
  };
  for (const auto& c : cases) {
    portable::MachineMount mounted = mountText(std::string(kHead) + c.body);
    std::string error = mounted.error;
    if (!c.atMount) {
      ASSERT_TRUE(mounted.ok) << c.body << mounted.error;
      EXPECT_FALSE(readValue(HKEY_LOCAL_MACHINE, u"X", u"V", KEY_WOW64_64KEY).found) << c.body;
      error = platform::startupError();
    }
    EXPECT_NE(error.find(std::string("system.reg") + c.error), std::string::npos) << c.body << error;
  }
  // 17 digits do not fit a FILETIME: refused, not wrapped.
  ASSERT_TRUE(mountText(std::string(kHead) + "[X]\n#time=1d9c0f1a2b3c4d5e6\n\"V\"=\"1\"\n").ok);
  readValue(HKEY_LOCAL_MACHINE, u"X", u"V", KEY_WOW64_64KEY);
  EXPECT_NE(platform::startupError().find("system.reg:6: malformed #time"), std::string::npos)
      << platform::startupError();
  portable::MachineMount user = mountText("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n");
  EXPECT_NE(user.error.find("only a prefix's system.reg"), std::string::npos) << user.error;
}

}  // namespace
}  // namespace qc_test
