// kernel32 services reached through our declarations, checked against the prefix they run in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/resource.h"
#include "platform/system.h"

namespace {

TEST(Wow64, IsWow64ProcessFoundAtRunTimeMatchesThePrefix) {
  const char* expected = std::getenv("QC_EXPECT_WOW64");
  ASSERT_NE(expected, nullptr) << "QC_EXPECT_WOW64 is set by the Wine test harness";

  win::HMODULE kernel = win::GetModuleHandleW(u"kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  auto isWow64Process = reinterpret_cast<win::IsWow64ProcessFn>(win::GetProcAddress(kernel, "IsWow64Process"));
  ASSERT_NE(isWow64Process, nullptr);

  win::BOOL wow64 = 0x5A5A;  // sentinel: must be overwritten
  ASSERT_NE(isWow64Process(win::GetCurrentProcess(), &wow64), 0);
  EXPECT_EQ(wow64 != 0, std::string(expected) == "1") << "IsWow64Process gave " << wow64;
}

TEST(Modules, MissingExportsAndModulesGiveNull) {
  win::HMODULE kernel = win::GetModuleHandleW(u"KERNEL32.DLL");  // names are case-insensitive
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(win::GetProcAddress(kernel, "NoSuchExportHere"), nullptr);
  EXPECT_EQ(win::GetModuleHandleW(u"no-such-module.dll"), nullptr);
  EXPECT_EQ(win::LoadLibraryW(u"no-such-library.dll"), nullptr);
}

TEST(Modules, LoadedLibraryExportsCallableFunctions) {
  platform::unique_module version(win::LoadLibraryW(u"version.dll"));
  ASSERT_TRUE(version);
  using SizeFn = win::DWORD(WINPLAT_STDCALL*)(const wchar_t*, win::DWORD*);
  auto getSize = reinterpret_cast<SizeFn>(win::GetProcAddress(version.get(), "GetFileVersionInfoSizeW"));
  ASSERT_NE(getSize, nullptr);
  win::DWORD handle = 0;
  EXPECT_GT(getSize(L"kernel32.dll", &handle), 0u);  // every system DLL carries a version resource
  EXPECT_NE(win::FreeLibrary(version.release()), 0);
}

TEST(FileTimes, CompareUsesTheHighHalfFirst) {
  const win::FILETIME low{0xFFFFFFFFu, 0};
  const win::FILETIME high{0, 1};
  EXPECT_EQ(win::CompareFileTime(&low, &high), -1);
  EXPECT_EQ(win::CompareFileTime(&high, &low), 1);
  EXPECT_EQ(win::CompareFileTime(&high, &high), 0);
}

}  // namespace
