// The invariant checker of the tree, for tests, benchmarks and debug builds.
#include "controls/vtree/VirtualTreesCheck.h"

#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

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
        CheckColumns();
        CheckScrolling();
        CheckChecks();
        // Every slot in use is a node of the tree, and no block is kept empty.
        const VTPrivate::TNodeStore& store = *FTree.FNodeStore;
        if (store.NodeCount() != totals.Count - 1)
            Fault("the store holds " + std::to_string(store.NodeCount()) + " nodes, the tree " +
                  std::to_string(totals.Count - 1));
        if (store.HasEmptyBlock()) Fault("the store keeps an empty block");
        if (FTree.TreeStates().Contains(tsUseCache) || FTree.CacheLaidOut()) CheckPositionCache();
        for (PVirtualNode ref :
             {FTree.FocusedNode(), FTree.FRangeAnchor, FTree.FCheckNode, FTree.FLastSearchNode})
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
            if (child->States.Contains(vsCheckChanging) && FTree.FCheckPropagationCount == 0)
                Fault(at() + ": vsCheckChanging outside a check change");
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

    // Positions are a permutation that every column knows its place in, left
    // edges add up the visible widths, and every remembered column exists.
    void CheckColumns() {
        const TVirtualTreeColumns& columns = *FTree.FHeader->FColumns;
        const TVTHeader& header = *FTree.FHeader;
        const int count = columns.Count();
        if (columns.FNeedPositionsFix || FTree.IsLoading()) return;
        const auto& positions = columns.FPositionToIndex;
        if (positions.size() != size_t(count)) {
            Fault("position array has " + std::to_string(positions.size()) + " entries for " +
                  std::to_string(count) + " columns");
            return;
        }
        std::vector<bool> seen(size_t(count), false);
        int left = 0;
        for (size_t p = 0; p < positions.size(); ++p) {
            TColumnIndex index = positions[p];
            if (index < 0 || index >= count || seen[size_t(index)]) {
                Fault("position array is not a permutation");
                return;
            }
            seen[size_t(index)] = true;
            const TVirtualTreeColumn* column = columns.GetItem(index);
            std::string at = "column " + std::to_string(index);
            if (column->FPosition != p)
                Fault(at + ": Position " + std::to_string(column->FPosition) + " at place " +
                      std::to_string(p));
            if (!columns.InUpdate() && column->FLeft != left) Fault(at + ": left edge");
            if (column->FOptions.Contains(coVisible)) left += column->FWidth;
            if (column->FMinWidth > column->FMaxWidth || column->FWidth < column->FMinWidth ||
                column->FWidth > column->FMaxWidth)
                Fault(at + ": width outside its limits");
        }
        for (TColumnIndex c : {columns.HoverIndex, columns.DownIndex, columns.TrackIndex, columns.ClickIndex,
                               columns.DragIndex, columns.DropTarget})
            if (c < NoColumn || c >= count) Fault("a mouse column is not a column");
        if (header.FSortColumn < NoColumn || header.FSortColumn >= count) Fault("sort column out of range");
        if (count > 0 && (header.FMainColumn < 0 || header.FMainColumn >= count))
            Fault("main column out of range");
    }

    // With a window and no update block the offsets lie within the ranges.
    void CheckScrolling() {
        if (!FTree.HandleAllocated() || FTree.UpdateCount() > 0 || FTree.TreeStates().Contains(tsSizing))
            return;
        const int64_t minY = std::min<int64_t>(0, int64_t(FTree.FView->ClientHeight()) - FTree.RangeY());
        const int64_t minX = std::min<int64_t>(0, int64_t(FTree.FView->ClientWidth()) - FTree.RangeX());
        if (FTree.OffsetY() > 0 || FTree.OffsetY() < minY)
            Fault("OffsetY " + std::to_string(FTree.OffsetY()) + " outside [" + std::to_string(minY) +
                  ", 0]");
        if (FTree.OffsetX() > 0 || FTree.OffsetX() < minX)
            Fault("OffsetX " + std::to_string(FTree.OffsetX()) + " outside [" + std::to_string(minX) +
                  ", 0]");
    }

    void CheckChecks() {
        if ((FTree.FCheckPropagationCount > 0) != FTree.TreeStates().Contains(tsCheckPropagation))
            Fault("tsCheckPropagation and the propagation count differ");
        if (FTree.TreeStates().Contains(tsKeyCheckPending) && !FTree.FCheckNode)
            Fault("a key check is pending without its node");
    }

    // A cache in use, or laid out by a sort, names every CacheThreshold-th
    // row and its top, as a walk finds them, as far as it reaches.
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
        if (FTree.FCacheComplete && cache.size() != FTree.GetCacheEntryCount())
            Fault("a complete cache holds " + std::to_string(cache.size()) + " entries for " +
                  std::to_string(FTree.VisibleCount()) + " rows");
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
