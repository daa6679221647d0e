// Where nodes live: slots reused after a deletion never surface through a
// reference the tree remembers, the owner frees exactly the nodes that need
// it on every deletion path, slots of different sizes live side by side, and
// the owner's area is laid out without waste and suitably aligned.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TreeHarness.h"

namespace {

// The ways nodes leave a tree; each deletes node 1.1 of a tree whose node 1
// has three children, then rebuilds the same shape.
struct TDeletion {
    const char* Name;
    std::function<void(TTestTree&)> Delete;
};
const std::vector<TDeletion> Deletions = {
    {"DeleteNode",
     [](TTestTree& t) {
         t.DeleteNode(At(t, {1, 1}));
     }},
    {"DeleteChildren", [](TTestTree& t) { t.DeleteChildren(At(t, {1})); }},
    {"Clear", [](TTestTree& t) { t.Clear(); }},
    {"RootNodeCount 0", [](TTestTree& t) { t.SetRootNodeCount(0); }},
};

void Build(TTestTree& Tree) {
    Tree.SetRootNodeCount(4);
    Tree.SetChildCount(At(Tree, {1}), 3);
}

PVirtualNode FindNode(TTestTree& Tree, PVirtualNode Address) {
    for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n))
        if (n == Address) return n;
    return nullptr;
}

TEST(VirtualTreeStorage, AReusedSlotIsNeverReachedThroughAForgottenReference) {
    using TMember = PVirtualNode TBaseVirtualTree::*;
    const std::vector<std::pair<const char*, TMember>> remembered = {
        {"focused", &TTestTree::FFocusedNode},
        {"range anchor", &TTestTree::FRangeAnchor},
        {"hot", &TTestTree::FCurrentHotNode},
        {"drop target", &TTestTree::FDropTargetNode},
        {"last drop target", &TTestTree::FLastDropTarget},
        {"check", &TTestTree::FCheckNode},
        {"search hit", &TTestTree::FLastSearchNode},
        {"edited", &TTestTree::FEditNode},
        {"pending change", &TTestTree::FLastChangedNode},
        {"pending structure change", &TTestTree::FLastStructureChangeNode},
    };
    for (const TDeletion& deletion : Deletions)
        for (const auto& [what, member] : remembered) {
            SCOPED_TRACE(std::string(deletion.Name) + ", " + what);
            TTestTree tree;
            Build(tree);
            PVirtualNode doomed = At(tree, {1, 1});
            tree.*member = doomed;
            deletion.Delete(tree);
            Build(tree);
            // The new node in the old slot is a different node.
            ASSERT_EQ(doomed, FindNode(tree, doomed)) << "the slot was not reused";
            EXPECT_EQ(nullptr, tree.*member);
            EXPECT_EQ("", CheckInvariants(tree));
        }
}

