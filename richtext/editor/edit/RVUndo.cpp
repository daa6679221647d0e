// The undo records, the groups with their least re-formatting after an
// undo, and the lists with the typing merge and the limit.
#include "richtext/editor/edit/RVUndo.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/text/RVUni.h"

// ---------------------------------------------------------------- records

TCustomRVData* TRVEditUndoInfo::GetRVData() const {
    return List ? List->RVData : nullptr;
}

void TRVEditUndoInfo::Undo(TCustomRVData* RVData) {
    UndoEdit(EditData(RVData));
}

TRVEditRVData& TRVEditUndoInfo::EditData(TCustomRVData* RVData) {
    auto* data = dynamic_cast<TRVEditRVData*>(RVData);
    if (!data) throw ERVUndoMismatch(errRVInternal);
    return *data;
}

void TRVUndoItemNoInfo::GetAffectedRange(TCustomRVData*, int& First, int& Last) const {
    if (ItemNo < 0) return;
    First = ItemNo;
    Last = LastAffectedItemNo >= 0 ? LastAffectedItemNo : ItemNo;
}

void TRVUndoItemNoInfo::CheckItemNo(TRVEditRVData& Data) const {
    if (ItemNo < 0 || ItemNo >= Data.ItemCount() || !Data.GetItem(ItemNo))
        throw ERVUndoMismatch(errRVInternal);
}

void TRVUndoItemNoInfo::CheckTextItem(TRVEditRVData& Data) const {
    CheckItemNo(Data);
    if (Data.GetItem(ItemNo)->StyleNo < 0) throw ERVUndoMismatch(errRVInternal);
}

namespace {

// The item may stand anywhere from the first place to after the last item.
void CheckInsertPlace(TRVEditRVData& Data, int ItemNo) {
    if (ItemNo < 0 || ItemNo > Data.ItemCount()) throw ERVUndoMismatch(errRVInternal);
}

void CheckItemClass(TRVEditRVData& Data, int ItemNo, const std::type_info* Class) {
    if (ItemNo < 0 || ItemNo >= Data.ItemCount() || !Data.GetItem(ItemNo))
        throw ERVUndoMismatch(errRVInternal);
    if (Class && typeid(*Data.GetItem(ItemNo)) != *Class) throw ERVUndoMismatch(errRVInternal);
}

bool Formatted(const TRVEditRVData& Data) {
    return Data.DrawItems.Count() > 0 && Data.DocumentWidth >= 0;
}

int ParaWidth(TRVEditRVData& Data, int ItemNo) {
    if (!Formatted(Data) || ItemNo < 0 || ItemNo >= Data.ItemCount()) return 0;
    return Data.CalculateMinParaWidth(ItemNo);
}

// Tells the owner and frees an item that a record held.
void FreeUndoItem(TRVEditRVData* Data, std::unique_ptr<TCustomRVItemInfo> Item) {
    if (!Item) return;
    if (Data) {
        AnsiString text;
        Data->DoItemAction(rviaDestroying, Item.get(), text, Data);
    }
}

} // namespace

void TRVUndoWidthTest::StoreWidth(TRVEditRVData& Data, int ItemNo) {
    OldWidth = ParaWidth(Data, ItemNo);
}

bool TRVUndoWidthTest::WidthChanged(TRVEditRVData& Data, int ItemNo) const {
    if (!Formatted(Data)) return false;
    int now = ParaWidth(Data, ItemNo);
    return now != OldWidth && (OldWidth >= Data.DocumentWidth || now > Data.DocumentWidth);
}

TRVUndoItemInfo::~TRVUndoItemInfo() {
    FreeUndoItem(List ? List->RVData : nullptr, std::move(Item));
}

void TRVUndoDeleteItemInfo::UndoEdit(TRVEditRVData& Data) {
    CheckInsertPlace(Data, ItemNo);
    if (!Item) throw ERVUndoMismatch(errRVInternal);
    AnsiString text = S;
    Data.UndoableInsertItem(ItemNo, text, FFullReformat, true, std::move(Item));
}

bool TRVUndoDeleteItemInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    auto& data = EditData(RVData);
    return FFullReformat || (Formatted(data) && ParaWidth(data, ItemNo) > data.DocumentWidth);
}

TRVUndoStringItemListInfo::~TRVUndoStringItemListInfo() {
    for (TEntry& entry : Entries)
        FreeUndoItem(List ? List->RVData : nullptr, std::move(entry.Item));
}

