// The invariant checker of the tree, for tests, benchmarks and debug builds.
#include "controls/vtree/VirtualTreesCheck.h"

#include <sstream>
#include <string>
#include <unordered_set>

#include "controls/vtree/VirtualTreesStore_p.h"
#include "controls/vtree/VirtualTrees_p.h"

using VTPrivate::Addr;
using VTPrivate::IsMarked;

namespace {

// Enough to see a fault and what it dragged along; the rest is noise.
constexpr int MaxFaultsReported = 8;

struct TTotals {
    uint64_t Count = 0;
    uint64_t Height = 0;
};

} // namespace

// A friend of the tree: it reads the selection, the range anchor and the cache.
class TVirtualTreeChecker {
public:
    TVirtualTreeChecker(const TBaseVirtualTree& Tree, bool Dense) : FTree(Tree), FDense(Dense) {}

    AnsiString Run() {
        PVirtualNode root = FTree.RootNode();
        if (root->NextSibling != root || root->PrevSibling != root) Fault("root sibling links");
        if (OwnerTreeOfNode(root) != &FTree) Fault("root does not lead to its tree");
        if (!root->States.Contains(vsExpanded) || !root->States.Contains(vsVisible))
            Fault("root lost expanded or visible");
        TTotals totals = Walk(root, true);
        if (root->TotalCount != totals.Count) Fault("root TotalCount");
        if (root->TotalHeight != totals.Height) Fault("root TotalHeight");
        if (FTree.VisibleCount() != FVisible)
            Fault("VisibleCount " + std::to_string(FTree.VisibleCount()) + " != " + std::to_string(FVisible));
        CheckSelection();
        // Every slot in use is a node of the tree, and no block is kept empty.
        const VTPrivate::TNodeStore& store = *FTree.FNodeStore;
        if (store.NodeCount() != totals.Count - 1)
            Fault("the store holds " + std::to_string(store.NodeCount()) + " nodes, the tree " +
                  std::to_string(totals.Count - 1));
        if (store.HasEmptyBlock()) Fault("the store keeps an empty block");
        if (FTree.TreeStates().Contains(tsUseCache)) CheckPositionCache();
        for (PVirtualNode ref : {FTree.FocusedNode(), FTree.FRangeAnchor})
            if (ref && !FNodes.count(ref)) Fault("a remembered node is not in the tree");
        if (FTree.UpdateCount() == 0 && FTree.TreeStates().Contains(tsUpdating))
            Fault("tsUpdating outside blocks");
        return FFaults.str();
    }

private:
    void Fault(const std::string& Text) {
        if (++FFaultCount <= MaxFaultsReported) FFaults << Text << "; ";
    }

