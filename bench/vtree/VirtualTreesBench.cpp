// The tree model at 10^3 to 10^6 top-level nodes: creating them, walking
// them, finding the node at a position with and without the position cache,
// sorting with initialisation, clearing, the invariant checker, and, in a
// window of fixed size, hit testing, bringing rows into view and key steps. Bytes per
// node are reported as a counter of the creation benchmark; a benchmark whose
// tree comes out broken reports an error instead of a time.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesCheck.h"

namespace {

// Nodes filled in all for the clears of one size.
constexpr int64_t ClearFillNodes = 10000000;
constexpr int64_t MinClears = 10;

// Keys scattered over [0, KeyModulus) by a multiplicative hash of the index,
// so sorting has real work to do.
constexpr uint32_t KeyMultiplier = 2654435761u;
constexpr uint32_t KeyModulus = 1000003u;
// Rows past the middle, prime so the row is not a cache entry itself.
constexpr int MiddleRowOffset = 997;
// A point inside the row, not on its top edge.
constexpr int InsideRow = 3;
// The fan-out of the deep tree the checker walks.
constexpr uint32_t ChildrenPerNode = 10;

struct TRecord {
    int Key;
    int Order;
};

class TBenchTree : public TBaseVirtualTree {
public:
    explicit TBenchTree(bool UseCache = true) : TBaseVirtualTree(nullptr), FUseCache(UseCache) {
        SetNodeDataSize(int(sizeof(TRecord)));
        OnInitNode = [](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates&) {
            auto* d = t->GetNodeData<TRecord>(n);
            d->Key = int((n->Index * KeyMultiplier) % KeyModulus);
            d->Order = int(n->Index);
        };
        OnCompareNodes = [](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int& r) {
            int ka = t->GetNodeData<TRecord>(a)->Key, kb = t->GetNodeData<TRecord>(b)->Key;
            r = (ka > kb) - (ka < kb);
        };
    }
    using TBaseVirtualTree::EnsurePositionCache;
    using TBaseVirtualTree::InvalidateCache;

protected:
    bool DoValidateCache() override { return FUseCache && TBaseVirtualTree::DoValidateCache(); }

private:
    bool FUseCache;
};

// Checks the tree a benchmark produced, on the first call only and while the
// timing is paused; a broken tree ends the benchmark with an error.
class TCheckOnce {
public:
    bool Sound(benchmark::State& State, const TBaseVirtualTree& Tree) {
        if (FDone) return true;
        FDone = true;
        AnsiString fault = CheckTreeInvariants(Tree);
        if (!fault.empty()) State.SkipWithError(fault.c_str());
        return fault.empty();
    }

private:
    bool FDone = false;
};

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_SetRootNodeCount(benchmark::State& state) {
    const auto count = uint32_t(state.range(0));
    size_t bytes = 0;
    TCheckOnce check;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TBenchTree>();
        size_t before = HeapInUse();
        state.ResumeTiming();
        tree->SetRootNodeCount(count);
        state.PauseTiming();
        bytes = HeapInUse() - before;
        if (!check.Sound(state, *tree)) break;
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_node"] = double(bytes) / count;
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

void BM_WalkGetNext(benchmark::State& state) {
    TBenchTree tree;
    tree.SetRootNodeCount(uint32_t(state.range(0)));
    for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {
    }
    for (auto _ : state) {
        uint32_t visited = 0;
        for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n))
            ++visited;
        benchmark::DoNotOptimize(visited);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}

// A row near the middle that is not a cache entry itself, so the query walks
// from the entry before it as an arbitrary row would.
int MiddleY(TBenchTree& Tree, int Count) {
    return (Count / 2 + MiddleRowOffset) % Count * int(Tree.DefaultNodeHeight()) + InsideRow;
}

// GetNodeAt near the middle, with a built cache or walking.
void GetNodeAtMiddle(benchmark::State& state, bool UseCache) {
    TBenchTree tree(UseCache);
    const auto count = int(state.range(0));
    tree.SetRootNodeCount(uint32_t(count));
    int y = MiddleY(tree, count);
    int top;
    benchmark::DoNotOptimize(tree.GetNodeAt(0, y, false, top));
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.GetNodeAt(0, y, false, top));
}
void BM_GetNodeAtCached(benchmark::State& state) {
    GetNodeAtMiddle(state, true);
}
void BM_GetNodeAtUncached(benchmark::State& state) {
    GetNodeAtMiddle(state, false);
}

// Building the cache after a change.
void BM_CacheBuild(benchmark::State& state) {
    TBenchTree tree;
    tree.SetRootNodeCount(uint32_t(state.range(0)));
    for (auto _ : state) {
        tree.InvalidateCache();
        benchmark::DoNotOptimize(tree.EnsurePositionCache(true));
    }
    TCheckOnce().Sound(state, tree);
}

// One query after each change: the cache is built only as far as the row asked for.
void BM_QueryAfterChange(benchmark::State& state) {
    TBenchTree tree;
    const auto count = int(state.range(0));
    tree.SetRootNodeCount(uint32_t(count));
    int y = MiddleY(tree, count);
    int top;
    for (auto _ : state) {
        tree.InvalidateCache();
        benchmark::DoNotOptimize(tree.GetNodeAt(0, y, false, top));
    }
}

