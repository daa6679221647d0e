// Appending items, text, breaks and checkpoints to a document, and the
// document's checkpoint chain.
#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- adding items

void TCustomRVData::AddItem(const AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item) {
    AppendItem(Text, std::move(Item), false);
}

void TCustomRVData::AddItemAsIs(const AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item) {
    AppendItem(Text, std::move(Item), true);
}

void TCustomRVData::AppendItem(const AnsiString& Text, std::unique_ptr<TCustomRVItemInfo> Item, bool AsIs) {
    if (!Item) throw EZoroZudoError(errRVInternal);
    int lastNo = ItemCount() - 1;
    if (FMarkerPlaceholder && !AsIs && lastNo >= 1 && GetItem(lastNo) == FMarkerPlaceholder &&
        Item->ParaNo == -1 && !Item->GetBoolValue(iqFullLine) && !FMarkerPlaceholder->Checkpoint &&
        GetItemText(lastNo).empty()) {
        // Taken out directly: the marker is alone only until the item comes.
        FreeItem(lastNo, false);
        ItemList->Delete(lastNo);
    }
    FMarkerPlaceholder = nullptr;
    if (!AsIs) {
        int count = ItemCount();
        // Nothing continues a full-line item, and a full-line item continues nothing.
        if (Item->ParaNo == -1 && count > 0 && !LiveItem(count - 1).GetBoolValue(iqFullLine) &&
            !Item->GetBoolValue(iqFullLine)) {
            Item->SetContinuesParagraph(true);
            Item->ParaNo = LiveItem(count - 1).ParaNo;
        } else {
            // A list marker never ends its paragraph.
            if (count > 0 && LiveItem(count - 1).StyleNo == rvsListMarker) AddTextItem("", 0, -1);
            // A line break joins the last paragraph, which a full-line item
            // never shares, and takes that paragraph's style.
            const TCustomRVItemInfo* last = ItemCount() > 0 ? &LiveItem(ItemCount() - 1) : nullptr;
            bool lineBreak = (Item->GetLineBreakBefore() || !NewParaAllowed) &&
                             !Item->GetBoolValue(iqFullLine) && last && !last->GetBoolValue(iqFullLine);
            Item->SetContinuesParagraph(false);
            Item->SetLineBreakBefore(lineBreak);
            if (lineBreak)
                Item->ParaNo = last->ParaNo;
            else if (Item->ParaNo == -1)
                Item->ParaNo = 0;
        }
    }
    // A checkpoint the item brings waits like one added by AddCheckpoint,
    // unless one is waiting already.
    if (std::unique_ptr<TRVCPInfo> carried = std::move(Item->Checkpoint); carried && !PendingCheckpoint) {
        carried->Next = carried->Prev = nullptr;
        carried->Item = nullptr;
        PendingCheckpoint = std::move(carried);
        ++CheckpointCount;
    }
    LinkCheckpoint(*Item, CheckpointTail, PendingCheckpoint);
    // When the item refuses to be inserted, its checkpoint waits again.
    TScopeGuard restore([&] {
        if (Item->Checkpoint) {
            UnlinkCheckpoint(Item->Checkpoint.get(), false);
            PendingCheckpoint = std::move(Item->Checkpoint);
        }
    });
    AnsiString text = Text;
    Item->Inserting(this, text, false);
    restore.Dismiss();
    TCustomRVItemInfo* item = Item.get();
    ItemList->AddObject(text, std::move(Item));
    item->Inserted(this, ItemCount() - 1);
    // Markers and sequences added in code are numbered at once, as those
    // inserted by the editor or a reader are; a bulk load numbers them at
    // its end.
    if (FItemsLoading == 0) {
        AddMarkerInList(ItemCount() - 1);
        AddSeqInList(ItemCount() - 1);
        if (!AsIs) RVCheckAfterOperation(*this);
    }
}