    TTotals Walk(PVirtualNode Node, bool FullyVisible) {
        TTotals sum;
        uint32_t count = 0;
        PVirtualNode previous = nullptr;
        bool anyVisible = false;
        int64_t lastIndex = -1;
        for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
            FNodes.insert(child);
            auto at = [&] { return NodePath(FTree, child); };
            if (!FTree.FNodeStore->Holds(child)) Fault(at() + ": not a slot in use");
            if (child->Parent != Node) Fault(at() + ": Parent");
            if (child->PrevSibling != previous) Fault(at() + ": PrevSibling");
            if (FDense ? child->Index != count : int64_t(child->Index) <= lastIndex) Fault(at() + ": Index");
            lastIndex = child->Index;
            for (TVirtualNodeState s : {vsBeingDeleted, vsClearingChildren, vsInToggle})
                if (child->States.Contains(s)) Fault(at() + ": transient state left");
            if (child->States.Contains(vsSelected)) ++FSelected;
            bool visible = child->States.Contains(vsVisible);
            anyVisible = anyVisible || visible;
            bool childFully = FullyVisible && Node->States.Contains(vsExpanded) && visible;
            if (childFully) ++FVisible;
            if (FTree.IsFullyVisible(child) != childFully) Fault(at() + ": IsFullyVisible");
            TTotals inner = Walk(child, childFully);
            if (child->TotalCount != inner.Count) Fault(at() + ": TotalCount");
            if (child->TotalHeight != inner.Height) Fault(at() + ": TotalHeight");
            sum.Count += child->TotalCount;
            if (visible) sum.Height += child->TotalHeight;
            previous = child;
            ++count;
        }
        auto at = [&] { return Node == FTree.RootNode() ? std::string("root") : NodePath(FTree, Node); };
        if (Node->LastChild != previous) Fault(at() + ": LastChild");
        if (Node->ChildCount != count) Fault(at() + ": ChildCount");
        if (count > 0 && !Node->States.Contains(vsHasChildren))
            Fault(at() + ": children without vsHasChildren");
        if (Node != FTree.RootNode()) {
            if (Node->States.Contains(vsExpanded) && count == 0) Fault(at() + ": expanded without children");
            if (count > 0 && FTree.UpdateCount() == 0 &&
                Node->States.Contains(vsNoVisibleChild) == anyVisible)
                Fault(at() + ": vsNoVisibleChild");
        }
        TTotals result;
        result.Count = 1 + sum.Count;
        result.Height = Node->NodeHeight + (Node->States.Contains(vsExpanded) ? sum.Height : 0);
        return result;
    }

    void CheckSelection() {
        const TNodeArray& sel = FTree.FSelection;
        if (FTree.FSelectionCount != int(sel.size())) Fault("selection count differs from the array");
        bool settled = FTree.UpdateCount() == 0;
        size_t live = 0;
        for (size_t i = 0; i < sel.size(); ++i) {
            if (IsMarked(sel[i])) {
                if (settled) Fault("removal mark outside an update block");
                continue;
            }
            ++live;
            if (i > 0 && Addr(sel[i - 1]) >= Addr(sel[i])) Fault("selection not sorted");
            if (!FNodes.count(sel[i]))
                Fault("selection holds a node not in the tree");
            else if (!sel[i]->States.Contains(vsSelected))
                Fault("selection holds an unselected node");
        }
        if (live != FSelected) Fault("selected nodes and selection array differ");
    }

    // A cache in use names every CacheThreshold-th row and its top, as a walk finds them.
    void CheckPositionCache() {
        const TCache& cache = FTree.FPositionCache;
        size_t entry = 0;
        uint64_t row = 0, top = 0;
        for (PVirtualNode n = FTree.GetFirstVisibleNoInit(); n && entry < cache.size();
             n = FTree.GetNextVisibleNoInit(n), ++row) {
            if (row % CacheThreshold == 0) {
                if (cache[entry].Node != n || cache[entry].AbsoluteTop != top)
                    Fault("cache entry " + std::to_string(entry) + " is stale");
                ++entry;
            }
            top += n->NodeHeight;
        }
        if (entry != cache.size()) Fault("cache holds entries beyond the rows");
    }

    const TBaseVirtualTree& FTree;
    bool FDense;
    uint32_t FVisible = 0;
    size_t FSelected = 0;
    std::unordered_set<PVirtualNode> FNodes;
    std::ostringstream FFaults;
    int FFaultCount = 0;
};

AnsiString CheckTreeInvariants(const TBaseVirtualTree& Tree, bool DenseIndexes) {
    return TVirtualTreeChecker(Tree, DenseIndexes).Run();
}

AnsiString NodePath(const TBaseVirtualTree& Tree, PVirtualNode Node) {
    AnsiString result;
    for (; Node && Node != Tree.RootNode(); Node = Node->Parent) {
        int position = 0;
        for (PVirtualNode run = Node->PrevSibling; run; run = run->PrevSibling)
            ++position;
        result = std::to_string(position) + (result.empty() ? "" : ".") + result;
    }
    return result;
}
