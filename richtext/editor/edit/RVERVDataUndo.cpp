// The recording state of the editing data and its undoable primitives:
// each elementary change first records, in the active list, the record that
// reverses it. The primitives neither format nor move the caret.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/text/RVUni.h"

namespace {

bool IsMeasured(const TCustomRVFormattedData& Data) {
    return Data.DrawItems.Count() > 0 && Data.DocumentWidth >= 0;
}

// A minimum width changed in a way that needs the whole document formatted.
bool WidthNeedsFullFormat(const TCustomRVFormattedData& Data, int Old, int New) {
    return New != Old && (New > Data.DocumentWidth || Old >= Data.DocumentWidth);
}

} // namespace

// ---------------------------------------------------------------- recording

TRVUndoList* TRVEditRVData::GetActiveUndoList() const {
    if (UndoRecording == 1 && UndoList->Limit != 0) return UndoList.get();
    if (UndoRecording == 2) return RedoList.get();
    return nullptr;
}

void TRVEditRVData::Record(std::unique_ptr<TRVUndoInfo> Info) {
    if (TRVUndoList* list = GetActiveUndoList()) list->AddInfo(std::move(Info));
}

void TRVEditRVData::BeginUndoGroup(uint8_t UndoType, bool MergeSubDocuments) {
    BeginUndoCustomGroup(UndoType, AnsiString(), MergeSubDocuments);
}

void TRVEditRVData::BeginUndoCustomGroup(uint8_t UndoType, const AnsiString& Caption,
                                         bool MergeSubDocuments) {
    if (MergeSubDocuments) MergeSubDocumentUndo();
    int itemNo = GetCaretItemNo();
    int offs = GetCaretItemOffset();
    UndoRecording = UndoList->OpenGroup(UndoType, Caption, itemNo, offs) ? 1 : 0;
}

void TRVEditRVData::BeginRedoGroup(uint8_t UndoType, const AnsiString& Caption) {
    int itemNo = GetCaretItemNo();
    int offs = GetCaretItemOffset();
    UndoRecording = RedoList->OpenGroup(UndoType, Caption, itemNo, offs) ? 2 : 0;
}

void TRVEditRVData::MergeSubDocumentUndo() {
    if (EditStates & rvesMergingSubDocUndo) return;
    EditStates |= rvesMergingSubDocUndo;
    TScopeGuard clear([&] { EditStates &= ~TRVEditStates(rvesMergingSubDocUndo); });
    // Items edited in place (tables) fold their editors' records in here;
    // no item of this library holds an in-place editor.
}

void TRVEditRVData::RecordModifyItemTerminator(int ItemNo, bool Opening) {
    if (!GetActiveUndoList()) return;
    auto info = std::make_unique<TRVUndoModifyItemTerminator>();
    info->ItemNo = ItemNo;
    info->Opening = Opening;
    Record(std::move(info));
}

void TRVEditRVData::RecordReformatRange(int ItemNo, int LastAffectedItemNo, bool SuperReformat) {
    if (!GetActiveUndoList()) return;
    auto info = std::make_unique<TRVUndoReformateRange>();
    info->ItemNo = ItemNo;
    info->LastAffectedItemNo = LastAffectedItemNo;
    info->SuperReformat = SuperReformat;
    Record(std::move(info));
}

int TRVEditRVData::GetParaEndItem(int ItemNo) const {
    while (ItemNo + 1 < ItemCount() && !IsParaStart(ItemNo + 1))
        ++ItemNo;
    return ItemNo;
}

void TRVEditRVData::Undo() {
    UndoList->Undo();
}

void TRVEditRVData::Redo() {
    RedoList->Redo();
}

// ---------------------------------------------------------------- inserting and taking items

void TRVEditRVData::InsertItemAt(int ItemNo, AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item,
                                 bool FromUndoList) {
    TCustomRVItemInfo* item = Item.get();
    item->Inserting(this, Text, false);
    item->DrawItemNo = -1;
    ItemList->InsertObject(ItemNo, Text, std::move(Item));
    item->Inserted(this, ItemNo);
    AddSeqInList(ItemNo);
    AddMarkerInList(ItemNo);
    if (FromUndoList) item->MovingFromUndoList(ItemNo, this);
}

