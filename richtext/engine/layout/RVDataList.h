// Documents held and laid out by items, such as the cells of a table: the
// item-formatted document data, which asks its root what only a control
// can answer, and the owning list of such documents that tells them their
// flags and their parent.
#pragma once

#include <memory>
#include <vector>

#include "richtext/engine/layout/CRVFData.h"

class TRVItemFormattedData;

// The owning list of item-formatted documents (the base of a table row).
class TRVDataList : public TObject {
public:
    TRVDataList() = default;
    ~TRVDataList() override;

    // Trim spaces at wrap points, mouse positions not clamped, text styles
    // may use a resolution of their own; never a top-level document.
    uint16_t Flags = rvflTrim | rvflMouseXYAlwaysCorrect | rvflCanUseCustomPPI;

    // The document that holds the item owning these documents; nil here.
    virtual TCustomRVData* GetParentData() const { return nullptr; }

    int Count() const { return int(FItems.size()); }
    TRVItemFormattedData* Get(int Index) const;
    TRVItemFormattedData* operator[](int Index) const { return Get(Index); }
    int Add(std::unique_ptr<TRVItemFormattedData> Data);
    void Insert(int Index, std::unique_ptr<TRVItemFormattedData> Data);
    void Delete(int Index);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TRVItemFormattedData>> FItems;
};

// A document laid out by its item: no window, no margins, no scrolling and
// no events of its own; its geometry answers are zero, its flags are its
// list's, and it asks its root to show a rectangle.
class TRVItemFormattedData : public TCustomRVFormattedData {
public:
    explicit TRVItemFormattedData(TRVDataList* AList) : List(AList) {}
    ~TRVItemFormattedData() override { Clear(); }

    // The list that owns this document (not owned).
    TRVDataList* List;

    uint16_t GetFlags() const override { return List->Flags; }
    // The flags belong to the owning list: raises EZoroZudoError.
    void SetFlags(uint16_t Value) override;
    TCustomRVData* GetParentData() const override { return List->GetParentData(); }
    TCustomRVData* GetOuterParentData() const override { return List->GetParentData(); }
    // Without a parent the document is its own root.
    TCustomRVData* GetRootData() const override;
    TCustomRVData* GetOuterRootData() const override;

    int GetAreaWidth() const override { return 0; }
    int GetAreaHeight() const override { return 0; }
    int GetLeftMargin() const override { return 0; }
    int GetRightMargin() const override { return 0; }
    int GetTopMargin() const override { return 0; }
    int GetBottomMargin() const override { return 0; }
    int GetMinTextWidth() const override { return 0; }
    int GetMaxTextWidth() const override { return 0; }
    int GetVSmallStep() const override { return 0; }
    TRVBackground* GetBackground() const override { return nullptr; }
    void SetDocumentAreaSize(int, int, bool) override {}
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    // The width the item gives its document when it lays it out.
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return 0; }
    void SetWidth(int Value) { FWidth = Value; }
    void DoURLNeeded(int Id, AnsiString& URL) override;
    // All items are visible: the item shows its document whole.
    int GetFirstVisibleItem() const override { return 0; }
    int GetLastVisibleItem() const override { return ItemCount() - 1; }
    // The root scrolls the rectangle (moved by this document's origin)
    // into view when it is formatted data.
    void ShowRectangle(int Left, int Top, int Width, int Height) override;

private:
    int FWidth = 0;
};
