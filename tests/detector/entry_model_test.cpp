// The entry records and the keys they are filed under.
#include <gtest/gtest.h>

#include <set>

#include "app_installed_item.h"
#include "app_path_item.h"
#include "entry_key.h"

namespace {

TEST(AppInstalledItem, EveryPropertyStartsEmptyAndKeepsItsOwnValue) {
  AppInstalledItem item;
  const auto& names = AppInstalledItem::propertyNames();
  for (const auto& name : names) EXPECT_EQ(item.getValue(name), u"");
  // Distinct values, so a property stored in the wrong slot shows.
  for (std::size_t i = 0; i < names.size(); ++i) item.setValue(names[i], u"value " + names[i]);
  for (const auto& name : names) EXPECT_EQ(item.getValue(name), u"value " + name);
}

TEST(AppInstalledItem, PropertyNamesAreTheTwelveInTableOrder) {
  const std::array<std::u16string, 12> expected = {
      u"UninstallKey", u"DisplayName",   u"DisplayVersion",  u"DisplayIcon",   u"HelpLink",    u"HelpTelephone",
      u"Publisher",    u"PublisherLink", u"InstallLocation", u"InstallSource", u"InstallDate", u"Size"};
  EXPECT_EQ(AppInstalledItem::propertyNames(), expected);
}

TEST(AppInstalledItem, NamesAreExactAndCaseSensitive) {
  AppInstalledItem item;
  item.setValue(u"DisplayName", u"Brindlecone Notes");
  EXPECT_EQ(item.getValue(u"displayname"), u"");
  EXPECT_EQ(item.getValue(u"DISPLAYNAME"), u"");
  EXPECT_EQ(item.getValue(u"DisplayName "), u"");
  EXPECT_EQ(item.getValue(u"DisplayName"), u"Brindlecone Notes");

  // Unknown or wrongly cased names change nothing.
  item.setValue(u"displayname", u"lower");
  item.setValue(u"UninstallString", u"\"C:\\x\\uninstall.exe\"");
  EXPECT_EQ(item.getValue(u"DisplayName"), u"Brindlecone Notes");
  EXPECT_EQ(item.getValue(u"UninstallString"), u"");
}

TEST(AppInstalledItem, SetValueReplacesTheText) {
  AppInstalledItem item;
  item.setValue(u"Publisher", u"first");
  item.setValue(u"Publisher", u"");
  EXPECT_EQ(item.getValue(u"Publisher"), u"");
  item.setValue(u"Publisher", u"Grünwald Textwerkzeuge");
  EXPECT_EQ(item.getValue(u"Publisher"), u"Grünwald Textwerkzeuge");
}

TEST(AppPathItem, KeepsOnlyPath) {
  AppPathItem item;
  EXPECT_EQ(item.getValue(u"Path"), u"");
  item.setValue(u"path", u"C:\\lower");
  item.setValue(u"", u"C:\\default\\editor.exe");
  EXPECT_EQ(item.getValue(u"Path"), u"");
  item.setValue(u"Path", u"C:\\Program Files\\Editor");
  EXPECT_EQ(item.getValue(u"Path"), u"C:\\Program Files\\Editor");
  EXPECT_EQ(item.getValue(u"path"), u"");
}

TEST(EntryKey, LowersOnlyAsciiCapitals) {
  EXPECT_EQ(makeEntryKey(u"ABC"), u"abc");
  EXPECT_EQ(makeEntryKey(u"ÄRGER"), u"Ärger");
  EXPECT_EQ(makeEntryKey(u"Foo Ä Bar"), u"foo Ä bar");
  EXPECT_EQ(makeEntryKey(u"{9A2B-Foo}"), u"{9a2b-foo}");
  EXPECT_EQ(makeEntryKey(u"Editor.EXE"), u"editor.exe");
  // The neighbours of A-Z, fullwidth letters and CJK stay as they are.
  EXPECT_EQ(makeEntryKey(u"@[`{"), u"@[`{");
  EXPECT_EQ(makeEntryKey(u"ＡＢ墨香_IS1"), u"ＡＢ墨香_is1");
  EXPECT_EQ(makeEntryKey(u""), u"");
}

TEST(EntryKey, OrderIsPlainCodeUnitOrder) {
  std::set<std::u16string> keys = {u"foobar", u"foo bar", u"foo", u"zeta", u"Ärger", u"{guid}", u"_is1"};
  std::vector<std::u16string> ordered(keys.begin(), keys.end());
  // A proper prefix first, a space before letters, non-ASCII after ASCII.
  std::vector<std::u16string> expected = {u"_is1", u"foo", u"foo bar", u"foobar", u"zeta", u"{guid}", u"Ärger"};
  EXPECT_EQ(ordered, expected);
  // Above the surrogates by code unit, not by code point.
  EXPECT_LT(std::u16string(u"\U0001F600"), std::u16string(u"\uFF21"));
}

}  // namespace
