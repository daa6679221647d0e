// Document data and items for the engine's tests: a top-level document
// that logs item actions, and a box item holding cell documents, the
// smallest tree of sub-documents.
#pragma once

#include <memory>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/style/RVStyle.h"

// A top-level document with an optional style sheet.
class TTestRVData : public TCustomRVData {
public:
    explicit TTestRVData(TRVStyle* AStyle = nullptr) : Style(AStyle) {}
    ~TTestRVData() override { Clear(); }
    TRVStyle* Style;
    uint16_t Flags = 0;
    // "<action> <text>" for every item action.
    std::vector<AnsiString> Actions;
    // Set to make the next item refuse insertion.
    bool RefuseInserting = false;

    TRVStyle* GetRVStyle() const override { return Style; }
    uint16_t GetFlags() const override { return Flags; }
    void SetFlags(uint16_t Value) override { Flags = Value; }
    void DoItemAction(TRVItemAction Action, TCustomRVItemInfo*, AnsiString& Text, TCustomRVData*) override {
        static const char* const names[] = {"inserting", "inserted", "modifying", "destroying", "undo"};
        if (Action == rviaInserting && RefuseInserting) throw Exception("refused");
        Actions.push_back(AnsiString(names[Action]) + " " + Text);
    }
};

// A plain non-text item of any style number (a stand-in for kinds that
// come with later units, such as list markers).
class TTestRectItem : public TRVRectItemInfo {
public:
    using TRVRectItemInfo::TRVRectItemInfo;
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TTestRectItem>(); }
};

inline std::unique_ptr<TTestRectItem> MakeRectItem(int StyleNo, int ParaNo) {
    auto item = std::make_unique<TTestRectItem>(nullptr);
    item->StyleNo = StyleNo;
    item->ParaNo = ParaNo;
    return item;
}

class TTestBoxItem;

// Which cell of a box a location names.
class TTestCellLocation : public TRVStoreSubRVData {
public:
    explicit TTestCellLocation(int AIndex) : Index(AIndex) {}
    int Index;
    std::unique_ptr<TRVStoreSubRVData> Duplicate() const override {
        return std::make_unique<TTestCellLocation>(Index);
    }
    int Compare(const TRVStoreSubRVData& Other) const override {
        return Index - static_cast<const TTestCellLocation&>(Other).Index;
    }
};

// A document inside a box item of Parent.
class TTestCellData : public TCustomRVData {
public:
    TTestCellData(TCustomRVData* AParent, TTestBoxItem* AOwner, int AIndex)
        : Parent(AParent), Owner(AOwner), Index(AIndex) {}
    ~TTestCellData() override { Clear(); }
    TCustomRVData* Parent;
    TTestBoxItem* Owner;
    int Index;

    uint16_t GetFlags() const override { return 0; }
    void SetFlags(uint16_t) override {}
    TCustomRVData* GetParentData() const override { return Parent; }
    TCustomRVData* GetRootData() const override { return Parent->GetRootData(); }
    TCustomRVData* GetOuterParentData() const override { return Parent; }
    TCustomRVData* GetOuterRootData() const override { return Parent->GetOuterRootData(); }
    void GetParentInfo(int& ItemNo, std::unique_ptr<TRVStoreSubRVData>& Location) const override;
};

// An item with Count cell documents (like a one-row table).
class TTestBoxItem : public TRVFullLineItemInfo {
public:
    TTestBoxItem(TCustomRVData* Parent, int Count) : TRVFullLineItemInfo(Parent) {
        StyleNo = rvsTable;
        for (int i = 0; i < Count; ++i)
            Cells.push_back(std::make_unique<TTestCellData>(Parent, this, i));
    }
    explicit TTestBoxItem(TCustomRVData* Parent) : TTestBoxItem(Parent, 0) {}
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TTestBoxItem>(); }
    std::vector<std::unique_ptr<TTestCellData>> Cells;

    bool GetBoolValue(TRVItemBoolQuery Query) const override {
        return Query == iqHasSubDocuments || TRVFullLineItemInfo::GetBoolValue(Query);
    }
    TCustomRVData* GetSubDocument(std::unique_ptr<TRVStoreSubRVData>& Position,
                                  TRVSubDocumentCode Code) override {
        int n = int(Cells.size());
        auto* at = static_cast<TTestCellLocation*>(Position.get());
        int index = -1;
        switch (Code) {
        case rvsdFirst:
            index = n > 0 ? 0 : -1;
            break;
        case rvsdLast:
            index = n - 1;
            break;
        case rvsdNext:
            index = at && at->Index + 1 < n ? at->Index + 1 : -1;
            break;
        case rvsdPrev:
            index = at && at->Index > 0 ? at->Index - 1 : -1;
            break;
        default:
            break;
        }
        if (index < 0) return nullptr;
        Position = std::make_unique<TTestCellLocation>(index);
        return Cells[std::size_t(index)].get();
    }
};

inline void TTestCellData::GetParentInfo(int& ItemNo, std::unique_ptr<TRVStoreSubRVData>& Location) const {
    ItemNo = Parent->GetItemNo(Owner);
    Location = std::make_unique<TTestCellLocation>(Index);
}

// Appends a box of Count cells to Data and answers it.
inline TTestBoxItem& AddBox(TCustomRVData& Data, int Count) {
    auto box = std::make_unique<TTestBoxItem>(&Data, Count);
    TTestBoxItem& result = *box;
    Data.AddItem("", std::move(box));
    return result;
}

// The item strings of Data joined by "|".
inline AnsiString ItemTexts(const TCustomRVData& Data) {
    AnsiString out;
    for (int i = 0; i < Data.ItemCount(); ++i)
        out += (i ? "|" : "") + Data.GetItemText(i);
    return out;
}