TEST(VirtualTreeStorage, AReusedSlotIsNotSelectedByTheNodeBefore) {
    for (const TDeletion& deletion : Deletions) {
        SCOPED_TRACE(deletion.Name);
        TTestTree tree;
        tree.TreeOptions()->SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
        Build(tree);
        PVirtualNode doomed = At(tree, {1, 1});
        tree.SetSelected(At(tree, {0}), true);
        tree.SetSelected(doomed, true);
        // Inside a block a deleted node's entry is only marked; the slot is
        // taken again before the selection is packed.
        tree.BeginUpdate();
        deletion.Delete(tree);
        Build(tree);
        ASSERT_EQ(doomed, FindNode(tree, doomed));
        EXPECT_FALSE(tree.Selected(doomed));
        tree.EndUpdate();
        EXPECT_FALSE(tree.Selected(doomed));
        EXPECT_EQ(tree.GetFirstSelected() ? 1 : 0, tree.SelectedCount());
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

// A descendant that frees something of its own in DoFreeNode.
class TFreeingTree : public TTestTree {
public:
    bool Override = false;
    int Freed = 0;

protected:
    void DoFreeNode(PVirtualNode Node) override {
        ++Freed;
        TTestTree::DoFreeNode(Node);
    }
    bool HandlesFreeNode() const override { return Override || TTestTree::HandlesFreeNode(); }
};

TEST(VirtualTreeStorage, TheOwnerFreesExactlyTheNodesThatNeedIt) {
    // Node 1.1 is initialised, 1.2 carries vsDataNeedsFree, the rest are not
    // initialised.
    struct TCase {
        bool Handler, Override;
        int Expected[4]; // per deletion: DeleteNode, DeleteChildren, Clear, RootNodeCount 0
    };
    const TCase cases[] = {
        {true, false, {1, 2, 3, 3}},
        {false, true, {1, 2, 3, 3}},
        {false, false, {0, 0, 0, 0}},
    };
    for (const TCase& c : cases)
        for (size_t d = 0; d < Deletions.size(); ++d) {
            SCOPED_TRACE(std::string(Deletions[d].Name) + (c.Handler ? ", handler" : "") +
                         (c.Override ? ", override" : ""));
            int handled = 0; // outlives the tree, whose end still frees nodes
            TFreeingTree tree;
            Build(tree);
            tree.ValidateNode(At(tree, {1}), false);
            tree.ValidateNode(At(tree, {1, 1}), false);
            At(tree, {1, 2})->States.Include(vsDataNeedsFree);
            if (c.Handler) tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode) { ++handled; };
            tree.Override = c.Override;
            tree.Freed = 0;
            Deletions[d].Delete(tree);
            EXPECT_EQ(c.Expected[d], c.Handler ? handled : tree.Freed);
            EXPECT_EQ("", CheckInvariants(tree));
        }
}

// A data size set while the tree loads gives later nodes larger slots than
// the nodes that exist; both kinds are used, freed and checked.
TEST(VirtualTreeStorage, SlotsOfTwoSizesLiveSideBySide) {
    TTestTree tree;
    tree.SetNodeDataSize(8);
    tree.SetRootNodeCount(3);
    tree.SetLoading(true);
    tree.SetNodeDataSize(200);
    tree.SetLoading(false);
    tree.SetChildCount(At(tree, {0}), 100);
    for (PVirtualNode n = At(tree, {0})->FirstChild; n; n = n->NextSibling)
        std::memset(tree.GetNodeData(n), 0xAB, 200);
    tree.DeleteNode(At(tree, {2}));
    tree.SetChildCount(At(tree, {0}), 50);
    EXPECT_EQ("", CheckInvariants(tree));
    tree.Clear();
    tree.SetRootNodeCount(10);
    std::memset(tree.GetNodeData(At(tree, {9})), 0xAB, 200);
    EXPECT_EQ("", CheckInvariants(tree));
}

// Nodes made together lie end to end: a slot is the record and the data area
// and nothing else, and the area is aligned for a type of its size.
TEST(VirtualTreeStorage, SlotsCarryNoHeaderAndAlignTheOwnersArea) {
    struct TCase {
        int DataSize;
        ptrdiff_t Stride;
        uintptr_t Alignment;
    };
    const TCase cases[] = {{0, 64, 16},  {4, 72, 8},   {8, 72, 8}, {12, 80, 8},
                           {16, 80, 16}, {32, 96, 16}, {24, 88, 8}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.DataSize);
        TTestTree tree;
        tree.SetNodeDataSize(c.DataSize);
        tree.SetRootNodeCount(50);
        PVirtualNode first = At(tree, {10}), second = At(tree, {11});
        EXPECT_EQ(c.Stride, reinterpret_cast<char*>(second) - reinterpret_cast<char*>(first));
        if (c.DataSize > 0) {
            EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(tree.GetNodeData(second)) % c.Alignment);
        }
    }
}

// Deleting many children gives their blocks back (the checker fails on a
// block kept without nodes), and the nodes that follow fill freed slots first.
TEST(VirtualTreeStorage, DeletingManyChildrenDropsTheirBlocks) {
    TTestTree tree;
    tree.SetNodeDataSize(int(sizeof(TNodeRecord)));
    RunScript(tree, {
                        {"fill",
                         [](TTestTree& t) {
                             t.SetRootNodeCount(3);
                             t.SetChildCount(At(t, {0}), 5000);
                             t.SetChildCount(At(t, {1}), 20);
                             t.SetChildCount(At(t, {2}), 5000);
                         }},
                        {"delete the first 5000", [](TTestTree& t) { t.DeleteChildren(At(t, {0})); }},
                        {"delete every other",
                         [](TTestTree& t) {
                             PVirtualNode n = At(t, {2})->FirstChild;
                             while (n && n->NextSibling) {
                                 PVirtualNode next = n->NextSibling->NextSibling;
                                 t.DeleteNode(n->NextSibling);
                                 n = next;
                             }
                         }},
                        {"fill again", [](TTestTree& t) { t.SetChildCount(At(t, {0}), 7000); }},
                        {"delete the rest", [](TTestTree& t) { t.DeleteChildren(At(t, {2})); }},
                    });
}

} // namespace
