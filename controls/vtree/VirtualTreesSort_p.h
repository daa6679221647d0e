// The merge sort behind the tree's Sort: a stable sort of node pointers by the
// owner's comparison, which may answer anything without a node being lost.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

#include "controls/vtree/VirtualTrees.h"
#include "platform/rtl/LargePages.h"

namespace VTPrivate {

// A sibling list and the scratch space of its sort: two arrays of Count node
// pointers in one block. A large block comes in whole huge pages, so that
// fresh memory costs a few page faults instead of one per small page.
class TSortArrays {
public:
    explicit TSortArrays(size_t Count) : FCount(Count) {
        const size_t bytes = 2 * Count * sizeof(PVirtualNode);
        void* block = bytes >= LargePageBytes / 2 ? AllocateLargePages(bytes) : std::malloc(bytes);
        if (!block) throw std::bad_alloc();
        FBlock = static_cast<PVirtualNode*>(block);
    }
    TSortArrays(const TSortArrays&) = delete;
    TSortArrays& operator=(const TSortArrays&) = delete;
    ~TSortArrays() { std::free(FBlock); }

    PVirtualNode* List() const { return FBlock; }
    PVirtualNode* Scratch() const { return FBlock + FCount; }

private:
    size_t FCount;
    PVirtualNode* FBlock = nullptr;
};

// How many places ahead a merge asks for the node data it will compare, so
// that the owner's comparison finds it in the cache; runs shorter than
// PrefetchFrom stay in the cache anyway.
constexpr size_t PrefetchDistance = 16;
constexpr size_t PrefetchFrom = 2048;
// Lists this long are merged from ManyWays parts at once. A binary merge
// fetches every node's data from far memory once per level; one merge of
// sixteen parts does the work of four levels with one fetch per node.
constexpr unsigned ManyWays = 16;
constexpr size_t ManyWaysFrom = ManyWays * PrefetchFrom;

// A stable top-down merge sort of node pointers. The owner's comparison is
// called as a merge sort needs it (a list in order costs n - 1 calls, none
// more than n log2 n) and may answer anything: every index stays inside its
// run. Each level reads one array and writes the other, so no pointer is
// copied back.
template <class TAfter> class TNodeMergeSort {
public:
    // After(A, B): B goes first. DataOffset: where the owner's data lies.
    TNodeMergeSort(TAfter After, size_t DataOffset) : FAfter(After), FDataOffset(DataOffset) {}

    // Sorts the Count pointers of List; Scratch holds the same pointers on
    // entry and anything afterwards.
    void Sort(PVirtualNode* List, PVirtualNode* Scratch, size_t Count) { SortInto(Scratch, List, Count); }

private:
    void Prefetch(PVirtualNode Node) const {
        __builtin_prefetch(reinterpret_cast<const char*>(Node) + FDataOffset);
    }

    // Sorts Count pointers that both Source and Target hold into Target; true
    // when they were in order already.
    bool SortInto(PVirtualNode* Source, PVirtualNode* Target, size_t Count) {
        if (Count < 2) return true;
        if (Count >= ManyWaysFrom) return SortInParts(Source, Target, Count);
        size_t half = Count / 2;
        bool firstInOrder = SortInto(Target, Source, half);
        bool secondInOrder = SortInto(Target + half, Source + half, Count - half);
        // Two ordered runs in order cost one comparison, not a merge: a list
        // sorted before is sorted again in n - 1 comparisons.
        if (firstInOrder && secondInOrder && half > 1 && !FAfter(Source[half - 1], Source[half])) {
            std::copy(Source, Source + Count, Target);
            return true;
        }
        return Merge(Source, half, Source + half, Count - half, Target);
    }

    bool SortInParts(PVirtualNode* Source, PVirtualNode* Target, size_t Count) {
        size_t bounds[ManyWays + 1];
        for (unsigned r = 0; r <= ManyWays; ++r)
            bounds[r] = Count * r / ManyWays;
        bool inOrder = true;
        for (unsigned r = 0; r < ManyWays; ++r)
            inOrder = SortInto(Target + bounds[r], Source + bounds[r], bounds[r + 1] - bounds[r]) && inOrder;
        // Parts in order that follow each other cost one comparison per seam.
        bool joined = inOrder;
        for (unsigned r = 1; joined && r < ManyWays; ++r)
            joined = !FAfter(Source[bounds[r] - 1], Source[bounds[r]]);
        if (joined) {
            std::copy(Source, Source + Count, Target);
            return true;
        }
        return MergeParts(Source, bounds, Target);
    }

    // Merges run A and run B into Target, taking A's head unless it goes after
    // B's, so equal nodes keep their order. True when all of A came first.
    bool Merge(const PVirtualNode* A, size_t ACount, const PVirtualNode* B, size_t BCount,
               PVirtualNode* Target) {
        size_t i = 0, j = 0;
        bool inOrder = true;
        if (ACount + BCount < PrefetchFrom) {
            while (i < ACount && j < BCount) {
                if (FAfter(A[i], B[j])) {
                    inOrder = false;
                    *Target++ = B[j++];
                } else {
                    *Target++ = A[i++];
                }
            }
        } else {
            for (size_t k = 0; k < PrefetchDistance && k < ACount; ++k)
                Prefetch(A[k]);
            for (size_t k = 0; k < PrefetchDistance && k < BCount; ++k)
                Prefetch(B[k]);
        }
        while (i < ACount && j < BCount) {
            if (FAfter(A[i], B[j])) {
                inOrder = false;
                if (j + PrefetchDistance < BCount) Prefetch(B[j + PrefetchDistance]);
                *Target++ = B[j++];
            } else {
                if (i + PrefetchDistance < ACount) Prefetch(A[i + PrefetchDistance]);
                *Target++ = A[i++];
            }
        }
        Target = std::copy(A + i, A + ACount, Target);
        std::copy(B + j, B + BCount, Target);
        return inOrder;
    }

    // Merges the ManyWays runs Source[Bounds[r], Bounds[r + 1]) into Target
    // through a tournament whose inner nodes keep the run that lost there, so
    // each next node costs one comparison per level of the tournament. True
    // when the runs came out one after the other.
    bool MergeParts(const PVirtualNode* Source, const size_t* Bounds, PVirtualNode* Target) {
        size_t head[ManyWays], end[ManyWays];
        unsigned winners[2 * ManyWays], losers[ManyWays];
        for (unsigned r = 0; r < ManyWays; ++r) {
            head[r] = Bounds[r];
            end[r] = Bounds[r + 1];
            winners[ManyWays + r] = r;
            for (size_t k = head[r]; k < end[r] && k < head[r] + PrefetchDistance; ++k)
                Prefetch(Source[k]);
        }
        // Run A's head goes before run B's: the earlier run's head goes first
        // unless it goes after the other, so equal nodes keep their order; an
        // empty run comes last, whatever the comparison answered before.
        auto goesFirst = [&](unsigned A, unsigned B) {
            if (head[A] == end[A]) return false;
            if (head[B] == end[B]) return true;
            return A < B ? !FAfter(Source[head[A]], Source[head[B]])
                         : FAfter(Source[head[B]], Source[head[A]]);
        };
        for (unsigned n = ManyWays - 1; n >= 1; --n) {
            unsigned a = winners[2 * n], b = winners[2 * n + 1];
            bool aFirst = goesFirst(a, b);
            winners[n] = aFirst ? a : b;
            losers[n] = aFirst ? b : a;
        }
        // Only an empty run loses to an empty run, so the winner has a head
        // while nodes are left.
        unsigned winner = winners[1], previous = 0;
        bool inOrder = true;
        for (size_t k = Bounds[0]; k < Bounds[ManyWays]; ++k) {
            inOrder = inOrder && winner >= previous;
            previous = winner;
            *Target++ = Source[head[winner]++];
            if (head[winner] + PrefetchDistance < end[winner])
                Prefetch(Source[head[winner] + PrefetchDistance]);
            for (unsigned n = (ManyWays + winner) / 2; n >= 1; n /= 2)
                if (goesFirst(losers[n], winner)) std::swap(losers[n], winner);
        }
        return inOrder;
    }

    TAfter FAfter;
    size_t FDataOffset;
};

template <class TAfter>
void SortNodes(PVirtualNode* List, PVirtualNode* Scratch, size_t Count, TAfter After, size_t DataOffset) {
    TNodeMergeSort<TAfter>(After, DataOffset).Sort(List, Scratch, Count);
}

} // namespace VTPrivate