void TRVUndoItemRangeInfo::GetAffectedRange(TCustomRVData*, int& First, int& Last) const {
    First = StartItemNo;
    Last = LastAffectedItemNo >= 0 ? LastAffectedItemNo : StartItemNo + int(Entries.size());
}

void TRVUndoDeleteItemsInfo::UndoEdit(TRVEditRVData& Data) {
    CheckInsertPlace(Data, StartItemNo);
    for (const TEntry& entry : Entries)
        if (!entry.Item) throw ERVUndoMismatch(errRVInternal);
    FCount = int(Entries.size());
    Data.UndoableInsertItems(StartItemNo, Entries, FFullReformat, true);
    LastAffectedItemNo = StartItemNo + FCount - 1;
    Entries.clear();
}

bool TRVUndoDeleteItemsInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    auto& data = EditData(RVData);
    if (FFullReformat) return true;
    if (!Formatted(data) || FCount == 0) return false;
    int last = std::min(StartItemNo + FCount - 1, data.ItemCount() - 1);
    return StartItemNo <= last && data.CalculateMinRangeWidth(StartItemNo, last) > data.DocumentWidth;
}

void TRVUndoDeleteSubstringInfo::UndoEdit(TRVEditRVData& Data) {
    CheckTextItem(Data);
    StoreWidth(Data, ItemNo);
    Data.UndoableInsertSubstring(ItemNo, Index, S);
}

bool TRVUndoDeleteSubstringInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    return WidthChanged(EditData(RVData), ItemNo);
}

void TRVUndoInsertItemInfo::UndoEdit(TRVEditRVData& Data) {
    CheckItemNo(Data);
    Data.UndoableDeleteItem(ItemNo, FFullReformat);
}

bool TRVUndoInsertItemInfo::NeedsFullFormatBefore(TCustomRVData* RVData) const {
    auto& data = EditData(RVData);
    return Formatted(data) && ParaWidth(data, ItemNo) >= data.DocumentWidth;
}

void TRVUndoInsertItemsInfo::UndoEdit(TRVEditRVData& Data) {
    if (ItemNo < 0 || Count < 0 || ItemNo + Count > Data.ItemCount()) throw ERVUndoMismatch(errRVInternal);
    Data.UndoableDeleteItems(ItemNo, ItemNo + Count - 1, FFullReformat);
}

bool TRVUndoInsertItemsInfo::NeedsFullFormatBefore(TCustomRVData* RVData) const {
    auto& data = EditData(RVData);
    if (!Formatted(data) || Count <= 0 || ItemNo < 0 || ItemNo + Count > data.ItemCount()) return false;
    return data.CalculateMinRangeWidth(ItemNo, ItemNo + Count - 1) >= data.DocumentWidth;
}

void TRVUndoInsertSubstringInfo::UndoEdit(TRVEditRVData& Data) {
    CheckTextItem(Data);
    StoreWidth(Data, ItemNo);
    Data.UndoableDeleteSubstring(ItemNo, Index, Length);
}

bool TRVUndoInsertSubstringInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    return WidthChanged(EditData(RVData), ItemNo);
}

void TRVUndoTypingInfo::UndoEdit(TRVEditRVData& Data) {
    CheckTextItem(Data);
    if (Length <= 0) return;
    TCustomRVItemInfo& item = *Data.GetItem(ItemNo);
    AnsiString text = Data.GetItemText(ItemNo);
    int pos = Index + Length - 1;
    if (pos < 1 || pos > ItemTextLength(text, item.ItemOptions) || item.IsUnicode() != Unicode)
        throw ERVUndoMismatch(errRVInternal);
    StoreWidth(Data, ItemNo);
    AnsiString removed = ItemTextCopy(text, pos, 1, item.ItemOptions);
    DeleteCharsAt(text, pos, 1, item.ItemOptions);
    --Length;
    Data.ItemList->SetString(ItemNo, text);
    Data.RedoList->AddUntyping(removed, ItemNo, Index + Length + 1);
}

