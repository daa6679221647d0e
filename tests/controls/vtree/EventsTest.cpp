// Laziness measured by counting events, update blocks and change
// notification, sorting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "TreeHarness.h"

namespace {

class TTimerView : public IVTView {
public:
    std::map<unsigned, unsigned> Running;
    void SetTimer(unsigned Id, unsigned Ms) override { Running[Id] = Ms; }
    void KillTimer(unsigned Id) override { Running.erase(Id); }
};

TEST(VirtualTreeLaziness, RootCountCreatesWithoutInitialising) {
    TTestTree tree;
    int inits = 0;
    tree.OnInitNode = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates&) {
        ++inits;
    };
    tree.SetRootNodeCount(100000);
    EXPECT_EQ(0, inits);
    EXPECT_EQ(100000u, tree.VisibleCount());
    EXPECT_EQ(100000u, tree.GetTotalCount());
    EXPECT_EQ(100000, inits);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeLaziness, FreeNodeOnlyForInitialisedNodes) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    log.Attach(tree);
    tree.SetRootNodeCount(10);
    tree.GetFirst();
    tree.GetNext(At(tree, {3}));
    tree.IsNodeVisible(At(tree, {7}));
    EXPECT_EQ(3, log.Count("init"));
    tree.SetRootNodeCount(6); // drops 6..9, of which 7 was initialised
    EXPECT_EQ(1, log.Count("free"));
    tree.Clear();
    EXPECT_EQ(3, log.Count("free"));
}

TEST(VirtualTreeLaziness, NewDataSizeRebuildsTheTopLevelUninitialised) {
    TTestTree tree;
    tree.SetNodeDataSize(int(sizeof(TNodeRecord)));
    tree.SetRootNodeCount(10);
    int freed = 0, inits = 0;
    tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) { ++freed; };
    tree.OnInitNode = [&](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates&) {
        ++inits;
        t->GetNodeData<TNodeRecord>(n)->Key = 7;
    };
    tree.GetFirst();
    tree.GetNext(At(tree, {0}));
    tree.SetNodeDataSize(64);
    EXPECT_EQ(2, freed);
    EXPECT_EQ(10u, tree.GetRootNodeCount());
    EXPECT_FALSE(At(tree, {0})->States.Contains(vsInitDone));
    auto* bytes = static_cast<unsigned char*>(tree.GetNodeData(At(tree, {0})));
    EXPECT_TRUE(std::all_of(bytes, bytes + 64, [](unsigned char b) { return b == 0; }));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t));
}

TEST(VirtualTreeLaziness, InitialStatesTakeEffect) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    log.Attach(tree);
    tree.OnInitNode = [&log](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates& s) {
        log.Lines.push_back("init");
        if (t->GetNodeLevel(n) == 0) s = {ivsHasChildren, ivsExpanded};
        if (n->Index == 1 && t->GetNodeLevel(n) == 1) s.Include(ivsSelected);
    };
    tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode n, uint32_t& c) { c = n->Index == 1 ? 0 : 2; };
    tree.SetRootNodeCount(2);
    PVirtualNode first = tree.GetFirst();
    EXPECT_TRUE(first->States.Contains(vsExpanded));
    EXPECT_EQ(1, log.Count("expanding"));
    EXPECT_EQ(1, log.Count("expanded"));
    // The second reports children but has none: no expansion event, and it loses the flag.
    PVirtualNode second = tree.GetNextSibling(first);
    EXPECT_FALSE(second->States.Contains(vsHasChildren));
    EXPECT_EQ(1, log.Count("expanded"));
    tree.ValidateNode(nullptr, true);
    EXPECT_EQ(1, tree.SelectedCount());
    EXPECT_EQ(0, log.Count("change")); // selected during initialisation, without events
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeLaziness, ResetNodeKeepsSelectionAndAsksAgain) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    log.Attach(tree);
    tree.SetRootNodeCount(3);
    tree.SetSelected(tree.GetFirst(), true);
    tree.ResetNode(At(tree, {0}));
    EXPECT_TRUE(At(tree, {0})->States.Contains(vsSelected));
    EXPECT_FALSE(At(tree, {0})->States.Contains(vsInitDone));
    tree.GetFirst();
    EXPECT_EQ(2, log.Count("init"));
}

