// Iteration, position queries and the position cache, selection, node
// data and options.
#include <gtest/gtest.h>

#include <random>

#include "TreeHarness.h"

namespace {

// A random tree: random child counts, heights, expansion and invisible nodes.
void BuildRandomTree(TTestTree& Tree, std::mt19937& Random, uint32_t TopCount) {
    Tree.SetRootNodeCount(TopCount);
    std::uniform_int_distribution<int> percent(0, 99), height(1, 60), children(1, 6);
    std::vector<PVirtualNode> level;
    for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = n->NextSibling)
        level.push_back(n);
    for (int depth = 0; depth < 3; ++depth) {
        std::vector<PVirtualNode> next;
        for (PVirtualNode n : level) {
            if (percent(Random) < 20) Tree.SetNodeHeight(n, uint32_t(height(Random)));
            if (percent(Random) < 5) Tree.AddInvisible(n, amInsertAfter);
            if (depth < 2 && percent(Random) < 30) {
                Tree.SetChildCount(n, uint32_t(children(Random)));
                if (percent(Random) < 70) Tree.ToggleNode(n);
                for (PVirtualNode c = n->FirstChild; c; c = c->NextSibling)
                    next.push_back(c);
            }
        }
        level = std::move(next);
    }
}

// The node at Y found by adding the heights of every visible row from the top.
PVirtualNode ReferenceNodeAt(TTestTree& Tree, int64_t Y, int64_t& Top) {
    int64_t top = 0;
    for (PVirtualNode n = Tree.GetFirstVisibleNoInit(); n; n = Tree.GetNextVisibleNoInit(n)) {
        if (Y < top + n->NodeHeight) {
            Top = top;
            return n;
        }
        top += n->NodeHeight;
    }
    return nullptr;
}

TEST(VirtualTreePositions, SameAnswersWithAndWithoutTheCache) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        TTestTree tree;
        BuildRandomTree(tree, random, 3000);
        ASSERT_EQ("", CheckInvariants(tree));
        ASSERT_GT(tree.VisibleCount(), CacheThreshold);
        int64_t total = int64_t(tree.RootNode()->TotalHeight) - tree.RootNode()->NodeHeight;
        std::uniform_int_distribution<int64_t> position(-20, total + 40);
        std::vector<int64_t> ys(600);
        for (int64_t& y : ys)
            y = position(random);
        ys.push_back(total - 1);
        ys.push_back(total);

        struct TAnswer {
            PVirtualNode Node;
            int Top;
        };
        auto answers = [&](bool UseCache) {
            tree.CacheEnabled = UseCache;
            tree.InvalidateCache();
            EXPECT_EQ(UseCache, tree.EnsurePositionCache(true));
            std::vector<TAnswer> result;
            for (int64_t y : ys) {
                int top = -1;
                PVirtualNode node = tree.GetNodeAt(0, int(y), false, top);
                result.push_back({node, node ? top : -1});
            }
            EXPECT_EQ(UseCache, tree.TreeStates().Contains(tsUseCache));
            return result;
        };
        std::vector<TAnswer> cached = answers(true), walked = answers(false);
        for (size_t i = 0; i < ys.size(); ++i) {
            int64_t refTop = -1;
            PVirtualNode expected = ReferenceNodeAt(tree, std::max<int64_t>(ys[i], 0), refTop);
            ASSERT_EQ(expected, cached[i].Node) << "y " << ys[i];
            ASSERT_EQ(expected, walked[i].Node) << "y " << ys[i];
            if (expected) {
                EXPECT_EQ(refTop, cached[i].Top);
                EXPECT_EQ(refTop, walked[i].Top);
            }
        }
    }
}