std::unique_ptr<TCustomRVItemInfo> TRVEditRVData::TakeItem(int ItemNo, TRVUndoInfo* Record) {
    if (!Record) {
        FreeItem(ItemNo, false);
        ItemList->Delete(ItemNo);
        return nullptr;
    }
    TCustomRVItemInfo* item = &LiveItem(ItemNo);
    item->MovingToUndoList(ItemNo, this, Record);
    RemoveSeqFromList(item, false);
    RemoveMarkerFromList(item, false);
    if (item == CapturedItem) CapturedItem = nullptr;
    if (item == ActiveItem) ActiveItem = nullptr;
    if (item == PartialSelectedItem) PartialSelectedItem = nullptr;
    std::unique_ptr<TCustomRVItemInfo> taken = ItemList->ReleaseObject(ItemNo);
    ItemList->Delete(ItemNo);
    return taken;
}

void TRVEditRVData::SetItemText(int ItemNo, AnsiString Text) {
    DoItemAction(rviaTextModifying, &LiveItem(ItemNo), Text, this);
    ItemList->SetString(ItemNo, Text);
}

// ---------------------------------------------------------------- items

void TRVEditRVData::UndoableDeleteItem(int ItemNo, bool& FullReformat) {
    LiveItem(ItemNo);
    FullReformat = IsMeasured(*this) && CalculateMinParaWidth(ItemNo) == DocumentWidth;
    if (GetItem(ItemNo)->Checkpoint) UndoableDeleteCheckpoint(ItemNo);
    if (!GetActiveUndoList()) {
        TakeItem(ItemNo, nullptr);
        return;
    }
    auto info = std::make_unique<TRVUndoDeleteItemInfo>();
    TRVUndoDeleteItemInfo* record = info.get();
    record->ItemNo = ItemNo;
    record->S = GetItemText(ItemNo);
    Record(std::move(info));
    record->Item = TakeItem(ItemNo, record);
}

void TRVEditRVData::UndoableDeleteItems(int First, int Last, bool& FullReformat) {
    FullReformat = false;
    if (Last < First) return;
    LiveItem(First);
    LiveItem(Last);
    FullReformat = IsMeasured(*this) && CalculateMinRangeWidth(First, Last) == DocumentWidth;
    for (int i = Last; i >= First; --i)
        if (GetItem(i)->Checkpoint) UndoableDeleteCheckpoint(i);
    TRVUndoDeleteItemsInfo* record = nullptr;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoDeleteItemsInfo>();
        record = info.get();
        record->StartItemNo = First;
        Record(std::move(info));
    }
    for (int i = Last; i >= First; --i) {
        if (!record) {
            TakeItem(i, nullptr);
            continue;
        }
        AnsiString text = GetItemText(i);
        record->Entries.push_back({text, TakeItem(i, record)});
    }
}

void TRVEditRVData::UndoableInsertItem(int ItemNo, AnsiString& Text, bool& FullReformat, bool FromUndoList,
                                       std::unique_ptr<TCustomRVItemInfo> Item) {
    FullReformat = false;
    if (ItemNo < 0 || ItemNo > ItemCount()) throw EZoroZudoError(errRVItemIndex);
    int lastAffected = -1;
    if (Item->StartsParagraph() && ItemNo < ItemCount() && !IsParaStart(ItemNo))
        lastAffected = GetParaEndItem(ItemNo);
    std::unique_ptr<TRVCPInfo> checkpoint = std::move(Item->Checkpoint);
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoInsertItemInfo>();
        info->ItemNo = ItemNo;
        info->LastAffectedItemNo = lastAffected;
        Record(std::move(info));
    }
    int paraNo = Item->ParaNo;
    InsertItemAt(ItemNo, Text, std::move(Item), FromUndoList);
    if (lastAffected != -1) UndoableSetParaNoRange(ItemNo + 1, lastAffected + 1, FullReformat, paraNo);
    if (checkpoint) UndoableAddCheckpoint(ItemNo, std::move(checkpoint));
}