TEST(VirtualTreeLaziness, ToggleInsideItsOwnExpandingDoesNothing) {
    TTestTree tree;
    tree.SetRootNodeCount(1);
    tree.SetChildCount(At(tree, {0}), 2);
    int expanding = 0;
    tree.OnExpanding = [&](TBaseVirtualTree* t, PVirtualNode n, bool&) {
        ++expanding;
        t->ToggleNode(n);
    };
    tree.ToggleNode(At(tree, {0}));
    EXPECT_EQ(1, expanding);
    EXPECT_TRUE(At(tree, {0})->States.Contains(vsExpanded));
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeLaziness, FullExpandOnEmptyAndOnALeaf) {
    TEventLog log; // outlives the tree, whose end still fires events
    int stateChanges = 0;
    TTestTree tree;
    tree.OnStateChange = [&](TBaseVirtualTree*, TVirtualTreeStates, TVirtualTreeStates) { ++stateChanges; };
    tree.FullExpand();
    tree.FullCollapse();
    EXPECT_EQ(0, stateChanges);
    log.Attach(tree);
    tree.SetRootNodeCount(1);
    tree.FullExpand();
    EXPECT_EQ(1, log.Count("expanding"));
    EXPECT_FALSE(At(tree, {0})->States.Contains(vsExpanded));
}

// ---- Update blocks ---------------------------------------------------------------

TEST(VirtualTreeUpdates, NestedBlocksFireChangeOnceAtTheOutermostEnd) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(5);
    log.Attach(tree);
    tree.BeginUpdate();
    tree.SetSelected(At(tree, {0}), true);
    tree.BeginUpdate();
    tree.SetSelected(At(tree, {2}), true);
    tree.SetSelected(At(tree, {3}), true);
    tree.EndUpdate();
    EXPECT_EQ(0, log.Count("change"));
    tree.EndUpdate();
    EXPECT_EQ((std::vector<std::string>{"updating 0", "updating 3", "updating 3", "change 3", "updating 4"}),
              log.Lines);
}

