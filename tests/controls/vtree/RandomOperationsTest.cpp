// Long random sequences of structure, expansion, height, selection and sort
// operations, with the invariant checker after every one of them.
#include <gtest/gtest.h>

#include <random>

#include "TreeHarness.h"

namespace {

PVirtualNode RandomNode(TTestTree& Tree, std::mt19937& Random) {
    uint32_t count = Tree.RootNode()->TotalCount - 1;
    if (count == 0) return nullptr;
    uint32_t target = std::uniform_int_distribution<uint32_t>(0, count - 1)(Random);
    PVirtualNode n = Tree.GetFirstNoInit();
    for (uint32_t i = 0; i < target && n; ++i)
        n = Tree.GetNextNoInit(n);
    return n;
}

TEST(VirtualTreeRandomOperations, InvariantsHoldAfterEveryStep) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        TTestTree tree;
        tree.SetNodeDataSize(int(sizeof(TNodeRecord)));
        tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
        tree.OnInitNode = [&random](TBaseVirtualTree* t, PVirtualNode, PVirtualNode n,
                                    TVirtualNodeInitStates& s) {
            t->GetNodeData<TNodeRecord>(n)->Key = int(random() % 5);
            if (random() % 4 == 0) s.Include(ivsHasChildren);
        };
        tree.OnInitChildren = [&random](TBaseVirtualTree*, PVirtualNode, uint32_t& c) { c = random() % 4; };
        tree.OnCompareNodes = [](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int& r) {
            r = t->GetNodeData<TNodeRecord>(a)->Key - t->GetNodeData<TNodeRecord>(b)->Key;
        };
        int changes = 0;
        tree.OnChange = [&](TBaseVirtualTree* t, PVirtualNode n) {
            ++changes;
            // A reported node is always alive.
            if (n) {
                EXPECT_EQ(t, OwnerTreeOfNode(n));
            }
        };
        tree.SetRootNodeCount(20);
        std::uniform_int_distribution<int> operation(0, 15);
        std::vector<TVTNodeAttachMode> modes{amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast};
        for (int step = 0; step < 1500; ++step) {
            int op = operation(random);
            PVirtualNode a = RandomNode(tree, random), b = RandomNode(tree, random);
            SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
            switch (op) {
            case 0:
                tree.SetChildCount(a, random() % 5);
                break;
            case 1:
                tree.SetRootNodeCount(5 + random() % 30);
                break;
            case 2:
                if (a) tree.DeleteNode(a);
                break;
            case 3:
                if (a && b) {
                    try {
                        tree.MoveTo(a, b, modes[random() % 4], random() % 3 == 0);
                    } catch (const EVirtualTreeError& e) {
                        EXPECT_EQ(2001, e.HelpContext);
                        EXPECT_TRUE(tree.HasAsParent(b, a));
                    }
                }
                break;
            case 4:
            case 5:
                if (a) tree.ToggleNode(a);
                break;
            case 6:
                if (a) tree.SetNodeHeight(a, 1 + random() % 50);
                break;
            case 7:
                if (a) tree.SetSelected(a, random() % 3 != 0);
                break;
            case 8:
                tree.DeleteSelectedNodes();
                break;
            case 9:
                tree.SortTree(NoColumn, random() % 2 ? sdAscending : sdDescending, random() % 2 == 0);
                break;
            case 10:
                if (tree.UpdateCount() < 2 && random() % 2 == 0) tree.BeginUpdate();
                break;
            case 11:
                if (tree.UpdateCount() > 0) tree.EndUpdate();
                break;
            case 12:
                if (a) tree.AddInvisible(a, modes[random() % 4]);
                break;
            case 13:
                if (random() % 2)
                    tree.FullExpand(a);
                else
                    tree.FullCollapse(a);
                break;
            case 14:
                if (a) tree.SetFocusedNode(a);
                if (b && random() % 4 == 0) tree.ResetNode(b);
                break;
            case 15:
                tree.GetNodeAt(0, int(random() % (tree.RootNode()->TotalHeight + 20)));
                if (random() % 10 == 0) tree.Clear();
                break;
            }
            ASSERT_EQ("", CheckInvariants(tree));
        }
        while (tree.UpdateCount() > 0)
            tree.EndUpdate();
        ASSERT_EQ("", CheckInvariants(tree));
        // Counted after GetTotalCount has initialised every node.
        const uint32_t total = tree.GetTotalCount();
        uint32_t walked = 0;
        for (PVirtualNode n = tree.GetFirstNoInit(); n; n = tree.GetNextNoInit(n))
            ++walked;
        EXPECT_EQ(walked, total);
    }
}

} // namespace

namespace {

// Random changes to a tree large enough for the position cache: whenever the
// cache is in use it must match the rows, and every position query must
// agree with a walk over the rows.
TEST(VirtualTreeRandomOperations, PositionsStayTrueWithTheCache) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        TTestTree tree;
        tree.SetRootNodeCount(CacheThreshold + 300);
        std::vector<TVTNodeAttachMode> modes{amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast};
        for (int step = 0; step < 300; ++step) {
            int op = int(random() % 7);
            PVirtualNode a = RandomNode(tree, random), b = RandomNode(tree, random);
            SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
            switch (op) {
            case 0:
                tree.SetChildCount(a, random() % 6);
                break;
            case 1:
                if (a && tree.VisibleCount() > CacheThreshold + 50) tree.DeleteNode(a);
                break;
            case 2:
                if (a && b && !tree.HasAsParent(b, a)) tree.MoveTo(a, b, modes[random() % 4], false);
                break;
            case 3:
                tree.ToggleNode(a);
                break;
            case 4:
                tree.SetNodeHeight(a, 1 + random() % 60);
                break;
            case 5:
                if (a) tree.AddInvisible(a, modes[random() % 4]);
                break;
            case 6:
                tree.EnsurePositionCache(true);
                break;
            }
            ASSERT_EQ("", CheckInvariants(tree));
            int64_t total = int64_t(tree.RootNode()->TotalHeight) - tree.RootNode()->NodeHeight;
            int64_t y = int64_t(random() % uint64_t(total + 10));
            int64_t top = 0;
            PVirtualNode expected = nullptr;
            for (PVirtualNode n = tree.GetFirstVisibleNoInit(); n; n = tree.GetNextVisibleNoInit(n)) {
                if (y < top + n->NodeHeight) {
                    expected = n;
                    break;
                }
                top += n->NodeHeight;
            }
            int foundTop = -1;
            ASSERT_EQ(expected, tree.GetNodeAt(0, int(y), false, foundTop)) << "y " << y;
            if (expected) {
                EXPECT_EQ(top, foundTop);
            }
        }
        EXPECT_GT(tree.CacheBuilds, 0);
    }
}

} // namespace
