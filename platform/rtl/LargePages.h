// Memory for large arenas in whole huge pages where the system gives them,
// so that filling a fresh block costs a few page faults instead of one per
// small page.
#pragma once

#include <cstddef>

// The size and alignment of a large block.
constexpr size_t LargePageBytes = size_t(2) << 20;

// A block of Bytes rounded up to whole large pages, aligned to one, not
// zero-filled; nullptr when there is no memory. Freed with std::free.
void* AllocateLargePages(size_t Bytes);
