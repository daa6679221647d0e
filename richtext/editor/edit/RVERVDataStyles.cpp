// Applying text and paragraph styles to the selection: text items cut so
// that the selected characters stand alone, each piece converted by the
// control's conversion routine, alike neighbours joined again, the touched
// paragraphs restyled, and the selection kept on the same characters.
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/text/RVUni.h"

namespace {

// A selection bound as an item position.
struct TBound {
    int ItemNo = 0;
    int Offs = 0;
};

} // namespace

int TRVEditRVData::ConvertStyle(int StyleNo, int ParaNo, int UserData, bool AppliedToText,
                                bool ToWholeParagraphs) {
    int result = StyleNo;
    if (CurStyleConversion)
        CurStyleConversion(StyleNo, ParaNo, UserData, AppliedToText, result, ToWholeParagraphs);
    else
        result = UserData;
    return result;
}

AnsiString TRVEditRVData::TextInStyleKind(const AnsiString& Text, bool Unicode, int OldStyle, int NewStyle,
                                          int ParaNo) const {
    TRVStyle* style = GetRVStyle();
    bool newUnicode = style && style->TextStyles().GetItem(ResolveStyleNo(NewStyle, ParaNo))->Unicode;
    if (Unicode == newUnicode || Text.empty()) return Text;
    if (Unicode) return RawUnicodeToAnsi(unsigned(GetStyleCodePage(ResolveStyleNo(NewStyle, ParaNo))), Text);
    return AnsiToRawUnicode(unsigned(GetStyleCodePage(OldStyle)), Text);
}

void TRVEditRVData::ConvertWholeItem(int ItemNo, int UserData, bool ToWholeParagraphs) {
    TCustomRVItemInfo& item = LiveItem(ItemNo);
    if (item.StyleNo < 0) {
        int associated = item.GetAssociatedTextStyleNo();
        if (associated >= 0) {
            int converted = ConvertStyle(associated, item.ParaNo, UserData, true, ToWholeParagraphs);
            UndoableSetAssociatedTextStyleNo(ItemNo, converted);
        }
        return;
    }
    int actual = GetActualStyle(item);
    int converted = ConvertStyle(actual, item.ParaNo, UserData, true, ToWholeParagraphs);
    if (converted == item.StyleNo) return;
    if (GetEditorOptions() & rvoClearTagOnStyleApp) UndoableSetTag(ItemNo, 0);
    AnsiString text = TextInStyleKind(GetItemText(ItemNo), item.IsUnicode(), actual, converted, item.ParaNo);
    if (text != GetItemText(ItemNo)) UndoableChangeText(ItemNo, text);
    UndoableSetStyleNo(ItemNo, converted);
}

