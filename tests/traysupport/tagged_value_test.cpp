// Conversions of the tagged value that the tray program relies on.
#include <gtest/gtest.h>

#include <climits>

#include "tagged_value.h"
#include "tagged_value_printer.h"

namespace {

using tray::TaggedValue;

std::optional<std::int32_t> integerOf(const std::u16string& text) {
  return TaggedValue::fromString(text).toInteger32();
}

TEST(TaggedValue, KindsAndAccessors) {
  EXPECT_EQ(TaggedValue().kind(), TaggedValue::Kind::Empty);
  EXPECT_EQ(TaggedValue::fromInteger16(3).kind(), TaggedValue::Kind::Integer16);
  const TaggedValue text = TaggedValue::fromString(u"x");
  ASSERT_NE(text.asString(), nullptr);
  EXPECT_EQ(*text.asString(), u"x");
  EXPECT_EQ(text.asInteger32(), nullptr);
  EXPECT_EQ(text.asBytes(), nullptr);
  EXPECT_NE(TaggedValue::fromInteger16(3), TaggedValue::fromInteger32(3)) << "the kind is part of the value";
}

TEST(TaggedValue, ByteArrayBounds) {
  const TaggedValue bytes = TaggedValue::fromBytes({1, 2, 3}, 5);
  ASSERT_NE(bytes.asBytes(), nullptr);
  EXPECT_EQ(bytes.asBytes()->lowerBound, 5);
  EXPECT_EQ(bytes.asBytes()->upperBound(), 7);
  EXPECT_EQ(TaggedValue::fromBytes({}).asBytes()->upperBound(), -1);
}

TEST(TaggedValue, NumbersAndFlagsToInteger) {
  EXPECT_EQ(TaggedValue().toInteger32(), 0);
  EXPECT_EQ(TaggedValue::fromBoolean(true).toInteger32(), -1);
  EXPECT_EQ(TaggedValue::fromBoolean(false).toInteger32(), 0);
  EXPECT_EQ(TaggedValue::fromInteger16(-32768).toInteger32(), -32768);
  EXPECT_EQ(TaggedValue::fromInteger32(INT32_MIN).toInteger32(), INT32_MIN);
  EXPECT_EQ(TaggedValue::fromBytes({1}).toInteger32(), std::nullopt);
}

TEST(TaggedValue, DecimalTextsToInteger) {
  EXPECT_EQ(integerOf(u"1"), 1);
  EXPECT_EQ(integerOf(u"0"), 0);
  EXPECT_EQ(integerOf(u"  -42 "), -42);
  EXPECT_EQ(integerOf(u"+7"), 7);
  EXPECT_EQ(integerOf(u"2147483647"), INT32_MAX);
  EXPECT_EQ(integerOf(u"-2147483648"), INT32_MIN);
  EXPECT_EQ(integerOf(u"0002"), 2);
  // Fractions round to the nearest integer, halves to the even one.
  EXPECT_EQ(integerOf(u"2.5"), 2);
  EXPECT_EQ(integerOf(u"3.5"), 4);
  EXPECT_EQ(integerOf(u"2.51"), 3);
  EXPECT_EQ(integerOf(u"-1.7"), -2);
  EXPECT_EQ(integerOf(u".4"), 0);
}

TEST(TaggedValue, TextsThatAreNoNumberFail) {
  for (const char16_t* text : {u"", u"   ", u"abc", u"12abc", u"1 2", u"-", u"+", u".", u"1.2.3", u"0x10",
                               u"2147483648", u"-2147483649", u"99999999999999999999", u"2147483647.5"}) {
    EXPECT_EQ(integerOf(text), std::nullopt) << "text of " << std::u16string(text).size() << " units";
  }
}

TEST(TaggedValue, ToText) {
  EXPECT_EQ(TaggedValue().toText(), u"");
  EXPECT_EQ(TaggedValue::fromBoolean(true).toText(), u"True");
  EXPECT_EQ(TaggedValue::fromBoolean(false).toText(), u"False");
  EXPECT_EQ(TaggedValue::fromInteger16(-5).toText(), u"-5");
  EXPECT_EQ(TaggedValue::fromInteger32(INT32_MIN).toText(), u"-2147483648");
  EXPECT_EQ(TaggedValue::fromInteger32(0).toText(), u"0");
  EXPECT_EQ(TaggedValue::fromString(std::u16string(u"a\0b", 3)).toText(), std::u16string(u"a\0b", 3));
  EXPECT_EQ(TaggedValue::fromBytes({0x41, 0x00, 0xE9, 0x00, 0x42}).toText(), u"A\u00E9B");
}

}  // namespace
