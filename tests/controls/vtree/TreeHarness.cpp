// The shared helpers of the tree tests.
#include "TreeHarness.h"

#include <algorithm>

#include <gtest/gtest.h>

std::string CheckInvariants(TTestTree& Tree, bool DenseIndexes) {
    return CheckTreeInvariants(Tree, DenseIndexes);
}

PVirtualNode At(TTestTree& Tree, std::initializer_list<int> Path) {
    PVirtualNode node = Tree.RootNode();
    for (int index : Path) {
        PVirtualNode child = node->FirstChild;
        for (int i = 0; child && i < index; ++i)
            child = child->NextSibling;
        if (!child) return nullptr;
        node = child;
    }
    return node;
}

std::string PathOf(TTestTree& Tree, PVirtualNode Node) {
    return NodePath(Tree, Node);
}

void RunScript(TTestTree& Tree, const std::vector<TStep>& Steps) {
    for (const TStep& step : Steps) {
        SCOPED_TRACE(step.Name);
        step.Do(Tree);
        EXPECT_EQ("", CheckInvariants(Tree, step.DenseIndexes)) << "after " << step.Name;
        // The model works on its nodes alone: no step may make a window.
        EXPECT_FALSE(static_cast<const TWinControl&>(Tree).HandleAllocated()) << "after " << step.Name;
        if (step.Expect) step.Expect(Tree);
    }
}

void TEventLog::Attach(TTestTree& Tree) {
    auto name = [&Tree](PVirtualNode n) {
        return n ? PathOf(static_cast<TTestTree&>(Tree), n) : std::string("nil");
    };
    Tree.OnInitNode = [this, name](TBaseVirtualTree*, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates&) {
        Lines.push_back("init " + name(n));
    };
    Tree.OnFreeNode = [this](TBaseVirtualTree*, PVirtualNode) { Lines.push_back("free"); };
    Tree.OnChange = [this, name](TBaseVirtualTree*, PVirtualNode n) { Lines.push_back("change " + name(n)); };
    Tree.OnStructureChange = [this, name](TBaseVirtualTree*, PVirtualNode n, TChangeReason r) {
        Lines.push_back("structure " + name(n) + " " + std::to_string(int(r)));
    };
    Tree.OnUpdating = [this](TBaseVirtualTree*, TVTUpdateState s) {
        Lines.push_back("updating " + std::to_string(int(s)));
    };
    Tree.OnExpanded = [this, name](TBaseVirtualTree*, PVirtualNode n) {
        Lines.push_back("expanded " + name(n));
    };
    Tree.OnCollapsed = [this, name](TBaseVirtualTree*, PVirtualNode n) {
        Lines.push_back("collapsed " + name(n));
    };
    Tree.OnExpanding = [this, name](TBaseVirtualTree*, PVirtualNode n, bool&) {
        Lines.push_back("expanding " + name(n));
    };
    Tree.OnFocusChanged = [this, name](TBaseVirtualTree*, PVirtualNode n, TColumnIndex) {
        Lines.push_back("focus " + name(n));
    };
}

int TEventLog::Count(const std::string& Prefix) const {
    return int(std::count_if(Lines.begin(), Lines.end(),
                             [&](const std::string& l) { return l.compare(0, Prefix.size(), Prefix) == 0; }));
}
