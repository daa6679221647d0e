// The node store: blocks of fixed-size slots, a free list per block, and the
// release of whole blocks.
#include "controls/vtree/VirtualTreesStore_p.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

#include "platform/rtl/LargePages.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Free slots are poisoned, so that a stale node pointer is still caught.
#define VT_POISON(Address, Size) ASAN_POISON_MEMORY_REGION(Address, Size)
#define VT_UNPOISON(Address, Size) ASAN_UNPOISON_MEMORY_REGION(Address, Size)
#else
#define VT_POISON(Address, Size) ((void)(Address), (void)(Size))
#define VT_UNPOISON(Address, Size) ((void)(Address), (void)(Size))
#endif

namespace VTPrivate {

namespace {

// The first block of a store holds this many slots; each new block holds as
// many as the store already has, up to one large page.
constexpr size_t MinSlotsPerBlock = 32;

// A free slot keeps the next free slot in its first bytes and 0 in
// TotalCount; everything from the parent link on is poisoned.
constexpr size_t FreeLinkBytes = sizeof(PVirtualNode);
constexpr size_t PoisonFrom = offsetof(TVirtualNode, Parent);
static_assert(FreeLinkBytes <= offsetof(TVirtualNode, TotalCount));
static_assert(offsetof(TVirtualNode, TotalCount) + sizeof(uint32_t) <= PoisonFrom);

PVirtualNode NextFree(PVirtualNode Slot) {
    PVirtualNode next;
    std::memcpy(&next, Slot, sizeof(next));
    return next;
}

} // namespace

TNodeStore::TNodeStore(TNodeStore&& Other) noexcept
    : FBlocks(std::exchange(Other.FBlocks, {})), FHasRoom(std::exchange(Other.FHasRoom, {})),
      FReserve(std::exchange(Other.FReserve, {})), FNodeCount(std::exchange(Other.FNodeCount, 0)) {}

TNodeStore& TNodeStore::operator=(TNodeStore&& Other) noexcept {
    if (this != &Other) {
        ReleaseAll();
        FBlocks = std::exchange(Other.FBlocks, {});
        FHasRoom = std::exchange(Other.FHasRoom, {});
        FReserve = std::exchange(Other.FReserve, {});
        FNodeCount = std::exchange(Other.FNodeCount, 0);
    }
    return *this;
}

TNodeStore::~TNodeStore() {
    ReleaseAll();
}

TNodeStore::TBlock* TNodeStore::Format(void* Memory, size_t Bytes, size_t Stride) {
    size_t capacity = std::max<size_t>(Bytes / Stride, 1);
    auto* block = new (Memory) TBlock{Bytes, uint32_t(Stride), uint32_t(capacity), 0, 0, nullptr, true};
    VT_POISON(block->Slot(0), Bytes);
    return block;
}

void TNodeStore::Free(TBlock* Block) {
    VT_UNPOISON(Block->Slot(0), Block->Bytes);
    std::free(Block);
}

TNodeStore::TBlock* TNodeStore::NewBlock(size_t Stride) {
    // Reserved before the block exists, so a failure leaves no block unlisted.
    FBlocks.reserve(FBlocks.size() + 1);
    FHasRoom.reserve(FHasRoom.size() + 1);
    TBlock* block = nullptr;
    // A reserve block is mapped memory already; a slot too large for it
    // needs a block of its own.
    while (!FReserve.empty() && !block) {
        TBlock* kept = FReserve.back();
        FReserve.pop_back();
        if (kept->Bytes >= Stride)
            block = Format(kept, kept->Bytes, Stride);
        else
            Free(kept);
    }
    if (!block) {
        const size_t maxBytes = LargePageBytes - HeaderBytes;
        size_t capacity = std::clamp(FNodeCount, MinSlotsPerBlock, std::max<size_t>(maxBytes / Stride, 1));
        // Not zero-filled: each slot is cleared when it is handed out, so new
        // memory is touched once.
        const size_t bytes = HeaderBytes + capacity * Stride;
        // A full-size block fills a large page: far fewer page faults when
        // a big tree is first filled.
        void* memory = bytes > LargePageBytes / 2 ? AllocateLargePages(bytes) : std::malloc(bytes);
        if (!memory) throw std::bad_alloc();
        block = Format(memory, capacity * Stride, Stride);
    }
    FBlocks.insert(std::upper_bound(FBlocks.begin(), FBlocks.end(), block, std::less<>()), block);
    FHasRoom.push_back(block);
    return block;
}

PVirtualNode TNodeStore::AllocateRun(size_t Stride, size_t Count, size_t& Taken) {
    TBlock* block = nullptr;
    while (!FHasRoom.empty()) {
        TBlock* candidate = FHasRoom.back();
        if (candidate->Stride == Stride && (candidate->Free || candidate->Used < candidate->Capacity)) {
            block = candidate;
            break;
        }
        candidate->HasRoomListed = false;
        FHasRoom.pop_back();
    }
    if (!block) block = NewBlock(Stride);
    char* slot;
    if (block->Free) {
        slot = reinterpret_cast<char*>(block->Free);
        block->Free = NextFree(block->Free);
        Taken = 1;
    } else {
        slot = block->Slot(block->Used);
        Taken = std::min<size_t>(std::max<size_t>(Count, 1), block->Capacity - block->Used);
        block->Used += uint32_t(Taken);
    }
    block->Live += uint32_t(Taken);
    FNodeCount += Taken;
    VT_UNPOISON(slot, Taken * Stride);
    return reinterpret_cast<PVirtualNode>(slot);
}

TNodeStore::TBlock* TNodeStore::FindBlock(PVirtualNode Node) const {
    auto after = std::upper_bound(FBlocks.begin(), FBlocks.end(), reinterpret_cast<const TBlock*>(Node),
                                  std::less<>());
    if (after == FBlocks.begin()) return nullptr;
    TBlock* block = *(after - 1);
    auto address = reinterpret_cast<const char*>(Node);
    if (address < block->Slot(0) || address >= block->Slot(block->Capacity)) return nullptr;
    return block;
}

void TNodeStore::Release(PVirtualNode Node) {
    TBlock* block = FindBlock(Node);
    assert(block && InUse(Node));
    if (!block || !InUse(Node)) return;
    Node->TotalCount = 0;
    std::memcpy(static_cast<void*>(Node), &block->Free, sizeof(block->Free));
    block->Free = Node;
    VT_POISON(reinterpret_cast<char*>(Node) + PoisonFrom, block->Stride - PoisonFrom);
    --block->Live;
    --FNodeCount;
    if (block->Live == 0) {
        DropBlock(block);
    } else if (!block->HasRoomListed) {
        block->HasRoomListed = true;
        FHasRoom.push_back(block);
    }
}

void TNodeStore::DropBlock(TBlock* Block) {
    FBlocks.erase(std::lower_bound(FBlocks.begin(), FBlocks.end(), Block, std::less<>()));
    if (Block->HasRoomListed) FHasRoom.erase(std::find(FHasRoom.begin(), FHasRoom.end(), Block));
    Free(Block);
}

TNodeStore TNodeStore::TakeAll() {
    return std::move(*this);
}

void TNodeStore::KeepAsReserve(TNodeStore&& Done) {
    for (TBlock* block : FReserve)
        Free(block);
    FReserve.clear();
    // The reserve must not fail to grow once the blocks are taken over.
    FReserve.reserve(Done.FBlocks.size());
    for (TBlock* block : Done.FBlocks) {
        VT_POISON(block->Slot(0), block->Bytes);
        FReserve.push_back(block);
    }
    Done.FBlocks.clear();
    Done.FHasRoom.clear();
    Done.FNodeCount = 0;
    Done.ReleaseAll();
}

void TNodeStore::ReleaseAll() {
    for (TBlock* block : FBlocks)
        Free(block);
    for (TBlock* block : FReserve)
        Free(block);
    FBlocks.clear();
    FHasRoom.clear();
    FReserve.clear();
    FNodeCount = 0;
}

bool TNodeStore::HasEmptyBlock() const {
    return std::any_of(FBlocks.begin(), FBlocks.end(), [](const TBlock* b) { return b->Live == 0; });
}

bool TNodeStore::Holds(PVirtualNode Node) const {
    const TBlock* block = FindBlock(Node);
    if (!block) return false;
    size_t offset = size_t(reinterpret_cast<const char*>(Node) - block->Slot(0));
    return offset % block->Stride == 0 && offset / block->Stride < block->Used && InUse(Node);
}

} // namespace VTPrivate