void TRVEditRVData::UndoableInsertItems(int ItemNo, std::vector<TRVUndoStringItemListInfo::TEntry>& List,
                                        bool& FullReformat, bool FromUndoList) {
    FullReformat = false;
    if (ItemNo < 0 || ItemNo > ItemCount()) throw EZoroZudoError(errRVItemIndex);
    TRVUndoInsertItemsInfo* record = nullptr;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoInsertItemsInfo>();
        record = info.get();
        record->ItemNo = ItemNo;
        record->Count = int(List.size());
        Record(std::move(info));
    }
    for (auto& entry : List)
        InsertItemAt(ItemNo, entry.Text, std::move(entry.Item), FromUndoList);
    FinishInsertItems(ItemNo, int(List.size()), FullReformat, record);
}

void TRVEditRVData::FinishInsertItems(int ItemNo, int Count, bool& FullReformat,
                                      TRVUndoInsertItemsInfo* Record) {
    FullReformat = false;
    if (Count == 0) return;
    int last = ItemNo + Count - 1;
    if (last + 1 < ItemCount() && !IsParaStart(last + 1)) {
        int lastAffected = GetParaEndItem(last);
        if (Record) Record->LastAffectedItemNo = lastAffected;
        UndoableSetParaNoRange(last, lastAffected, FullReformat, GetItemPara(last));
    }
    for (int i = ItemNo; i <= last; ++i)
        if (GetItem(i)->Checkpoint) {
            std::unique_ptr<TRVCPInfo> checkpoint = std::move(GetItem(i)->Checkpoint);
            UnlinkCheckpoint(checkpoint.get(), false);
            UndoableAddCheckpoint(i, std::move(checkpoint));
        }
}

// ---------------------------------------------------------------- text

void TRVEditRVData::UndoableDeleteSubstring(int ItemNo, int Index, int Count) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    AnsiString text = GetItemText(ItemNo);
    if (Count == -1) Count = ItemTextLength(text, item.ItemOptions) - Index + 1;
    if (Count <= 0) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoDeleteSubstringInfo>();
        info->ItemNo = ItemNo;
        info->Index = Index;
        info->S = ItemTextCopy(text, Index, Count, item.ItemOptions);
        Record(std::move(info));
    }
    DeleteCharsAt(text, Index, Count, item.ItemOptions);
    SetItemText(ItemNo, text);
}

void TRVEditRVData::UndoableInsertSubstring(int ItemNo, int Index, const AnsiString& Text) {
    if (Text.empty()) return;
    if (ItemNo < 0 || ItemNo >= ItemCount() || !GetItem(ItemNo) || GetItem(ItemNo)->StyleNo < 0)
        throw Exception("Undo error");
    TCustomRVItemInfo& item = *GetItem(ItemNo);
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoInsertSubstringInfo>();
        info->ItemNo = ItemNo;
        info->Index = Index;
        info->Length = ItemTextLength(Text, item.ItemOptions);
        Record(std::move(info));
    }
    AnsiString text = GetItemText(ItemNo);
    InsertCharsAt(Text, text, Index, item.ItemOptions);
    SetItemText(ItemNo, text);
}

void TRVEditRVData::UndoableChangeText(int ItemNo, const AnsiString& NewText) {
    LiveItem(ItemNo);
    if (GetItemText(ItemNo) == NewText) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoChangeTextInfo>();
        info->ItemNo = ItemNo;
        info->S = GetItemText(ItemNo);
        Record(std::move(info));
    }
    SetItemText(ItemNo, NewText);
}

// ---------------------------------------------------------------- paragraphs

bool TRVEditRVData::SetParaNoRange(int First, int Last, bool& FullReformat, int ParaNo) {
    FullReformat = false;
    bool measured = IsMeasured(*this);
    int old = measured ? CalculateMinParasWidth(First, Last) : 0;
    TRVStyle* style = GetRVStyle();
    bool changed = false;
    for (int i = First; i <= Last; ++i) {
        TCustomRVItemInfo& item = LiveItem(i);
        if (item.ParaNo == ParaNo) continue;
        bool protect = style && item.ParaNo >= 0 && item.ParaNo < style->ParaStyles().Count() &&
                       (style->ParaStyles().GetItem(item.ParaNo)->Options & rvpaoStyleProtect);
        if (protect && !(i > 0 && !item.StartsParagraph() && LiveItem(i - 1).ParaNo == ParaNo)) continue;
        item.ParaNo = ParaNo;
        changed = true;
    }
    if (changed && measured) {
        int now = CalculateMinParasWidth(First, Last);
        FullReformat = now > DocumentWidth || old >= DocumentWidth;
    }
    return changed;
}

