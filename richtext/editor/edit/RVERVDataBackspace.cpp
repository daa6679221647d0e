// Backspace and Delete without a selection: a character or a word before
// the caret, an item, a list marker, a page break, or the boundary to the
// neighbouring paragraph; Delete steps over one caret position and then
// removes what it stepped over.
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/text/RVUni.h"

namespace {

bool IsMarker(const TCustomRVItemInfo& Item) {
    return Item.StyleNo == rvsListMarker;
}

} // namespace

bool TRVEditRVData::IsEmptyTextItem(int ItemNo) const {
    return LiveItem(ItemNo).StyleNo >= 0 && GetItemText(ItemNo).empty();
}

// ---------------------------------------------------------------- Backspace

void TRVEditRVData::PressBackspace(bool ByWord, bool FromDelete, bool AtDrawItemEnd) {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos || !GetRVStyle()) return;
    CaretDrawItem = pos->DrawItem;
    const TRVDrawLineInfo& d = *DrawItems[CaretDrawItem];
    int i = d.ItemNo;
    bool text = LiveItem(i).StyleNo >= 0;
    int o = pos->DrawItemOffset;
    if (AtDrawItemEnd && CaretDrawItem + 1 < DrawItems.Count() && DrawItems[CaretDrawItem + 1]->ItemNo != i &&
        text)
        o = ItemEndOffset(i) - d.Offs + 1;
    if (IsItemParaReadOnly(i)) {
        BeepRefusal();
        return;
    }
    int itemOffset = text ? o + d.Offs - 1 : o;
    if (CaretPosIndex == 0 && (!text || itemOffset <= 1)) {
        if (i == 0) {
            if (LiveItem(0).GetPageBreakBefore() && EditorCanChange()) {
                BeginUndoGroup(rvutRemovePageBreak, true);
                UndoableSetPageBreakBefore(0, false);
                InvalidateControl();
                Changed();
            }
            return;
        }
        bool fullLine = LiveItem(i).GetBoolValue(iqFullLine);
        if (fullLine || (LiveItem(i - 1).GetBoolValue(iqFullLine) && !IsEmptyTextItem(i))) {
            MoveCaretLeft(false, false);
            return;
        }
    }
    int rangeFirst, rangeLast;
    GetParaBoundsOfDrawItems(CharPositions.GetItem(0).DrawItem,
                             CharPositions.GetItem(CharPositions.Count() - 1).DrawItem, rangeLast,
                             rangeFirst);
    if (CaretPosIndex == 0 && LiveItem(i).GetContinuesParagraph() && itemOffset <= ItemStartOffset(i) &&
        !IsMarker(LiveItem(i - 1))) {
        // A wrapped line: the end of the line above.
        --CaretDrawItem;
        BuildCaretLine(0);
        CaretPosIndex = CharPositions.Count() - 1;
        PressBackspace(ByWord, FromDelete, true);
        UpdateCaret(true, false, true);
        return;
    }
    BeginUndoGroup(rvutDelete, true);
    if (CaretPosIndex == 0 && IsCaretAtParaStart(false)) {
        BackspaceAtParaStart(i, rangeFirst, rangeLast);
        return;
    }
    if (text) {
        int index = o + d.Offs - 2;
        const AnsiString& s = GetItemText(i);
        TRVItemOptions options = LiveItem(i).ItemOptions;
        int count = 1;
        if (ByWord) {
            int a = index;
            while (a >= 2) {
                bool prevDelim = IsDelimiter(s, a - 1, options);
                bool delim = IsDelimiter(s, a, options);
                if ((prevDelim && !delim) || (!prevDelim && delim && !IsSpaceCharAt(s, a, options))) break;
                --a;
                ++count;
            }
        } else if (FromDelete) {
            count = index - (PrevCharOffset(s, i, index + 1)) + 1;
        }
        count = std::clamp(count, 1, std::max(index, 1));
        if (count != ItemLength(i)) {
            BackspaceCharacters(i, index, count, rangeFirst, rangeLast);
            return;
        }
    } else if (o != 1) {
        return;
    }
    const TCustomRVItemInfo& item = LiveItem(i);
    bool aloneStart = !item.GetContinuesParagraph() || (i > 0 && IsMarker(LiveItem(i - 1)));
    bool aloneEnd = i + 1 >= ItemCount() || !LiveItem(i + 1).GetContinuesParagraph();
    if (aloneStart && aloneEnd)
        ReplaceByEmptyItem(i, rangeFirst, rangeLast);
    else
        RemoveItem(i, rangeFirst, rangeLast);
}