void TRVRedoTypingInfo::UndoEdit(TRVEditRVData& Data) {
    CheckTextItem(Data);
    if (S.empty()) return;
    TCustomRVItemInfo& item = *Data.GetItem(ItemNo);
    AnsiString text = Data.GetItemText(ItemNo);
    int held = CharCount();
    int pos = Index - held;
    if (pos < 1 || pos > ItemTextLength(text, item.ItemOptions) + 1 || item.IsUnicode() != Unicode)
        throw ERVUndoMismatch(errRVInternal);
    StoreWidth(Data, ItemNo);
    size_t unit = Unicode ? 2 : 1;
    AnsiString ch = S.substr(S.size() - unit);
    S.resize(S.size() - unit);
    InsertCharsAt(ch, text, pos, item.ItemOptions);
    Data.ItemList->SetString(ItemNo, text);
    Data.UndoList->AddTyping(ItemNo, pos, Unicode);
}

bool TRVRedoTypingInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    return WidthChanged(EditData(RVData), ItemNo);
}

void TRVUndoNewLineInfo::UndoEdit(TRVEditRVData& Data) {
    CheckItemNo(Data);
    Data.UndoableSetContinuesParagraph(ItemNo, WasContinuesParagraph, FFullReformat, WasParaNo);
}

void TRVUndoBRInfo::UndoEdit(TRVEditRVData& Data) {
    CheckItemNo(Data);
    Data.UndoableSetLineBreakBefore(ItemNo, WasLineBreakBefore, FFullReformat);
}

void TRVUndoPageBreakInfo::UndoEdit(TRVEditRVData& Data) {
    CheckItemNo(Data);
    Data.UndoableSetPageBreakBefore(ItemNo, WasPageBreakBefore);
}

void TRVUndoParaInfo::UndoEdit(TRVEditRVData& Data) {
    if (ItemNo < 0 || Count < 0 || ItemNo + Count > Data.ItemCount()) throw ERVUndoMismatch(errRVInternal);
    Data.UndoableSetParaNoRange(ItemNo, ItemNo + Count - 1, FFullReformat, ParaNo);
}

void TRVUndoParaInfo::GetAffectedRange(TCustomRVData*, int& First, int& Last) const {
    First = ItemNo;
    Last = ItemNo + Count;
}

void TRVUndoParaListInfo::UndoEdit(TRVEditRVData& Data) {
    if (StartItemNo < 0 || StartItemNo + int(List.size()) > Data.ItemCount())
        throw ERVUndoMismatch(errRVInternal);
    Data.UndoableSetParaNoList(StartItemNo, List, FFullReformat);
}

void TRVUndoParaListInfo::GetAffectedRange(TCustomRVData*, int& First, int& Last) const {
    First = StartItemNo;
    Last = StartItemNo + int(List.size());
}

void TRVUndoStyleNoInfo::UndoEdit(TRVEditRVData& Data) {
    CheckTextItem(Data);
    StoreWidth(Data, ItemNo);
    Data.UndoableSetStyleNo(ItemNo, WasStyleNo);
}

bool TRVUndoStyleNoInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    return WidthChanged(EditData(RVData), ItemNo);
}

void TRVUndoAssociatedTextStyleNoInfo::UndoEdit(TRVEditRVData& Data) {
    CheckItemClass(Data, ItemNo, ItemClass);
    StoreWidth(Data, ItemNo);
    Data.UndoableSetAssociatedTextStyleNo(ItemNo, WasStyleNo);
}

void TRVUndoTagInfo::UndoEdit(TRVEditRVData& Data) {
    CheckItemNo(Data);
    Data.UndoableSetTag(ItemNo, WasTag);
}

void TRVUndoAddCPInfo::UndoEdit(TRVEditRVData& Data) {
    if (ItemNo != -1) CheckItemNo(Data);
    Data.UndoableDeleteCheckpoint(ItemNo);
}

void TRVUndoDeleteCPInfo::UndoEdit(TRVEditRVData& Data) {
    if (ItemNo != -1) CheckItemNo(Data);
    if (!Checkpoint) throw ERVUndoMismatch(errRVInternal);
    Data.UndoableAddCheckpoint(ItemNo, std::move(Checkpoint));
}

void TRVUndoChangeTextInfo::UndoEdit(TRVEditRVData& Data) {
    CheckTextItem(Data);
    StoreWidth(Data, ItemNo);
    Data.UndoableChangeText(ItemNo, S);
}

bool TRVUndoChangeTextInfo::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    return WidthChanged(EditData(RVData), ItemNo);
}

void TRVUndoExtraIntProperty::UndoEdit(TRVEditRVData& Data) {
    CheckItemClass(Data, ItemNo, ItemClass);
    StoreWidth(Data, ItemNo);
    Data.UndoableSetExtraIntProperty(ItemNo, Prop, OldValue);
}

