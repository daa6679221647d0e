// The tree's invariant checker: every count, link, flag, the selection array,
// the position cache, the columns' positions and edges, the scroll offsets
// and the check states, recomputed and compared.
#pragma once

#include "controls/vtree/VirtualTrees.h"

// Describes the first broken invariants of Tree (a few at most, separated by
// "; "), or returns empty when the tree is sound. With DenseIndexes false a
// node's Index need only grow along its siblings, as after a deletion without
// reindexing. Walks every node once and initialises none.
AnsiString CheckTreeInvariants(const TBaseVirtualTree& Tree, bool DenseIndexes = true);

// Node's path of child positions from the root, as "0.2.1"; empty for the root
// or nil.
AnsiString NodePath(const TBaseVirtualTree& Tree, PVirtualNode Node);