void TRVEditRVData::BackspaceCharacters(int ItemNo, int Index, int Count, int RangeFirst, int RangeLast) {
    EditStates |= rvesBackspaceAsksChange;
    bool allowed = EditorCanChange();
    EditStates &= ~TRVEditStates(rvesBackspaceAsksChange);
    if (!allowed) return;
    if (IsItemProtected(ItemNo, rvprModifyProtect)) {
        BeepRefusal();
        return;
    }
    int oldWidth = CalculateMinParaWidth(ItemNo);
    int first = Index - Count + 1;
    AnsiString old = GetItemText(ItemNo);
    UndoableDeleteSubstring(ItemNo, first, Count);
    DoItemTextEdit(old, ItemNo);
    ReformatAfterEdit(oldWidth >= DocumentWidth, RangeFirst, RangeLast, 0);
    PlaceCaret(ItemNo, first, false, true);
    UpdateControl();
}

void TRVEditRVData::ReplaceByEmptyItem(int ItemNo, int RangeFirst, int RangeLast) {
    if (!EditorCanChange()) return;
    if (IsItemParaReadOnly(ItemNo) || IsItemProtected(ItemNo, rvprDeleteProtect)) {
        BeepRefusal();
        return;
    }
    const TCustomRVItemInfo& item = LiveItem(ItemNo);
    bool continues = item.GetContinuesParagraph();
    // A line of a paragraph keeps the paragraph's style.
    int paraNo = item.StartsParagraph() ? CurrentParaStyle : item.ParaNo;
    auto empty = CreateTextItem(0, paraNo, item.GetLineBreakBefore(), continues, CurrentTextStyle);
    if (item.Checkpoint) empty->Checkpoint = item.Checkpoint->CreateCopy();
    if (GetItemStyle(ItemNo) == CurrentTextStyle && item.StyleNo >= 0) empty->Tag = DuplicateTag(item.Tag);
    empty->SetPageBreakBefore(item.GetPageBreakBefore());
    bool wasText = item.StyleNo >= 0;
    AnsiString old = GetItemText(ItemNo);
    int oldWidth = MeasureParaMinWidth(ItemNo);
    bool full = false, flags = false;
    UndoableDeleteItem(ItemNo, full);
    flags |= full;
    AnsiString text;
    UndoableInsertItem(ItemNo, text, full, false, std::move(empty));
    flags |= full;
    if (wasText) DoItemTextEdit(old, ItemNo);
    ReformatAfterEdit(flags || oldWidth >= DocumentWidth, RangeFirst, RangeLast, 0);
    PlaceCaret(ItemNo, 1, false, true);
    UpdateControl();
}

