// The tree model at 10^3 to 10^6 top-level nodes: creating them, walking
// them, finding the node at a position with and without the position cache,
// sorting with initialisation and clearing. Bytes per node are reported as
// a counter of the creation benchmark.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include "controls/vtree/VirtualTrees.h"

namespace {

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
            d->Key = int((n->Index * 2654435761u) % 1000003u);
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

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_SetRootNodeCount(benchmark::State& state) {
    const auto count = uint32_t(state.range(0));
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TBenchTree>();
        size_t before = HeapInUse();
        state.ResumeTiming();
        tree->SetRootNodeCount(count);
        state.PauseTiming();
        bytes = HeapInUse() - before;
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
    return (Count / 2 + 997) % Count * int(Tree.DefaultNodeHeight()) + 3;
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
}

// One query after each change: the query walks and no cache is built.
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
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TBenchTree>();
        tree->SetRootNodeCount(count);
        state.ResumeTiming();
        tree->SortTree(NoColumn, sdAscending, true);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

void BM_Clear(benchmark::State& state) {
    const auto count = uint32_t(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<TBenchTree>();
        tree->SetRootNodeCount(count);
        for (PVirtualNode n = tree->GetFirst(); n; n = tree->GetNext(n)) {
        }
        state.ResumeTiming();
        tree->Clear();
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

#define SIZES RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_SetRootNodeCount)->SIZES;
BENCHMARK(BM_WalkGetNext)->SIZES;
BENCHMARK(BM_GetNodeAtCached)->SIZES;
BENCHMARK(BM_GetNodeAtUncached)->SIZES;
BENCHMARK(BM_CacheBuild)->SIZES;
BENCHMARK(BM_QueryAfterChange)->SIZES;
BENCHMARK(BM_SortTreeWithInit)->SIZES;
BENCHMARK(BM_Clear)->SIZES;

} // namespace

BENCHMARK_MAIN();