TEST(VirtualTreePositions, TheCacheIsBuiltByTheFirstQueryThatWouldWalkFar) {
    TTestTree tree;
    tree.SetRootNodeCount(10000);
    const int bottom = 10000 * 18 - 1;
    // Queries within one entry's reach of the top walk.
    EXPECT_EQ(At(tree, {100}), tree.GetNodeAt(0, 18 * 100));
    EXPECT_EQ(18 * 1999, tree.GetNodeTop(At(tree, {1999})));
    EXPECT_EQ(0, tree.CacheBuilds);
    EXPECT_EQ(At(tree, {9999}), tree.GetNodeAt(0, bottom));
    EXPECT_EQ(1, tree.CacheBuilds);
    EXPECT_TRUE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_EQ(At(tree, {277}), tree.GetNodeAt(0, 18 * 277 + 5));
    EXPECT_EQ(1, tree.CacheBuilds);
    // A change throws it away; a short query after it does not rebuild, a
    // far node's position does.
    tree.ToggleNode(At(tree, {5}));
    tree.SetNodeHeight(At(tree, {7}), 40);
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_EQ(At(tree, {8}), tree.GetNodeAt(0, 18 * 7 + 40));
    EXPECT_EQ(1, tree.CacheBuilds);
    EXPECT_EQ(18 * 9999 + 22, tree.GetNodeTop(At(tree, {9999})));
    EXPECT_EQ(2, tree.CacheBuilds);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreePositions, TheCacheGrowsAsFarAsTheQueriesReach) {
    TTestTree tree;
    tree.SetRootNodeCount(10000);
    struct TStep {
        bool ByNode;
        int Row;
        int Builds;
        size_t Entries;
    };
    // Rows 0, 2000, 4000 ... are entries; a build stops at the first entry past the row.
    for (TStep s : {TStep{false, 5000, 1, 4}, TStep{false, 1000, 1, 4}, TStep{true, 5999, 1, 4},
                    TStep{true, 7000, 2, 5}, TStep{false, 7999, 2, 5}, TStep{false, 9999, 3, 5},
                    TStep{true, 9999, 3, 5}}) {
        SCOPED_TRACE(std::to_string(s.Row) + (s.ByNode ? " by node" : " by position"));
        PVirtualNode row = At(tree, {s.Row});
        if (s.ByNode) {
            EXPECT_EQ(18 * s.Row, tree.GetNodeTop(row));
        } else {
            int top = -1;
            EXPECT_EQ(row, tree.GetNodeAt(0, 18 * s.Row + 17, false, top));
            EXPECT_EQ(18 * s.Row, top);
        }
        EXPECT_EQ(s.Builds, tree.CacheBuilds);
        EXPECT_EQ(s.Entries, tree.FPositionCache.size());
        EXPECT_TRUE(tree.TreeStates().Contains(tsUseCache));
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

// Rows with scattered keys, every third of its own height, and with
// Children every 97th with three children: enough rows for the cache, and a
// sort that moves them all.
void BuildKeyedTree(TTestTree& Tree, uint32_t Count, bool Children) {
    Tree.SetNodeDataSize(int(sizeof(TNodeRecord)));
    Tree.OnInitNode = [Children](TBaseVirtualTree* t, PVirtualNode p, PVirtualNode n,
                                 TVirtualNodeInitStates& s) {
        t->GetNodeData<TNodeRecord>(n)->Key = int(n->Index * 7919u % 10007u) + (p ? 20000 : 0);
        if (Children && !p && n->Index % 97 == 0) s.Include(ivsHasChildren);
    };
    Tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& c) { c = 3; };
    Tree.OnCompareNodes = [](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int& r) {
        r = t->GetNodeData<TNodeRecord>(a)->Key - t->GetNodeData<TNodeRecord>(b)->Key;
    };
    Tree.SetRootNodeCount(Count);
    for (PVirtualNode n = Tree.GetFirst(); n; n = Tree.GetNext(n))
        if (Tree.GetNodeData<TNodeRecord>(n)->Key % 3 == 0)
            Tree.SetNodeHeight(n, 10 + uint32_t(Tree.GetNodeData<TNodeRecord>(n)->Key % 20));
}

// After a sort, a structure change or an expansion, the first query far down
// gets the cache at once (laid out by the sort, or built by one walk), every
// later query uses it, and every answer agrees with adding up the rows.
TEST(VirtualTreePositions, TheCacheAfterSortsStructureChangesAndExpansions) {
    struct TCase {
        const char* Name;
        bool Children;
        std::function<void(TTestTree&)> Change;
        // A sort of a flat list lays the cache out as it relinks the rows.
        bool LaidOut;
    };
    auto sorted = [](TSortDirection Direction) {
        return [Direction](TTestTree& t) { t.SortTree(0, Direction, true); };
    };
    const TCase cases[] = {
        {"sorted ascending", false, sorted(sdAscending), true},
        {"sorted descending", false, sorted(sdDescending), true},
        {"sorted in an update block", false,
         [](TTestTree& t) {
             t.BeginUpdate();
             t.SortTree(0, sdAscending, true);
             t.EndUpdate();
         },
         true},
        {"sorted with collapsed children", true, sorted(sdDescending), false},
        {"sorted with a node expanded", true,
         [](TTestTree& t) {
             t.ToggleNode(At(t, {97}));
             t.SortTree(0, sdAscending, true);
         },
         false},
        {"sorted, then a row added", false,
         [](TTestTree& t) {
             t.SortTree(0, sdDescending, true);
             t.SetRootNodeCount(t.RootNode()->ChildCount + 1);
         },
         false},
        {"sorted, then a row's height changed", false,
         [](TTestTree& t) {
             t.SortTree(0, sdAscending, true);
             t.SetNodeHeight(At(t, {1500}), 77);
         },
         false},
        {"a row deleted", true, [](TTestTree& t) { t.DeleteNode(At(t, {2500})); }, false},
        {"children added and shown", false,
         [](TTestTree& t) {
             t.SetChildCount(At(t, {3001}), 2500);
             t.ToggleNode(At(t, {3001}));
         },
         false},
        {"a node expanded", true, [](TTestTree& t) { t.ToggleNode(At(t, {194})); }, false},
        {"a row moved to the top", false,
         [](TTestTree& t) { t.MoveTo(At(t, {4000}), At(t, {0}), amInsertBefore, false); }, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestTree tree;
        BuildKeyedTree(tree, 5000, c.Children);
        ASSERT_EQ(At(tree, {4999}), tree.GetNodeAt(0, int(tree.RangeY()) - 1));
        ASSERT_TRUE(tree.TreeStates().Contains(tsUseCache));
        c.Change(tree);
        EXPECT_EQ(c.LaidOut, tree.CacheLaidOut());
        EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
        ASSERT_EQ("", CheckInvariants(tree));

        // The rows as a walk from the top finds them.
        std::vector<std::pair<PVirtualNode, int64_t>> rows;
        int64_t bottom = 0;
        for (PVirtualNode n = tree.GetFirstVisibleNoInit(); n; n = tree.GetNextVisibleNoInit(n)) {
            rows.push_back({n, bottom});
            bottom += n->NodeHeight;
        }
        ASSERT_GT(rows.size(), CacheThreshold);
        const int builds = tree.CacheBuilds;
        int top = -1;
        EXPECT_EQ(rows.back().first, tree.GetNodeAt(0, int(bottom - 1), false, top));
        EXPECT_EQ(rows.back().second, top);
        EXPECT_TRUE(tree.TreeStates().Contains(tsUseCache));
        EXPECT_EQ(builds + 1, tree.CacheBuilds);
        for (size_t i = 0; i < rows.size(); i += 37) {
            const auto& [node, rowTop] = rows[i];
            ASSERT_EQ(node, tree.GetNodeAt(0, int(rowTop + node->NodeHeight - 1), false, top)) << i;
            ASSERT_EQ(rowTop, top) << i;
            ASSERT_EQ(rowTop, tree.GetNodeTop(node)) << i;
        }
        EXPECT_EQ(nullptr, tree.GetNodeAt(0, int(bottom)));
        EXPECT_EQ(builds + 1, tree.CacheBuilds);
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

TEST(VirtualTreePositions, MeasuredHeightsWithTheCache) {
    std::mt19937 random(7);
    TTestTree tree;
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() +
                                       TVTMiscOptions{toVariableNodeHeight});
    tree.OnMeasureItem = [](TBaseVirtualTree*, TCanvas*, PVirtualNode n, int& h) {
        h = 5 + int(n->Index % 17);
    };
    BuildRandomTree(tree, random, 2500);
    EXPECT_EQ(tree.GetFirstVisibleNoInit(), tree.GetNodeAt(0, 0));
    int measured = 0;
    tree.OnMeasureItem = [&](TBaseVirtualTree*, TCanvas*, PVirtualNode n, int& h) {
        ++measured;
        h = 5 + int(n->Index % 17);
    };
    for (PVirtualNode n = tree.GetFirstVisibleNoInit(); n; n = tree.GetNextVisibleNoInit(n))
        tree.GetNodeHeight(n);
    int afterWalk = measured;
    for (bool useCache : {true, false}) {
        tree.CacheEnabled = useCache;
        tree.InvalidateCache();
        tree.EnsurePositionCache(true);
        for (int64_t y : {0, 1, 999, 20000, 30000, 40000, 50000}) {
            int64_t refTop;
            PVirtualNode expected = ReferenceNodeAt(tree, y, refTop);
            EXPECT_EQ(expected, tree.GetNodeAt(0, int(y))) << y;
        }
    }
    EXPECT_EQ(afterWalk, measured); // each row is measured once
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreePositions, CacheThreshold) {
    struct TCase {
        uint32_t Count;
        bool UsesCache;
        size_t Entries;
    };
    for (TCase c : {TCase{2000, false, 0}, TCase{2001, true, 2}, TCase{4001, true, 3}}) {
        SCOPED_TRACE(c.Count);
        TTestTree tree;
        tree.SetRootNodeCount(c.Count);
        for (int i = 0; i < 2; ++i)
            tree.GetNodeAt(0, 18 * int(c.Count) - 1);
        EXPECT_EQ(c.UsesCache, tree.TreeStates().Contains(tsUseCache));
        EXPECT_EQ(c.Entries, tree.FPositionCache.size());
        if (c.Entries) {
            EXPECT_EQ(At(tree, {2000}), tree.FPositionCache[1].Node);
            EXPECT_EQ(2000u * 18, tree.FPositionCache[1].AbsoluteTop);
            uint64_t top;
            EXPECT_EQ(At(tree, {2000}), tree.CacheEntryForNode(At(tree, {2000}), top));
            EXPECT_EQ(2000u * 18, top);
            EXPECT_EQ(At(tree, {0}), tree.CacheEntryForNode(At(tree, {1999}), top));
        }
    }
}

TEST(VirtualTreePositions, EdgesOfTheNodeArea) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    int top = -1;
    EXPECT_EQ(At(tree, {0}), tree.GetNodeAt(0, -5, false, top));
    EXPECT_EQ(0, top);
    EXPECT_EQ(At(tree, {2}), tree.GetNodeAt(0, 53, false, top));
    EXPECT_EQ(36, top);
    EXPECT_EQ(nullptr, tree.GetNodeAt(0, 54));
    EXPECT_EQ(At(tree, {0}), tree.GetTopNode());
}

// ---- Iteration ------------------------------------------------------------------

TEST(VirtualTreeIteration, InitialisingAndNoInitWalks) {
    TTestTree tree;
    tree.OnInitNode = [](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates& s) {
        if (t->GetNodeLevel(n) == 0) s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& c) { c = 3; };
    EXPECT_EQ(nullptr, tree.GetFirst());
    tree.SetRootNodeCount(2);
    PVirtualNode first = tree.GetFirst();
    EXPECT_EQ(At(tree, {1}), tree.GetNextNoInit(first));
    // GetNext creates the children that At looks for.
    PVirtualNode next = tree.GetNext(first);
    EXPECT_EQ(At(tree, {0, 0}), next);
    std::vector<std::string> order;
    for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n))
        order.push_back(PathOf(tree, n));
    EXPECT_EQ((std::vector<std::string>{"0", "0.0", "0.1", "0.2", "1", "1.0", "1.1", "1.2"}), order);
    EXPECT_EQ(At(tree, {1, 2}), tree.GetLast());
    EXPECT_EQ(At(tree, {0, 2}), tree.GetPrevious(At(tree, {1})));
    EXPECT_EQ(nullptr, tree.GetNext(At(tree, {1, 2})));
    EXPECT_EQ(8u, tree.GetTotalCount());
    EXPECT_EQ(-1, tree.CompareNodePositions(At(tree, {0}), At(tree, {0, 1})));
    EXPECT_EQ(1, tree.CompareNodePositions(At(tree, {0, 1}), At(tree, {0})));
    EXPECT_EQ(2u, tree.GetNodeLevel(At(tree, {1, 2})) + 1);
    EXPECT_TRUE(tree.HasAsParent(At(tree, {1, 2}), tree.RootNode()));
    EXPECT_FALSE(tree.HasAsParent(At(tree, {1}), At(tree, {1})));
    // Nil stands for the root.
    EXPECT_EQ(-1, tree.CompareNodePositions(nullptr, At(tree, {0})));
    EXPECT_EQ(1, tree.CompareNodePositions(At(tree, {1, 2}), nullptr));
    EXPECT_EQ(0, tree.CompareNodePositions(nullptr, tree.RootNode()));
    EXPECT_EQ(tree.RootNode(), tree.GetVisibleParent(nullptr));
}

