// Operations on a document's structure: paragraph and line ranges,
// character steps in Unicode text, moving all items of one document into
// another, joining neighbouring text items, searching items across
// sub-documents and comparing two positions of a document tree.
#include <unicode/uchar.h>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// Calls Proc for every sub-document of Item, first to last, until it
// answers false; answers whether it went through all of them.
template <class F> bool ForEachSubDocument(TCustomRVItemInfo& Item, F Proc) {
    std::unique_ptr<TRVStoreSubRVData> position;
    for (TCustomRVData* sub = Item.GetSubDocument(position, rvsdFirst); sub;
         sub = Item.GetSubDocument(position, rvsdNext))
        if (!Proc(*sub)) return false;
    return true;
}

// The same from the sub-document before Position (or from the last one when
// Position is nil) back to the first.
template <class F>
bool ForEachSubDocumentBackwards(TCustomRVItemInfo& Item, std::unique_ptr<TRVStoreSubRVData> Position,
                                 F Proc) {
    TCustomRVData* sub =
        Position ? Item.GetSubDocument(Position, rvsdPrev) : Item.GetSubDocument(Position, rvsdLast);
    for (; sub; sub = Item.GetSubDocument(Position, rvsdPrev))
        if (!Proc(*sub)) return false;
    return true;
}

char16_t UnitAt(const AnsiString& Raw, int Offs) {
    std::size_t i = std::size_t(Offs - 1) * 2;
    return char16_t(uint8_t(Raw[i]) | uint8_t(Raw[i + 1]) << 8);
}

bool IsCombiningMark(char16_t Ch) {
    return U_GET_GC_MASK(Ch) & (U_GC_MN_MASK | U_GC_MC_MASK | U_GC_ME_MASK);
}

// The last item of the class in Data from ItemNo back to 0, looking into
// sub-documents from their ends.
TCustomRVItemInfo* FindPrevInData(const TCustomRVData& Data, int ItemNo, const TRVItemPredicate& IsOfClass) {
    for (int i = ItemNo; i >= 0; --i) {
        TCustomRVItemInfo* item = &Data.LiveItem(i);
        if (IsOfClass(*item)) return item;
        TCustomRVItemInfo* found = nullptr;
        ForEachSubDocumentBackwards(*item, nullptr, [&](TCustomRVData& Sub) {
            found = FindPrevInData(Sub, Sub.ItemCount() - 1, IsOfClass);
            return !found;
        });
        if (found) return found;
    }
    return nullptr;
}

bool HoldsItem(TCustomRVItemInfo& Container, const TCustomRVItemInfo* Item) {
    return !ForEachSubDocument(Container, [&](TCustomRVData& Sub) {
        for (int i = 0; i < Sub.ItemCount(); ++i)
            if (Sub.GetItem(i) == Item || HoldsItem(Sub.LiveItem(i), Item)) return false;
        return true;
    });
}

} // namespace

// ---------------------------------------------------------------- paragraphs and lines

int TCustomRVData::GetFirstParaItem(int ItemNo) const {
    while (ItemNo > 0 && !IsParaStart(ItemNo))
        --ItemNo;
    return ItemNo;
}

int TCustomRVData::GetFirstLineItem(int ItemNo) const {
    while (ItemNo > 0 && !IsFromNewLine(ItemNo))
        --ItemNo;
    return ItemNo;
}

void TCustomRVData::ExpandToParas(int StartNo, int EndNo, int& First, int& Last) const {
    First = GetFirstParaItem(StartNo);
    Last = EndNo + 1;
    while (Last < ItemCount() && !IsParaStart(Last))
        ++Last;
    --Last;
}

void TCustomRVData::ExpandToLines(int StartNo, int EndNo, int& First, int& Last) const {
    First = GetFirstLineItem(StartNo);
    Last = EndNo + 1;
    while (Last < ItemCount() && !IsFromNewLine(Last))
        ++Last;
    --Last;
}

