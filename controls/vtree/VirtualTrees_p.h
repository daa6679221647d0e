// What the sources of the tree share: the window-less view, the removal mark
// of node arrays, the limits of the node record and the debug self-check.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesCheck.h"

// The view over the control's own window (VirtualTreesWindow.cpp).
std::unique_ptr<IVTView> CreateTreeWindowView(TBaseVirtualTree* Tree);

namespace VTPrivate {

// The view of a tree without a window: everything is a no-op.
inline IVTView NoView;

// Node arrays mark an entry for removal in the lowest address bit, which node
// blocks never use.
constexpr uintptr_t RemovalMark = 1;

inline uintptr_t Addr(PVirtualNode Node) {
    return reinterpret_cast<uintptr_t>(Node);
}
inline bool IsMarked(PVirtualNode Node) {
    return (Addr(Node) & RemovalMark) != 0;
}
inline PVirtualNode Marked(PVirtualNode Node) {
    return reinterpret_cast<PVirtualNode>(Addr(Node) | RemovalMark);
}

// A check state's normal form (a box not held down) and its pressed form.
TCheckState CheckNormalForm(TCheckState State);
TCheckState CheckPressedForm(TCheckState State);

// The record keeps a node's height in 16 bits.
constexpr uint32_t MaxNodeHeight = UINT16_MAX;

// Debug builds check the whole structure after operations that walk all of it
// anyway; the check then costs no more than the operation.
inline void AssertSound([[maybe_unused]] const TBaseVirtualTree& Tree) {
#ifndef NDEBUG
    // Indexes may have gaps: deleting without reindexing leaves them.
    AnsiString fault = CheckTreeInvariants(Tree, false);
    if (!fault.empty()) {
        std::fprintf(stderr, "virtual tree broken: %s\n", fault.c_str());
        std::abort();
    }
#endif
}

} // namespace VTPrivate
