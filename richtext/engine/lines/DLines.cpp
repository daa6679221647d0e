// Drawing items, the drawing-item list with its pending-deletion gap, and
// the parts list of split items. The text of a piece is read beside the
// document's item list (document/RVDrawItemText.cpp).
#include "richtext/engine/lines/DLines.h"

#include <algorithm>

#include "richtext/engine/text/RVErrors.h"

// ---------------------------------------------------------------- drawing item

TRVDrawLineInfo::TRVDrawLineInfo(int ALeft, int ATop, int AWidth, int AHeight, int AItemNo,
                                 bool AFromNewLine) {
    SetData(ALeft, ATop, AItemNo, AFromNewLine);
    SetSize(AWidth, AHeight);
}

void TRVDrawLineInfo::SetData(int ALeft, int ATop, int AItemNo, bool AFromNewLine) {
    Left = ALeft;
    Top = ATop;
    ItemNo = AItemNo;
    FromNewLine = AFromNewLine ? 255 : 0;
}

void TRVDrawLineInfo::SetSize(int AWidth, int AHeight) {
    Width = AWidth;
    Height = AHeight;
}

bool TRVDrawLineInfo::InitSplit(const TRVScreenDeviceResolution&) {
    return false;
}

bool TRVDrawLineInfo::CanSplitFirst(int, const TRVScreenDeviceResolution&, bool, bool, bool) {
    return false;
}

bool TRVDrawLineInfo::SplitAt(int, const TRVScreenDeviceResolution&, bool, TRVFootnoteRefList*&, int&, bool) {
    return false;
}

// ---------------------------------------------------------------- the list

TRVDrawLines::~TRVDrawLines() {
    Clear();
}

void TRVDrawLines::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
}

TRVDrawLineInfo* TRVDrawLines::GetItem(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)];
}

void TRVDrawLines::SetItem(int Index, TRVDrawLineInfo* Item) {
    CheckIndex(Index);
    FItems[std::size_t(Index)] = Item;
}

void TRVDrawLines::Add(std::unique_ptr<TRVDrawLineInfo> Item) {
    FItems.push_back(Item.get());
    Item.release();
}

void TRVDrawLines::Insert(int Index, std::unique_ptr<TRVDrawLineInfo> Item) {
    if (PendingDeleteCount > 0 && Index == PendingDeleteStart) {
        FItems[std::size_t(Index)] = Item.release();
        ++PendingDeleteStart;
        --PendingDeleteCount;
        return;
    }
    if (Index != Count()) CheckIndex(Index);
    FItems.insert(FItems.begin() + Index, Item.get());
    Item.release();
    // An insert before the gap moves it along.
    if (PendingDeleteCount > 0 && Index < PendingDeleteStart) ++PendingDeleteStart;
}

void TRVDrawLines::Delete(int Index) {
    CheckIndex(Index);
    if (InGap(Index)) return;
    delete FItems[std::size_t(Index)];
    FItems[std::size_t(Index)] = nullptr;
    if (PendingDeleteCount > 0 && Index == PendingDeleteStart - 1) {
        --PendingDeleteStart;
        ++PendingDeleteCount;
        return;
    }
    FItems.erase(FItems.begin() + Index);
    if (PendingDeleteCount > 0 && Index < PendingDeleteStart) --PendingDeleteStart;
}

void TRVDrawLines::MarkForDeletion(int First, int Last) {
    // Whatever is left of an earlier gap goes first.
    ApplyPendingDeletion();
    if (Last < First) {
        PendingDeleteStart = First;
        PendingDeleteCount = 0;
        return;
    }
    CheckIndex(First);
    CheckIndex(Last);
    for (int i = First; i <= Last; ++i) {
        delete FItems[std::size_t(i)];
        FItems[std::size_t(i)] = nullptr;
    }
    PendingDeleteStart = First;
    PendingDeleteCount = Last - First + 1;
}

void TRVDrawLines::ApplyPendingDeletion() {
    if (PendingDeleteCount == 0) return;
    auto first = FItems.begin() + PendingDeleteStart;
    FItems.erase(first, first + PendingDeleteCount);
    PendingDeleteCount = 0;
}

void TRVDrawLines::Clear() {
    for (TRVDrawLineInfo* item : FItems)
        delete item;
    FItems.clear();
    PendingDeleteStart = -1;
    PendingDeleteCount = 0;
}

// ---------------------------------------------------------------- parts

void TRVMultiDrawItemPartsList::Delete(int Index) {
    GetItem(Index);
    FParts.erase(FParts.begin() + Index);
}

void TRVMultiDrawItemPartsList::Replace(int Index, std::unique_ptr<TRVMultiDrawItemPart> Part) {
    GetItem(Index);
    FParts[std::size_t(Index)] = std::move(Part);
}

void TRVMultiDrawItemInfo::ClearParts(TRVFootnoteRefList*&, int&, bool) {
    PartsList.Clear();
}

TRVMultiDrawItemPart* TRVMultiDrawItemPartsList::GetItem(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FParts[std::size_t(Index)].get();
}
