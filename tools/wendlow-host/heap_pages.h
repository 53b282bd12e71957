// The host's heap in 2 MB pages where the C library and the kernel allow it.
#pragma once

// A listing of a large registry allocates tens of megabytes in small blocks, and faulting
// them in 4 KB at a time costs more than reading the hive (docs/benchmarks.md). Called
// first thing in main. Does nothing on Windows, under a sanitizer's allocator, or when
// WENDLOW_HOST_HUGE_PAGES is 0.
void useHugePagesForHeap();