void TRVEditRVData::UndoableSetParaNoRange(int First, int Last, bool& FullReformat, int ParaNo) {
    FullReformat = false;
    if (Last < First) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoParaListInfo>();
        info->StartItemNo = First;
        for (int i = First; i <= Last; ++i)
            info->List.push_back(LiveItem(i).ParaNo);
        Record(std::move(info));
    }
    SetParaNoRange(First, Last, FullReformat, ParaNo);
}

bool TRVEditRVData::UndoableSetParaNoList(int First, const std::vector<int32_t>& List, bool& FullReformat) {
    FullReformat = false;
    int last = First + int(List.size()) - 1;
    if (List.empty()) return false;
    // The old styles item by item: a range of several paragraphs, some kept
    // by their protection, is restored exactly.
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoParaListInfo>();
        info->StartItemNo = First;
        for (int i = First; i <= last; ++i)
            info->List.push_back(LiveItem(i).ParaNo);
        Record(std::move(info));
    }
    bool measured = IsMeasured(*this);
    int old = measured ? CalculateMinParasWidth(First, last) : 0;
    bool changed = false;
    for (int i = 0; i < int(List.size()); ++i) {
        TCustomRVItemInfo& item = LiveItem(First + i);
        if (item.ParaNo != List[size_t(i)]) {
            item.ParaNo = List[size_t(i)];
            changed = true;
        }
    }
    if (changed && measured)
        FullReformat = WidthNeedsFullFormat(*this, old, CalculateMinParasWidth(First, last));
    return changed;
}

void TRVEditRVData::UndoableSetContinuesParagraph(int ItemNo, bool Value, bool& FullReformat, int ParaNo) {
    FullReformat = false;
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (item.GetBoolValue(iqFullLine)) return;
    if (!Value && !item.GetContinuesParagraph()) return;
    if (Value) {
        bool full = false;
        UndoableSetLineBreakBefore(ItemNo, false, full);
        FullReformat = full;
        UndoableSetPageBreakBefore(ItemNo, false);
    }
    int lastAffected = -1;
    if (ItemNo + 1 < ItemCount() && !IsParaStart(ItemNo + 1)) lastAffected = GetParaEndItem(ItemNo + 1);
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoNewLineInfo>();
        info->ItemNo = ItemNo;
        info->WasContinuesParagraph = item.GetContinuesParagraph();
        info->WasParaNo = item.ParaNo;
        info->LastAffectedItemNo = lastAffected;
        Record(std::move(info));
    }
    if (lastAffected == -1) lastAffected = ItemNo;
    bool full = false;
    if (Value) {
        // Joined first, so that a protected style of the joined paragraph
        // cannot keep a style of its own inside the paragraph it joins.
        item.SetContinuesParagraph(true);
        if (ItemNo > 0) UndoableSetParaNoRange(ItemNo, lastAffected, full, LiveItem(ItemNo - 1).ParaNo);
    } else {
        if (ParaNo != -1) UndoableSetParaNoRange(ItemNo, lastAffected, full, ParaNo);
        item.SetContinuesParagraph(false);
    }
    FullReformat = FullReformat || full;
}

void TRVEditRVData::UndoableSetLineBreakBefore(int ItemNo, bool Value, bool& FullReformat) {
    FullReformat = false;
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (Value == (item.GetContinuesParagraph() || item.GetLineBreakBefore())) return;
    bool measured = IsMeasured(*this);
    int old = measured ? CalculateMinParaWidth(ItemNo) : 0;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoBRInfo>();
        info->ItemNo = ItemNo;
        info->WasLineBreakBefore = item.GetLineBreakBefore();
        Record(std::move(info));
    }
    item.SetLineBreakBefore(Value);
    if (measured) FullReformat = WidthNeedsFullFormat(*this, old, CalculateMinParaWidth(ItemNo));
}

void TRVEditRVData::UndoableSetPageBreakBefore(int ItemNo, bool Value) {
    if (ItemNo > 0 && LiveItem(ItemNo - 1).StyleNo == rvsListMarker) --ItemNo;
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (Value == (item.GetContinuesParagraph() || item.GetPageBreakBefore())) return;
    // Setting the bit clears a line break: that goes first, recorded, so
    // that undo gives the line break back.
    if (Value && item.GetLineBreakBefore()) {
        bool full = false;
        UndoableSetLineBreakBefore(ItemNo, false, full);
    }
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoPageBreakInfo>();
        info->ItemNo = ItemNo;
        info->WasPageBreakBefore = item.GetPageBreakBefore();
        Record(std::move(info));
    }
    item.SetPageBreakBefore(Value);
}

