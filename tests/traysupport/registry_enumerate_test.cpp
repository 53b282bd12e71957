// Listing a key's values and subkeys into 1-based arrays.
#include <gtest/gtest.h>

#include "registry_test_support.h"

namespace traytest {
namespace {

using win::HKEY_CURRENT_USER;

class RegistryEnumerations : public RegistryBothForms {
 protected:
  static tray::OneBasedStrings stale() {
    tray::OneBasedStrings names;
    names.resizePreserving(2);
    names.at(1) = u"stale";
    return names;
  }
};
INSTANTIATE_TEST_SUITE_P(Forms, RegistryEnumerations, ::testing::Bool(), formName);

TEST_P(RegistryEnumerations, MissingKeyGivesAnEmptyList) {
  tray::clsRegistry registry = aimedAt(wide(), sub(u"NoSuchKey"), u"");
  tray::OneBasedStrings names = stale();
  std::int32_t count = -1;

  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());

  names = stale();
  count = -1;
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());
}

TEST_P(RegistryEnumerations, ValuesInRegistryOrderFromIndexOne) {
  putValue(HKEY_CURRENT_USER, kRoot, u"Zeta", win::REG_DWORD, dwordBytes(1));
  putValue(HKEY_CURRENT_USER, kRoot, u"", win::REG_SZ, utf16Bytes(u"default", true));
  putValue(HKEY_CURRENT_USER, kRoot, u"Alpha with spaces", win::REG_BINARY, {1});
  putValue(HKEY_CURRENT_USER, kRoot, u"M", win::REG_SZ, utf16Bytes(u"", true));
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"");
  tray::OneBasedStrings names = stale();
  std::int32_t count = 0;

  ASSERT_TRUE(registry.EnumerateValues(names, count));
  const std::vector<std::u16string> expected = wideValueNames(HKEY_CURRENT_USER, kRoot);
  ASSERT_EQ(expected.size(), 4u);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(names.lowerBound(), 1);
  EXPECT_EQ(names.upperBound(), 4);
  EXPECT_EQ(names.items(), expected) << "the unnamed value comes back as an empty name";
}

TEST_P(RegistryEnumerations, SectionsInRegistryOrder) {
  for (const char16_t* name : {u"Beta", u"alpha", u"Gamma Delta"}) createKey(HKEY_CURRENT_USER, sub(name));
  createKey(HKEY_CURRENT_USER, sub(u"Beta\\Nested"));
  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"");
  tray::OneBasedStrings names;
  std::int32_t count = 0;

  ASSERT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names.items(), wideSubkeyNames(HKEY_CURRENT_USER, kRoot));
}

TEST_P(RegistryEnumerations, SubkeyNameOf255CharactersEndsTheListing) {
  const std::u16string longest(254, u'b');
  const std::u16string tooLong(255, u'c');
  createKey(HKEY_CURRENT_USER, sub(u"a"));
  createKey(HKEY_CURRENT_USER, sub(longest));
  createKey(HKEY_CURRENT_USER, sub(tooLong));
  createKey(HKEY_CURRENT_USER, sub(u"d"));
  const std::vector<std::u16string> all = wideSubkeyNames(HKEY_CURRENT_USER, kRoot);
  ASSERT_EQ(all.size(), 4u) << "the registry holds a 255-character key name";
  std::vector<std::u16string> beforeLong;
  for (const std::u16string& name : all) {
    if (name.size() >= 255) break;
    beforeLong.push_back(name);
  }
  ASSERT_LT(beforeLong.size(), all.size());

  tray::clsRegistry registry = aimedAt(wide(), kRoot, u"");
  tray::OneBasedStrings names;
  std::int32_t count = 0;
  ASSERT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(names.items(), beforeLong);
  EXPECT_EQ(count, static_cast<std::int32_t>(beforeLong.size()));
}

}  // namespace
}  // namespace traytest