void TCustomRVData::NormalizeParaNos(int ItemNo) {
    if (ItemCount() == 0) return;
    ItemNo = GetFirstParaItem(std::min(ItemNo, ItemCount() - 1));
    int paraNo = LiveItem(ItemNo).ParaNo;
    for (int i = ItemNo + 1; i < ItemCount() && !IsParaStart(i); ++i)
        LiveItem(i).ParaNo = paraNo;
}

// Steps over a whole character: a surrogate pair and the combining marks
// after it.
int TCustomRVData::NextCharOffset(const AnsiString& Text, int ItemNo, int Offs) const {
    if (!RVIsNTPlatform || !LiveItem(ItemNo).IsUnicode()) return Offs + 1;
    int length = int(Text.size() / 2);
    if (Offs < 1 || Offs > length) return Offs + 1;
    char16_t ch = UnitAt(Text, Offs);
    int next = Offs + 1;
    if (ch >= 0xD800 && ch <= 0xDBFF && next <= length && UnitAt(Text, next) >= 0xDC00 &&
        UnitAt(Text, next) <= 0xDFFF)
        ++next;
    while (next <= length && IsCombiningMark(UnitAt(Text, next)))
        ++next;
    return next;
}

int TCustomRVData::PrevCharOffset(const AnsiString& Text, int ItemNo, int Offs) const {
    if (!RVIsNTPlatform || !LiveItem(ItemNo).IsUnicode()) return Offs - 1;
    int length = int(Text.size() / 2);
    if (Offs <= 1) return 1;
    int prev = std::min(Offs, length + 1) - 1;
    if (prev < 1) return 1;
    while (prev > 1 && IsCombiningMark(UnitAt(Text, prev)))
        --prev;
    char16_t ch = UnitAt(Text, prev);
    if (prev > 1 && ch >= 0xDC00 && ch <= 0xDFFF && UnitAt(Text, prev - 1) >= 0xD800 &&
        UnitAt(Text, prev - 1) <= 0xDBFF)
        --prev;
    return prev;
}

// ---------------------------------------------------------------- moving and joining

void TCustomRVData::MoveItemsFrom(TCustomRVData* Source) {
    if (!Source || Source == this) return;
    if (TagsArePChars() != Source->TagsArePChars()) throw EZoroZudoError(errRVTagsTypesMismatch);
    MoveAllItemsFrom(*Source);
    RVCheckAfterOperation(*this);
    RVCheckAfterOperation(*Source);
}

void TCustomRVData::MoveAllItemsFrom(TCustomRVData& SourceData) {
    TCustomRVData* Source = &SourceData;
    int moved = 0;
    // The items enter this document's lists in one walk at the end, and
    // Source's lists are walked again without them: no list keeps an item
    // its document no longer holds.
    BeginItemsLoad();
    TScopeGuard renumber([&] {
        EndItemsLoad();
        Source->RebuildNumberingLists();
    });

    // When an item refuses to come, Source keeps the items not moved yet.
    TScopeGuard keepRest([&] {
        int gone = 0;
        while (gone < Source->ItemCount() && !Source->ItemList->Objects(gone))
            ++gone;
        Source->ItemList->DeleteRange(0, gone);
        Source->RelinkCheckpoints();
    });
    for (; moved < Source->ItemCount(); ++moved) {
        AnsiString text = Source->GetItemText(moved);
        std::unique_ptr<TCustomRVItemInfo> item = Source->ItemList->ReleaseObject(moved);
        if (item->GetContinuesParagraph()) item->ParaNo = -1;
        AddItem(text, std::move(item));
    }
    keepRest.Dismiss();
    if (PendingCheckpoint) {
        Source->PendingCheckpoint.reset();
    } else if (Source->PendingCheckpoint) {
        PendingCheckpoint = std::move(Source->PendingCheckpoint);
        ++CheckpointCount;
    }
    Source->ItemList->Clear();
    Source->CheckpointHead = Source->CheckpointTail = nullptr;
    Source->CheckpointCount = 0;
    bool wasMovedOut = Source->StateBits & rvdsItemsMovedOut;
    Source->StateBits |= rvdsItemsMovedOut;
    TScopeGuard restore([&] {
        if (!wasMovedOut) Source->StateBits &= ~TRVDataStates(rvdsItemsMovedOut);
    });
    Source->Clear();
}