// ---------------------------------------------------------------- item properties

void TRVEditRVData::UndoableSetStyleNo(int ItemNo, int StyleNo) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (item.StyleNo < 0 || item.StyleNo == StyleNo) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoStyleNoInfo>();
        info->ItemNo = ItemNo;
        info->WasStyleNo = item.StyleNo;
        Record(std::move(info));
    }
    if (TRVStyle* style = GetRVStyle()) {
        bool oldUnicode = style->TextStyles().GetItem(ResolveStyleNo(item.StyleNo, item.ParaNo))->Unicode;
        bool newUnicode = style->TextStyles().GetItem(ResolveStyleNo(StyleNo, item.ParaNo))->Unicode;
        if (oldUnicode != newUnicode) {
            if (newUnicode)
                item.ItemOptions |= ioUnicodeText;
            else
                item.ItemOptions &= TRVItemOptions(~ioUnicodeText);
        }
    }
    item.StyleNo = StyleNo;
}

void TRVEditRVData::UndoableSetAssociatedTextStyleNo(int ItemNo, int StyleNo) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (item.GetAssociatedTextStyleNo() == StyleNo) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoAssociatedTextStyleNoInfo>();
        info->ItemNo = ItemNo;
        info->WasStyleNo = item.GetAssociatedTextStyleNo();
        info->ItemClass = &typeid(item);
        Record(std::move(info));
    }
    item.SetAssociatedTextStyleNo(StyleNo);
}

void TRVEditRVData::UndoableSetTag(int ItemNo, const TRVTag& Tag) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (item.Tag == Tag) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoTagInfo>();
        info->ItemNo = ItemNo;
        info->WasTag = DuplicateTag(item.Tag);
        info->TagsArePChars = TagsArePChars();
        Record(std::move(info));
    }
    item.Tag = DuplicateTag(Tag);
}

void TRVEditRVData::UndoableSetExtraIntProperty(int ItemNo, int Prop, int Value) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    int old;
    if (!item.GetExtraIntProperty(Prop, old) || old == Value) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoExtraIntProperty>();
        info->ItemNo = ItemNo;
        info->Prop = Prop;
        info->OldValue = old;
        info->ItemClass = &typeid(item);
        Record(std::move(info));
    }
    item.SetExtraIntProperty(Prop, Value);
    if (Prop == rvepWidth || Prop == rvepHeight || Prop == rvepAnimationInterval) item.UpdateAnimator(this);
}

void TRVEditRVData::UndoableSetExtraStrProperty(int ItemNo, int Prop, const AnsiString& Value) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    AnsiString old;
    if (!item.GetExtraStrProperty(Prop, old) || old == Value) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoExtraStrProperty>();
        info->ItemNo = ItemNo;
        info->Prop = Prop;
        info->OldValue = old;
        info->ItemClass = &typeid(item);
        Record(std::move(info));
    }
    item.SetExtraStrProperty(Prop, Value);
}

// ---------------------------------------------------------------- checkpoints

void TRVEditRVData::UndoableAddCheckpoint(int ItemNo, std::unique_ptr<TRVCPInfo> Checkpoint) {
    std::unique_ptr<TRVCPInfo>& slot = ItemNo == -1 ? PendingCheckpoint : LiveItem(ItemNo).Checkpoint;
    if (slot) throw EZoroZudoError(errRVCP);
    if (!Checkpoint) return;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoAddCPInfo>();
        info->ItemNo = ItemNo;
        Record(std::move(info));
    }
    TRVCPInfo* cp = Checkpoint.get();
    cp->Next = cp->Prev = nullptr;
    ++CheckpointCount;
    if (ItemNo == -1) {
        cp->Item = nullptr;
        slot = std::move(Checkpoint);
        return;
    }
    cp->Item = &LiveItem(ItemNo);
    slot = std::move(Checkpoint);
    InsertCheckpointInOrder(cp, ItemNo);
}

