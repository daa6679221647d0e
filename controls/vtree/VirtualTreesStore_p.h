// The storage of a tree's nodes: blocks of fixed-size slots that the tree
// owns, so that nodes are made and dropped without one allocator call each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/vtree/VirtualTrees.h"

namespace VTPrivate {

class TNodeStore {
public:
    TNodeStore() = default;
    TNodeStore(const TNodeStore&) = delete;
    TNodeStore& operator=(const TNodeStore&) = delete;
    TNodeStore(TNodeStore&& Other) noexcept;
    TNodeStore& operator=(TNodeStore&& Other) noexcept;
    ~TNodeStore();

    // Up to Count slots of Stride bytes (a multiple of 8) lying end to end,
    // at least one; Taken tells how many. A freed slot of that size is taken
    // before new memory, alone. The slots are not cleared: the caller clears
    // each as it fills it in, while it is in the cache.
    PVirtualNode AllocateRun(size_t Stride, size_t Count, size_t& Taken);
    // Takes a slot back; a block left without nodes goes back to the allocator.
    void Release(PVirtualNode Node);
    // Hands every block to the returned store and leaves this one empty, so
    // that nodes can be visited after the tree has let go of them.
    TNodeStore TakeAll();
    // Takes the blocks of a store whose nodes are done with, all slots free,
    // as the reserve for the nodes that follow: a tree that is filled again
    // after a clear finds its memory mapped. What the old reserve held beyond
    // that goes back to the allocator.
    void KeepAsReserve(TNodeStore&& Done);
    // Every block, the reserve included, goes back to the allocator; the
    // slots are not visited.
    void ReleaseAll();

    // Visits every slot in use, block by block in storage order. Visit may not
    // allocate from or release into this store.
    template <class F> void ForEachNode(F&& Visit) const {
        for (const TBlock* block : FBlocks)
            for (uint32_t i = 0; i < block->Used; ++i) {
                auto node = reinterpret_cast<PVirtualNode>(block->Slot(i));
                if (InUse(node)) Visit(node);
            }
    }

    size_t NodeCount() const { return FNodeCount; }
    size_t BlockCount() const { return FBlocks.size(); }
    size_t ReserveCount() const { return FReserve.size(); }
    // True when a block holds no node: it should have been released.
    bool HasEmptyBlock() const;
    // True when Node is a slot in use of this store.
    bool Holds(PVirtualNode Node) const;

private:
    struct TBlock {
        size_t Bytes; // slot space, header excluded
        uint32_t Stride;
        uint32_t Capacity;
        uint32_t Used; // slots handed out at least once, from the start
        uint32_t Live;
        PVirtualNode Free;
        bool HasRoomListed;
        char* Slot(uint32_t I) const {
            return const_cast<char*>(reinterpret_cast<const char*>(this)) + HeaderBytes + size_t(I) * Stride;
        }
    };
    // Slots start one cache line into the block, aligned for the node record
    // and for any owner data whose size is a multiple of 16.
    static constexpr size_t HeaderBytes = 64;

    // A live node counts itself in TotalCount; a freed slot holds 0 there.
    static bool InUse(PVirtualNode Node) { return Node->TotalCount != 0; }
    TBlock* NewBlock(size_t Stride);
    static TBlock* Format(void* Memory, size_t Bytes, size_t Stride);
    static void Free(TBlock* Block);
    TBlock* FindBlock(PVirtualNode Node) const;
    void DropBlock(TBlock* Block);

    std::vector<TBlock*> FBlocks;  // ordered by address
    std::vector<TBlock*> FHasRoom; // blocks that may have a free slot, the newest last
    std::vector<TBlock*> FReserve; // blocks without nodes, kept for the next ones
    size_t FNodeCount = 0;
};

} // namespace VTPrivate