TEST(VirtualTreeUpdates, StructureChangesAccumulate) {
    struct TCase {
        const char* Name;
        int Deletes;
        TChangeReason Expected;
    };
    for (TCase c : {TCase{"one delete", 1, crChildDeleted}, TCase{"three deletes", 3, crAccumulated}}) {
        SCOPED_TRACE(c.Name);
        TTestTree tree;
        tree.SetRootNodeCount(5);
        std::vector<TChangeReason> reasons;
        tree.OnStructureChange = [&](TBaseVirtualTree*, PVirtualNode, TChangeReason r) {
            reasons.push_back(r);
        };
        tree.BeginUpdate();
        for (int i = 0; i < c.Deletes; ++i)
            tree.DeleteNode(At(tree, {0}));
        EXPECT_TRUE(reasons.empty());
        tree.EndUpdate();
        EXPECT_EQ(std::vector<TChangeReason>{c.Expected}, reasons);
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

TEST(VirtualTreeUpdates, DelayedEventsWaitForTheTimer) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    TTimerView view;
    tree.SetView(&view);
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    tree.ChangeDelay = 200;
    tree.SetRootNodeCount(4);
    EXPECT_EQ(0u, view.Running.count(StructureChangeTimer)); // the setter's own block fired it
    tree.SetChildCount(At(tree, {0}), 2);
    EXPECT_EQ(1u, view.Running.count(StructureChangeTimer));
    tree.WMTimer(StructureChangeTimer);
    log.Attach(tree);
    for (int i : {0, 1, 2})
        tree.SetSelected(At(tree, {i}), true);
    EXPECT_EQ(0, log.Count("change"));
    ASSERT_EQ(1u, view.Running.count(ChangeTimer));
    tree.WMTimer(ChangeTimer);
    EXPECT_EQ(std::vector<std::string>{"change 2"}, log.Lines);
    EXPECT_EQ(0u, view.Running.count(ChangeTimer));
    // A pending change whose node is freed meanwhile reports nil.
    tree.SetSelected(At(tree, {3}), false);
    tree.SetSelected(At(tree, {3}), true);
    tree.BeginUpdate();
    tree.DeleteNode(At(tree, {3}));
    tree.EndUpdate();
    EXPECT_EQ((std::vector<std::string>{"structure nil 3", "change nil", "updating 4"}),
              std::vector<std::string>(log.Lines.end() - 3, log.Lines.end()));
    tree.SetView(nullptr);
}

TEST(VirtualTreeUpdates, FreedNodesAreForgottenEverywhere) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    PVirtualNode doomed = At(tree, {1});
    tree.SetFocusedNode(doomed);
    tree.BeginUpdate();
    tree.SetChildCount(doomed, 2); // the pending structure change names it
    tree.SetSelected(doomed, true);
    tree.DeleteNode(doomed);
    EXPECT_EQ(nullptr, tree.FocusedNode());
    EXPECT_EQ(nullptr, tree.FRangeAnchor);
    std::vector<PVirtualNode> reported;
    tree.OnStructureChange = [&](TBaseVirtualTree*, PVirtualNode n, TChangeReason) { reported.push_back(n); };
    tree.OnChange = [&](TBaseVirtualTree*, PVirtualNode n) { reported.push_back(n); };
    tree.EndUpdate();
    for (PVirtualNode n : reported)
        EXPECT_TRUE(n == nullptr || n == At(tree, {0}) || n == At(tree, {1}));
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeUpdates, StateChangeFilter) {
    int fired = 0; // outlives the tree, whose end still fires events
    TTestTree tree;
    tree.OnStateChange = [&](TBaseVirtualTree*, TVirtualTreeStates, TVirtualTreeStates) { ++fired; };
    tree.DoStateChange({tsHint});
    tree.DoStateChange({tsHint}, {tsScrolling});
    EXPECT_EQ(1, fired);
    tree.DoStateChange({tsScrolling}, {tsScrolling});
    EXPECT_FALSE(tree.TreeStates().Contains(tsScrolling));
}

// ---- Sorting ---------------------------------------------------------------------

class VirtualTreeSort : public ::testing::Test {
protected:
    void SetUp() override {
        tree.SetNodeDataSize(int(sizeof(TNodeRecord)));
        tree.OnInitNode = [this](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates&) {
            inits.push_back(int(n->Index));
            auto* d = t->GetNodeData<TNodeRecord>(n);
            d->Key = keys[n->Index % keys.size()];
            d->Tag = int(n->Index);
        };
        tree.OnCompareNodes = [](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int& r) {
            r = t->GetNodeData<TNodeRecord>(a)->Key - t->GetNodeData<TNodeRecord>(b)->Key;
        };
    }
    std::vector<int> Tags() {
        std::vector<int> result;
        for (PVirtualNode n = tree.GetFirstNoInit(); n; n = n->NextSibling)
            result.push_back(tree.GetNodeData<TNodeRecord>(n)->Tag);
        return result;
    }
    TTestTree tree;
    std::vector<int> keys;
    std::vector<int> inits;
};

TEST_F(VirtualTreeSort, InitialisesEachTopNodeOnceInOrderThenSortsStably) {
    keys = {2, 1, 1};
    tree.SetRootNodeCount(3);
    tree.SortTree(NoColumn, sdAscending, true);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), inits);
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Tags());
    tree.SortTree(NoColumn, sdDescending, true);
    EXPECT_EQ(3u, inits.size());
    EXPECT_EQ((std::vector<int>{0, 1, 2}), Tags());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST_F(VirtualTreeSort, AllEqualKeepsTheOrderBothWays) {
    keys = {5};
    tree.SetRootNodeCount(1000);
    std::vector<int> expected(1000);
    for (int i = 0; i < 1000; ++i)
        expected[size_t(i)] = i;
    for (TSortDirection d : {sdAscending, sdDescending}) {
        tree.SortTree(NoColumn, d, true);
        EXPECT_EQ(expected, Tags());
    }
    tree.OnCompareNodes = nullptr;
    tree.SortTree(0, sdDescending, true);
    EXPECT_EQ(expected, Tags());
}

