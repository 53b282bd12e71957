// Writing .reg files: byte-exact round trips, the format written, atomic replacement.
#include <cstring>

#include "portable_support.h"
#include "temp_directory.h"

namespace qc_test {
namespace {

using namespace win;
using portable::RegFileResult;

struct Sample {
  const char16_t* name;
  DWORD type;
  std::vector<BYTE> data;
};

std::vector<Sample> awkwardValues() {
  std::vector<BYTE> longBinary(300);
  for (std::size_t i = 0; i < longBinary.size(); ++i) longBinary[i] = static_cast<BYTE>(i * 7);
  return {
      {u"", REG_SZ, utf16Bytes(std::u16string(u"default") + u'\0')},
      {u"quote \" and \\ in name", REG_SZ, utf16Bytes(std::u16string(u"C:\\ \"x\"") + u'\0')},
      {u"unterminated", REG_SZ, utf16Bytes(u"abc")},
      {u"embedded zero", REG_SZ, utf16Bytes(std::u16string(u"a\0b\0", 4))},
      {u"line break", REG_SZ, utf16Bytes(std::u16string(u"one\r\ntwo") + u'\0')},
      {u"odd size", REG_SZ, {0x61, 0x00, 0x62}},
      {u"empty string", REG_SZ, {}},
      {u"dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      {u"short dword", REG_DWORD, {1, 2, 3}},
      {u"binary", REG_BINARY, longBinary},
      {u"empty binary", REG_BINARY, {}},
      {u"expand", REG_EXPAND_SZ, utf16Bytes(std::u16string(u"%TEMP%\\x") + u'\0')},
      {u"multi", REG_MULTI_SZ, utf16Bytes(std::u16string(u"a\0bc\0\0", 6))},
      {u"none", REG_NONE, {9}},
      {u"big endian", REG_DWORD_BIG_ENDIAN, {0x12, 0x34, 0x56, 0x78}},
      {u"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0x80}},
      {u"private type", 0x7fff0001, {0xde, 0xad}},
      {u"\u00c4rger \u4e2d", REG_SZ, utf16Bytes(std::u16string(u"\u00fc\U0001F600") + u'\0')},
  };
}

class RegFileSaveTest : public PortableTest {
 protected:
  void fill() {
    platform::unique_hkey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Round [Trip]", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
    for (const Sample& s : awkwardValues()) {
      ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), s.name, 0, s.type, s.data.data(),
                                              static_cast<DWORD>(s.data.size())));
    }
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Empty\\Leaf", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
  }
  TempDirectory dir_;
};

TEST_F(RegFileSaveTest, EveryValueSurvivesASaveAndALoadByteForByte) {
  fill();
  std::string path = dir_.file("round.reg");
  RegFileResult saved = portable::saveRegFile(path);
  ASSERT_TRUE(saved.ok) << saved.error;
  portable::resetRegistry();
  RegFileResult loaded = portable::loadRegFile(path);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  for (const Sample& s : awkwardValues()) {
    SCOPED_TRACE(::testing::PrintToString(std::u16string(s.name)));
    // Physical path: the 32-bit default view put it under Wow6432Node.
    StoredValue v = readValue(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node\\Round [Trip]", s.name, KEY_WOW64_64KEY);
    EXPECT_TRUE(v.found);
    EXPECT_EQ(s.type, v.type);
    EXPECT_EQ(s.data, v.data);
  }
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, u"Software\\Empty\\Leaf"));
  // A second save writes the same file again.
  std::string again = dir_.file("again.reg");
  ASSERT_TRUE(portable::saveRegFile(again).ok);
  EXPECT_EQ(readAll(path), readAll(again));
}

TEST_F(RegFileSaveTest, FileIsVersion5Utf16WithCrLf) {
  fill();
  std::string path = dir_.file("format.reg");
  ASSERT_TRUE(portable::saveRegFile(path).ok);
  std::string bytes = readAll(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
  std::string header = "W\0i\0n\0d\0o\0w\0s\0 \0R\0e\0g\0i\0s\0t\0r\0y\0 \0E\0d\0i\0t\0o\0r\0 \0V\0e\0r\0s\0i\0o\0n\0 \0"
                       "5\0.\0\x30\0\x30\0\r\0\n\0";
  EXPECT_EQ(header, bytes.substr(2, header.size()));
  std::string text = portable::exportRegText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node\\Round [Trip]");
  EXPECT_NE(std::string::npos, text.find("[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Round [Trip]]\n"));
  EXPECT_NE(std::string::npos, text.find("\n@=\"default\"\n"));
  EXPECT_NE(std::string::npos, text.find("\n\"quote \\\" and \\\\ in name\"=\"C:\\\\ \\\"x\\\"\"\n"));
  EXPECT_NE(std::string::npos, text.find("\n\"unterminated\"=hex(1):61,00,62,00,63,00\n"));
  EXPECT_NE(std::string::npos, text.find("\n\"dword\"=dword:12345678\n"));
  EXPECT_NE(std::string::npos, text.find("\n\"short dword\"=hex(4):01,02,03\n"));
  EXPECT_NE(std::string::npos, text.find("\n\"private type\"=hex(7fff0001):de,ad\n"));
  EXPECT_NE(std::string::npos, text.find("\n\"binary\"=hex:00,07,0e,"));
  EXPECT_NE(std::string::npos, text.find(",\\\n  "));  // long data continues on the next line
  EXPECT_EQ(std::string::npos, text.find("last-write"));
}

TEST_F(RegFileSaveTest, LastWriteTimesSurviveASaveAndALoad) {
  portable::setClock(FILETIME{0x12345678, 0x01d00000});
  fill();
  FILETIME before{};
  ASSERT_TRUE(portable::lastWriteTime(HKEY_CURRENT_USER, u"Software\\Empty\\Leaf", before));
  std::string path = dir_.file("times.reg");
  ASSERT_TRUE(portable::saveRegFile(path).ok);
  portable::resetRegistry();
  ASSERT_TRUE(portable::loadRegFile(path).ok);
  FILETIME after{};
  ASSERT_TRUE(portable::lastWriteTime(HKEY_CURRENT_USER, u"Software\\Empty\\Leaf", after));
  EXPECT_EQ(before.dwLowDateTime, after.dwLowDateTime);
  EXPECT_EQ(before.dwHighDateTime, after.dwHighDateTime);
}

TEST_F(RegFileSaveTest, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  fill();
  std::string path = dir_.file("kept.reg");
  writeAll(path, "old contents");
  portable::injectFailure("saveRegFile", 1, 1, 0);
  RegFileResult result = portable::saveRegFile(path);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(std::string::npos, result.error.find(path));
  EXPECT_EQ("old contents", readAll(path));
  EXPECT_EQ(1u, dir_.entries());
  // The next save goes through.
  EXPECT_TRUE(portable::saveRegFile(path).ok);
  EXPECT_EQ("\xFF\xFE", readAll(path).substr(0, 2));
}

TEST_F(RegFileSaveTest, SaveIntoAMissingDirectoryFails) {
  RegFileResult result = portable::saveRegFile(dir_.file("no/such/dir.reg"));
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(0u, dir_.entries());
}

}  // namespace
}  // namespace qc_test
