// The shared helpers of the tree tests.
#include "TreeHarness.h"

#include <algorithm>

#include <gtest/gtest.h>

std::string CheckInvariants(TBaseVirtualTree& Tree, bool DenseIndexes) {
    return CheckTreeInvariants(Tree, DenseIndexes);
}

PVirtualNode At(TBaseVirtualTree& Tree, std::initializer_list<int> Path) {
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

void TTestView::Advance(TBaseVirtualTree& Tree, uint64_t Milliseconds) {
    const uint64_t target = Now + Milliseconds;
    while (true) {
        auto next = FTimers.end();
        for (auto it = FTimers.begin(); it != FTimers.end(); ++it)
            if (it->second.Due <= target && (next == FTimers.end() || it->second.Due < next->second.Due))
                next = it;
        if (next == FTimers.end()) break;
        Now = next->second.Due;
        next->second.Due = Now + std::max(1u, next->second.Interval);
        Tree.WMTimer(next->first);
    }
    Now = target;
}

TCustomImageList* FakeImages() {
    static int token;
    return reinterpret_cast<TCustomImageList*>(&token);
}

std::function<WideString(PVirtualNode, TColumnIndex)> TextsByPath(TTestTree& Tree,
                                                                  std::map<std::string, std::string> Texts) {
    return [&Tree, Texts](PVirtualNode Node, TColumnIndex Column) {
        std::string key = PathOf(Tree, Node);
        if (Column > 0) key += "/" + std::to_string(Column);
        auto it = Texts.find(key);
        return it == Texts.end() ? WideString() : Utf8ToWide(it->second);
    };
}

void SearchByPrefix(TTestTree& Tree) {
    Tree.OnIncrementalSearch = [&Tree](TBaseVirtualTree*, PVirtualNode Node, const WideString& Text,
                                       int& Result) {
        WideString cell = Tree.TextOf ? Tree.TextOf(Node, 0) : WideString();
        auto lower = [](WideString S) {
            for (char16_t& c : S)
                if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
            return S;
        };
        Result = lower(cell).compare(0, Text.size(), lower(Text)) == 0 ? 0 : 1;
    };
}

void AddColumns(TTestTree& Tree, int Count, int Width) {
    for (int i = 0; i < Count; ++i)
        Tree.Header()->Columns()->Add()->SetWidth(Width);
}