TEST_F(VirtualTreeSort, NoColumnBelowMinusOneAndNoInit) {
    keys = {3, 2, 1};
    tree.SetRootNodeCount(3);
    tree.SortTree(InvalidColumn, sdAscending, true);
    EXPECT_TRUE(inits.empty());
    tree.SortTree(NoColumn, sdAscending, false);
    EXPECT_TRUE(inits.empty()); // nothing initialised, nothing compared meaningfully
    tree.SortTree(NoColumn, sdAscending, true);
    EXPECT_EQ((std::vector<int>{2, 1, 0}), Tags());
    for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n))
        EXPECT_EQ(n, At(tree, {int(n->Index)}));
}

TEST_F(VirtualTreeSort, ChildrenAreInitialisedBeforeTheyAreCompared) {
    keys = {4, 3, 2, 1};
    tree.OnInitNode = [this](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates& s) {
        auto* d = t->GetNodeData<TNodeRecord>(n);
        d->Key = keys[n->Index % keys.size()];
        d->Tag = int(n->Index);
        if (t->GetNodeLevel(n) == 0) s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& c) { c = 4; };
    tree.SetRootNodeCount(2);
    tree.SortTree(NoColumn, sdAscending, true);
    PVirtualNode child = At(tree, {0, 0});
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(3, tree.GetNodeData<TNodeRecord>(child)->Tag);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST_F(VirtualTreeSort, AFailingComparisonLosesNoNode) {
    keys = {3, 1, 2};
    tree.SetRootNodeCount(50);
    int calls = 0;
    tree.OnCompareNodes = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, int&) {
        if (++calls == 20) throw Exception("compare failed");
    };
    EXPECT_THROW(tree.SortTree(NoColumn, sdAscending, true), Exception);
    EXPECT_EQ(0u, tree.UpdateCount());
    EXPECT_EQ(50u, tree.GetRootNodeCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

// A comparison whose answers change between calls orders nothing, but every
// node must stay in the list and no read may leave it. The long list is
// merged from many parts at once.
TEST_F(VirtualTreeSort, AnInconsistentComparisonKeepsEveryNode) {
    keys = {0};
    for (int n : {300, 70001}) {
        SCOPED_TRACE(n);
        tree.SetRootNodeCount(0);
        tree.SetRootNodeCount(uint32_t(n));
        PVirtualNode parent = At(tree, {7});
        tree.SetChildCount(parent, 40);
        uint32_t state = 12345;
        int calls = 0;
        tree.OnCompareNodes = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, int& r) {
            state = state * 1103515245u + 12345u;
            r = int(state >> 16) % 3 - 1;
            ++calls;
        };
        for (TSortDirection d : {sdAscending, sdDescending, sdAscending}) {
            tree.SortTree(NoColumn, d, true);
            std::vector<int> tags = Tags();
            std::sort(tags.begin(), tags.end());
            std::vector<int> expected(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                expected[size_t(i)] = i;
            EXPECT_EQ(expected, tags);
            EXPECT_EQ(40u, parent->ChildCount);
            EXPECT_EQ("", CheckInvariants(tree));
        }
        EXPECT_GT(calls, 0);
    }
}

// A merge sort asks as often as its merges need: a sorted list costs n - 1
// comparisons, and no list more than n log2 n. Equal keys keep their order
// both ways, also where a long list is merged from many parts at once.
TEST_F(VirtualTreeSort, ComparisonsAreThoseOfAMergeSort) {
    int calls = 0;
    auto count = tree.OnCompareNodes;
    tree.OnCompareNodes = [&](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex c, int& r) {
        ++calls;
        count(t, a, b, c, r);
    };
    for (int n : {1024, 70001}) {
        SCOPED_TRACE(n);
        keys.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            keys[size_t(i)] = int((uint32_t(i) * 2654435761u) % 1000u);
        tree.SetRootNodeCount(0);
        tree.SetRootNodeCount(uint32_t(n));
        for (TSortDirection d : {sdAscending, sdDescending}) {
            std::vector<int> expected(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                expected[size_t(i)] = i;
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return d == sdAscending ? keys[size_t(a)] < keys[size_t(b)]
                                        : keys[size_t(a)] > keys[size_t(b)];
            });
            calls = 0;
            tree.SortTree(NoColumn, d, true);
            // The descending pass starts from the ascending order, so ties are in tag order there too.
            EXPECT_LE(calls, n * std::log2(n));
            EXPECT_EQ(expected, Tags());
            calls = 0;
            tree.SortTree(NoColumn, d, true);
            EXPECT_EQ(n - 1, calls);
        }
    }
}

TEST_F(VirtualTreeSort, AutoSortAfterUpdateBlocks) {
    keys = {3, 1, 2};
    tree.TreeOptions()->SetAutoOptions(tree.TreeOptions()->AutoOptions() + TVTAutoOptions{toAutoSort});
    tree.SetRootNodeCount(3);
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Tags());
}

} // namespace

