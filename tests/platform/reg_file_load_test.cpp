// Reading .reg files: both encodings, every kind of value, deletions, continuations, and
// malformed files refused whole.
#include "portable_support.h"

namespace qc_test {
namespace {

using namespace win;
using Bytes = std::vector<BYTE>;
using portable::RegFileResult;

class RegFileLoadTest : public PortableTest {};

TEST_F(RegFileLoadTest, Version5FileWithEveryKindOfValue) {
  std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n"
      u"\r\n"
      u"; a comment\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Demo]\r\n"
      u"@=\"default\"\r\n"
      u"\"Quoted\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
      u"\"Number\"=dword:0000002a\r\n"
      u"\"Blob\"=hex:01,02,ff\r\n"
      u"\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      u"\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
      u"\"Quad\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      u"\"Odd\"=hex(1234abcd):\r\n"
      u"\"Long\"=hex:01,02,\\\r\n"
      u"  03,04\r\n"
      u"\"Caf\u00e9 \u0416\"=\"\u4e2d\"\r\n"
      u"\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Empty]\r\n";
  RegFileResult result = portable::loadRegData(utf16File(text), "demo.reg");
  ASSERT_TRUE(result.ok) << result.error;

  const char16_t* demo = u"SOFTWARE\\Wow6432Node\\Demo";
  EXPECT_EQ(utf16Bytes(std::u16string(u"default") + u'\0'), readValue(HKEY_LOCAL_MACHINE, demo, u"").data);
  EXPECT_EQ(utf16Bytes(std::u16string(u"say \"hi\" C:\\dir") + u'\0'),
            readValue(HKEY_LOCAL_MACHINE, demo, u"Quoted").data);
  StoredValue number = readValue(HKEY_LOCAL_MACHINE, demo, u"Number");
  EXPECT_EQ(REG_DWORD, number.type);
  EXPECT_EQ((Bytes{0x2a, 0, 0, 0}), number.data);
  StoredValue blob = readValue(HKEY_LOCAL_MACHINE, demo, u"Blob");
  EXPECT_EQ(REG_BINARY, blob.type);
  EXPECT_EQ((Bytes{1, 2, 0xff}), blob.data);
  StoredValue expand = readValue(HKEY_LOCAL_MACHINE, demo, u"Expand");
  EXPECT_EQ(REG_EXPAND_SZ, expand.type);
  EXPECT_EQ(utf16Bytes(std::u16string(u"%A%") + u'\0'), expand.data);
  EXPECT_EQ(REG_MULTI_SZ, readValue(HKEY_LOCAL_MACHINE, demo, u"Multi").type);
  EXPECT_EQ(REG_QWORD, readValue(HKEY_LOCAL_MACHINE, demo, u"Quad").type);
  StoredValue odd = readValue(HKEY_LOCAL_MACHINE, demo, u"Odd");
  EXPECT_TRUE(odd.found);
  EXPECT_EQ(0x1234abcdu, odd.type);
  EXPECT_TRUE(odd.data.empty());
  EXPECT_EQ((Bytes{1, 2, 3, 4}), readValue(HKEY_LOCAL_MACHINE, demo, u"Long").data);
  EXPECT_EQ(utf16Bytes(std::u16string(u"\u4e2d") + u'\0'), readValue(HKEY_LOCAL_MACHINE, demo, u"caf\u00c9 \u0436").data);
  // The path is physical: the 32-bit program sees it in its default view.
  EXPECT_TRUE(readValue(HKEY_LOCAL_MACHINE, u"Software\\Demo", u"Number").found);
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, u"Software\\Empty"));
}