TEST(VirtualTreeIteration, PositionsAndFirstSelected) {
    TTestTree tree;
    int inits = 0;
    tree.OnInitNode = [&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates&) {
        ++inits;
    };
    tree.SetRootNodeCount(6);
    EXPECT_EQ(-3, tree.CompareNodePositions(At(tree, {1}), At(tree, {4})));
    EXPECT_EQ(3, tree.CompareNodePositions(At(tree, {4}), At(tree, {1})));
    EXPECT_EQ(nullptr, tree.GetFirstSelected());
    EXPECT_EQ(0, inits);
    At(tree, {3})->States.Include(vsCutCopyMarked);
    EXPECT_EQ(nullptr, tree.GetFirstCutCopy());
    tree.DoStateChange({tsCopyPending});
    EXPECT_EQ(At(tree, {3}), tree.GetFirstCutCopy());
    EXPECT_EQ(TNodeArray{At(tree, {3})}, tree.GetSortedCutCopySet(true));
}

TEST(VirtualTreeIteration, VisibleOrderForwardIsBackwardReversed) {
    std::mt19937 random(11);
    TTestTree tree;
    BuildRandomTree(tree, random, 300);
    std::vector<PVirtualNode> forward, backward;
    for (PVirtualNode n = tree.GetFirstVisible(); n; n = tree.GetNextVisible(n))
        forward.push_back(n);
    for (PVirtualNode n = tree.GetLastVisible(); n; n = tree.GetPreviousVisible(n))
        backward.push_back(n);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(size_t(tree.VisibleCount()), forward.size());
    std::vector<PVirtualNode> all;
    for (PVirtualNode n = tree.GetFirstNoInit(); n; n = tree.GetNextNoInit(n))
        if (tree.IsFullyVisible(n)) all.push_back(n);
    EXPECT_EQ(all, forward);
    // From a hidden node the walks continue with the rows around it.
    for (PVirtualNode n = tree.GetFirstNoInit(); n; n = tree.GetNextNoInit(n)) {
        if (tree.IsFullyVisible(n)) continue;
        PVirtualNode next = tree.GetNextVisibleNoInit(n);
        auto after = std::find_if(all.begin(), all.end(),
                                  [&](PVirtualNode v) { return tree.CompareNodePositions(v, n) > 0; });
        EXPECT_EQ(after == all.end() ? nullptr : *after, next) << PathOf(tree, n);
        PVirtualNode previous = tree.GetPreviousVisibleNoInit(n);
        auto before = std::find_if(all.rbegin(), all.rend(),
                                   [&](PVirtualNode v) { return tree.CompareNodePositions(v, n) < 0; });
        EXPECT_EQ(before == all.rend() ? nullptr : *before, previous) << PathOf(tree, n);
    }
}

