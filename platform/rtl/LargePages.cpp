// Large-page blocks: aligned allocation with a hint to back them by huge pages.
#include "platform/rtl/LargePages.h"

#include <cstdlib>

#include <sys/mman.h>

void* AllocateLargePages(size_t Bytes) {
    const size_t rounded = (Bytes + LargePageBytes - 1) / LargePageBytes * LargePageBytes;
    if (rounded < Bytes) return nullptr;
    void* memory = std::aligned_alloc(LargePageBytes, rounded);
    // Only a hint: without huge pages the block is ordinary memory.
    if (memory) (void)madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}