void TRVEditRVData::ApplyTextStyleToSelection(int UserData, uint8_t Mode, bool ToWholeParagraphs) {
    (void)Mode; // only items with sub-documents read it
    TRVStyle* style = GetRVStyle();
    if (PartialSelectedItem || !style || DrawItems.Count() == 0) return;
    if (!(style->TextStyles().GetItem(GetResolvedCurTextStyle())->Protection & rvprDoNotAutoSwitch))
        LastSwitchableTextStyle = CurrentTextStyle;
    int newCurrent = ConvertStyle(CurrentTextStyle, CurrentParaStyle, UserData, false, ToWholeParagraphs);
    bool selected =
        SelectionExists() && !(SelStartDrawItem == SelEndDrawItem && SelStartDrawOffs == SelEndDrawOffs);
    if (!ToWholeParagraphs && !selected) {
        int itemNo = GetCaretItemNo();
        if (itemNo >= 0 && IsEmptyTextItem(itemNo)) {
            BeginUndoGroup(rvutStyleNo, true);
            ConvertWholeItem(itemNo, UserData, ToWholeParagraphs);
            FormatParasOfDrawItems(CaretDrawItem, CaretDrawItem, false, 0);
            SetCurTextStyle(newCurrent);
            PlaceCaret(itemNo, 1, true, true);
            Changed();
        }
        SetCurTextStyle(newCurrent);
        return;
    }
    BeginUndoGroup(rvutStyleNo, true);
    int firstDraw, firstDrawOffs, lastDraw, lastDrawOffs;
    GetSelectionDrawBounds(firstDraw, firstDrawOffs, lastDraw, lastDrawOffs, true);
    bool backwards = selected && (SelEndDrawItem < SelStartDrawItem ||
                                  (SelEndDrawItem == SelStartDrawItem && SelEndDrawOffs < SelStartDrawOffs));
    int startNo, startOffs, endNo, endOffs;
    GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
    TBound selStart{startNo, startOffs}, selEnd{endNo, endOffs};
    if (ToWholeParagraphs) {
        int first, last;
        ExpandToParas(startNo, endNo, first, last);
        startNo = first;
        startOffs = ItemStartOffset(startNo);
        endNo = last;
        endOffs = ItemEndOffset(endNo);
    }
    int oldWidth = CalculateMinParasWidth(startNo, endNo);
    int rangeFirst, rangeLast;
    GetParaBoundsOfDrawItems(firstDraw, lastDraw, rangeLast, rangeFirst);
    int delta = 0;
    bool full = false;
    auto splitProtected = [&](int ItemNo) { return IsItemProtected(ItemNo, rvprStyleSplitProtect); };
    auto tagFor = [&](const TCustomRVItemInfo& X) -> TRVTag {
        if (GetEditorOptions() & rvoClearTagOnStyleApp) return 0;
        return DuplicateTag(X.Tag);
    };
    auto insertPiece = [&](int At, const AnsiString& Raw, const TCustomRVItemInfo& X, int NewStyle,
                           bool LineBreak, bool Continues, const TRVTag& Tag) {
        AnsiString text = TextInStyleKind(Raw, X.IsUnicode(), GetActualStyle(X), NewStyle, X.ParaNo);
        auto piece = CreateTextItem(Tag, X.ParaNo, LineBreak, Continues, NewStyle);
        UndoableInsertItem(At, text, full, false, std::move(piece));
        ++delta;
    };
    // Characters 1 .. E - 1 of X take the new style.
    auto convertHead = [&](int X, int E) {
        TCustomRVItemInfo& item = LiveItem(X);
        int converted = ConvertStyle(GetActualStyle(item), item.ParaNo, UserData, true, ToWholeParagraphs);
        if (converted == item.StyleNo) return;
        AnsiString head = ItemTextCopy(GetItemText(X), 1, E - 1, item.ItemOptions);
        UndoableDeleteSubstring(X, 1, E - 1);
        if (head.empty()) return;
        bool pageBreak = item.GetPageBreakBefore();
        insertPiece(X, head, item, converted, item.GetLineBreakBefore(), item.GetContinuesParagraph(),
                    tagFor(item));
        if (LiveItem(X + 1).Checkpoint) UndoableMoveCheckpoint(X + 1, X);
        UndoableSetContinuesParagraph(X + 1, true, full, -1);
        if (pageBreak) UndoableSetPageBreakBefore(X, true);
        if (selStart.ItemNo > X) ++selStart.ItemNo;
        selEnd = {X, ItemEndOffset(X)};
    };
    // Characters S .. end of X take the new style.
    auto convertTail = [&](int X, int S, bool Alone) {
        TCustomRVItemInfo& item = LiveItem(X);
        int converted = ConvertStyle(GetActualStyle(item), item.ParaNo, UserData, true, ToWholeParagraphs);
        if (converted == item.StyleNo) return;
        AnsiString tail = ItemTextCopy(GetItemText(X), S, ItemLength(X) - S + 1, item.ItemOptions);
        UndoableDeleteSubstring(X, S, -1);
        if (tail.empty()) return;
        insertPiece(X + 1, tail, item, converted, false, true, tagFor(item));
        selStart = {X + 1, ItemStartOffset(X + 1)};
        if (Alone)
            selEnd = {X + 1, ItemEndOffset(X + 1)};
        else
            ++selEnd.ItemNo;
    };
    auto convertMiddle = [&](int X, int S, int E) {
        TCustomRVItemInfo& item = LiveItem(X);
        int converted = ConvertStyle(GetActualStyle(item), item.ParaNo, UserData, true, ToWholeParagraphs);
        if (converted == item.StyleNo) return;
        AnsiString text = GetItemText(X);
        AnsiString head = ItemTextCopy(text, 1, S - 1, item.ItemOptions);
        AnsiString tail = ItemTextCopy(text, E, ItemLength(X) - E + 1, item.ItemOptions);
        UndoableDeleteSubstring(X, E, -1);
        UndoableDeleteSubstring(X, 1, S - 1);
        InsertTextItemLike(tail, X + 1, full, false, true, item, item.Tag);
        ++delta;
        bool pageBreak = item.GetPageBreakBefore();
        InsertTextItemLike(head, X, full, item.GetLineBreakBefore(), item.GetContinuesParagraph(), item,
                           item.Tag);
        ++delta;
        if (LiveItem(X + 1).Checkpoint) UndoableMoveCheckpoint(X + 1, X);
        UndoableSetContinuesParagraph(X + 1, true, full, -1);
        if (pageBreak) UndoableSetPageBreakBefore(X, true);
        ConvertWholeItem(X + 1, UserData, ToWholeParagraphs);
        selStart = {X + 1, ItemStartOffset(X + 1)};
        selEnd = {X + 1, ItemEndOffset(X + 1)};
    };
    if (startNo == endNo) {
        int x = startNo;
        bool text = LiveItem(x).StyleNo >= 0;
        bool atStart = startOffs <= ItemStartOffset(x), atEnd = endOffs >= ItemEndOffset(x);
        if (!text || splitProtected(x) || (atStart && atEnd))
            ConvertWholeItem(x, UserData, ToWholeParagraphs);
        else if (atStart)
            convertHead(x, endOffs);
        else if (atEnd)
            convertTail(x, startOffs, true);
        else
            convertMiddle(x, startOffs, endOffs);
    } else {
        bool endText = LiveItem(endNo).StyleNo >= 0;
        if (!endText || splitProtected(endNo) || endOffs >= ItemEndOffset(endNo))
            ConvertWholeItem(endNo, UserData, ToWholeParagraphs);
        else if (endOffs > ItemStartOffset(endNo))
            convertHead(endNo, endOffs);
        for (int k = endNo - 1; k > startNo; --k)
            ConvertWholeItem(k, UserData, ToWholeParagraphs);
        bool startText = LiveItem(startNo).StyleNo >= 0;
        if (!startText) {
            if (startOffs <= ItemStartOffset(startNo)) ConvertWholeItem(startNo, UserData, ToWholeParagraphs);
        } else if (splitProtected(startNo) || startOffs <= ItemStartOffset(startNo)) {
            ConvertWholeItem(startNo, UserData, ToWholeParagraphs);
        } else if (startOffs < ItemEndOffset(startNo)) {
            convertTail(startNo, startOffs, false);
        }
    }
    // Alike neighbours become one item again; the bounds follow the text.
    int lo = ToWholeParagraphs ? startNo : selStart.ItemNo;
    int hi = ToWholeParagraphs ? endNo + delta : selEnd.ItemNo;
    lo = std::max(lo - 1, 0);
    hi = std::min(hi + 1, ItemCount() - 1);
    for (int k = hi; k > lo; --k) {
        if (!CanMergeItems(k - 1, &LiveItem(k - 1), false, &LiveItem(k))) continue;
        int before = ItemLength(k - 1);
        bool firstGoes = LiveItem(k - 1).IsUnicode() != LiveItem(k).IsUnicode() && !GetItemText(k).empty() &&
                         GetItemText(k - 1).empty();
        for (TBound* b : {&selStart, &selEnd}) {
            if (b->ItemNo == k) {
                b->ItemNo = k - 1;
                if (!firstGoes) b->Offs += before;
            } else if (b->ItemNo > k) {
                --b->ItemNo;
            } else if (b->ItemNo == k - 1 && firstGoes) {
                b->Offs = ItemStartOffset(k);
            }
        }
        UndoableJoinItems(k - 1);
        --delta;
    }
    int newWidth = CalculateMinParasWidth(std::min(selStart.ItemNo, ItemCount() - 1),
                                          std::min(selEnd.ItemNo, ItemCount() - 1));
    EditStates |= rvesStyleAppReformat;
    ReformatAfterEdit(newWidth != oldWidth && (newWidth >= DocumentWidth || oldWidth >= DocumentWidth) ? true
                                                                                                       : full,
                      rangeFirst, rangeLast, delta);
    EditStates &= ~TRVEditStates(rvesStyleAppReformat);
    if (backwards)
        StoreSelectionBounds(selEnd.ItemNo, selEnd.Offs, selStart.ItemNo, selStart.Offs);
    else
        StoreSelectionBounds(selStart.ItemNo, selStart.Offs, selEnd.ItemNo, selEnd.Offs);
    if (SelEndDrawItem >= 0) {
        CaretDrawItem = SelEndDrawItem;
        BuildCaretLine(SelEndDrawOffs - 2);
    }
    SetCurTextStyle(newCurrent);
    UpdateCaret(true, true, true);
    InvalidateControl();
    UpdateControl();
    // A conversion that changed nothing leaves no step to undo.
    if (TRVUndoInfos* group = UndoList->Last(); group && group->Count() == 0 && UndoRecording == 1) {
        UndoList->DropEmptyGroup();
        return;
    }
    Changed();
}

void TRVEditRVData::ApplyParaStyleToSelection(int UserData, uint8_t Mode) {
    if (PartialSelectedItem || DrawItems.Count() == 0) return;
    int firstDraw, firstOffs, lastDraw, lastOffs;
    GetSelectionDrawBounds(firstDraw, firstOffs, lastDraw, lastOffs, true);
    if (firstDraw < 0 || lastDraw < 0) return;
    int caretItem = GetCaretItemNo(), caretOffs = GetCaretItemOffset();
    bool selected = SelectionExists();
    int s = 0, so = 0, e = 0, eo = 0;
    // Unnormalized: the direction survives.
    if (selected) GetSelectionItemBounds(s, e, so, eo, false);
    int first, last;
    ExpandToParas(DrawItems[firstDraw]->ItemNo, DrawItems[lastDraw]->ItemNo, first, last);
    bool full = false, changed = false;
    if (Mode == 0) {
        for (int i = first; i <= last && !changed; ++i)
            changed = LiveItem(i).ParaNo != UserData;
        if (changed) UndoableSetParaNoRange(first, last, full, UserData);
    } else {
        std::vector<int32_t> list;
        for (int i = first; i <= last; ++i) {
            int paraNo = LiveItem(i).ParaNo;
            list.push_back(ConvertStyle(paraNo, paraNo, UserData, false, true));
        }
        changed = UndoableSetParaNoList(first, list, full);
    }
    if (changed) {
        if (full) {
            FormatDocument(false, true, false, 0, GetCanvas(), false, true, false);
        } else {
            int a, b;
            GetItemFirstDrawItem(first, a);
            b = GetItemLastDrawItem(last);
            FormatParasOfDrawItems(a, b, false, 0);
        }
        if (selected) StoreSelectionBounds(s, so, e, eo);
        InvalidateControl();
        if (caretItem >= 0) {
            int drawItem, drawOffs;
            ItemToDrawItem(caretItem, caretOffs, drawItem, drawOffs);
            if (drawItem >= 0) {
                CaretDrawItem = drawItem;
                BuildCaretLine(drawOffs - 2);
            }
        }
    }
    UpdateCaret(true, false, true);
    Changed();
}
