// OLE Automation strings from the real oleaut32: layout and the edge cases callers rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/oleaut.h"
#include "platform/resource.h"

namespace {

std::uint32_t lengthPrefix(win::BSTR s) {
  std::uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const char*>(s) - sizeof bytes, sizeof bytes);
  return bytes;
}

TEST(Bstr, ByteLengthPrecedesTextAndZeroFollows) {
  platform::unique_bstr s(win::SysAllocString(u"abc"));
  ASSERT_TRUE(s);
  EXPECT_EQ(lengthPrefix(s.get()), 6u);
  EXPECT_EQ(s.get()[3], u'\0');
  EXPECT_EQ(win::SysStringLen(s.get()), 3u);
  EXPECT_EQ(win::SysStringByteLen(s.get()), 6u);
}

TEST(Bstr, ExplicitLengthKeepsEmbeddedZeros) {
  platform::unique_bstr s(win::SysAllocStringLen(u"a\0bc", 4));
  ASSERT_TRUE(s);
  EXPECT_EQ(win::SysStringLen(s.get()), 4u);
  EXPECT_EQ(lengthPrefix(s.get()), 8u);
  EXPECT_EQ(std::u16string(s.get(), 4), std::u16string(u"a\0bc", 4));
  EXPECT_EQ(s.get()[4], u'\0');
}

TEST(Bstr, NullSourceAllocatesZeroTerminatedRoom) {
  platform::unique_bstr s(win::SysAllocStringLen(nullptr, 5));
  ASSERT_TRUE(s);
  EXPECT_EQ(win::SysStringLen(s.get()), 5u);
  EXPECT_EQ(s.get()[5], u'\0');
}

TEST(Bstr, NullMeansEmpty) {
  EXPECT_EQ(win::SysAllocString(nullptr), nullptr);
  EXPECT_EQ(win::SysStringLen(nullptr), 0u);
  EXPECT_EQ(win::SysStringByteLen(nullptr), 0u);
  win::SysFreeString(nullptr);  // must be harmless
  platform::unique_bstr empty(win::SysAllocString(u""));
  ASSERT_TRUE(empty);
  EXPECT_EQ(win::SysStringLen(empty.get()), 0u);
  EXPECT_EQ(empty.get()[0], u'\0');
}

TEST(Bstr, ImpossibleSizeFailsWithNull) {
  // 2 GiB of text cannot exist in a 32-bit process.
  EXPECT_EQ(win::SysAllocStringLen(nullptr, 0x40000000u), nullptr);
}

}  // namespace
