// Keys: create, open, close, delete, enumerate, and handles whose key is gone.
#include "registry_fixture.h"

namespace qc_test {
namespace {

using namespace win;

TEST_F(RegistryTest, CreateReportsWhetherTheKeyIsNew) {
  platform::unique_hkey key;
  DWORD disposition = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root(), u"Fresh", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                           &disposition));
  EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
  disposition = kSentinel;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root(), u"FRESH", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                           &disposition));
  EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
}

TEST_F(RegistryTest, CreateMakesEveryMissingKeyOnThePath) {
  createKey(u"One\\Two\\Three");
  EXPECT_EQ(std::vector<std::u16string>{u"One"}, subkeys(root()));
  platform::unique_hkey two = openKey(u"One\\Two", KEY_READ);
  EXPECT_EQ(std::vector<std::u16string>{u"Three"}, subkeys(two.get()));
}

TEST_F(RegistryTest, NamesMatchWithoutCaseButKeepTheirSpelling) {
  createKey(u"MixedCase");
  platform::unique_hkey key;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(root(), u"mIXEDcASE", 0, KEY_READ, key.put()));
  EXPECT_EQ(std::vector<std::u16string>{u"MixedCase"}, subkeys(root()));
}

TEST_F(RegistryTest, OpeningAMissingKeyFails) {
  HKEY key = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(kSentinel));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(root(), u"Missing", 0, KEY_READ, &key));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(root(), "Missing\\Deeper", 0, KEY_READ, &key));
}

TEST_F(RegistryTest, ANamesReachTheSameKeys) {
  platform::unique_hkey created;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root(), "Narrow\\Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           created.put(), nullptr));
  platform::unique_hkey opened = openKey(u"Narrow\\Child", KEY_READ);
  EXPECT_TRUE(opened);
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(root(), "Narrow\\Child"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(root(), "Narrow"));
  EXPECT_TRUE(subkeys(root()).empty());
}

TEST_F(RegistryTest, ClosingTwiceFailsAndClosingARootIsHarmless) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root(), u"Closing", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER));
  platform::unique_hkey stillThere;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kTestPath, 0, KEY_READ, stillThere.put()));
}

TEST_F(RegistryTest, SubkeysEnumerateInSortedOrderWithoutCase) {
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma", u"Delta"}) createKey(name);
  std::vector<std::u16string> expected{u"Alpha", u"beta", u"Delta", u"gamma"};
  EXPECT_EQ(expected, subkeys(root()));
  char name[16];
  EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyA(root(), 2, name, sizeof name));
  EXPECT_STREQ("Delta", name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyA(root(), 4, name, sizeof name));
}

TEST_F(RegistryTest, EnumeratedNameMustFitWithItsZero) {
  createKey(u"Alpha");
  char16_t name[8];
  std::fill(std::begin(name), std::end(name), char16_t{0xbdbd});
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyW(root(), 0, name, 5));
  ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyW(root(), 0, name, 6));
  EXPECT_EQ(std::u16string(u"Alpha"), std::u16string(name));
  EXPECT_EQ(char16_t{0xbdbd}, name[6]);
  char narrow[8];
  std::fill(std::begin(narrow), std::end(narrow), static_cast<char>(kGuard));
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyA(root(), 0, narrow, 5));
  ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyA(root(), 0, narrow, 6));
  EXPECT_STREQ("Alpha", narrow);
  EXPECT_EQ(static_cast<char>(kGuard), narrow[6]);
}

TEST_F(RegistryTest, AKeyWithSubkeysIsNotDeleted) {
  createKey(u"Parent\\Child");
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(root(), u"Parent"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(root(), u"Parent\\Child"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(root(), u"Parent"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(root(), u"Parent"));
}

TEST_F(RegistryTest, DeleteTreeRemovesEverythingBelow) {
  platform::unique_hkey deep = createKey(u"Tree\\A\\B");
  setString(deep.get(), u"v", u"x");
  createKey(u"Tree\\C");
  platform::unique_hkey tree = openKey(u"Tree", KEY_ALL_ACCESS);
  setString(tree.get(), u"top", u"y");
  // Without a subkey name only the contents go.
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(tree.get(), nullptr));
  EXPECT_TRUE(subkeys(tree.get()).empty());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(tree.get(), u"top", nullptr, nullptr, nullptr, nullptr));
  createKey(u"Tree\\D\\E");
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(root(), u"Tree"));
  EXPECT_TRUE(subkeys(root()).empty());
}

TEST_F(RegistryTest, AHandleToADeletedKeyReportsIt) {
  platform::unique_hkey doomed = createKey(u"Doomed");
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(root(), u"Doomed"));
  DWORD value = 1;
  EXPECT_EQ(ERROR_KEY_DELETED,
            RegSetValueExW(doomed.get(), u"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
  char16_t name[16];
  EXPECT_EQ(ERROR_KEY_DELETED, RegEnumKeyW(doomed.get(), 0, name, 16));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(doomed.release()));
}

TEST_F(RegistryTest, RelativeOpensStartAtTheHandle) {
  platform::unique_hkey middle = createKey(u"Outer\\Middle");
  platform::unique_hkey inner;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(middle.get(), u"Inner", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           inner.put(), nullptr));
  EXPECT_TRUE(openKey(u"Outer\\Middle\\Inner", KEY_READ));
}

}  // namespace
}  // namespace qc_test
