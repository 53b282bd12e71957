// Filling the records' text fields byte by byte.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "notify_fields.h"

namespace {

constexpr std::uint8_t kGuard = 0xBD;

std::vector<std::uint8_t> guarded(std::size_t size) { return std::vector<std::uint8_t>(size, kGuard); }

TEST(CopyTextToBytes, ShortTextIsCopiedAndZeroFilledUpToTheLimitOnly) {
  auto field = guarded(12);
  tray::CopyTextToBytes(u"AB", field.data(), 8);
  const std::vector<std::uint8_t> expected{'A', 0, 'B', 0, 0, 0, 0, 0, kGuard, kGuard, kGuard, kGuard};
  EXPECT_EQ(field, expected);
}

TEST(CopyTextToBytes, TextAtOrOverTheLimitKeepsLimitHalfMinusOneCharacters) {
  for (const std::u16string text : {u"ABCD", u"ABCDEFGHIJ"}) {
    auto field = guarded(10);
    tray::CopyTextToBytes(text, field.data(), 8);
    const std::vector<std::uint8_t> expected{'A', 0, 'B', 0, 'C', 0, 0, 0, kGuard, kGuard};
    EXPECT_EQ(field, expected) << "text of " << text.size() << " characters";
  }
  auto field = guarded(8);
  tray::CopyTextToBytes(u"ABC", field.data(), 8);  // exactly limit/2 - 1 characters fit
  EXPECT_EQ(field, (std::vector<std::uint8_t>{'A', 0, 'B', 0, 'C', 0, 0, 0}));
}

TEST(CopyTextToBytes, WritesLittleEndianCodeUnits) {
  auto field = guarded(8);
  tray::CopyTextToBytes(u"\u00E9\u20AC", field.data(), 8);
  EXPECT_EQ(field, (std::vector<std::uint8_t>{0xE9, 0x00, 0xAC, 0x20, 0, 0, 0, 0}));
}

TEST(CopyTextToBytes, EmptyTextLeavesTheFieldAlone) {
  auto field = guarded(8);
  field[0] = 'X';
  tray::CopyTextToBytes(u"", field.data(), 8);
  EXPECT_EQ(field[0], 'X');
  EXPECT_EQ(field[1], kGuard);
  EXPECT_EQ(field[7], kGuard);
}

TEST(CopyTextToBytes, ShorterTextOverALongerOneClearsTheRest) {
  auto field = guarded(16);
  tray::CopyTextToBytes(u"ABCDEFG", field.data(), 16);
  tray::CopyTextToBytes(u"xy", field.data(), 16);
  EXPECT_EQ(tray::TextBeforeNull(reinterpret_cast<const char16_t*>(field.data()), 8), u"xy");
  for (std::size_t i = 4; i < 16; ++i) EXPECT_EQ(field[i], 0) << "byte " << i;
}

TEST(FillNarrowField, PadsWithSpacesAndCutsAtTheFieldSize) {
  std::array<char, 8> field{};
  tray::FillNarrowField(u"abc", field.data(), field.size());
  EXPECT_EQ(std::string(field.data(), field.size()), "abc     ");
  tray::FillNarrowField(u"0123456789", field.data(), field.size());
  EXPECT_EQ(std::string(field.data(), field.size()), "01234567");
}

TEST(TextBeforeNull, StopsAtTheFirstNullOrTakesTheWholeField) {
  const char narrow[6] = {'a', 'b', '\0', 'c', 'd', 'e'};
  EXPECT_EQ(tray::TextBeforeNull(narrow, 6), u"ab");
  const char full[3] = {'x', '\xE9', 'z'};
  EXPECT_EQ(tray::TextBeforeNull(full, 3), u"x\u00E9z");  // from the ANSI code page
  const char16_t wide[3] = {u'p', u'q', u'r'};
  EXPECT_EQ(tray::TextBeforeNull(wide, 3), u"pqr");
}

}  // namespace
