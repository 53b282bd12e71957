// Last-write times and the access a handle was opened with.
#include <chrono>
#include <thread>

#include "platform/system.h"
#include "registry_fixture.h"

namespace qc_test {
namespace {

using namespace win;

// Real registries stamp with the system clock, whose steps can be coarse: let it move on.
void letTheClockMove() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

TEST_F(RegistryTest, LastWriteTimeMovesOnValueChanges) {
  platform::unique_hkey key = createKey(u"Timed");
  FILETIME created = lastWrite(key.get());
  letTheClockMove();
  setString(key.get(), u"v", u"1");
  FILETIME afterSet = lastWrite(key.get());
  EXPECT_EQ(1, CompareFileTime(&afterSet, &created));
  letTheClockMove();
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key.get(), u"v"));
  FILETIME afterDelete = lastWrite(key.get());
  EXPECT_EQ(1, CompareFileTime(&afterDelete, &afterSet));
}

TEST_F(RegistryTest, LastWriteTimeOfTheParentMovesOnSubkeyChanges) {
  platform::unique_hkey parent = createKey(u"Parent");
  FILETIME before = lastWrite(parent.get());
  letTheClockMove();
  createKey(u"Parent\\Child");
  FILETIME afterCreate = lastWrite(parent.get());
  EXPECT_EQ(1, CompareFileTime(&afterCreate, &before));
  letTheClockMove();
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(parent.get(), u"Child"));
  FILETIME afterDelete = lastWrite(parent.get());
  EXPECT_EQ(1, CompareFileTime(&afterDelete, &afterCreate));
  // Reading changes nothing.
  DWORD size = 0;
  RegQueryValueExW(parent.get(), u"none", nullptr, nullptr, nullptr, &size);
  FILETIME afterRead = lastWrite(parent.get());
  EXPECT_EQ(0, CompareFileTime(&afterRead, &afterDelete));
}

TEST_F(RegistryTest, QueryValueNeedsQueryAccess) {
  setString(root(), u"v", u"x");
  platform::unique_hkey writeOnly = openKey(u"", KEY_SET_VALUE);
  BYTE data[8];
  DWORD size = sizeof data;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExW(writeOnly.get(), u"v", nullptr, nullptr, data, &size));
  EXPECT_EQ(sizeof data, size);
  char name[32];
  DWORD nameLength = sizeof name;
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegEnumValueA(writeOnly.get(), 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryTest, ChangingValuesNeedsSetAccess) {
  setString(root(), u"v", u"x");
  platform::unique_hkey readOnly = openKey(u"", KEY_READ);
  DWORD number = 1;
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegSetValueExW(readOnly.get(), u"w", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(readOnly.get(), "w", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueW(readOnly.get(), u"v"));
  DWORD size = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(readOnly.get(), u"v", nullptr, nullptr, nullptr, &size));
}

TEST_F(RegistryTest, EnumeratingSubkeysNeedsEnumerateAccess) {
  createKey(u"Child");
  platform::unique_hkey queryOnly = openKey(u"", KEY_QUERY_VALUE);
  char16_t name[16];
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegEnumKeyW(queryOnly.get(), 0, name, 16));
  platform::unique_hkey enumerateOnly = openKey(u"", KEY_ENUMERATE_SUB_KEYS);
  EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyW(enumerateOnly.get(), 0, name, 16));
}

}  // namespace
}  // namespace qc_test
