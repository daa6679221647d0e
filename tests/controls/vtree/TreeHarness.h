// Shared by the tree tests: a tree that opens its protected parts, the
// library's invariant checker after scripted steps, an event log and a
// path-based node finder.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesCheck.h"

struct TNodeRecord {
    int Key;
    int Tag;
};

class TTestTree : public TBaseVirtualTree {
public:
    TTestTree() : TBaseVirtualTree(nullptr) {}

    using TBaseVirtualTree::AddNodesToSelection;
    using TBaseVirtualTree::AllocateInternalDataArea;
    using TBaseVirtualTree::CacheEntryForNode;
    using TBaseVirtualTree::CacheEntryForPosition;
    using TBaseVirtualTree::Change;
    using TBaseVirtualTree::DoStateChange;
    using TBaseVirtualTree::EnsurePositionCache;
    using TBaseVirtualTree::FCheckNode;
    using TBaseVirtualTree::FCurrentHotNode;
    using TBaseVirtualTree::FDropTargetNode;
    using TBaseVirtualTree::FEditNode;
    using TBaseVirtualTree::FFocusedNode;
    using TBaseVirtualTree::FindNodeInSelection;
    using TBaseVirtualTree::FLastChangedNode;
    using TBaseVirtualTree::FLastDropTarget;
    using TBaseVirtualTree::FLastSearchNode;
    using TBaseVirtualTree::FLastStructureChangeNode;
    using TBaseVirtualTree::FPositionCache;
    using TBaseVirtualTree::FRangeAnchor;
    using TBaseVirtualTree::FSelection;
    using TBaseVirtualTree::FSelectionCount;
    using TBaseVirtualTree::InternalAddToSelection;
    using TBaseVirtualTree::InternalConnectNode;
    using TBaseVirtualTree::InternalRemoveFromSelection;
    using TBaseVirtualTree::IsFullyVisible;
    using TBaseVirtualTree::PackSelection;
    using TBaseVirtualTree::StructureChange;

    // Links a new node that starts invisible, as a loaded stream may.
    PVirtualNode AddInvisible(PVirtualNode Destination, TVTNodeAttachMode Mode) {
        PVirtualNode node = AllocateNode();
        node->States.Exclude(vsVisible);
        InternalConnectNode(node, Destination ? Destination : RootNode(), Mode, this);
        return node;
    }
    void SetLoading(bool On) { SetComponentState(csLoading, On); }

    // False: every position query walks the nodes.
    bool CacheEnabled = true;
    int CacheBuilds = 0;

protected:
    bool DoValidateCache() override {
        if (!CacheEnabled) return false;
        ++CacheBuilds;
        return TBaseVirtualTree::DoValidateCache();
    }
};

// The library's checker (CheckTreeInvariants): empty when the tree is sound.
std::string CheckInvariants(TTestTree& Tree, bool DenseIndexes = true);

// The node reached by child positions from the root, without initialising.
PVirtualNode At(TTestTree& Tree, std::initializer_list<int> Path);

// Node's path as "0.2.1".
std::string PathOf(TTestTree& Tree, PVirtualNode Node);

// One step of a scripted table: the checker runs after each.
struct TStep {
    std::string Name;
    std::function<void(TTestTree&)> Do;
    std::function<void(TTestTree&)> Expect = nullptr;
    bool DenseIndexes = true;
};
void RunScript(TTestTree& Tree, const std::vector<TStep>& Steps);

// Collects events as text lines.
struct TEventLog {
    std::vector<std::string> Lines;
    void Attach(TTestTree& Tree);
    int Count(const std::string& Prefix) const;
};
