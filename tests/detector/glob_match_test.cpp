// globMatch: only '*' is special, case counts, and the text (or its rest) must never be
// shorter than the pattern (or its rest), each '*' counting as one code unit.
#include <gtest/gtest.h>

#include <string>

#include "glob_match.h"

namespace {

struct GlobCase {
  const char16_t* text;
  const char16_t* pattern;
  bool floating;
  bool expected;
};

std::string describe(const GlobCase& c) {
  std::string out;
  for (const char16_t* p : {c.text, c.pattern}) {
    out += '"';
    for (const char16_t* u = p; *u != 0; ++u) out += *u < 0x80 ? static_cast<char>(*u) : '#';
    out += "\" ";
  }
  return out + (c.floating ? "floating" : "anchored");
}

class GlobMatchTable : public ::testing::TestWithParam<GlobCase> {};

TEST_P(GlobMatchTable, Matches) {
  const GlobCase& c = GetParam();
  EXPECT_EQ(c.expected, globMatch(c.text, c.pattern, c.floating)) << describe(c);
}

INSTANTIATE_TEST_SUITE_P(
    AnchoredTopLevel, GlobMatchTable,
    ::testing::Values(GlobCase{u"abc", u"abc", false, true}, GlobCase{u"abc", u"ab", false, false},
                      GlobCase{u"abcd", u"abc*", false, true}, GlobCase{u"abc", u"abc*", false, false},
                      GlobCase{u"xabc", u"*abc", false, true}, GlobCase{u"abc", u"*abc", false, false},
                      GlobCase{u"xaby", u"*ab*", false, true}, GlobCase{u"xxab", u"*ab*", false, true},
                      GlobCase{u"xab", u"*ab*", false, false}, GlobCase{u"ab", u"*ab*", false, false},
                      GlobCase{u"axxc", u"a*c", false, true}, GlobCase{u"ac", u"a*c", false, false},
                      GlobCase{u"abcbc", u"a*c", false, true}, GlobCase{u"abc", u"a?c", false, false},
                      GlobCase{u"ABC", u"abc", false, false}));

INSTANTIATE_TEST_SUITE_P(
    MoreShapes, GlobMatchTable,
    ::testing::Values(
        // A lone star stands for any text of at least one code unit.
        GlobCase{u"x", u"*", false, true}, GlobCase{u"", u"*", false, false},
        // Empty pattern: anchored only the empty text; floating anything.
        GlobCase{u"", u"", false, true}, GlobCase{u"a", u"", false, false}, GlobCase{u"a", u"", true, true},
        // Floating without a star: the text's end.
        GlobCase{u"foo bar", u"bar", true, true}, GlobCase{u"foo bar", u"foo", true, false},
        // Only the first occurrence of a middle piece is tried.
        GlobCase{u"a-b-c-d", u"a*-*d", false, true}, GlobCase{u"abab", u"*ab", false, true},
        // '?' is literal and matches only itself.
        GlobCase{u"a?c", u"a?c", false, true}, GlobCase{u"a?cd", u"a?c*", false, true},
        // Neighbouring stars each take one code unit of length.
        GlobCase{u"abc", u"a**", false, true}, GlobCase{u"ab", u"a**", false, false},
        // Code units, not letters: no folding outside ASCII either, and a surrogate pair is two units.
        GlobCase{u"\u00e4rger", u"\u00c4*", false, false}, GlobCase{u"\u00e4rger", u"\u00e4*", false, true},
        GlobCase{u"x\U0001F600", u"x*", false, true}, GlobCase{u"x\U0001F600", u"x??", false, false},
        // The anchored head must sit at the start even when it occurs later.
        GlobCase{u"xfoo", u"foo*", false, false}, GlobCase{u"foo bar", u"foo*", false, true}));

TEST(GlobMatch, ManyStarsNeedATextAsLongAsThePattern) {
  const std::u16string stars(10000, u'*');
  EXPECT_TRUE(globMatch(std::u16string(10000, u'a'), stars, false));
  EXPECT_FALSE(globMatch(std::u16string(9999, u'a'), stars, false));
  // Far more stars than any text: refused at once, whatever the length.
  EXPECT_FALSE(globMatch(u"abc", std::u16string(1000000, u'*'), false));
}

}  // namespace