void TRVEditRVData::UndoableDeleteCheckpoint(int ItemNo) {
    std::unique_ptr<TRVCPInfo>& slot = ItemNo == -1 ? PendingCheckpoint : LiveItem(ItemNo).Checkpoint;
    if (!slot) throw EZoroZudoError(errRVCP);
    if (ItemNo != -1) UnlinkCheckpoint(slot.get(), false);
    --CheckpointCount;
    slot->Item = nullptr;
    slot->Next = slot->Prev = nullptr;
    if (GetActiveUndoList()) {
        auto info = std::make_unique<TRVUndoDeleteCPInfo>();
        info->ItemNo = ItemNo;
        info->Checkpoint = std::move(slot);
        info->TagsArePChars = TagsArePChars();
        Record(std::move(info));
    }
    slot.reset();
}

void TRVEditRVData::UndoableMoveCheckpoint(int FromItemNo, int ToItemNo) {
    const TRVCPInfo* from = LiveItem(FromItemNo).Checkpoint.get();
    if (!from) return;
    std::unique_ptr<TRVCPInfo> copy = from->CreateCopy();
    if (LiveItem(ToItemNo).Checkpoint) UndoableDeleteCheckpoint(ToItemNo);
    UndoableAddCheckpoint(ToItemNo, std::move(copy));
    UndoableDeleteCheckpoint(FromItemNo);
}

// ---------------------------------------------------------------- joining

void TRVEditRVData::UndoableJoinItems(int ItemNo) {
    TCustomRVItemInfo& first = LiveItem(ItemNo);
    TCustomRVItemInfo& second = LiveItem(ItemNo + 1);
    if (first.IsUnicode() != second.IsUnicode() && !GetItemText(ItemNo + 1).empty()) {
        // The empty item gives way to the item with text.
        bool full = false;
        if (first.StartsParagraph()) UndoableSetContinuesParagraph(ItemNo + 1, false, full, first.ParaNo);
        if (first.GetLineBreakBefore()) UndoableSetLineBreakBefore(ItemNo + 1, true, full);
        if (first.Checkpoint && !second.Checkpoint)
            UndoableAddCheckpoint(ItemNo + 1, first.Checkpoint->CreateCopy());
        UndoableDeleteItem(ItemNo, full);
        return;
    }
    bool wasEmpty = GetItemText(ItemNo).empty();
    if (wasEmpty) UndoableSetTag(ItemNo, second.Tag);
    int secondStyle = second.StyleNo;
    UndoableInsertSubstring(ItemNo, ItemLength(ItemNo) + 1, GetItemText(ItemNo + 1));
    if (second.Checkpoint && !first.Checkpoint)
        UndoableAddCheckpoint(ItemNo, second.Checkpoint->CreateCopy());
    bool full = false;
    UndoableDeleteItem(ItemNo + 1, full);
    if (wasEmpty) UndoableSetStyleNo(ItemNo, secondStyle);
}

// ---------------------------------------------------------------- new text items

std::unique_ptr<TRVTextItemInfo> TRVEditRVData::CreateTextItem(const TRVTag& Tag, int ParaNo,
                                                               bool LineBreakBefore, bool ContinuesParagraph,
                                                               int StyleNo) {
    auto item = std::unique_ptr<TRVTextItemInfo>(
        static_cast<TRVTextItemInfo*>(RVTextItemClass.Create(this).release()));
    item->StyleNo = StyleNo;
    item->ParaNo = ParaNo;
    item->Tag = DuplicateTag(Tag);
    if (TRVStyle* style = GetRVStyle())
        if (style->TextStyles().GetItem(ResolveStyleNo(StyleNo, ParaNo))->Unicode)
            item->ItemOptions |= ioUnicodeText;
    item->SetContinuesParagraph(ContinuesParagraph);
    if (LineBreakBefore) item->SetLineBreakBefore(true);
    return item;
}

std::unique_ptr<TRVTextItemInfo> TRVEditRVData::CreateTextItemLike(const TRVTag& Tag,
                                                                   const TCustomRVItemInfo& Source,
                                                                   bool LineBreakBefore,
                                                                   bool ContinuesParagraph) {
    auto item = CreateTextItemFrom(Source, this);
    item->Tag = DuplicateTag(Tag);
    item->SetContinuesParagraph(ContinuesParagraph);
    if (LineBreakBefore) item->SetLineBreakBefore(true);
    return item;
}