bool TRVUndoExtraIntProperty::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    return WidthChanged(EditData(RVData), ItemNo);
}

void TRVUndoExtraStrProperty::UndoEdit(TRVEditRVData& Data) {
    CheckItemClass(Data, ItemNo, ItemClass);
    Data.UndoableSetExtraStrProperty(ItemNo, Prop, OldValue);
}

void TRVUndoReformateRange::UndoEdit(TRVEditRVData& Data) {
    Data.RecordReformatRange(ItemNo, LastAffectedItemNo, SuperReformat);
}

void TRVUndoModifyItemTerminator::UndoEdit(TRVEditRVData& Data) {
    Data.RecordModifyItemTerminator(ItemNo, !Opening);
}

bool TRVUndoModifyItemTerminator::NeedsFullFormatBefore(TCustomRVData* RVData) const {
    auto& data = EditData(RVData);
    const_cast<TRVUndoModifyItemTerminator*>(this)->OldWidth = ParaWidth(data, ItemNo);
    return Formatted(data) && OldWidth >= data.DocumentWidth;
}

bool TRVUndoModifyItemTerminator::NeedsFullFormatAfter(TCustomRVData* RVData) const {
    auto& data = EditData(RVData);
    if (!Formatted(data)) return false;
    int now = ParaWidth(data, ItemNo);
    return now != OldWidth && now > data.DocumentWidth;
}

// ---------------------------------------------------------------- groups

void TRVUndoInfos::SetOwnerList(TRVUndoList* List) {
    for (auto& info : Items)
        if (auto* own = dynamic_cast<TRVEditUndoInfo*>(info.get())) own->List = List;
}

bool TRVUndoInfos::IsConsumed() const {
    TRVUndoInfo* first = First();
    if (!first) return true;
    if (auto* typing = dynamic_cast<TRVUndoTypingInfo*>(first)) return typing->Length <= 0;
    if (auto* redo = dynamic_cast<TRVRedoTypingInfo*>(first)) return redo->S.empty();
    return true;
}

void TRVUndoInfos::Undo(TRVEditRVData& Data, bool AllowReformat) {
    Data.BeginRedoGroup(UndoType, Caption);
    PerformUndo(Data, AllowReformat);
}

void TRVUndoInfos::Redo(TRVEditRVData& Data, bool AllowReformat) {
    Data.BeginUndoCustomGroup(UndoType, Caption, false);
    PerformUndo(Data, AllowReformat);
}