// ---- Selection -----------------------------------------------------------------

TEST(VirtualTreeSelection, SingleSelectionReplacesAndReports) {
    TEventLog log; // outlives the tree, whose end still fires events
    TTestTree tree;
    tree.SetRootNodeCount(4);
    log.Attach(tree);
    tree.SetSelected(At(tree, {1}), true);
    tree.SetSelected(At(tree, {2}), true);
    EXPECT_EQ((std::vector<std::string>{"change 1", "change nil", "change 2"}), log.Lines);
    EXPECT_EQ(1, tree.SelectedCount());
    At(tree, {3})->States.Include(vsDisabled);
    tree.SetSelected(At(tree, {3}), true);
    EXPECT_EQ(3u, log.Lines.size());
    EXPECT_EQ(1, tree.SelectedCount());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeSelection, ConstraintsAndSortedSelection) {
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect, toLevelSelectConstraint});
    tree.SetRootNodeCount(3);
    tree.SetChildCount(At(tree, {0}), 3);
    tree.SetSelected(At(tree, {2}), true);
    tree.SetSelected(At(tree, {0, 1}), true);
    EXPECT_EQ(1, tree.SelectedCount());
    tree.ClearSelection();
    tree.SetSelected(At(tree, {0, 1}), true);
    EXPECT_EQ(1, tree.SelectedCount());
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    EXPECT_EQ(1, tree.SelectedCount()); // dropping a constraint keeps the selection
    tree.ClearSelection();
    for (PVirtualNode n : {At(tree, {2}), At(tree, {0, 2}), At(tree, {0}), At(tree, {0, 0})})
        tree.SetSelected(n, true);
    EXPECT_EQ((TNodeArray{At(tree, {0}), At(tree, {0, 0}), At(tree, {0, 2}), At(tree, {2})}),
              tree.GetSortedSelection(false));
    EXPECT_EQ((TNodeArray{At(tree, {0}), At(tree, {2})}), tree.GetSortedSelection(true));
    EXPECT_EQ("", CheckInvariants(tree));
    tree.TreeOptions()->SetSelectionOptions({});
    EXPECT_EQ(0, tree.SelectedCount());
}