void BM_SortTreeWithInit(benchmark::State& state) {
    const auto count = uint32_t(state.range(0));
    TCheckOnce check;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TBenchTree>();
        tree->SetRootNodeCount(count);
        state.ResumeTiming();
        tree->SortTree(NoColumn, sdAscending, true);
        state.PauseTiming();
        if (!check.Sound(state, *tree)) break;
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

// Clearing an initialised tree. The tree is filled again before each clear,
// untimed, in the memory the clear before kept for it, as a list refilled
// by its window is; clearing takes a small part of the time that filling
// does, so the number of clears is fixed to keep the fills within about
// ClearFillNodes nodes.
void BM_Clear(benchmark::State& state) {
    const auto count = uint32_t(state.range(0));
    TCheckOnce check;
    TBenchTree tree;
    for (auto _ : state) {
        state.PauseTiming();
        tree.SetRootNodeCount(count);
        for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {
        }
        state.ResumeTiming();
        tree.Clear();
        state.PauseTiming();
        bool sound = check.Sound(state, tree);
        state.ResumeTiming();
        if (!sound) break;
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

// The checker itself on an initialised tree, three levels deep: what a debug
// build pays after each whole-tree operation.
void BM_CheckInvariants(benchmark::State& state) {
    const auto count = uint32_t(state.range(0));
    TBenchTree tree;
    tree.OnInitNode = [](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates& s) {
        if (t->GetNodeLevel(n) < 2) s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& c) { c = ChildrenPerNode; };
    tree.SetRootNodeCount(count / (ChildrenPerNode * ChildrenPerNode + ChildrenPerNode + 1) + 1);
    tree.FullExpand();
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckTreeInvariants(tree));
    state.SetItemsProcessed(int64_t(state.iterations()) * tree.GetTotalCount());
}

// A window of 400 x 300 whose characters are 7 pixels wide.
class TBenchView : public IVTView {
public:
    bool HandleAllocated() const override { return true; }
    int ClientWidth() const override { return 400; }
    int ClientHeight() const override { return 300; }
    int TextWidth(const WideString& Text) const override { return int(Text.size()) * 7; }
};

// A hit test in the middle of the scrolled tree.
void BM_HitTestScrolled(benchmark::State& state) {
    TBenchView view;
    TBenchTree tree;
    tree.SetView(&view);
    const auto count = int(state.range(0));
    tree.SetRootNodeCount(uint32_t(count));
    tree.SetOffsetY(-int64_t(MiddleY(tree, count)));
    THitInfo hit;
    for (auto _ : state) {
        tree.GetHitTestInfoAt(50, 100, true, hit);
        benchmark::DoNotOptimize(hit.HitNode);
    }
    TCheckOnce().Sound(state, tree);
}

// Bringing the last and the first row into view by turns: offsets, scroll
// bars and the widest visible line each time.
void BM_ScrollIntoViewEnds(benchmark::State& state) {
    TBenchView view;
    TBenchTree tree;
    tree.SetView(&view);
    tree.SetRootNodeCount(uint32_t(state.range(0)));
    PVirtualNode first = tree.GetFirstNoInit(), last = tree.GetLastNoInit();
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree.ScrollIntoView(last, false));
        benchmark::DoNotOptimize(tree.ScrollIntoView(first, true));
    }
    TCheckOnce().Sound(state, tree);
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
}

// Down and up through the rows with the keyboard: focus, selection and scrolling.
void BM_KeyDownUp(benchmark::State& state) {
    TBenchView view;
    TBenchTree tree;
    tree.SetView(&view);
    tree.SetRootNodeCount(uint32_t(state.range(0)));
    tree.SetFocusedNode(tree.GetFirst());
    int steps = 0;
    for (auto _ : state) {
        tree.WMKeyDown(steps++ % 200 < 100 ? VK_DOWN : VK_UP, 0);
    }
    TCheckOnce().Sound(state, tree);
    state.SetItemsProcessed(int64_t(state.iterations()));
}

#define SIZES RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_SetRootNodeCount)->SIZES;
BENCHMARK(BM_WalkGetNext)->SIZES;
BENCHMARK(BM_GetNodeAtCached)->SIZES;
BENCHMARK(BM_GetNodeAtUncached)->SIZES;
BENCHMARK(BM_CacheBuild)->SIZES;
BENCHMARK(BM_QueryAfterChange)->SIZES;
BENCHMARK(BM_SortTreeWithInit)->SIZES;
// One registration per size: each has its own number of clears.
const bool ClearRegistered = [] {
    for (int64_t count = 1000; count <= 1000000; count *= 10)
        benchmark::RegisterBenchmark("BM_Clear", BM_Clear)
            ->Arg(count)
            ->Iterations(std::max(MinClears, ClearFillNodes / count))
            ->Unit(benchmark::kMicrosecond);
    return true;
}();
BENCHMARK(BM_CheckInvariants)->SIZES;
BENCHMARK(BM_HitTestScrolled)->SIZES;
BENCHMARK(BM_ScrollIntoViewEnds)->SIZES;
BENCHMARK(BM_KeyDownUp)->SIZES;

} // namespace

BENCHMARK_MAIN();
