// The tree's node records alone as a testee of the model benchmark: each row
// is a node record with the row's data behind it, in one array the testee
// keeps for the next rows, linked and initialised in two passes as the tree
// makes and initialises its nodes, with none of the tree's own work around
// them. The tree's time beyond this is the tree's own; this one's beyond the
// item model holding the same 8-bit text is the record's.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "ModelTestees.h"
#include "controls/vtree/VirtualTrees.h"
#include "platform/rtl/LargePages.h"

namespace {

constexpr uint16_t RowHeight = 18;
constexpr uint8_t RowAlign = 50;

std::string AnsiText(uint32_t Id) {
    char buffer[16];
    return std::string(buffer, RowText(Id, buffer));
}

template <class TData> class TRecordsTestee : public ITestee {
public:
    TRecordsTestee() { ResetRoot(); }
    ~TRecordsTestee() override {
        Clear();
        std::free(FSlots);
    }
    TRecordsTestee(const TRecordsTestee&) = delete;
    TRecordsTestee& operator=(const TRecordsTestee&) = delete;

    void Create(const TShape& Shape) override {
        Reserve(Shape.Rows());
        // The top rows first; each is then initialised and its children made
        // and initialised, the order in which the tree validates its nodes.
        AddChildren(&FRoot, Shape.Parents);
        for (PVirtualNode p = FRoot.FirstChild; p; p = p->NextSibling) {
            Initialise(p);
            if (Shape.Children == 0) continue;
            p->States.Include(vsHasChildren);
            AddChildren(p, Shape.Children);
            for (PVirtualNode c = p->FirstChild; c; c = c->NextSibling)
                Initialise(c);
        }
    }

    uint64_t Walk() override {
        uint64_t sum = 0;
        for (PVirtualNode n = FRoot.FirstChild; n; n = Next(n))
            sum += TextLength(n) + (n->Parent != &FRoot);
        return sum;
    }

    void Sort() override {
        std::vector<PVirtualNode> list;
        SortChildren(&FRoot, list);
        for (PVirtualNode p = FRoot.FirstChild; p; p = p->NextSibling)
            SortChildren(p, list);
    }

    void Clear() override {
        for (size_t i = 0; i < FUsed; ++i)
            if (FSlots[i].Record.States.Contains(vsInitDone)) FSlots[i].Data.~TData();
        FUsed = 0;
        ResetRoot();
    }

    std::string Verify(const TShape& Shape) override {
        auto ordered = [&](PVirtualNode Parent, uint32_t Expected) -> std::string {
            uint32_t count = 0;
            for (PVirtualNode n = Parent->FirstChild; n; n = n->NextSibling, ++count)
                if (n->Index != count || (n->NextSibling && Text(n) > Text(n->NextSibling)))
                    return "rows out of order";
            return count == Expected && Parent->ChildCount == Expected ? "" : "row count";
        };
        std::string fault = ordered(&FRoot, Shape.Parents);
        for (PVirtualNode p = FRoot.FirstChild; fault.empty() && p; p = p->NextSibling)
            fault = ordered(p, Shape.Children);
        return fault;
    }

private:
    // As the tree's slots: the record and the data behind it, aligned for
    // any type when the data's size is a multiple of 16, else to 8 bytes.
    struct alignas(sizeof(TData) % 16 == 0 ? 16 : 8) TSlot {
        TVirtualNode Record;
        TData Data;
    };

    void ResetRoot() {
        std::memset(static_cast<void*>(&FRoot), 0, sizeof(FRoot));
        FRoot.States = {vsInitDone, vsExpanded, vsHasChildren, vsVisible};
        FRoot.TotalCount = 1;
    }

    // Memory for Rows slots, kept from the rows before when it is enough;
    // in large pages when it is large, as the tree's store takes it, so that
    // both pay alike for page faults.
    void Reserve(uint64_t Rows) {
        if (Rows <= FCapacity) return;
        std::free(FSlots);
        const size_t bytes = size_t(Rows) * sizeof(TSlot);
        FSlots = static_cast<TSlot*>(bytes > LargePageBytes / 2 ? AllocateLargePages(bytes)
                                                                : std::aligned_alloc(alignof(TSlot), bytes));
        if (!FSlots) throw std::bad_alloc();
        FCapacity = size_t(Rows);
    }

    // Made as the tree makes a node: cleared, the fields of a new node set,
    // then linked last under Parent.
    void AddChildren(PVirtualNode Parent, uint32_t Count) {
        for (uint32_t i = 0; i < Count; ++i) {
            TSlot* slot = &FSlots[FUsed++];
            std::memset(static_cast<void*>(slot), 0, sizeof(TSlot));
            PVirtualNode node = &slot->Record;
            node->TotalCount = 1;
            node->TotalHeight = RowHeight;
            node->NodeHeight = RowHeight;
            node->States = {vsVisible};
            node->Align = RowAlign;
            node->Index = Parent->ChildCount++;
            node->Parent = Parent;
            node->PrevSibling = Parent->LastChild;
            if (Parent->LastChild)
                Parent->LastChild->NextSibling = node;
            else
                Parent->FirstChild = node;
            Parent->LastChild = node;
        }
        Parent->TotalCount += Count;
    }

    void Initialise(PVirtualNode Node) {
        Node->States.Include(vsInitDone);
        if constexpr (std::is_same_v<TData, std::string>)
            new (&Data(Node)) std::string(AnsiText(FNextId++));
        else
            Data(Node) = FNextId++;
    }

    static TData& Data(PVirtualNode Node) { return reinterpret_cast<TSlot*>(Node)->Data; }
    static size_t TextLength(PVirtualNode Node) {
        if constexpr (std::is_same_v<TData, std::string>)
            return Data(Node).size();
        else
            return AnsiText(Data(Node)).size();
    }
    static std::string Text(PVirtualNode Node) {
        if constexpr (std::is_same_v<TData, std::string>)
            return Data(Node);
        else
            return AnsiText(Data(Node));
    }

    static PVirtualNode Next(PVirtualNode Node) {
        if (Node->FirstChild) return Node->FirstChild;
        while (!Node->NextSibling) {
            Node = Node->Parent;
            if (!Node->Parent) return nullptr;
        }
        return Node->NextSibling;
    }

    // Sorted as the tree sorts a sibling list: the nodes into an array,
    // ordered by text, stable, and linked again in that order.
    static void SortChildren(PVirtualNode Parent, std::vector<PVirtualNode>& List) {
        if (Parent->ChildCount < 2) return;
        List.clear();
        for (PVirtualNode n = Parent->FirstChild; n; n = n->NextSibling)
            List.push_back(n);
        std::stable_sort(List.begin(), List.end(), [](PVirtualNode a, PVirtualNode b) {
            if constexpr (std::is_same_v<TData, std::string>)
                return Data(a) < Data(b);
            else
                return AnsiText(Data(a)) < AnsiText(Data(b));
        });
        PVirtualNode previous = nullptr;
        for (size_t k = 0; k < List.size(); ++k) {
            List[k]->Index = uint32_t(k);
            List[k]->PrevSibling = previous;
            if (previous) previous->NextSibling = List[k];
            previous = List[k];
        }
        previous->NextSibling = nullptr;
        Parent->FirstChild = List.front();
        Parent->LastChild = previous;
    }

    TVirtualNode FRoot;
    TSlot* FSlots = nullptr;
    size_t FCapacity = 0;
    size_t FUsed = 0;
    uint32_t FNextId = 0;
};

} // namespace

std::unique_ptr<ITestee> MakeRecordsTestee(TTextKind Kind) {
    if (Kind == TTextKind::Stored) return std::make_unique<TRecordsTestee<std::string>>();
    return std::make_unique<TRecordsTestee<uint32_t>>();
}