void TRVEditRVData::RemoveItem(int ItemNo, int RangeFirst, int RangeLast) {
    if (!EditorCanChange()) return;
    if (IsItemParaReadOnly(ItemNo) || IsItemProtected(ItemNo, rvprDeleteProtect) ||
        !MovePersistentCheckpoint(ItemNo, false)) {
        BeepRefusal();
        return;
    }
    int r = ItemNo;
    int caretItem = r > 0 ? r - 1 : 0;
    int caretOffs = r > 0 ? ItemEndOffset(r - 1) : -1;
    const TCustomRVItemInfo& item = LiveItem(r);
    bool continued = item.GetContinuesParagraph();
    bool lineBreak = item.GetLineBreakBefore();
    bool pageBreak = item.GetPageBreakBefore();
    int oldWidth = MeasureParaMinWidth(r);
    bool full = false, flags = false;
    int delta = -1;
    UndoableDeleteItem(r, full);
    flags |= full;
    if (r < ItemCount() && LiveItem(r).GetContinuesParagraph()) {
        if (continued && r > 0) {
            if (CanMergeItems(r - 1, &LiveItem(r - 1), false, &LiveItem(r))) {
                UndoableJoinItems(r - 1);
                --delta;
            }
        } else {
            UndoableSetContinuesParagraph(r, false, full, -1);
            flags |= full;
            UndoableSetLineBreakBefore(r, lineBreak, full);
            flags |= full;
            UndoableSetPageBreakBefore(r, pageBreak);
            caretItem = r;
            caretOffs = ItemStartOffset(r);
        }
    }
    if (caretOffs < 0) caretOffs = ItemStartOffset(std::min(caretItem, ItemCount() - 1));
    ReformatAfterEdit(flags || oldWidth >= DocumentWidth, RangeFirst, RangeLast, delta);
    PlaceCaret(caretItem, caretOffs, false, true);
    UpdateControl();
}

void TRVEditRVData::BackspaceAtParaStart(int ItemNo, int RangeFirst, int RangeLast) {
    int i = ItemNo;
    if (LiveItem(i).GetPageBreakBefore()) {
        if (!EditorCanChange()) return;
        UndoableSetPageBreakBefore(i, false);
        InvalidateControl();
        Changed();
        return;
    }
    if (i > 0 && IsMarker(LiveItem(i - 1))) {
        RemoveItem(i - 1, RangeFirst, RangeLast);
        return;
    }
    if (i == 0) return;
    auto refused = [&](int Joined) {
        return IsItemParaReadOnly(i) || IsItemParaReadOnly(i - 1) ||
               IsItemProtected(Joined, rvprParaStartProtect) || ParaHasPersistentCheckpoint(Joined);
    };
    bool full = false, flags = false;
    if (IsEmptyTextItem(i)) {
        if (!EditorCanChange()) return;
        if (IsItemProtected(i, rvprDeleteProtect) || IsItemParaReadOnly(i) || HasPersistentCheckpoint(i)) {
            BeepRefusal();
            return;
        }
        UndoableDeleteItem(i, full);
        ReformatAfterEdit(full, RangeFirst, RangeLast, -1);
        PlaceCaret(i - 1, ItemEndOffset(i - 1), false, true);
        ApplyParaNoToCaretParagraph(CurrentParaStyle);
        UpdateControl();
        return;
    }
    if (!IsEmptyTextItem(i - 1)) {
        if (!EditorCanChange()) return;
        if (refused(i)) {
            BeepRefusal();
            return;
        }
        int paraNo = LiveItem(i - 1).ParaNo;
        if (CanMergeItems(i - 1, &LiveItem(i - 1), true, &LiveItem(i))) {
            int length = ItemLength(i - 1);
            AnsiString old = GetItemText(i - 1);
            // The paragraph joined keeps the first one's style, set before
            // the layout sees the join.
            int last = GetParaEndItem(i);
            if (last > i) UndoableSetParaNoRange(i + 1, last, full, paraNo);
            UndoableJoinItems(i - 1);
            DoItemTextEdit(old, i - 1);
            FormatDrawItemRange(RangeFirst, RangeLast, false, false, -1);
            PlaceCaret(i - 1, length + 1, false, true);
        } else {
            UndoableSetContinuesParagraph(i, true, full, -1);
            ReformatAfterEdit(full, RangeFirst, RangeLast, 0);
            PlaceCaret(i, ItemStartOffset(i), false, true);
        }
        ApplyParaNoToCaretParagraph(paraNo);
        UpdateControl();
        return;
    }
    // The empty paragraph before goes.
    if (!EditorCanChange()) return;
    if (IsItemProtected(i - 1, rvprDeleteProtect) || IsItemParaReadOnly(i) || IsItemParaReadOnly(i - 1) ||
        ParaHasPersistentCheckpoint(i - 1) ||
        (i >= 2 && IsMarker(LiveItem(i - 2)) && ParaHasPersistentCheckpoint(i))) {
        BeepRefusal();
        return;
    }
    const TCustomRVItemInfo& empty = LiveItem(i - 1);
    if (!empty.GetLineBreakBefore() && !empty.GetContinuesParagraph()) {
        UndoableSetLineBreakBefore(i, false, full);
        flags |= full;
        if (empty.GetPageBreakBefore()) UndoableSetPageBreakBefore(i, true);
    }
    if (i >= 2 && IsMarker(LiveItem(i - 2))) {
        UndoableSetContinuesParagraph(i, true, full, -1);
        flags |= full;
    }
    UndoableDeleteItem(i - 1, full);
    flags |= full;
    ReformatAfterEdit(flags, RangeFirst, RangeLast, -1);
    PlaceCaret(i - 1, ItemStartOffset(i - 1), false, true);
    UpdateControl();
}

// ---------------------------------------------------------------- Delete

void TRVEditRVData::PressDelete(bool ByWord, bool Repeated) {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos || !GetRVStyle()) return;
    CaretDrawItem = pos->DrawItem;
    const TRVDrawLineInfo& d = *DrawItems[CaretDrawItem];
    int i = d.ItemNo;
    if (IsItemParaReadOnly(i)) {
        BeepRefusal();
        return;
    }
    bool text = LiveItem(i).StyleNo >= 0;
    bool atLineEnd = CaretPosIndex == CharPositions.Count() - 1;
    bool afterItem = !text || pos->DrawItemOffset + d.Offs - 1 > ItemLength(i);
    if (!text && pos->DrawItemOffset == 0) afterItem = false;
    if (atLineEnd && afterItem) {
        bool nextFullLine = i + 1 < ItemCount() && LiveItem(i + 1).GetBoolValue(iqFullLine);
        if (LiveItem(i).GetBoolValue(iqFullLine) || (nextFullLine && !IsEmptyTextItem(i))) {
            MoveCaretRight(false, false);
            return;
        }
        if (i == ItemCount() - 1) {
            if (IsEmptyTextItem(i)) PressBackspace(false, false, false);
            return;
        }
    }
    int rangeFirst, rangeLast;
    GetParaBoundsOfDrawItems(CharPositions.GetItem(0).DrawItem,
                             CharPositions.GetItem(CharPositions.Count() - 1).DrawItem, rangeLast,
                             rangeFirst);
    if (atLineEnd && afterItem && LiveItem(i + 1).GetContinuesParagraph()) {
        // The paragraph wraps: the start of the next line.
        ++CaretDrawItem;
        BuildCaretLine(0);
        CaretPosIndex = 0;
        PressDelete(ByWord, true);
        UpdateCaret(true, false, true);
        return;
    }
    BeginUndoGroup(rvutDelete, true);
    if (atLineEnd && afterItem) {
        DeleteAtParaEnd(i, rangeFirst, rangeLast);
        return;
    }
    if (atLineEnd) {
        // Inside a text item that wraps here.
        ++CaretDrawItem;
        BuildCaretLine(0);
        CaretPosIndex = 0;
        const TRVDrawLineInfo& next = *DrawItems[CaretDrawItem];
        if (next.ItemNo == i && next.Offs <= d.Offs + d.Length)
            PressDelete(false, true);
        else
            PressBackspace(false, true, false);
        UpdateCaret(true, false, true);
        return;
    }
    if (!Repeated || (CaretDrawItem > 0 && DrawItems[CaretDrawItem - 1]->ItemNo == i) ||
        d.Offs <= ItemStartOffset(i) || !text)
        ++CaretPosIndex;
    PressBackspace(false, true, false);
    UpdateCaret(true, false, true);
}