TEST(VirtualTreeSelection, MarksInsideBlocksAndForcedInserts) {
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(8);
    TNodeArray items;
    for (int i : {5, 1, 3, 1})
        items.push_back(At(tree, {i}));
    tree.AddNodesToSelection(items, 4, true);
    EXPECT_EQ(3, tree.SelectedCount()); // the repeated node went in once
    tree.BeginUpdate();
    tree.InternalRemoveFromSelection(At(tree, {3}));
    int index;
    EXPECT_FALSE(tree.FindNodeInSelection(At(tree, {3}), index, -1, -1));
    tree.SetSelected(At(tree, {6}), true);
    EXPECT_TRUE(tree.FindNodeInSelection(At(tree, {6}), index, -1, -1));
    tree.EndUpdate();
    EXPECT_EQ(3, tree.SelectedCount());
    EXPECT_EQ("", CheckInvariants(tree));
    TNodeArray none;
    EXPECT_EQ(-1, PackNodeArray(none, 0));
}

// ---- Node data, properties and options --------------------------------------------

TEST(VirtualTreeBasics, DataAreas) {
    TTestTree tree;
    tree.SetRootNodeCount(2);
    EXPECT_EQ(0, tree.NodeDataSize()); // settled through the event, which nobody answered
    EXPECT_EQ(nullptr, tree.GetNodeData(At(tree, {0})));
    TTestTree empty;
    empty.SetNodeDataSize(-5);
    EXPECT_EQ(-1, empty.NodeDataSize());
    tree.SetNodeDataSize(16);
    EXPECT_NE(nullptr, tree.GetNodeData(At(tree, {0})));
    EXPECT_EQ(nullptr, tree.GetNodeData(tree.RootNode()));
    EXPECT_EQ(nullptr, tree.GetNodeData(nullptr));
    EXPECT_EQ(&tree, OwnerTreeOfNode(At(tree, {1})));
    EXPECT_EQ(nullptr, OwnerTreeOfNode(nullptr));

    TTestTree fresh;
    int r = int(sizeof(TVirtualNode));
    EXPECT_EQ(r, fresh.AllocateInternalDataArea(5));
    EXPECT_EQ(r + 8, fresh.AllocateInternalDataArea(2));
    EXPECT_EQ(12, fresh.TotalInternalDataSize());
}

