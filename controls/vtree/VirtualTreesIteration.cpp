// Walking the nodes (GetFirst, GetNext and the rest, each with and without
// initialisation) and the queries about a node's place, level and visibility.
#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <cstdint>

#include "controls/vtree/VirtualTrees_p.h"

using VTPrivate::IsMarked;

TBaseVirtualTree* OwnerTreeOfNode(PVirtualNode Node) {
    if (!Node) return nullptr;
    while (Node->NextSibling != Node)
        Node = Node->Parent;
    return reinterpret_cast<TBaseVirtualTree*>(Node->Parent);
}

// ---- Visibility --------------------------------------------------------------------------

uint32_t TBaseVirtualTree::CountVisibleChildren(PVirtualNode Node) const {
    if (!Node->States.Contains(vsExpanded)) return 0;
    uint32_t result = 0;
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
        if (child->States.Contains(vsVisible)) result += 1 + CountVisibleChildren(child);
    return result;
}

int TBaseVirtualTree::CountLevelDifference(PVirtualNode Node1, PVirtualNode Node2) const {
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

bool TBaseVirtualTree::HasVisiblePath(PVirtualNode Node) const {
    if (Node == FRoot) return true;
    PVirtualNode run = Node->Parent;
    while (run != FRoot && run->States.Contains(vsExpanded) && run->States.Contains(vsVisible))
        run = run->Parent;
    return run == FRoot;
}

bool TBaseVirtualTree::IsFullyVisible(PVirtualNode Node) const {
    if (!Node->States.Contains(vsVisible)) return false;
    return Node == FRoot || HasVisiblePath(Node);
}

// ---- Iteration ---------------------------------------------------------------------------

namespace {

// The nearest visible sibling after (Forward) or before Node; Init sees each
// sibling passed before its visibility is read.
template <class TInit>
PVirtualNode VisibleSibling(PVirtualNode Node, PVirtualNode Root, bool Forward, TInit Init) {
    if (!Node || Node == Root) return nullptr;
    do {
        Node = Forward ? Node->NextSibling : Node->PrevSibling;
        Init(Node);
    } while (Node && !Node->States.Contains(vsVisible));
    return Node;
}

} // namespace

PVirtualNode TBaseVirtualTree::GetFirst() {
    PVirtualNode result = FRoot->FirstChild;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstNoInit() const {
    return FRoot->FirstChild;
}

PVirtualNode TBaseVirtualTree::GetFirstInitialized() const {
    PVirtualNode result = GetFirstNoInit();
    if (result && !result->States.Contains(vsInitDone)) result = GetNextInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNextInitialized(PVirtualNode Node) const {
    PVirtualNode result = Node;
    do {
        result = GetNextNoInit(result);
    } while (result && !result->States.Contains(vsInitDone));
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstSelected() {
    return GetNextSelected(nullptr);
}

PVirtualNode TBaseVirtualTree::GetNextSelected(PVirtualNode Node) {
    if (FSelectionCount <= 0) return nullptr;
    PVirtualNode run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !run->States.Contains(vsSelected))
        run = GetNextNoInit(run);
    EnsureInitialized(run);
    return run;
}

PVirtualNode TBaseVirtualTree::GetFirstCutCopy() {
    return GetNextCutCopy(nullptr);
}

PVirtualNode TBaseVirtualTree::GetNextCutCopy(PVirtualNode Node) {
    if (!FStates.Contains(tsCutPending) && !FStates.Contains(tsCopyPending)) return nullptr;
    PVirtualNode run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !run->States.Contains(vsCutCopyMarked))
        run = GetNextNoInit(run);
    EnsureInitialized(run);
    return run;
}

PVirtualNode TBaseVirtualTree::GetFirstVisible() {
    if (!FRoot->States.Contains(vsHasChildren) || !FRoot->FirstChild) return nullptr;
    PVirtualNode result = FRoot->FirstChild;
    EnsureInitialized(result);
    if (!result->States.Contains(vsVisible)) result = GetNextVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstVisibleNoInit() const {
    if (!FRoot->States.Contains(vsHasChildren) || !FRoot->FirstChild) return nullptr;
    PVirtualNode result = FRoot->FirstChild;
    if (!result->States.Contains(vsVisible)) result = GetNextVisibleSiblingNoInit(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstChild(PVirtualNode Node) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    PVirtualNode result = Node->FirstChild;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastChild(PVirtualNode Node) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    PVirtualNode result = Node->LastChild;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastChildNoInit(PVirtualNode Node) const {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    return Node->LastChild;
}

PVirtualNode TBaseVirtualTree::GetFirstVisibleChild(PVirtualNode Node) {
    PVirtualNode result = GetFirstChild(Node);
    if (result && !result->States.Contains(vsVisible)) result = GetNextVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleChild(PVirtualNode Node) {
    PVirtualNode result;
    if (!Node || Node == FRoot) {
        result = GetLastChild(nullptr);
    } else if (IsFullyVisible(Node) && Node->States.Contains(vsExpanded)) {
        result = GetLastChild(Node);
    } else {
        return nullptr;
    }
    if (result && !result->States.Contains(vsVisible)) result = GetPreviousVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleChildNoInit(PVirtualNode Node) const {
    PVirtualNode result;
    if (!Node || Node == FRoot) {
        result = GetLastChildNoInit(nullptr);
    } else if (IsFullyVisible(Node) && Node->States.Contains(vsExpanded)) {
        result = GetLastChildNoInit(Node);
    } else {
        return nullptr;
    }
    if (result && !result->States.Contains(vsVisible)) result = GetPreviousVisibleSiblingNoInit(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLast(PVirtualNode Node) {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastChild(Node); next; next = GetLastChild(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastNoInit(PVirtualNode Node) const {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastChildNoInit(Node); next; next = GetLastChildNoInit(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisible(PVirtualNode Node) {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastVisibleChild(Node); next; next = GetLastVisibleChild(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleNoInit(PVirtualNode Node) const {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastVisibleChildNoInit(Node); next; next = GetLastVisibleChildNoInit(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetNext(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    PVirtualNode result = GetNextNoInit(Node);
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNextNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    if (Node->FirstChild) return Node->FirstChild;
    while (!Node->NextSibling) {
        Node = Node->Parent;
        if (Node == FRoot) return nullptr;
    }
    return Node->NextSibling;
}

PVirtualNode TBaseVirtualTree::GetPrevious(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    PVirtualNode result;
    if (Node->PrevSibling) {
        result = GetLast(Node->PrevSibling);
        if (!result) result = Node->PrevSibling;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetPreviousNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    if (Node->PrevSibling) {
        PVirtualNode result = GetLastNoInit(Node->PrevSibling);
        return result ? result : Node->PrevSibling;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PVirtualNode TBaseVirtualTree::GetNextSibling(PVirtualNode Node) {
    PVirtualNode result = (Node && Node != FRoot) ? Node->NextSibling : nullptr;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetPreviousSibling(PVirtualNode Node) {
    PVirtualNode result = (Node && Node != FRoot) ? Node->PrevSibling : nullptr;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNextVisibleSibling(PVirtualNode Node) {
    return VisibleSibling(Node, FRoot, true, [this](PVirtualNode N) { EnsureInitialized(N); });
}

PVirtualNode TBaseVirtualTree::GetNextVisibleSiblingNoInit(PVirtualNode Node) const {
    return VisibleSibling(Node, FRoot, true, [](PVirtualNode) {});
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleSibling(PVirtualNode Node) {
    return VisibleSibling(Node, FRoot, false, [this](PVirtualNode N) { EnsureInitialized(N); });
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleSiblingNoInit(PVirtualNode Node) const {
    return VisibleSibling(Node, FRoot, false, [](PVirtualNode) {});
}

PVirtualNode TBaseVirtualTree::GetVisibleParent(PVirtualNode Node) const {
    PVirtualNode result = Node ? Node : FRoot;
    while (result != FRoot) {
        // Climb to the nearest expanded ancestor.
        do {
            result = result->Parent;
        } while (result != FRoot && !result->States.Contains(vsExpanded));
        if (result == FRoot || IsFullyVisible(result)) break;
        while (result != FRoot && result->Parent->States.Contains(vsExpanded))
            result = result->Parent;
    }
    return result;
}

PVirtualNode TBaseVirtualTree::NextAfterSubtree(PVirtualNode Node) const {
    while (Node != FRoot) {
        if (Node->NextSibling) return Node->NextSibling;
        Node = Node->Parent;
    }
    return nullptr;
}

PVirtualNode TBaseVirtualTree::HiddenSubtreeTop(PVirtualNode Node) const {
    // The child, on Node's path, of its deepest ancestor that is fully visible and expanded:
    // nothing in that child's subtree after it can be visible.
    PVirtualNode run = Node;
    while (run->Parent != FRoot) {
        PVirtualNode parent = run->Parent;
        if (parent->States.Contains(vsExpanded) && IsFullyVisible(parent)) break;
        run = parent;
    }
    return run;
}

PVirtualNode TBaseVirtualTree::GetNextVisible(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    PVirtualNode run = Node;
    if (IsFullyVisible(Node)) {
        if (Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren) &&
            Node->ChildCount == 0)
            InitChildren(Node);
        if (Node->States.Contains(vsExpanded) && Node->FirstChild) {
            run = Node->FirstChild;
            EnsureInitialized(run);
            if (run->States.Contains(vsVisible)) return run;
        }
    } else {
        run = HiddenSubtreeTop(Node);
    }
    while (true) {
        while (!run->NextSibling) {
            run = run->Parent;
            if (run == FRoot) return nullptr;
        }
        run = run->NextSibling;
        EnsureInitialized(run);
        if (run->States.Contains(vsVisible)) return run;
    }
}

PVirtualNode TBaseVirtualTree::GetNextVisibleNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    PVirtualNode run = Node;
    if (IsFullyVisible(Node)) {
        if (Node->States.Contains(vsExpanded) && Node->FirstChild) {
            run = Node->FirstChild;
            if (run->States.Contains(vsVisible)) return run;
        }
    } else {
        run = HiddenSubtreeTop(Node);
    }
    while (true) {
        while (!run->NextSibling) {
            run = run->Parent;
            if (run == FRoot) return nullptr;
        }
        run = run->NextSibling;
        if (run->States.Contains(vsVisible)) return run;
    }
}

PVirtualNode TBaseVirtualTree::GetPreviousVisible(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    if (!IsFullyVisible(Node)) {
        Node = HiddenSubtreeTop(Node);
        // A collapsed but visible top row is itself the row before everything hidden in it.
        if (Node->States.Contains(vsVisible)) return Node;
    }
    PVirtualNode sibling = GetPreviousVisibleSibling(Node);
    PVirtualNode result;
    if (sibling) {
        result = GetLastVisible(sibling);
        if (!result) result = sibling;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    if (!IsFullyVisible(Node)) {
        Node = HiddenSubtreeTop(Node);
        if (Node->States.Contains(vsVisible)) return Node;
    }
    PVirtualNode sibling = GetPreviousVisibleSiblingNoInit(Node);
    if (sibling) {
        PVirtualNode result = GetLastVisibleNoInit(sibling);
        return result ? result : sibling;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

// ---- Queries -----------------------------------------------------------------------

uint32_t TBaseVirtualTree::GetNodeLevel(PVirtualNode Node) const {
    uint32_t level = 0;
    if (!Node || Node == FRoot) return 0;
    for (PVirtualNode run = Node->Parent; run != FRoot; run = run->Parent)
        ++level;
    return level;
}

bool TBaseVirtualTree::HasAsParent(PVirtualNode Node, PVirtualNode PotentialParent) const {
    if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
    for (PVirtualNode run = Node->Parent;; run = run->Parent) {
        if (run == PotentialParent) return true;
        if (run == FRoot) return false;
    }
}

int TBaseVirtualTree::CompareNodePositions(PVirtualNode Node1, PVirtualNode Node2) const {
    // Nil stands for the root, which comes before every node.
    if (!Node1) Node1 = FRoot;
    if (!Node2) Node2 = FRoot;
    if (Node1 == Node2) return 0;
    if (HasAsParent(Node1, Node2)) return 1;
    if (HasAsParent(Node2, Node1)) return -1;
    uint32_t level1 = GetNodeLevel(Node1), level2 = GetNodeLevel(Node2);
    for (; level1 > level2; --level1)
        Node1 = Node1->Parent;
    for (; level2 > level1; --level2)
        Node2 = Node2->Parent;
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    return int(int64_t(Node1->Index) - int64_t(Node2->Index));
}

bool TBaseVirtualTree::IsMouseSelecting() const {
    return FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting);
}

bool TBaseVirtualTree::IsNodeVisible(PVirtualNode Node) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    return Node->States.Contains(vsVisible);
}

PVirtualNode TBaseVirtualTree::GetTopNode() {
    int top;
    return GetNodeAt(0, 0, true, top);
}

PVirtualNode TBaseVirtualTree::GetNodeAt(int X, int Y) {
    int top;
    return GetNodeAt(X, Y, true, top);
}

PVirtualNode TBaseVirtualTree::GetNodeAt(int X, int Y, bool Relative, int& NodeTop) {
    (void)X;
    int64_t top;
    PVirtualNode result = NodeAtAbsolute(Relative ? int64_t(Y) - FOffsetY : int64_t(Y), top);
    if (result) NodeTop = int(top + (Relative ? FOffsetY : 0));
    return result;
}

PVirtualNode TBaseVirtualTree::NodeAtAbsolute(int64_t Y, int64_t& NodeTop) {
    int64_t y = std::max<int64_t>(Y, 0);
    PVirtualNode node;
    int64_t top;
    auto startFromCache = [&] {
        uint64_t cachedTop;
        node = CacheEntryForPosition(uint64_t(y), cachedTop);
        top = int64_t(cachedTop);
    };
    // Entries that stop short of Y are built on from the last; none at all
    // only once the walk from the top passes one entry's reach.
    bool mayBuild = !CacheReaches(uint64_t(y), nullptr, FStates.Contains(tsUseCache));
    if (mayBuild) {
        node = GetFirstVisibleNoInit();
        top = 0;
    } else {
        startFromCache();
    }
    // Only measured heights need the getter; the walk passes many rows.
    const bool measure = FOptions->MiscOptions().Contains(toVariableNodeHeight);
    uint32_t steps = 0;
    while (node) {
        if (mayBuild && ++steps > CacheThreshold) {
            mayBuild = false;
            if (CacheReaches(uint64_t(y), nullptr, true)) {
                startFromCache();
                continue;
            }
        }
        if (node->States.Contains(vsVisible)) {
            int64_t height = measure ? GetNodeHeight(node) : node->NodeHeight;
            if (y < top + int64_t(node->TotalHeight)) {
                if (y < top + height || !node->FirstChild || !node->States.Contains(vsExpanded)) {
                    NodeTop = top;
                    return node;
                }
                top += height;
                node = node->FirstChild;
                continue;
            }
            top += node->TotalHeight;
        }
        while (node && !node->NextSibling) {
            node = node->Parent;
            if (node == FRoot) node = nullptr;
        }
        if (node) node = node->NextSibling;
    }
    return nullptr;
}

TNodeArray TBaseVirtualTree::GetSortedSelection(bool Resolve) {
    TNodeArray result;
    result.reserve(size_t(FSelectionCount));
    for (int i = 0; i < FSelectionCount; ++i)
        if (!IsMarked(FSelection[size_t(i)])) result.push_back(FSelection[size_t(i)]);
    std::sort(result.begin(), result.end(),
              [&](PVirtualNode a, PVirtualNode b) { return CompareNodePositions(a, b) < 0; });
    if (Resolve && !result.empty()) {
        // In tree order a node's topmost selected ancestor is the last node kept before it.
        size_t kept = 0;
        for (size_t i = 0; i < result.size(); ++i)
            if (kept == 0 || !HasAsParent(result[i], result[kept - 1])) result[kept++] = result[i];
        result.resize(kept);
    }
    return result;
}

TNodeArray TBaseVirtualTree::GetSortedCutCopySet(bool Resolve) {
    TNodeArray result;
    PVirtualNode run = GetFirstNoInit();
    while (run) {
        if (run->States.Contains(vsCutCopyMarked)) {
            result.push_back(run);
            if (Resolve) {
                run = NextAfterSubtree(run);
                continue;
            }
        }
        run = GetNextNoInit(run);
    }
    return result;
}
