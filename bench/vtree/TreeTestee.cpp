// The virtual tree as a testee of the model benchmark: each node's data is its
// text (an 8-bit string the owner builds and frees) or the number its text is
// made from whenever the owner needs it.
#include <new>
#include <string>

#include "ModelTestees.h"
#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesCheck.h"

namespace {

AnsiString AnsiText(uint32_t Id) {
    char buffer[16];
    return AnsiString(buffer, RowText(Id, buffer));
}

int Sign(int Value) {
    return (Value > 0) - (Value < 0);
}

class TTextTree : public TBaseVirtualTree {
public:
    explicit TTextTree(TTextKind Kind) : TBaseVirtualTree(nullptr), FKind(Kind) {
        bool stored = Kind == TTextKind::Stored;
        SetNodeDataSize(stored ? int(sizeof(AnsiString)) : int(sizeof(uint32_t)));
        OnInitNode = [this, stored](TBaseVirtualTree*, PVirtualNode Parent, PVirtualNode Node,
                                    TVirtualNodeInitStates& States) {
            if (stored)
                new (GetNodeData(Node)) AnsiString(AnsiText(FNextId++));
            else
                *GetNodeData<uint32_t>(Node) = FNextId++;
            if (!Parent && FChildren > 0) States.Include(ivsHasChildren);
        };
        OnInitChildren = [this](TBaseVirtualTree*, PVirtualNode, uint32_t& Count) { Count = FChildren; };
        if (stored) {
            OnFreeNode = [](TBaseVirtualTree* Tree, PVirtualNode Node) {
                Tree->GetNodeData<AnsiString>(Node)->~AnsiString();
            };
            OnCompareNodes = [](TBaseVirtualTree* Tree, PVirtualNode A, PVirtualNode B, TColumnIndex,
                                int& Result) {
                Result = Sign(Tree->GetNodeData<AnsiString>(A)->compare(*Tree->GetNodeData<AnsiString>(B)));
            };
        } else {
            OnCompareNodes = [](TBaseVirtualTree* Tree, PVirtualNode A, PVirtualNode B, TColumnIndex,
                                int& Result) {
                AnsiString a = AnsiText(*Tree->GetNodeData<uint32_t>(A));
                AnsiString b = AnsiText(*Tree->GetNodeData<uint32_t>(B));
                Result = Sign(a.compare(b));
            };
        }
    }

    void Fill(const TShape& Shape) {
        FChildren = Shape.Children;
        SetRootNodeCount(Shape.Parents);
        ValidateNode(nullptr, true);
    }

    size_t TextLength(PVirtualNode Node) {
        if (FKind == TTextKind::Stored) return GetNodeData<AnsiString>(Node)->size();
        return AnsiText(*GetNodeData<uint32_t>(Node)).size();
    }
    AnsiString Text(PVirtualNode Node) {
        if (FKind == TTextKind::Stored) return *GetNodeData<AnsiString>(Node);
        return AnsiText(*GetNodeData<uint32_t>(Node));
    }

private:
    TTextKind FKind;
    uint32_t FChildren = 0;
    uint32_t FNextId = 0;
};

class TTreeTestee : public ITestee {
public:
    explicit TTreeTestee(TTextKind Kind) : FTree(Kind) {}
    void Create(const TShape& Shape) override { FTree.Fill(Shape); }
    uint64_t Walk() override {
        uint64_t sum = 0;
        for (PVirtualNode n = FTree.GetFirst(); n; n = FTree.GetNext(n))
            sum += FTree.TextLength(n) + (n->Parent != FTree.RootNode());
        return sum;
    }
    void Sort() override { FTree.SortTree(0, sdAscending, true); }
    void Clear() override { FTree.Clear(); }
    std::string Verify(const TShape& Shape) override {
        std::string fault = CheckTreeInvariants(FTree);
        if (!fault.empty()) return fault;
        auto ordered = [&](PVirtualNode Parent, uint32_t Expected) -> std::string {
            if (Parent->ChildCount != Expected) return "row count";
            for (PVirtualNode n = Parent->FirstChild; n && n->NextSibling; n = n->NextSibling)
                if (FTree.Text(n) > FTree.Text(n->NextSibling)) return "rows out of order";
            return "";
        };
        fault = ordered(FTree.RootNode(), Shape.Parents);
        for (PVirtualNode p = FTree.GetFirstNoInit(); fault.empty() && p; p = p->NextSibling)
            fault = ordered(p, Shape.Children);
        return fault;
    }

private:
    TTextTree FTree;
};

} // namespace

std::unique_ptr<ITestee> MakeTreeTestee(TTextKind Kind) {
    return std::make_unique<TTreeTestee>(Kind);
}