TEST(VirtualTreeBasics, ReadOnlyTreeRebuildsItsNodesForANewLayout) {
    TTestTree tree;
    tree.SetRootNodeCount(3);
    tree.TreeOptions()->SetMiscOptions({toReadOnly});
    tree.SetNodeDataSize(16);
    EXPECT_EQ(3u, tree.GetRootNodeCount());
    EXPECT_NE(nullptr, tree.GetNodeData(At(tree, {2})));
    tree.AllocateInternalDataArea(4);
    EXPECT_EQ(3u, tree.GetRootNodeCount());
    EXPECT_EQ(TVTMiscOptions{toReadOnly}, tree.TreeOptions()->MiscOptions());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeBasics, DefaultsAndSetters) {
    TTestTree tree;
    TCustomVirtualTreeOptions* o = tree.TreeOptions();
    EXPECT_EQ(0x1B60u, o->PaintOptions().ToBits());
    EXPECT_EQ(0x149u, o->AutoOptions().ToBits());
    EXPECT_EQ(0x1A9u, o->MiscOptions().ToBits());
    EXPECT_TRUE(o->SelectionOptions().Empty());
    EXPECT_TRUE(o->AnimationOptions().Empty());
    EXPECT_EQ(0xE1u, tree.RootNode()->States.ToBits());
    EXPECT_EQ(18u, tree.DefaultNodeHeight());
    EXPECT_EQ(-1, tree.NodeDataSize());
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(18u, tree.DefaultNodeHeight());
    tree.SetAnimationDuration(300);
    EXPECT_TRUE(o->AnimationOptions().Contains(toAnimatedToggle));
    tree.SetAnimationDuration(0);
    EXPECT_FALSE(o->AnimationOptions().Contains(toAnimatedToggle));

    TTestTree other;
    other.TreeOptions()->SetMiscOptions({toReadOnly});
    other.TreeOptions()->SetPaintOptions({toHotTrack});
    tree.SetTreeOptions(other.TreeOptions());
    EXPECT_EQ(TVTPaintOptions{toHotTrack}, o->PaintOptions());
    EXPECT_EQ(TVTMiscOptions{toReadOnly}, o->MiscOptions());
    TPersistent unrelated;
    EXPECT_THROW(unrelated.Assign(o), EConvertError);
}

} // namespace

