// The ANSI conversions against the real code page tables of the system.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "system_probe.h"

namespace {

// Windows-1252 at 0x80-0x9F; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are unassigned (0).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t cp1252(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte; }

class AnsiText : public ::testing::Test {
 protected:
  void SetUp() override {
    // The test environment pins the locale; every expectation below is Windows-1252.
    ASSERT_EQ(probe::ansiCodePage(), 1252u) << "unexpected ANSI code page";
  }
};

TEST_F(AnsiText, EveryAssignedByteDecodesAndEncodesBack) {
  for (int b = 1; b <= 0xFF; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const char16_t expected = cp1252(byte);
    if (expected == 0) continue;
    const std::string ansi(1, static_cast<char>(byte));
    const std::u16string wide = platform::fromAnsi(ansi);
    ASSERT_EQ(wide, std::u16string(1, expected)) << "byte 0x" << std::hex << b;
    EXPECT_EQ(platform::toAnsi(wide), ansi) << "byte 0x" << std::hex << b;
  }
}

TEST_F(AnsiText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(platform::toAnsi(u"a\u4E2D\u6587b"), "a??b");
  EXPECT_EQ(platform::toAnsi(u"\u0416"), "?");  // Cyrillic: no counterpart in 1252
}

// The system's default conversion substitutes a close letter where the table names one
// ("best fit") and '?' only where none exists.
TEST_F(AnsiText, BestFitLettersReplaceMissingOnes) {
  EXPECT_EQ(platform::toAnsi(u"\u0100\u0101\uFF21"), "AaA");
}

TEST_F(AnsiText, LengthNotTerminatorDecides) {
  const std::u16string wide(u"a\0\u00E9", 3);
  const std::string ansi("a\0\xE9", 3);
  EXPECT_EQ(platform::toAnsi(wide), ansi);
  EXPECT_EQ(platform::fromAnsi(ansi), wide);
  EXPECT_EQ(platform::toAnsi(std::u16string_view(u"abc", 2)), "ab");
}

TEST_F(AnsiText, EmptyTextStaysEmpty) {
  EXPECT_EQ(platform::toAnsi(u""), "");
  EXPECT_EQ(platform::fromAnsi(""), u"");
}

TEST_F(AnsiText, LongTextRoundTrips) {
  std::u16string wide;
  for (int i = 0; i < 200000; ++i) wide += static_cast<char16_t>(i % 2 ? u'\u20AC' : u'x');
  const std::string ansi = platform::toAnsi(wide);
  ASSERT_EQ(ansi.size(), wide.size());
  EXPECT_EQ(ansi.substr(0, 4), "x\x80x\x80");
  EXPECT_EQ(platform::fromAnsi(ansi), wide);
}

}  // namespace
