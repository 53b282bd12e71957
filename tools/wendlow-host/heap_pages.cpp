#include "heap_pages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// (__GLIBC__ comes with the C library's headers above.)
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

void useHugePagesForHeap() {
  const char* setting = std::getenv("WENDLOW_HOST_HUGE_PAGES");
  if (setting != nullptr && std::strcmp(setting, "0") == 0) return;
  // glibc's largest threshold for taking a block from the heap rather than mapping it.
  constexpr std::size_t kBlock = 32u << 20;
  // The heap is grown once by this much beyond the block: address space only, a page costs
  // memory when it is first touched.
  constexpr std::size_t kPad = 64u << 20;
  constexpr std::uintptr_t kHugePage = 2u << 20;
  // Blocks up to kBlock from the heap, and freed memory kept, so that the range advised
  // below is where the listing's allocations go, and a trim cannot take it back.
  if (mallopt(M_MMAP_THRESHOLD, kBlock) == 0 || mallopt(M_TRIM_THRESHOLD, kBlock + kPad) == 0 ||
      mallopt(M_TOP_PAD, kPad) == 0) {
    return;
  }
  const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  constexpr std::size_t kSize = kBlock - kHugePage;
  void* block = std::malloc(kSize);
  const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  const auto at = reinterpret_cast<std::uintptr_t>(block);
  std::free(block);
  // Back to glibc's own padding for any growth beyond the range.
  constexpr int kDefaultTopPad = 128 * 1024;
  mallopt(M_TOP_PAD, kDefaultTopPad);
  // Only a block at the heap's top, which grew for it (not one mapped apart when the heap
  // cannot grow).
  if (block == nullptr || after <= before || at > after || after - at < kSize) return;
  const std::uintptr_t first = (at + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = after & ~(kHugePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

#else

void useHugePagesForHeap() {}

#endif