int TCustomRVData::NewItemTextStyle(int StyleNo, int ParaNo) const {
    if (StyleNo >= 0 && StyleNo != rvsDefStyle) return StyleNo;
    TRVStyle* style = GetRVStyle();
    if (!style) return 0;
    if (ParaNo == -1) ParaNo = ItemCount() > 0 ? LiveItem(ItemCount() - 1).ParaNo : 0;
    int def = style->ParaStyles().GetItem(ParaNo)->DefStyleNo;
    return def < 0 ? 0 : def;
}

// Without a style sheet no text style tells the encoding; Unicode says it.
void TCustomRVData::AddTextItemInEncoding(AnsiString Text, int StyleNo, int ParaNo, const TRVTag& Tag,
                                          bool Unicode) {
    std::unique_ptr<TCustomRVItemInfo> item = RVTextItemClass.Create(this);
    item->StyleNo = StyleNo < 0 ? rvsDefStyle : StyleNo;
    item->ParaNo = ParaNo;
    item->Tag = Tag;
    int textStyle = NewItemTextStyle(StyleNo, ParaNo);
    if (GetRVStyle()) Unicode = IsUnicodeStyle(textStyle);
    if (Unicode) {
        CheckUnicodeByteLength(Text);
        item->ItemOptions |= ioUnicodeText;
    }
    AddItem(ReplaceTabs(Text, textStyle, Unicode), std::move(item));
}

void TCustomRVData::AddTextItemTag(const AnsiString& Text, int StyleNo, int ParaNo, const TRVTag& Tag) {
    AddTextItemInEncoding(Text, StyleNo, ParaNo, Tag, false);
}

void TCustomRVData::AddRawUnicodeTextTag(const AnsiString& Text, int StyleNo, int ParaNo, const TRVTag& Tag) {
    CheckUnicodeByteLength(Text);
    int textStyle = NewItemTextStyle(StyleNo, ParaNo);
    if (GetRVStyle() && !IsUnicodeStyle(textStyle))
        AddTextItemInEncoding(RawUnicodeToAnsi(unsigned(GetStyleCodePage(textStyle)), Text), StyleNo, ParaNo,
                              Tag, false);
    else
        AddTextItemInEncoding(Text, StyleNo, ParaNo, Tag, true);
}

void TCustomRVData::AddWideTextTag(std::u16string_view Text, int StyleNo, int ParaNo, const TRVTag& Tag) {
    AddRawUnicodeTextTag(WideToRawUnicode(Text), StyleNo, ParaNo, Tag);
}

void TCustomRVData::AddAnsiTextTag(const AnsiString& Text, int StyleNo, int ParaNo, const TRVTag& Tag) {
    int textStyle = NewItemTextStyle(StyleNo, ParaNo);
    if (GetRVStyle() && IsUnicodeStyle(textStyle))
        AddTextItemInEncoding(AnsiToRawUnicode(unsigned(GetStyleCodePage(textStyle)), Text), StyleNo, ParaNo,
                              Tag, true);
    else
        AddTextItemInEncoding(Text, StyleNo, ParaNo, Tag, false);
}

void TCustomRVData::AddBreakEx(uint8_t Width, TRVBreakStyle Style, TColor Color, const TRVTag& Tag) {
    std::unique_ptr<TRVBreakItemInfo> item = TRVBreakItemInfo::CreateEx(this, Width, Style, Color);
    item->ParaNo = 0;
    item->Tag = Tag;
    AddItem("", std::move(item));
}

int TCustomRVData::AddCheckpoint(const AnsiString& Name, bool RaiseEvent, const TRVTag& Tag) {
    if (PendingCheckpoint) return CheckpointCount - 1;
    PendingCheckpoint = std::make_unique<TRVCPInfo>();
    PendingCheckpoint->Name = Name;
    PendingCheckpoint->RaiseEvent = RaiseEvent;
    PendingCheckpoint->Tag = Tag;
    return CheckpointCount++;
}

// ---------------------------------------------------------------- checkpoint chain