bool TCustomRVData::CanMergeItems(int ItemNo, const TCustomRVItemInfo* First, bool EvenIfNewLine,
                                  const TCustomRVItemInfo* Second) const {
    if (!First || !Second || First->StyleNo < 0 || Second->StyleNo < 0) return false;
    if (ItemNo < 0 || ItemNo + 1 >= ItemCount()) return false;
    const AnsiString& t1 = GetItemText(ItemNo);
    const AnsiString& t2 = GetItemText(ItemNo + 1);
    bool joinsLine = EvenIfNewLine || Second->GetContinuesParagraph();
    // Joining would drop Second's checkpoint unless the empty First takes it.
    bool keepsCheckpoint = !Second->Checkpoint || (t1.empty() && !First->Checkpoint);
    if ((t1.empty() || t2.empty()) && joinsLine && keepsCheckpoint) return true;
    if (First->StyleNo != Second->StyleNo || !joinsLine) return false;
    if (IsUnicodeStyle(GetActualStyle(*First)) != IsUnicodeStyle(GetActualStyle(*Second)) ||
        First->IsUnicode() != Second->IsUnicode() || First->Hint != Second->Hint ||
        !TagsAreEqual(First->Tag, Second->Tag) || Second->Checkpoint)
        return false;
    if (t1.empty() || t2.empty()) return true;
    TRVStyle* style = GetRVStyle();
    if (!style) return true;
    TRVProtectOptions protection = style->TextStyles().GetItem(GetActualStyle(*First))->Protection;
    return !(protection & (rvprModifyProtect | rvprConcateProtect));
}

void TCustomRVData::MergeItems(int ItemNo) {
    TCustomRVItemInfo* first = &LiveItem(ItemNo);
    TCustomRVItemInfo* second = &LiveItem(ItemNo + 1);
    const AnsiString& t1 = GetItemText(ItemNo);
    const AnsiString& t2 = GetItemText(ItemNo + 1);
    if (t1.empty() && !t2.empty()) {
        first->StyleNo = second->StyleNo;
        // The text that comes is in Second's encoding.
        first->ItemOptions =
            TRVItemOptions((first->ItemOptions & ~ioUnicodeText) | (second->ItemOptions & ioUnicodeText));
    }
    if (t1.empty() && second->Checkpoint && !first->Checkpoint) {
        first->Checkpoint = std::move(second->Checkpoint);
        first->Checkpoint->Item = first;
    }
    ItemList->SetString(ItemNo, t1 + t2);
    FreeItemObject(ItemList->ReleaseObject(ItemNo + 1), false);
    ItemList->Delete(ItemNo + 1);
    RVCheckAfterOperation(*this);
}

void TCustomRVData::MergeAdjacentItems(int FirstNo, int LastNo) {
    FirstNo = std::max(FirstNo, 0);
    LastNo = std::min(LastNo, ItemCount() - 1);
    for (int i = LastNo; i > FirstNo; --i) {
        MergeItemsInSubDocuments(i);
        if (CanMergeItems(i - 1, GetItem(i - 1), false, GetItem(i))) MergeItems(i - 1);
    }
    if (FirstNo <= LastNo) MergeItemsInSubDocuments(FirstNo);
}

