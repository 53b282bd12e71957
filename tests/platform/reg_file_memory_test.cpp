// Memory for a .reg file stays proportional to the file, whatever its shape: a section's
// path is kept once, not once per value line below it. This program counts every
// allocation it makes, so that the bound covers what the load holds at its peak.
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "portable_support.h"

namespace {

std::size_t allocated = 0;
std::size_t peak = 0;

void* counted(std::size_t size) {
  void* memory = std::malloc(size != 0 ? size : 1);
  if (memory == nullptr) throw std::bad_alloc();
  allocated += malloc_usable_size(memory);
  peak = std::max(peak, allocated);
  return memory;
}

void released(void* memory) noexcept {
  if (memory == nullptr) return;
  allocated -= malloc_usable_size(memory);
  std::free(memory);
}

}  // namespace

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void operator delete(void* memory) noexcept { released(memory); }
void operator delete[](void* memory) noexcept { released(memory); }
void operator delete(void* memory, std::size_t) noexcept { released(memory); }
void operator delete[](void* memory, std::size_t) noexcept { released(memory); }

namespace qc_test {
namespace {

class RegFileMemoryTest : public PortableTest {};

TEST_F(RegFileMemoryTest, ValueLinesBelowADeepSectionDoNotCopyItsPath) {
  // One section 500 keys deep and 10,000 values in it: about 170 KB.
  std::string file = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software";
  std::u16string path = u"Software";
  for (int depth = 0; depth < 500; ++depth) {
    file += "\\k";
    path += u"\\k";
  }
  file += "]\n";
  for (int i = 0; i < 10000; ++i) file += "\"value" + std::to_string(i) + "\"=\"x\"\n";

  const std::size_t before = allocated;
  peak = allocated;
  portable::RegFileResult result = portable::loadRegData(file, "deep.reg");
  const std::size_t growth = peak - before;
  ASSERT_TRUE(result.ok) << result.error;
  // A copy of the path per line would take some 10,000 x 500 strings.
  EXPECT_LT(growth, 16u * 1024 * 1024) << "peak heap growth for a " << file.size() << "-byte file";

  platform::unique_hkey key;
  ASSERT_EQ(win::ERROR_SUCCESS,
            win::RegOpenKeyExW(win::HKEY_CURRENT_USER, path.c_str(), 0, win::KEY_READ, key.put()));
  win::DWORD values = 0;
  ASSERT_EQ(win::ERROR_SUCCESS, win::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                                      nullptr, &values, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(values, 10000u);
}

}  // namespace
}  // namespace qc_test