namespace {

// The first drawing item of an item at or after ItemNo, found in the
// drawing items themselves (they are in item order).
int FirstDrawItemFrom(const TRVEditRVData& Data, int ItemNo) {
    int lo = 0, hi = Data.DrawItems.Count();
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (Data.DrawItems[mid]->ItemNo < ItemNo)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

} // namespace

void TRVUndoInfos::PerformUndo(TRVEditRVData& Data, bool AllowReformat) {
    if (Items.empty()) return;
    Data.Deselect(true);
    // First pass: what the records will touch, as items of the document as
    // it is now. A record's indexes are those of the document after the
    // records undone before it, which inserted Inserted and removed Removed
    // items: its items stand at most that far from where they are now.
    bool needsFormat = false, needsRoot = false;
    int first = -1, last = -1, delta = 0, inserted = 0, removed = 0;
    int minFirst = Data.ItemCount(), maxLast = -1;
    for (int i = Count() - 1; i >= 0; --i) {
        TRVUndoInfo& info = *Items[size_t(i)];
        needsFormat = needsFormat || info.NeedsFormat();
        needsRoot = needsRoot || info.NeedsRootFormat();
        int own = info.GetItemCountDelta();
        first = last = -1;
        info.GetAffectedRange(&Data, first, last);
        if (first >= 0) {
            // The items a record removes are part of its range.
            if (own < 0) last = std::max(last, first - own - 1);
            minFirst = std::min(minFirst, first - inserted);
            maxLast = std::max(maxLast, last + removed);
        }
        if (own > 0)
            inserted += own;
        else
            removed -= own;
        delta += own;
    }
    if (maxLast < 0) {
        minFirst = 0;
        maxLast = Data.ItemCount() - 1;
    }
    minFirst = std::clamp(minFirst, 0, std::max(Data.ItemCount() - 1, 0));
    maxLast = std::clamp(maxLast, minFirst, std::max(Data.ItemCount() - 1, 0));
    int firstDraw = 0, lastDraw = Data.DrawItems.Count() - 1;
    bool formatted = Data.DrawItems.Count() > 0;
    if (formatted) {
        firstDraw = std::min(FirstDrawItemFrom(Data, minFirst), lastDraw);
        lastDraw = std::max(FirstDrawItemFrom(Data, maxLast + 1) - 1, firstDraw);
        int newFirst, newLast;
        Data.GetParaBoundsOfDrawItems(firstDraw, lastDraw, newLast, newFirst);
        firstDraw = newFirst;
        lastDraw = newLast;
    }
    // Second pass: the records, last first.
    bool fullFormat = false, inBracket = false;
    int bracketWidth = 0;
    for (int i = Count() - 1; i >= 0; --i) {
        TRVUndoInfo& info = *Items[size_t(i)];
        auto* terminator = dynamic_cast<TRVUndoModifyItemTerminator*>(&info);
        if (terminator && !terminator->Opening) {
            if (!inBracket) {
                fullFormat = needsFormat && (fullFormat || info.NeedsFullFormatBefore(&Data));
                bracketWidth = terminator->OldWidth;
            }
            inBracket = true;
        } else if (!inBracket) {
            fullFormat = needsFormat && (fullFormat || info.NeedsFullFormatBefore(&Data));
        }
        if (info.NeedsFormattedDocument()) {
            Data.FormatOnOwnCanvas(false);
            needsFormat = false;
        }
        info.Undo(&Data);
        if (terminator && terminator->Opening && inBracket) {
            inBracket = false;
            terminator->OldWidth = bracketWidth;
            fullFormat = needsFormat && (fullFormat || info.NeedsFullFormatAfter(&Data));
        } else if (!inBracket) {
            fullFormat = needsFormat && (fullFormat || info.NeedsFullFormatAfter(&Data));
        }
    }
    // Spelling marks of the touched lines are stale.
    if (Data.ItemCount() > 0) {
        int f = std::clamp(minFirst, 0, Data.ItemCount() - 1);
        int l = std::clamp(maxLast + std::max(delta, 0), f, Data.ItemCount() - 1);
        Data.ExpandToLines(f, l, f, l);
        for (int i = f; i <= l; ++i)
            if (TCustomRVItemInfo* item = Data.GetItem(i)) item->ClearMisspellings();
    }
    if (AllowReformat && needsFormat) {
        if (!formatted) {
            Data.Format();
        } else if (fullFormat) {
            int minWidth = Data.CalculateMinDocumentWidth(0, nullptr, nullptr);
            if (minWidth == Data.DocumentWidth)
                Data.FormatParasOfDrawItems(firstDraw, lastDraw, true, delta);
            else
                Data.Format();
        } else {
            Data.FormatParasOfDrawItems(firstDraw, lastDraw, true, delta);
        }
    }
    if (!Data.GetActiveSubDocument() && Data.DrawItems.Count() > 0) Data.SetCaretAt(CaretItemNo, CaretOffs);
    Data.InvalidateRect(TRect(0, 0, Data.GetWidth(), Data.GetHeight()));
    if (needsRoot)
        if (auto* root = dynamic_cast<TCustomRVFormattedData*>(Data.GetRootData()))
            root->FormatOnOwnCanvas(false);
}

// ---------------------------------------------------------------- lists

TRVUndoList::~TRVUndoList() {
    Clear();
}

void TRVUndoList::Clear() {
    // Newest first: a record's items may refer to nothing older.
    while (!FGroups.empty())
        FGroups.pop_back();
}

void TRVUndoList::SetLimit(int Value) {
    Limit = Value;
    if (Limit == 0)
        Clear();
    else
        while (Limit > 0 && Count() > Limit)
            DeleteFirst();
}

void TRVUndoList::DeleteEmptyLast() {
    if (!FGroups.empty() && FGroups.back()->Items.empty()) FGroups.pop_back();
}

bool TRVUndoList::OpenGroup(uint8_t UndoType, const AnsiString& Caption, int CaretItemNo, int CaretOffs) {
    if (Limit == 0) return false;
    if (GroupModeCount > 0 && !FGroups.empty()) {
        TRVUndoInfos& last = *FGroups.back();
        bool typingOnly = last.Count() == 1 && last.First()->Kind == rvuTyping;
        if (!typingOnly) return true;
    }
    AnsiString caption = Caption;
    if (!FGroups.empty() && FGroups.back()->Items.empty()) {
        TRVUndoInfos& last = *FGroups.back();
        CaretItemNo = last.CaretItemNo;
        CaretOffs = last.CaretOffs;
        caption = last.Caption;
        FGroups.pop_back();
    }
    // A list over its limit (the limit was lowered) never grows.
    while (Limit > 0 && Count() >= Limit)
        DeleteFirst();
    auto group = std::make_unique<TRVUndoInfos>();
    group->UndoType = UndoType;
    group->Caption = caption;
    group->CaretItemNo = CaretItemNo;
    group->CaretOffs = CaretOffs;
    FGroups.push_back(std::move(group));
    return true;
}

void TRVUndoList::AddInfo(std::unique_ptr<TRVUndoInfo> Info) {
    if (FGroups.empty()) throw EZoroZudoError(errRVUndoEmpty);
    TRVUndoInfos& last = *FGroups.back();
    if (last.Count() == 1 && last.First()->Kind == rvuTyping) throw EZoroZudoError(errRVUndoAdd);
    if (auto* own = dynamic_cast<TRVEditUndoInfo*>(Info.get())) own->List = this;
    last.Items.push_back(std::move(Info));
}

void TRVUndoList::AddTyping(int ItemNo, int Position, bool Unicode) {
    if (Limit == 0) return;
    DeleteEmptyLast();
    if (TRVUndoInfos* last = Last())
        if (auto* typing = dynamic_cast<TRVUndoTypingInfo*>(last->First());
            typing && typing->ItemNo == ItemNo && Position == typing->Index + typing->Length) {
            ++typing->Length;
            ++last->CaretOffs;
            return;
        }
    OpenGroup(rvutTyping, AnsiString(), ItemNo, Position);
    auto typing = std::make_unique<TRVUndoTypingInfo>();
    typing->ItemNo = ItemNo;
    typing->Index = Position;
    typing->Length = 1;
    typing->Unicode = Unicode;
    typing->List = this;
    FGroups.back()->Items.push_back(std::move(typing));
}

void TRVUndoList::AddUntyping(const AnsiString& Text, int ItemNo, int Position) {
    if (Limit == 0) return;
    DeleteEmptyLast();
    if (TRVUndoInfos* last = Last())
        if (auto* redo = dynamic_cast<TRVRedoTypingInfo*>(last->First());
            redo && redo->ItemNo == ItemNo && redo->Index - redo->CharCount() == Position) {
            redo->S += Text;
            --last->CaretOffs;
            return;
        }
    OpenGroup(rvutTyping, AnsiString(), ItemNo, Position);
    auto redo = std::make_unique<TRVRedoTypingInfo>();
    redo->ItemNo = ItemNo;
    redo->Index = Position;
    redo->S = Text;
    redo->Unicode = Text.size() > 1;
    redo->List = this;
    FGroups.back()->Items.push_back(std::move(redo));
}

void TRVUndoList::AppendGroup(std::unique_ptr<TRVUndoInfos> Group) {
    Group->SetOwnerList(this);
    FGroups.push_back(std::move(Group));
}

void TRVUndoList::DropEmptyGroup() {
    if (GroupModeCount <= 0) DeleteEmptyLast();
}

void TRVUndoList::Undo() {
    Run(false);
}

void TRVUndoList::Redo() {
    Run(true);
}

void TRVUndoList::Run(bool AsRedo) {
    if (FGroups.empty()) throw EZoroZudoError(errRVUndoEmptyBuffer);
    TRVUndoInfos* group = FGroups.back().get();
    try {
        if (AsRedo)
            group->Redo(*RVData, true);
        else
            group->Undo(*RVData, true);
    } catch (const ERVUndoMismatch&) {
        // The record met an item of another kind: the step is dropped, what
        // it already reversed stays, and nothing can be redone.
        if (!FGroups.empty() && FGroups.back().get() == group) FGroups.pop_back();
        RVData->RedoList->Clear();
        RVData->Format();
        return;
    }
    if (FGroups.empty() || FGroups.back().get() != group) return;
    if (group->IsConsumed())
        FGroups.pop_back();
    else
        group->CaretOffs += dynamic_cast<TRVUndoTypingInfo*>(group->First()) ? -1 : 1;
}