namespace {

TEST(VirtualTreeLaziness, MeasuredOnceUntilReinitialised) {
    TTestTree tree;
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() +
                                       TVTMiscOptions{toVariableNodeHeight});
    int measured = 0;
    tree.OnMeasureItem = [&](TBaseVirtualTree*, TCanvas*, PVirtualNode, int& h) {
        ++measured;
        h = 30;
    };
    tree.SetRootNodeCount(3);
    for (int pass = 0; pass < 2; ++pass)
        for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n))
            EXPECT_EQ(30u, tree.GetNodeHeight(n));
    EXPECT_EQ(3, measured);
    tree.ReinitNode(At(tree, {1}), false);
    tree.GetNodeHeight(At(tree, {1}));
    EXPECT_EQ(4, measured);
    EXPECT_EQ(18u + 3 * 30, tree.RootNode()->TotalHeight);
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace

namespace {

class TRedrawView : public IVTView {
public:
    bool HandleAllocated() const override { return true; }
    void SetRedraw(bool On) override { Redraw = On; }
    bool Redraw = true;
};

// A failing handler at the end of a block must not leave the window frozen
// or the owner waiting for the end of the update.
TEST(VirtualTreeUpdates, AFailingHandlerStillEndsTheBlock) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    TRedrawView view;
    tree.SetView(&view);
    tree.SetRootNodeCount(3);
    log.Attach(tree);
    tree.OnStructureChange = [](TBaseVirtualTree*, PVirtualNode, TChangeReason) {
        throw Exception("handler failed");
    };
    tree.BeginUpdate();
    EXPECT_FALSE(view.Redraw);
    tree.DeleteNode(At(tree, {0}));
    EXPECT_THROW(tree.EndUpdate(), Exception);
    EXPECT_TRUE(view.Redraw);
    EXPECT_EQ("updating 4", log.Lines.back());
    EXPECT_EQ(0u, tree.UpdateCount());
    EXPECT_FALSE(tree.TreeStates().Contains(tsUpdating));
    EXPECT_EQ("", CheckInvariants(tree));
    tree.SetView(nullptr);
}

} // namespace

namespace {

TEST(VirtualTreeLaziness, NewDataSizeKeepsTheTopLevelWhenAFreeHandlerFails) {
    TTestTree tree;
    tree.SetNodeDataSize(8);
    tree.SetRootNodeCount(5);
    for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n)) {
    }
    int freed = 0;
    tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) {
        if (++freed == 1) throw Exception("handler failed");
    };
    EXPECT_THROW(tree.SetNodeDataSize(32), Exception);
    EXPECT_EQ(5, freed);
    EXPECT_EQ(32, tree.NodeDataSize());
    EXPECT_EQ(5u, tree.GetRootNodeCount());
    EXPECT_FALSE(At(tree, {4})->States.Contains(vsInitDone));
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace
