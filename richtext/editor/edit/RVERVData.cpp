// The editing data's life cycle (creation, clearing, formatting with the
// caret kept), its hyperlinks, and the hooks of saving, styles and item
// texts.
#include "richtext/editor/edit/RVERVData.h"

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/items/RVStyleUsage.h"

void TRVCharPos::Assign(const TObject* Source) {
    if (auto* pos = dynamic_cast<const TRVCharPos*>(Source)) {
        Left = pos->Left;
        DrawItem = pos->DrawItem;
        DrawItemOffset = pos->DrawItemOffset;
    }
}

TRVEditRVData::TRVEditRVData(IRVControlHost& Host, TRVEditorLink* AEditor)
    : TZoroZudoRVData(Host), Editor(AEditor) {
    TabNavigation = rvtnNone;
    UndoList = std::make_unique<TRVUndoList>(this);
    RedoList = std::make_unique<TRVRedoList>(this);
}

TRVEditRVData::~TRVEditRVData() {
    // Records tell the document about the items they free.
    UndoList->Clear();
    RedoList->Clear();
}

void TRVEditRVData::ResetFormatting() {
    CharPositions.Clear();
    CaretDrawItem = -1;
    CaretPosIndex = -1;
    CaretTag = 0;
    EditStates &= ~TRVEditStates(rvesControlInsertsText);
    CustomCaretShown = false;
    CustomCaretBack.reset();
    TZoroZudoRVData::ResetFormatting();
}

void TRVEditRVData::Clear() {
    TZoroZudoRVData::Clear();
    if (Editor) Editor->SetModified(false);
    UndoList->Clear();
    RedoList->Clear();
    LastSwitchableTextStyle = 0;
    SetCurTextStyle(0);
    SetCurParaStyle(0);
    EditStates |= rvesStylesReread;
}

void TRVEditRVData::PrepareEmptyDocument() {
    if (ItemCount() != 0 || !GetRVStyle()) return;
    AddTextItem(AnsiString(), CurrentTextStyle, CurrentParaStyle);
    FormatDocument(false, true, false, 0, GetCanvas(), false, true, false);
    if (DrawItems.Count() > 0) {
        CaretDrawItem = 0;
        BuildCaretLine(DrawItemStartOffset(0) - 2);
        CaretPosIndex = 0;
    }
}

void TRVEditRVData::FormatDocument(bool Preserve, bool Force, bool NoScroll, int Depth, TCanvas* Canvas,
                                   bool OnlyTail, bool ItemFlagB, bool ItemFlagA) {
    if (EditStates & rvesLayoutApplying) return;
    PrepareEmptyDocument();
    if (InAreaSizeUpdate) {
        InAreaSizeUpdate = false;
        return;
    }
    if (Depth != 0) {
        // A nested format leaves the caret as it was.
        TRVCharPosCollection positions = std::move(CharPositions);
        int drawItem = CaretDrawItem, index = CaretPosIndex;
        TZoroZudoRVData::FormatDocument(Preserve, Force, NoScroll, Depth, Canvas, OnlyTail, ItemFlagB,
                                        ItemFlagA);
        CharPositions = std::move(positions);
        CaretDrawItem = drawItem;
        CaretPosIndex = index;
        return;
    }
    bool keep = GetRVStyle();
    bool keepCaret = keep && (Preserve || OnlyTail);
    int itemNo = -1, itemOffs = 0;
    if (keepCaret && CaretDrawItem >= 0 && CaretDrawItem < DrawItems.Count())
        if (const TRVCharPos* pos = CurrentCharPos()) {
            CaretDrawItem = pos->DrawItem;
            DrawItemToItem(CaretDrawItem, pos->DrawItemOffset, itemNo, itemOffs);
        }
    TZoroZudoRVData::FormatDocument(Preserve, Force, NoScroll, Depth, Canvas, OnlyTail, ItemFlagB, ItemFlagA);
    if (keep) {
        if (keepCaret && itemNo >= 0 && itemNo < ItemCount() && DrawItems.Count() > 0) {
            int drawItem, drawOffs;
            ItemToDrawItem(itemNo, itemOffs, drawItem, drawOffs);
            CaretDrawItem = drawItem;
            BuildCaretLine(drawOffs - 2);
        } else {
            Deselect(false);
            if (DrawItems.Count() == 0) {
                CaretDrawItem = CaretPosIndex = -1;
                CharPositions.Clear();
            } else {
                CaretDrawItem = 0;
                BuildCaretLine(ItemStartOffset(0) - 2);
                CaretPosIndex = 0;
            }
        }
        UpdateCaret(false, !(EditStates & rvesStylesReread), false);
    }
    EditStates &= ~TRVEditStates(rvesStylesReread);
}

void TRVEditRVData::AfterFormatting() {
    // The control's timer restarts the custom caret; here only its state.
    CustomCaretShown = Editor && Editor->GetCustomCaretInterval() > 0;
}

// ---------------------------------------------------------------- hyperlinks

int TRVEditRVData::ActivateJumps(bool Force) {
    if (!Force && IsReadOnly()) return 0;
    ClearJumps();
    TRVStyle* style = GetRVStyle();
    int counter = 0;
    for (int i = 0; i < DrawItems.Count(); ++i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        const TCustomRVItemInfo& item = LiveItem(d.ItemNo);
        if (!item.GetBoolValueEx(iqxHyperlink, style)) continue;
        auto jump = std::make_unique<TRVJumpInfo>();
        jump->Data = this;
        jump->Left = d.Left;
        jump->Top = d.Top;
        jump->Width = d.Width;
        jump->Height = d.Height;
        jump->JumpNo = item.JumpID;
        jump->DrawItemNo = i;
        counter = std::max(counter, item.JumpID + 1);
        Jumps.push_back(std::move(jump));
    }
    SetFlags(GetFlags() | rvflUseJumps);
    EditStates &= ~TRVEditStates(rvesHyperlinkHighlighted);
    InvalidateRect(TRect(0, 0, GetWidth(), GetHeight()));
    return counter;
}

void TRVEditRVData::DeactivateJumps() {
    if (IsReadOnly() || !(GetFlags() & rvflUseJumps)) return;
    ClearJumps();
    SetFlags(GetFlags() & ~rvflUseJumps);
    EditStates &= ~TRVEditStates(rvesHyperlinkHighlighted);
    HoverJumpNo = -1;
    UpdateCaret(false, true, false);
    InvalidateRect(TRect(0, 0, GetWidth(), GetHeight()));
}

// ---------------------------------------------------------------- styles

void TRVEditRVData::MarkUsedStyles(TRVStyleUsageInfo& Usage) {
    TZoroZudoRVData::MarkUsedStyles(Usage);
    if (CurrentTextStyle != -1) {
        CurrentTextStyle = GetResolvedCurTextStyle();
        TRVStyleUsageInfo::Mark(Usage.TextStyles, CurrentTextStyle);
    }
    if (CurrentParaStyle != -1) TRVStyleUsageInfo::Mark(Usage.ParaStyles, CurrentParaStyle);
}

void TRVEditRVData::AfterStylesDeleted(TRVStyleUsageInfo& Usage) {
    // Records hold the old style numbers.
    UndoList->Clear();
    RedoList->Clear();
    if (Usage.ExamineTextStyles) {
        if (CurrentTextStyle != -1)
            CurrentTextStyle = TRVStyleUsageInfo::Renumbered(Usage.TextStyles, CurrentTextStyle);
        int index = LastSwitchableTextStyle;
        bool deleted = index >= 0 && index < Usage.TextStyles.Count() && Usage.TextStyles.GetItem(index) == 0;
        LastSwitchableTextStyle = deleted ? 0 : TRVStyleUsageInfo::Renumbered(Usage.TextStyles, index);
    }
    if (Usage.ExamineParaStyles && CurrentParaStyle != -1)
        CurrentParaStyle = TRVStyleUsageInfo::Renumbered(Usage.ParaStyles, CurrentParaStyle);
    if (!GetActiveSubDocument()) {
        EditStates |= rvesStylesAnnounceAgain;
        SetCurTextStyle(CurrentTextStyle);
        EditStates |= rvesStylesAnnounceAgain;
        SetCurParaStyle(CurrentParaStyle);
        EditStates &= ~TRVEditStates(rvesStylesAnnounceAgain);
    }
    TZoroZudoRVData::AfterStylesDeleted(Usage);
}

void TRVEditRVData::SetCurTextStyle(int StyleNo) {
    if (Editor) {
        Editor->SetCurTextStyleNo(StyleNo);
        return;
    }
    CurrentTextStyle = StyleNo;
    EditStates &= ~TRVEditStates(rvesStylesAnnounceAgain);
}

void TRVEditRVData::SetCurParaStyle(int ParaNo) {
    if (Editor) {
        Editor->SetCurParaStyleNo(ParaNo);
        return;
    }
    CurrentParaStyle = ParaNo;
}

// ---------------------------------------------------------------- changes and item texts

void TRVEditRVData::ChangedEx(bool ClearRedo) {
    if (Editor) Editor->SetModified(true);
    if (!(EditStates & rvesControlInsertsText)) ClearCaretTag();
    if (Editor)
        Editor->DoChange(ClearRedo);
    else if (ClearRedo)
        RedoList->Clear();
}

void TRVEditRVData::RememberCaretTag() {
    ClearCaretTag();
    int itemNo = GetCaretItemNo();
    if (itemNo < 0) return;
    const TCustomRVItemInfo& item = LiveItem(itemNo);
    if (item.StyleNo == CurrentTextStyle) CaretTag = DuplicateTag(item.Tag);
}

bool TRVEditRVData::DoItemTextEdit(const AnsiString& OldText, int ItemNo) {
    return DoItemTextEditGrouped(OldText, ItemNo, rvutNone);
}

bool TRVEditRVData::DoItemTextEditGrouped(const AnsiString& OldText, int ItemNo, uint8_t UndoType) {
    if (!Editor) return false;
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    TRVTag newTag = item.Tag;
    int newStyleNo = GetActualStyle(item);
    if (!Editor->ItemTextEdit(OldText, this, ItemNo, newTag, newStyleNo)) return false;
    bool tagChanged = !TagsAreEqual(newTag, item.Tag);
    bool styleChanged = newStyleNo != GetActualStyle(item);
    if (!tagChanged && !styleChanged) return false;
    if (UndoType != rvutNone) BeginUndoGroup(UndoType, true);
    if (tagChanged) UndoableSetTag(ItemNo, newTag);
    if (styleChanged) UndoableSetStyleNo(ItemNo, newStyleNo);
    return true;
}

bool TRVEditRVData::HasPersistentCheckpoint(int ItemNo) const {
    const TRVCPInfo* cp = LiveItem(ItemNo).Checkpoint.get();
    return cp && cp->Persistent;
}

bool TRVEditRVData::ParaHasPersistentCheckpoint(int ItemNo) const {
    for (int i = ItemNo; i >= 0; --i) {
        if (HasPersistentCheckpoint(i)) return true;
        if (IsParaStart(i)) break;
    }
    for (int i = ItemNo + 1; i < ItemCount() && !IsParaStart(i); ++i)
        if (HasPersistentCheckpoint(i)) return true;
    return false;
}

bool TRVEditRVData::MovePersistentCheckpoint(int ItemNo, bool Backward) {
    if (!HasPersistentCheckpoint(ItemNo)) return true;
    int target = -1;
    if (!Backward && ItemNo + 1 < ItemCount() && !IsParaStart(ItemNo + 1) &&
        !HasPersistentCheckpoint(ItemNo + 1))
        target = ItemNo + 1;
    else if (ItemNo > 0 && !IsParaStart(ItemNo) && !HasPersistentCheckpoint(ItemNo - 1))
        target = ItemNo - 1;
    if (target < 0) return false;
    UndoableMoveCheckpoint(ItemNo, target);
    return true;
}

bool TRVEditRVData::SaveRtf(TStream& Stream, const AnsiString& Path, bool SelectionOnly, int Level,
                            TColor Color, TRVRTFTables* Tables, bool CompleteDocument) {
    if (!(GetFlags() & rvflEdited))
        return TZoroZudoRVData::SaveRtf(Stream, Path, SelectionOnly, Level, Color, Tables, CompleteDocument);
    // Writers ask hyperlinks for their targets, live or not.
    ActivateJumps(false);
    TScopeGuard deactivate([&] { DeactivateJumps(); });
    return TZoroZudoRVData::SaveRtf(Stream, Path, SelectionOnly, Level, Color, Tables, CompleteDocument);
}

std::unique_ptr<TRVTextItemInfo> CreateTextItemFrom(const TCustomRVItemInfo& Source, TCustomRVData* Data) {
    auto item = std::unique_ptr<TRVTextItemInfo>(
        static_cast<TRVTextItemInfo*>(RVTextItemClass.Create(Data).release()));
    item->AssignProperties(Source);
    item->ItemOptions = Source.ItemOptions & (ioContinuesParagraph | ioUnicodeText);
    item->Tag = DuplicateTag(Source.Tag);
    item->Checkpoint.reset();
    return item;
}