// Merging a sub-document's items also merges inside their sub-documents.
void TCustomRVData::MergeItemsInSubDocuments(int ItemNo) {
    ForEachSubDocument(LiveItem(ItemNo), [](TCustomRVData& Sub) {
        Sub.MergeAdjacentItems(0, Sub.ItemCount() - 1);
        return true;
    });
}

void TCustomRVData::RefreshItemTexts(TCustomRVData* Data, bool Safe) {
    for (int i = 0; i < ItemCount(); ++i) {
        AnsiString text = GetItemText(i);
        LiveItem(i).Inserting(Data, text, Safe);
        ItemList->SetString(i, text);
    }
}

// ---------------------------------------------------------------- searching

TCustomRVItemInfo* TCustomRVData::FindPrevItemOfClass(int ItemNo, const TRVItemPredicate& IsOfClass) const {
    if (TCustomRVItemInfo* found = FindPrevInData(*this, ItemNo, IsOfClass)) return found;
    int ownerNo;
    std::unique_ptr<TRVStoreSubRVData> location;
    GetParentInfo(ownerNo, location);
    TCustomRVData* parent = GetOuterParentData();
    if (ownerNo < 0 || !parent) return nullptr;
    TCustomRVItemInfo* found = nullptr;
    // Without a location this document's place among its item's
    // sub-documents is unknown, so none of them comes before it.
    if (location)
        ForEachSubDocumentBackwards(parent->LiveItem(ownerNo), std::move(location), [&](TCustomRVData& Sub) {
            found = FindPrevInData(Sub, Sub.ItemCount() - 1, IsOfClass);
            return !found;
        });
    return found ? found : parent->FindPrevItemOfClass(ownerNo - 1, IsOfClass);
}

int TCustomRVData::FindItemContaining(int StartNo, const TCustomRVItemInfo* Item) const {
    for (int i = std::max(StartNo, 0); i < ItemCount(); ++i)
        if (GetItem(i) == Item || HoldsItem(LiveItem(i), Item)) return i;
    return -1;
}

bool TCustomRVData::EnumItems(const TRVEnumItemsProc& Proc) {
    bool goOn = true;
    for (int i = 0; i < ItemCount() && goOn; ++i) {
        Proc(*this, i, goOn);
        if (goOn)
            ForEachSubDocument(LiveItem(i), [&](TCustomRVData& Sub) {
                goOn = Sub.EnumItems(Proc);
                return goOn;
            });
    }
    return goOn;
}

int TCustomRVData::ComparePositions(int ItemNo1, TCustomRVData* Data2, int ItemNo2) const {
    if (!Data2) throw EZoroZudoError(errRVCompare);
    TCustomRVData* d1 = GetSourceRVData();
    TCustomRVData* start2 = Data2->GetSourceRVData();
    int startItemNo2 = ItemNo2;
    TCustomRVData* d2 = start2;
    std::unique_ptr<TRVStoreSubRVData> l1, l2;
    while (d2 != d1) {
        int owner;
        std::unique_ptr<TRVStoreSubRVData> location;
        d2->GetParentInfo(owner, location);
        TCustomRVData* parent2 = d2->GetOuterParentData();
        if (owner >= 0 && parent2) {
            ItemNo2 = owner;
            l2 = std::move(location);
            d2 = parent2->GetSourceRVData();
            continue;
        }
        // The second position ran out of parents: the first one climbs and
        // the second starts over.
        d1->GetParentInfo(owner, location);
        TCustomRVData* parent1 = d1->GetOuterParentData();
        if (owner < 0 || !parent1) throw EZoroZudoError(errRVCompare);
        ItemNo1 = owner;
        l1 = std::move(location);
        d1 = parent1->GetSourceRVData();
        d2 = start2;
        ItemNo2 = startItemNo2;
        l2.reset();
    }
    int result = ItemNo1 - ItemNo2;
    if (result != 0) return result;
    if (l1 && l2) return l1->Compare(*l2);
    if (l1) return 1;
    if (l2) return -1;
    return 0;
}
