// The host tool's command line and output formats.
#include <gtest/gtest.h>

#include "host_options.h"
#include "json_output.h"
#include "text_table.h"

namespace {

bool parse(const std::vector<std::string>& words, HostOptions& options, std::string& error) {
  return parseHostOptions(words, options, error);
}

TEST(HostOptions, OptionsMayStandAnywhere) {
  HostOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--mode", "2", "--registry", "a.reg", "list", "--json", "--cache", "C:/tmp/Cäche.db", "extra",
                     "--registry", "b", "--quiet"},
                    options, error))
      << error;
  EXPECT_EQ(options.mode, 2);
  EXPECT_TRUE(options.json);
  ASSERT_TRUE(options.cachePath.has_value());
  EXPECT_EQ(*options.cachePath, u"C:/tmp/Cäche.db");
  EXPECT_EQ(options.subcommand, "list");
  EXPECT_EQ(options.arguments, std::vector<std::string>{"extra"});
  EXPECT_EQ(options.registries, (std::vector<std::string>{"a.reg", "b"})) << "every machine, in order";
  EXPECT_TRUE(options.quiet);
}

TEST(HostOptions, DefaultsToScanModeAndTheLibrarysCache) {
  HostOptions options;
  std::string error;
  ASSERT_TRUE(parse({"list"}, options, error));
  EXPECT_EQ(options.mode, 1);
  EXPECT_FALSE(options.cachePath.has_value());
  EXPECT_FALSE(options.json);
}

TEST(HostOptions, RejectsBadInput) {
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"--mode"}, {"--mode", "two"}, {"--mode", "1x"}, {"--mode", "99999999999"},
        {"--cache"}, {"--registry"}, {"--frobnicate", "list"}}) {
    HostOptions options;
    std::string error;
    EXPECT_FALSE(parse(words, options, error)) << words[0];
    EXPECT_FALSE(error.empty());
  }
  HostOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--mode", "-3", "list"}, options, error)) << "any mode is passed on";
  EXPECT_EQ(options.mode, -3);
}

TEST(TextTable, AlignsColumnsByTerminalColumns) {
  std::string table = renderTable({u"Key", u"Name"}, {{u"ärger", u"Ärger Editor"}, {u"墨香笔记_is1", u"墨香"},
                                                      {u"x", u""}});
  EXPECT_EQ(table,
            "Key           Name\n"
            "------------  ------------\n"
            "ärger         Ärger Editor\n"
            "墨香笔记_is1  墨香\n"
            "x\n");
}

TEST(TextTable, ControlCharactersCannotBreakTheLayout) {
  std::string table = renderTable({u"A", u"B"}, {{u"a\tb\nc", u"\u0001"}});
  EXPECT_EQ(table,
            "A      B\n"
            "-----  -\n"
            "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c  \xEF\xBF\xBD\n");
}

TEST(TextTable, WidthCountsTerminalColumns) {
  EXPECT_EQ(displayWidth(u"a\U0001F600b"), 4u) << "a wide emoji from a surrogate pair";
  EXPECT_EQ(displayWidth(u"\xD800"), 1u) << "a lone surrogate";
  EXPECT_EQ(displayWidth(u""), 0u);
  EXPECT_EQ(displayWidth(u"桜フォト"), 8u);
  EXPECT_EQ(displayWidth(u"\uFF21\uAC00"), 4u) << "full-width Latin and Hangul";
  EXPECT_EQ(displayWidth(u"Ärger"), 5u);
  EXPECT_EQ(displayWidth(u"A\u0308rger"), 5u) << "a combining diaeresis takes no column";
}

TEST(JsonOutput, EscapesWhatJsonRequires) {
  EXPECT_EQ(jsonString(u"plain"), "\"plain\"");
  EXPECT_EQ(jsonString(u"say \"hi\" C:\\x"), "\"say \\\"hi\\\" C:\\\\x\"");
  EXPECT_EQ(jsonString(u"a\tb\nc\rd\be\ff\u0001\u001f"), "\"a\\tb\\nc\\rd\\be\\ff\\u0001\\u001f\"");
  EXPECT_EQ(jsonString(u"Ärger 墨 \U0001F600"), "\"\xC3\x84rger \xE5\xA2\xA8 \xF0\x9F\x98\x80\"");
  EXPECT_EQ(jsonString(u"lone \xDC00"), "\"lone \xEF\xBF\xBD\"");
  EXPECT_EQ(jsonString(u"/\u007f"), "\"/\x7f\"");
}

TEST(JsonOutput, OneObjectPerRowInHeaderOrder) {
  EXPECT_EQ(jsonArrayOfObjects({u"Key", u"DisplayName"}, {}), "[]");
  EXPECT_EQ(jsonArrayOfObjects({u"Key", u"DisplayName"}, {{u"a", u"A"}, {u"b"}}),
            "[\n"
            "  {\"Key\": \"a\", \"DisplayName\": \"A\"},\n"
            "  {\"Key\": \"b\", \"DisplayName\": \"\"}\n"
            "]");
}

}  // namespace