namespace {

TEST(VirtualTreeBasics, CopyingSettingsFromAnotherTree) {
    TTestTree source;
    source.SetNodeDataSize(int(sizeof(TNodeRecord)));
    source.SetRootNodeCount(3);
    source.SetIndent(30);
    source.ChangeDelay = 70;

    TTestTree empty;
    empty.Assign(&source);
    EXPECT_EQ(3u, empty.GetRootNodeCount());
    EXPECT_FALSE(At(empty, {0})->States.Contains(vsInitDone));
    EXPECT_EQ(30u, empty.Indent());
    EXPECT_EQ(70u, empty.ChangeDelay);

    TTestTree larger;
    larger.SetNodeDataSize(int(sizeof(TNodeRecord)));
    larger.SetRootNodeCount(5);
    larger.GetNodeData<TNodeRecord>(At(larger, {2}))->Key = 42;
    larger.Assign(&source);
    EXPECT_EQ(3u, larger.GetRootNodeCount());
    EXPECT_EQ(42, larger.GetNodeData<TNodeRecord>(At(larger, {2}))->Key);
    EXPECT_EQ("", CheckInvariants(larger));

    TTestTree readOnly;
    readOnly.TreeOptions()->SetMiscOptions({toReadOnly});
    EXPECT_THROW(readOnly.Assign(&source), EConvertError);
}

} // namespace

namespace {

// Lengths and bounds beyond the arrays, and nil entries, never reach past
// the arrays or through a nil node.
TEST(VirtualTreeSelection, LengthsBeyondTheArraysAndNilEntries) {
    TTestTree tree;
    tree.TreeOptions()->SetSelectionOptions(
        {toMultiSelect, toSiblingSelectConstraint, toLevelSelectConstraint});
    tree.SetRootNodeCount(4);
    tree.SetChildCount(At(tree, {0}), 2);
    TNodeArray items{nullptr, At(tree, {2}), At(tree, {0, 1}), At(tree, {1})};
    tree.AddNodesToSelection(items, 40, false);
    EXPECT_EQ(2, tree.SelectedCount());
    EXPECT_EQ(At(tree, {2}), tree.FRangeAnchor);
    EXPECT_TRUE(At(tree, {1})->States.Contains(vsSelected));
    EXPECT_FALSE(At(tree, {0, 1})->States.Contains(vsSelected));
    int index = -1;
    EXPECT_TRUE(tree.FindNodeInSelection(At(tree, {1}), index, -1, 100));
    EXPECT_FALSE(tree.FindNodeInSelection(At(tree, {3}), index, 0, 7));
    TNodeArray two{At(tree, {0}), At(tree, {1})};
    EXPECT_EQ(2, PackNodeArray(two, 9));
    EXPECT_EQ("", CheckInvariants(tree));
}

} // namespace
