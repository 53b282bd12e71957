// clsScanAnyNumBase: the three notations and the failures of its setters.
#include <gtest/gtest.h>

#include <climits>

#include "clsScanAnyNumBase.h"

namespace {

using tray::clsScanAnyNumBase;
using tray::NumberOverflowError;
using tray::TypeMismatchError;

clsScanAnyNumBase withNumber(std::int32_t n) {
  clsScanAnyNumBase number;
  number.DeciNum(n);
  return number;
}

TEST(ScanAnyNumBase, StartsAtZero) {
  clsScanAnyNumBase number;
  EXPECT_EQ(number.DeciNum(), 0);
  EXPECT_EQ(number.HexNum(), u"0");
  EXPECT_EQ(number.BinNum(), u"0000");
}

TEST(ScanAnyNumBase, HexSetter) {
  clsScanAnyNumBase number;
  const struct {
    const char16_t* text;
    std::int32_t value;
  } cases[] = {{u"ff", 255}, {u"FF", 255}, {u"1G", 16}, {u"", 0}, {u"7FFFFFFF", INT32_MAX},
               {u"00000000000A", 10}, {u"-1", 1}, {u"aBc", 0xABC}};
  for (const auto& c : cases) {
    number.DeciNum(-99);
    number.HexNum(c.text);
    EXPECT_EQ(number.DeciNum(), c.value) << "text of " << std::u16string(c.text).size() << " units";
  }
}

TEST(ScanAnyNumBase, HexSetterOverflows) {
  clsScanAnyNumBase number;
  number.DeciNum(5);
  EXPECT_THROW(number.HexNum(u"80000000"), NumberOverflowError);
  EXPECT_EQ(number.DeciNum(), 0) << "the digits right of the 8 add up to 0";
  EXPECT_THROW(number.HexNum(u"100000012"), NumberOverflowError);
  EXPECT_EQ(number.DeciNum(), 0x12);
  EXPECT_THROW(number.HexNum(u"FFFFFFFF"), NumberOverflowError);
  EXPECT_EQ(number.DeciNum(), 0x0FFFFFFF);
}

TEST(ScanAnyNumBase, BinSetter) {
  clsScanAnyNumBase number;
  const struct {
    std::u16string text;
    std::int32_t value;
  } cases[] = {{u"1010", 10}, {u"2", 2}, {u"21", 5}, {u"", 0}, {u"0001", 1},
               {std::u16string(31, u'1'), INT32_MAX}, {u"9" + std::u16string(3, u'0'), 72}};
  for (const auto& c : cases) {
    number.DeciNum(-99);
    number.BinNum(c.text);
    EXPECT_EQ(number.DeciNum(), c.value) << "text of " << c.text.size() << " units";
  }
}

TEST(ScanAnyNumBase, BinSetterFailures) {
  clsScanAnyNumBase number;
  number.DeciNum(7);
  EXPECT_THROW(number.BinNum(std::u16string(32, u'1')), NumberOverflowError);
  EXPECT_EQ(number.DeciNum(), INT32_MAX) << "the 31 ones to the right were added";
  // 3 * 2^29 and 2 * 2^28 each fit; their sum is 2^31.
  EXPECT_THROW(number.BinNum(u"32" + std::u16string(28, u'0')), NumberOverflowError);
  EXPECT_EQ(number.DeciNum(), 2 << 28);

  number.DeciNum(7);
  EXPECT_THROW(number.BinNum(u"1x"), TypeMismatchError);
  EXPECT_EQ(number.DeciNum(), 0) << "the x is read first";

  EXPECT_THROW(number.BinNum(u"x11"), TypeMismatchError);
  EXPECT_EQ(number.DeciNum(), 3);
  EXPECT_THROW(number.BinNum(u" 1"), TypeMismatchError);
}

TEST(ScanAnyNumBase, Getters) {
  EXPECT_EQ(withNumber(10).BinNum(), u"1010");
  EXPECT_EQ(withNumber(1).BinNum(), u"0001");
  EXPECT_EQ(withNumber(16).BinNum(), u"00010000");
  EXPECT_EQ(withNumber(-1).BinNum(), std::u16string(32, u'1'));
  EXPECT_EQ(withNumber(-1).HexNum(), u"FFFFFFFF");
  EXPECT_EQ(withNumber(INT32_MIN).HexNum(), u"80000000");
  EXPECT_EQ(withNumber(0xABCDEF).HexNum(), u"ABCDEF");
  EXPECT_EQ(withNumber(0x1F).BinNum(), u"00011111");
}

TEST(ScanAnyNumBase, RoundTrips) {
  for (std::int32_t n : {0, 1, 9, 255, 4096, 0x12345678, INT32_MAX}) {
    clsScanAnyNumBase number = withNumber(n);
    const std::u16string hex = number.HexNum();
    const std::u16string bin = number.BinNum();
    number.HexNum(hex);
    EXPECT_EQ(number.DeciNum(), n);
    number.BinNum(bin);
    EXPECT_EQ(number.DeciNum(), n);
  }
  clsScanAnyNumBase negative = withNumber(-1);
  EXPECT_THROW(negative.BinNum(negative.BinNum()), NumberOverflowError) << "-1 does not come back";
}

TEST(ScanAnyNumBase, VeryLongTextsOverflowEvenWhenZero) {
  clsScanAnyNumBase number;
  EXPECT_NO_THROW(number.HexNum(std::u16string(200, u'0')));
  EXPECT_EQ(number.DeciNum(), 0);
  EXPECT_THROW(number.HexNum(std::u16string(300, u'0')), NumberOverflowError) << "16^299 is beyond a double";
  EXPECT_THROW(number.BinNum(std::u16string(1100, u'0')), NumberOverflowError);
}

}  // namespace
