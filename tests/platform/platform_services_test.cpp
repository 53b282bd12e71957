// The stand-in's BSTR layout, ANSI code page and module loading.
#include <cstdint>
#include <cstring>

#include "platform/code_page_case.h"
#include "platform/oleaut.h"
#include "platform/resource.h"
#include "platform/system.h"
#include "platform/text.h"
#include "portable_support.h"

namespace qc_test {
namespace {

using namespace win;

TEST(BstrTest, LengthPrefixTextAndZeroInOneBlock) {
  platform::unique_bstr s(SysAllocString(u"h\u00e9llo"));
  ASSERT_TRUE(s);
  std::uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s.get()) - 4, 4);
  EXPECT_EQ(10u, prefix);
  EXPECT_EQ(5u, SysStringLen(s.get()));
  EXPECT_EQ(10u, SysStringByteLen(s.get()));
  EXPECT_EQ(0, std::memcmp(s.get(), u"h\u00e9llo", 12));  // with the zero after it
}

TEST(BstrTest, EmbeddedZerosAndNullArguments) {
  platform::unique_bstr s(SysAllocStringLen(u"a\0b", 3));
  ASSERT_TRUE(s);
  EXPECT_EQ(3u, SysStringLen(s.get()));
  EXPECT_EQ(u'b', s.get()[2]);
  EXPECT_EQ(u'\0', s.get()[3]);
  platform::unique_bstr blank(SysAllocStringLen(nullptr, 2));
  ASSERT_TRUE(blank);
  EXPECT_EQ(2u, SysStringLen(blank.get()));
  EXPECT_EQ(nullptr, SysAllocString(nullptr));
  EXPECT_EQ(0u, SysStringLen(nullptr));
  EXPECT_EQ(0u, SysStringByteLen(nullptr));
  SysFreeString(nullptr);
  EXPECT_EQ(nullptr, SysAllocStringLen(u"", 0x7FFFFFFF));
}

TEST(AnsiTextTest, Windows1252BothWays) {
  EXPECT_EQ("caf\xE9 \x80 \x9F", platform::toAnsi(u"caf\u00e9 \u20ac \u0178"));
  EXPECT_EQ(u"caf\u00e9 \u20ac \u0178", platform::fromAnsi("caf\xE9 \x80 \x9F"));
  EXPECT_EQ(std::string("a\0b", 3), platform::toAnsi(std::u16string(u"a\0b", 3)));
}

TEST(AnsiTextTest, UndefinedBytesRoundTripAsC1Controls) {
  const std::string undefined = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(u"\u0081\u008d\u008f\u0090\u009d", platform::fromAnsi(undefined));
  EXPECT_EQ(undefined, platform::toAnsi(platform::fromAnsi(undefined)));
}

TEST(AnsiTextTest, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ("?x?y?", platform::toAnsi(u"\u4e2dx\U0001F600y\u0080"));
  EXPECT_EQ("?", platform::toAnsi(u"\xD800"));  // a lone surrogate
}

TEST(AnsiTextTest, RegistryAFormsConvertThroughTheCodePage) {
  portable::resetRegistry();
  platform::unique_hkey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Caf\xE9", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, key.put(), nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "\x80", 0, REG_SZ, reinterpret_cast<const BYTE*>("\xE9t\xE9"), 4));
  StoredValue v = readValue(HKEY_CURRENT_USER, u"Software\\Caf\u00e9", u"\u20ac");
  EXPECT_EQ(utf16Bytes(std::u16string(u"\u00e9t\u00e9") + u'\0'), v.data);
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), u"wide", 0, REG_MULTI_SZ,
                                          reinterpret_cast<const BYTE*>(u"\u4e2d\0z\0"), 10));
  char data[16];
  DWORD size = sizeof data;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "wide", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
  EXPECT_EQ(std::string("?\0z\0\0", 5), std::string(data, size));
  portable::resetRegistry();
}

TEST(AnsiTextTest, UpperCasingThroughTheCodePageKeepsCharactersThatDoNotRoundTrip) {
  // A code page of Latin letters that, like Windows' conversion, gives a close letter for
  // a character it lacks: U+0101 and the fullwidth U+FF41 become 'a'.
  auto encode = [](std::u16string_view c) {
    if (c == u"\u0101" || c == u"\uFF41") return std::string("a");
    return c[0] < 0x80 ? std::string(1, static_cast<char>(c[0])) : std::string("?");
  };
  auto decode = [](std::string_view b) { return std::u16string(1, static_cast<char16_t>(b[0])); };
  auto upper = [](std::string& b) {
    for (char& c : b)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  };
  std::u16string text = u"\u0101b\u0142\uFF41?";
  platform::upperThroughCodePage(text.data(), text.size(), encode, decode, upper);
  EXPECT_EQ(text, u"\u0101B\u0142\uFF41?");
}

TEST(ModuleTest, LoadsAModuleBesideTheProgramByItsWindowsName) {
  platform::unique_module module(LoadLibraryW(u"qcplatform_test_module.dll"));
  ASSERT_TRUE(module);
  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module.get(), "qcModuleAnswer"));
  ASSERT_NE(nullptr, answer);
  EXPECT_EQ(42, answer());
  EXPECT_EQ(nullptr, GetProcAddress(module.get(), "noSuchFunction"));
  EXPECT_EQ(nullptr, LoadLibraryW(u"qcplatform_no_such_module"));
}

TEST(ModuleTest, Kernel32IsFoundWithoutLoading) {
  HMODULE kernel32 = GetModuleHandleW(u"Kernel32.DLL");
  ASSERT_NE(nullptr, kernel32);
  EXPECT_EQ(kernel32, GetModuleHandleW(u"kernel32"));
  EXPECT_EQ(nullptr, GetProcAddress(kernel32, "CreateFileW"));
  EXPECT_NE(0, FreeLibrary(kernel32));
  EXPECT_EQ(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)), GetCurrentProcess());
}

TEST(FileTimeTest, CompareUsesBothHalves) {
  FILETIME early{0xFFFFFFFF, 1}, late{0, 2};
  EXPECT_EQ(-1, CompareFileTime(&early, &late));
  EXPECT_EQ(1, CompareFileTime(&late, &early));
  EXPECT_EQ(0, CompareFileTime(&late, &late));
}

}  // namespace
}  // namespace qc_test