void TCustomRVData::LinkCheckpoint(TCustomRVItemInfo& Item, TRVCPInfo* After,
                                   std::unique_ptr<TRVCPInfo>& Pending) {
    if (!Pending) return;
    TRVCPInfo* cp = Pending.get();
    cp->Prev = After;
    if (After) {
        cp->Next = After->Next;
        if (After->Next) After->Next->Prev = cp;
        After->Next = cp;
    } else {
        cp->Next = CheckpointHead;
        if (CheckpointHead) CheckpointHead->Prev = cp;
        CheckpointHead = cp;
    }
    if (After == CheckpointTail) CheckpointTail = cp;
    cp->Item = &Item;
    Item.Checkpoint = std::move(Pending);
}

void TCustomRVData::UnlinkCheckpoint(TRVCPInfo* CP, bool DecCount) {
    if (!CP) return;
    // A checkpoint that is not in the chain leaves the chain alone, though
    // its stale links may still point into it.
    bool linked = CheckpointHead == CP || (CP->Prev && CP->Prev->Next == CP);
    if (linked) {
        if (CP->Prev)
            CP->Prev->Next = CP->Next;
        else
            CheckpointHead = CP->Next;
        if (CP->Next)
            CP->Next->Prev = CP->Prev;
        else
            CheckpointTail = CP->Prev;
    }
    CP->Item = nullptr;
    if (DecCount) --CheckpointCount;
}

void TCustomRVData::FreeCheckpoint(std::unique_ptr<TRVCPInfo>& CP, bool Unlink, bool DecCount) {
    if (!CP) return;
    if (Unlink) UnlinkCheckpoint(CP.get(), false);
    CP.reset();
    if (DecCount) --CheckpointCount;
}

void TCustomRVData::UpdateCheckpointItemNos() {
    if (CheckpointCount <= 0) return;
    int met = 0;
    for (int i = 0; i < ItemCount() && met < CheckpointCount; ++i)
        if (TCustomRVItemInfo* item = GetItem(i); item && item->Checkpoint) {
            item->Checkpoint->ItemNo = i;
            ++met;
        }
}

TRVCPInfo* TCustomRVData::FindCheckpointBefore(int Index) const {
    if (!CheckpointHead || CheckpointHead->ItemNo >= Index) return nullptr;
    TRVCPInfo* cp = CheckpointHead;
    while (cp->Next && cp->Next->ItemNo < Index)
        cp = cp->Next;
    return cp;
}

void TCustomRVData::InsertCheckpointInOrder(TRVCPInfo* CP, int ItemNo) {
    if (!CP || ItemNo == -1) return;
    UpdateCheckpointItemNos();
    CP->ItemNo = ItemNo;
    if (!CheckpointHead || ItemNo < CheckpointHead->ItemNo) {
        CP->Prev = nullptr;
        CP->Next = CheckpointHead;
        if (CheckpointHead)
            CheckpointHead->Prev = CP;
        else
            CheckpointTail = CP;
        CheckpointHead = CP;
        return;
    }
    TRVCPInfo* after = CheckpointHead;
    while (after->Next && after->Next->ItemNo <= ItemNo)
        after = after->Next;
    CP->Prev = after;
    CP->Next = after->Next;
    if (after->Next)
        after->Next->Prev = CP;
    else
        CheckpointTail = CP;
    after->Next = CP;
}

void TCustomRVData::RelinkCheckpoints() {
    CheckpointHead = CheckpointTail = nullptr;
    CheckpointCount = PendingCheckpoint ? 1 : 0;
    for (int i = 0; i < ItemCount(); ++i) {
        TCustomRVItemInfo* item = GetItem(i);
        if (!item || !item->Checkpoint) continue;
        TRVCPInfo* cp = item->Checkpoint.get();
        cp->Prev = CheckpointTail;
        cp->Next = nullptr;
        cp->Item = item;
        cp->ItemNo = i;
        if (CheckpointTail)
            CheckpointTail->Next = cp;
        else
            CheckpointHead = cp;
        CheckpointTail = cp;
        ++CheckpointCount;
    }
}