TEST_F(RegFileLoadTest, Regedit4FileInUtf8WithWindows1252Fallback) {
  std::string text =
      "REGEDIT4\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Narrow]\n"
      "\"Utf8\"=\"caf\xC3\xA9\"\n"        // valid UTF-8
      "\"Latin\"=\"caf\xE9 \x80\"\n"      // not UTF-8: Windows-1252
      "\"Expand\"=hex(2):25,41,25,00\n";  // REGEDIT4 keeps these as narrow text
  RegFileResult result = portable::loadRegData(text, "narrow.reg");
  ASSERT_TRUE(result.ok) << result.error;
  const char16_t* key = u"Software\\Narrow";
  EXPECT_EQ(utf16Bytes(std::u16string(u"caf\u00e9") + u'\0'), readValue(HKEY_CURRENT_USER, key, u"Utf8").data);
  EXPECT_EQ(utf16Bytes(std::u16string(u"caf\u00e9 \u20ac") + u'\0'), readValue(HKEY_CURRENT_USER, key, u"Latin").data);
  EXPECT_EQ(utf16Bytes(std::u16string(u"%A%") + u'\0'), readValue(HKEY_CURRENT_USER, key, u"Expand").data);
}

TEST_F(RegFileLoadTest, DeletionsOfKeysAndValues) {
  ASSERT_TRUE(portable::loadRegData("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Gone\\Below]\n\"v\"=\"1\"\n"
                                    "[HKEY_CURRENT_USER\\Software\\Kept]\n\"a\"=\"1\"\n\"b\"=\"2\"\n",
                                    "setup.reg")
                  .ok);
  RegFileResult result = portable::loadRegData(
      "REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Gone]\n[HKEY_CURRENT_USER\\Software\\Kept]\n\"a\"=-\n", "del.reg");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, u"Software\\Gone"));
  EXPECT_FALSE(readValue(HKEY_CURRENT_USER, u"Software\\Kept", u"a").found);
  EXPECT_TRUE(readValue(HKEY_CURRENT_USER, u"Software\\Kept", u"b").found);
}

struct Malformed {
  const char* text;
  const char* error;
};

class RegFileMalformedTest : public PortableTest, public ::testing::WithParamInterface<Malformed> {};

TEST_P(RegFileMalformedTest, IsRefusedWithItsLineAndNothingApplied) {
  RegFileResult result = portable::loadRegData(GetParam().text, "bad.reg");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(0u, result.error.find(GetParam().error)) << result.error;
  // Earlier, well-formed lines of the same file changed nothing either.
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, u"Software\\Before"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegFileMalformedTest,
    ::testing::Values(Malformed{"Windows Registry Editor 4\n", "bad.reg:1: "},
                      Malformed{"REGEDIT4\n\"v\"=\"outside\"\n", "bad.reg:2: value outside"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=\"1\"\n[HKEY_NOWHERE\\X]\n",
                                "bad.reg:4: unknown root"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=dword:123456789\n",
                                "bad.reg:3: dword"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\n\"v\"=hex:01,\\\n  0g\n",
                                "bad.reg:5: bad hex byte"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=hex:01,\\\n",
                                "bad.reg:3: continuation"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=\"open\n", "bad.reg:3: string"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=\"a\\tb\"\n",
                                "bad.reg:3: unknown escape"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before\n", "bad.reg:2: key section"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\\\Before]\n", "bad.reg:2: empty key name"},
                      Malformed{"REGEDIT4\n[-HKEY_CURRENT_USER]\n", "bad.reg:2: a root key"},
                      Malformed{"REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=\"1\"\n",
                                "bad.reg:3: value inside a key deletion"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\nv=1\n", "bad.reg:3: unrecognised"},
                      Malformed{"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Before]\n\"v\"=text\n", "bad.reg:3: unrecognised"},
                      Malformed{"\xFF\xFEW\0x", "bad.reg:1: "}));

TEST_F(RegFileLoadTest, MissingFileIsReported) {
  RegFileResult result = portable::loadRegFile("/nonexistent/dir/x.reg");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(std::string::npos, result.error.find("/nonexistent/dir/x.reg"));
}

}  // namespace
}  // namespace qc_test