void TRVEditRVData::DeleteAtParaEnd(int ItemNo, int RangeFirst, int RangeLast) {
    int i = ItemNo, j = i + 1;
    if (IsEmptyTextItem(i)) {
        RemoveEmptyItemAtParaEnd(i, true, RangeFirst, RangeLast);
        return;
    }
    if (IsEmptyTextItem(j)) {
        RemoveEmptyItemAtParaEnd(j, false, RangeFirst, RangeLast);
        return;
    }
    if (!EditorCanChange()) return;
    bool jMarker = IsMarker(LiveItem(j));
    if (IsItemParaReadOnly(i) || IsItemParaReadOnly(j) || IsItemProtected(j, rvprParaStartProtect) ||
        ParaHasPersistentCheckpoint(j) || (jMarker && IsItemProtected(j, rvprDeleteProtect))) {
        BeepRefusal();
        return;
    }
    int paraNo = LiveItem(i).ParaNo;
    int end = ItemEndOffset(i);
    bool full = false, flags = false;
    if (!jMarker && CanMergeItems(i, &LiveItem(i), true, &LiveItem(j))) {
        int oldWidth = CalculateMinParaWidth(i);
        AnsiString old = GetItemText(i);
        int last = GetParaEndItem(j);
        if (last > j) UndoableSetParaNoRange(j + 1, last, full, paraNo);
        UndoableJoinItems(i);
        DoItemTextEdit(old, i);
        ReformatAfterEdit(oldWidth >= DocumentWidth, RangeFirst, RangeLast, -1);
    } else {
        int delta = 0;
        if (jMarker) {
            UndoableDeleteItem(j, full);
            flags |= full;
            --delta;
        }
        if (j < ItemCount() && !LiveItem(j).GetBoolValue(iqFullLine)) {
            UndoableSetContinuesParagraph(j, true, full, -1);
            flags |= full;
            if (jMarker && CanMergeItems(i, &LiveItem(i), false, &LiveItem(j))) {
                UndoableJoinItems(i);
                --delta;
            }
        }
        ReformatAfterEdit(flags, RangeFirst, RangeLast, delta);
    }
    PlaceCaret(i, end, false, true);
    ApplyParaNoToCaretParagraph(paraNo);
    UpdateControl();
}

void TRVEditRVData::RemoveEmptyItemAtParaEnd(int ItemNo, bool Current, int RangeFirst, int RangeLast) {
    if (!EditorCanChange()) return;
    int x = ItemNo;
    bool markerBefore = x > 0 && IsMarker(LiveItem(x - 1));
    if (IsItemProtected(x, rvprDeleteProtect) || IsItemParaReadOnly(x) || ParaHasPersistentCheckpoint(x) ||
        (markerBefore && IsItemProtected(x - 1, rvprDeleteProtect))) {
        BeepRefusal();
        return;
    }
    const TCustomRVItemInfo& item = LiveItem(x);
    bool full = false, flags = false;
    if (Current && x + 1 < ItemCount() && !item.GetLineBreakBefore() && !item.GetContinuesParagraph()) {
        UndoableSetLineBreakBefore(x + 1, false, full);
        flags |= full;
        if (item.GetPageBreakBefore()) UndoableSetPageBreakBefore(x + 1, true);
    }
    int delta = -1;
    UndoableDeleteItem(x, full);
    flags |= full;
    if (markerBefore) {
        UndoableDeleteItem(x - 1, full);
        flags |= full;
        --x;
        --delta;
    }
    if (ItemCount() == 0) {
        // Nothing may be left without an item: an empty paragraph stays.
        InsertEmptyTextItem(0, 0, false, false, CurrentTextStyle, CurrentParaStyle);
        ++delta;
    }
    ReformatAfterEdit(flags, RangeFirst, RangeLast, delta);
    if (Current && x < ItemCount()) {
        PlaceCaret(x, ItemStartOffset(x), false, true);
    } else {
        int before = std::max(x - 1, 0);
        PlaceCaret(before, ItemEndOffset(before), false, true);
        ApplyParaNoToCaretParagraph(CurrentParaStyle);
    }
    UpdateControl();
}
