#include "test_registry.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/system.h"

namespace testreg {

win::REGSAM viewFlag(View view) { return view == View::Bits64 ? win::KEY_WOW64_64KEY : 0; }

bool runsUnderWow64() {
  win::HMODULE kernel = win::GetModuleHandleW(u"kernel32");
  if (kernel == nullptr) return false;
  auto isWow64Process = reinterpret_cast<win::IsWow64ProcessFn>(win::GetProcAddress(kernel, "IsWow64Process"));
  win::BOOL wow64 = 0;
  return isWow64Process != nullptr && isWow64Process(win::GetCurrentProcess(), &wow64) != 0 && wow64 == 1;
}

platform::unique_hkey createKey(const std::u16string& area, const std::u16string& name, View view) {
  platform::unique_hkey key;
  std::u16string path = area + u"\\" + name;
  win::LONG result = win::RegCreateKeyExW(win::HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                          win::REG_OPTION_NON_VOLATILE, win::KEY_ALL_ACCESS | viewFlag(view),
                                          nullptr, key.put(), nullptr);
  EXPECT_EQ(result, win::ERROR_SUCCESS) << "creating a test key";
  return key;
}

void setBytes(win::HKEY key, const std::u16string& name, const std::vector<win::BYTE>& data, win::DWORD type) {
  win::LONG result = win::RegSetValueExW(key, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                                         static_cast<win::DWORD>(data.size()));
  EXPECT_EQ(result, win::ERROR_SUCCESS) << "writing a test value";
}

void setString(win::HKEY key, const std::u16string& name, const std::u16string& value, win::DWORD type) {
  // With its terminating zero, as string values are normally stored.
  const auto* bytes = reinterpret_cast<const win::BYTE*>(value.c_str());
  setBytes(key, name, std::vector<win::BYTE>(bytes, bytes + (value.size() + 1) * sizeof(char16_t)), type);
}

void setDword(win::HKEY key, const std::u16string& name, win::DWORD value) {
  std::vector<win::BYTE> bytes = {static_cast<win::BYTE>(value), static_cast<win::BYTE>(value >> 8),
                                  static_cast<win::BYTE>(value >> 16), static_cast<win::BYTE>(value >> 24)};
  setBytes(key, name, bytes, win::REG_DWORD);
}

void removeTestKeys(const std::u16string& area, View view) {
  platform::unique_hkey root;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, area.c_str(), 0, win::KEY_ALL_ACCESS | viewFlag(view),
                         root.put()) != win::ERROR_SUCCESS) {
    return;  // no area, nothing of ours in it
  }
  std::vector<std::u16string> ours;
  char16_t name[256];
  for (win::DWORD index = 0; win::RegEnumKeyW(root.get(), index, name, 256) == win::ERROR_SUCCESS; ++index) {
    std::u16string subkey(name);
    if (subkey.compare(0, kTestPrefix.size(), kTestPrefix) == 0) ours.push_back(subkey);
  }
  for (const std::u16string& subkey : ours) {
    EXPECT_EQ(win::RegDeleteTreeW(root.get(), subkey.c_str()), win::ERROR_SUCCESS) << "removing a test key";
  }
}

void removeAllTestKeys() {
  for (View view : {View::Default, View::Bits64}) {
    if (view == View::Bits64 && !runsUnderWow64()) continue;
    removeTestKeys(kUninstallPath, view);
    removeTestKeys(kAppPathsPath, view);
  }
}

}  // namespace testreg
