// Typing one character at the caret (extending the caret's text item, with
// keystrokes merged into one undo step, or starting a new item) and Enter:
// a new paragraph or a line break, with list items continued or left.
#include "richtext/editor/edit/RVERVData.h"

namespace {

bool IsMarker(const TCustomRVItemInfo& Item) {
    return Item.StyleNo == rvsListMarker;
}

} // namespace

// ---------------------------------------------------------------- typing

void TRVEditRVData::TypeText(const AnsiString& Text, char Key) {
    (void)Key; // the live spell check is not built; it would take the key
    TRVStyle* style = GetRVStyle();
    const TRVCharPos* pos = CurrentCharPos();
    if (!style || PartialSelectedItem || !CanDeleteSelection() || !pos || Text.empty()) {
        BeepRefusal();
        return;
    }
    CaretDrawItem = pos->DrawItem;
    int drawItem = CaretDrawItem;
    int itemNo = DrawItems[drawItem]->ItemNo;
    int mode = 1;
    if (IsItemParaReadOnly(itemNo)) {
        BeepRefusal();
        return;
    }
    int offs = pos->DrawItemOffset - 1;
    bool newItem = false;
    bool raised = false;
    const TCustomRVItemInfo* item = &LiveItem(itemNo);
    if (item->StyleNo == CurrentTextStyle) {
        // the caret's own item
    } else {
        bool after = item->StyleNo < 0 ? pos->DrawItemOffset == 1
                                       : DrawItems[drawItem]->Offs + offs > ItemLength(itemNo);
        if (!after || drawItem == DrawItems.Count() - 1) {
            newItem = true;
        } else {
            ++drawItem;
            itemNo = DrawItems[drawItem]->ItemNo;
            item = &LiveItem(itemNo);
            mode = 2;
            offs = 1;
            if (item->GetContinuesParagraph() && item->StyleNo == CurrentTextStyle) {
                ++CaretPosIndex;
                raised = true;
            } else {
                newItem = true;
            }
        }
    }
    if (!newItem) {
        int resolved = GetItemStyle(itemNo);
        TRVProtectOptions protection = style->TextStyles().GetItem(resolved)->Protection;
        int p = DrawItems[drawItem]->Offs + offs + 1 - mode;
        if (protection & rvprConcateProtect) {
            newItem = true;
        } else if (protection & rvprModifyProtect) {
            if (ItemStartOffset(itemNo) >= p || ItemEndOffset(itemNo) <= p) {
                newItem = true;
            } else {
                if (raised) --CaretPosIndex;
                BeepRefusal();
                return;
            }
        }
        if (newItem && raised) --CaretPosIndex;
    }
    if (newItem) {
        if (!EditorCanChange()) return;
        BeginUndoGroup(rvutInsert, true);
        auto fresh = CreateTextItem(0, CurrentParaStyle, false, false, CurrentTextStyle);
        AnsiString text = Text, split;
        InsertItemAtCaret(std::move(fresh), text, true, false, true, split);
        RefreshControl();
        Changed();
        return;
    }
    int n = itemNo;
    int position = DrawItems[drawItem]->Offs + offs;
    int insPos = position + 1 - mode;
    AnsiString s = GetItemText(n);
    TCustomRVItemInfo& target = LiveItem(n);
    // The first character of an empty paragraph gives it the current
    // paragraph style; a change of style is recorded, so the keystroke is a
    // step of its own.
    bool restyle = s.empty() && target.ParaNo != CurrentParaStyle;
    AnsiString t = s;
    InsertCharsAt(Text, t, insPos, target.ItemOptions);
    ItemList->SetString(n, t);
    bool handled = false;
    try {
        handled = DoItemTextEditGrouped(s, n, rvutTyping);
    } catch (...) {
        ItemList->SetString(n, s);
        throw;
    }
    ItemList->SetString(n, s);
    if (handled || restyle) {
        if (!handled) BeginUndoGroup(rvutMiscTyping, true);
        if (restyle) {
            int first, last;
            ExpandToParas(n, n, first, last);
            bool full = false;
            UndoableSetParaNoRange(first, last, full, CurrentParaStyle);
        }
        UndoableInsertSubstring(n, insPos, Text);
    } else {
        UndoList->AddTyping(n, insPos, target.IsUnicode());
        SetItemText(n, t);
    }
    if (CalculateMinParaWidth(n) > DocumentWidth || restyle) {
        FormatDocument(false, true, false, 0, GetCanvas(), false, true, false);
        InvalidateControl();
    } else {
        FormatParasOfDrawItems(CharPositions.GetItem(0).DrawItem,
                               CharPositions.GetItem(CharPositions.Count() - 1).DrawItem, false, 0);
    }
    int caretDraw, caretOffs;
    ItemToDrawItem(n, insPos + ItemTextLength(Text, target.ItemOptions), caretDraw, caretOffs);
    CaretDrawItem = caretDraw;
    BuildCaretLine(caretOffs - 2);
    UpdateCaret(true, false, false);
    UpdateControl();
    Changed();
}

// ---------------------------------------------------------------- Enter

bool TRVEditRVData::PressEnter(bool LineBreak, bool SkipListExit) {
    const TRVCharPos* pos = CurrentCharPos();
    TRVStyle* style = GetRVStyle();
    if (!pos || !style) return false;
    CaretDrawItem = pos->DrawItem;
    const TRVDrawLineInfo& d = *DrawItems[CaretDrawItem];
    int i = d.ItemNo;
    int p = LiveItem(i).ParaNo;
    bool readOnly = IsParaOptionSet(p, rvpaoReadOnly);
    auto refuse = [&] {
        BeepRefusal();
        return false;
    };
    if (IsParaOptionSet(p, rvpaoDoNotWantReturns) || (LineBreak && readOnly)) return refuse();
    // No line of a paragraph begins at or after a break or a table.
    if (LiveItem(i).GetBoolValue(iqFullLine)) LineBreak = false;
    int lineFirst = CharPositions.GetItem(0).DrawItem;
    int lineLast = CharPositions.GetItem(CharPositions.Count() - 1).DrawItem;
    bool atLineEnd = CaretPosIndex == CharPositions.Count() - 1;
    int firstOfLine, lastOfLine;
    GetLineDrawItemRange(CaretDrawItem, firstOfLine, lastOfLine);
    bool lineStartsWithMarker = IsMarker(LiveItem(DrawItems[firstOfLine]->ItemNo));
    bool wideStart = IsCaretAtParaStart(false);
    bool wideEnd = IsCaretAtParaEnd(false);
    int rangeFirst, rangeLast;
    GetParaBoundsOfDrawItems(lineFirst, lineLast, rangeLast, rangeFirst);

    if (wideStart || wideEnd) {
        if (readOnly) {
            bool realStart = IsCaretAtParaStart(true), realEnd = IsCaretAtParaEnd(true);
            if (!(realStart || realEnd)) return refuse();
        }
        BeginUndoGroup(rvutMiscTyping, true);
        if (IsItemProtected(i, rvprParaStartProtect)) return refuse();
        TCustomRVItemInfo& item = LiveItem(i);
        if (!LineBreak && !SkipListExit && item.StyleNo >= 0 && GetItemText(i).empty() && i > 0 &&
            IsMarker(LiveItem(i - 1))) {
            // An empty list item leaves the list.
            PressBackspace(false, false, false);
            return PressEnter(false, true);
        }
        if (atLineEnd && GetItemStyle(i) == CurrentTextStyle) {
            int next = style->TextStyles().GetItem(GetResolvedCurTextStyle())->NextStyleNo;
            if (next != -1) SetCurTextStyle(next);
        }
        if (!LineBreak && (i + 1 >= ItemCount() || !LiveItem(i + 1).GetLineBreakBefore())) {
            int nextPara = style->ParaStyles().GetItem(p)->NextParaNo;
            if (readOnly || (atLineEnd && nextPara != -1)) SetCurParaStyle(nextPara < 0 ? 0 : nextPara);
        }
        int resolved = GetResolvedCurTextStyle();
        int styleNo =
            (style->TextStyles().GetItem(resolved)->Protection & rvprModifyProtect) ? 0 : CurrentTextStyle;
        auto n = CreateTextItem(0, CurrentParaStyle, false, false, styleNo);
        if (LineBreak) {
            n->ParaNo = item.ParaNo;
            if (CaretPosIndex > 0 || CharPositions.Count() == 1) {
                n->SetLineBreakBefore(true);
            } else {
                n->SetLineBreakBefore(item.GetLineBreakBefore());
                bool full = false;
                UndoableSetLineBreakBefore(i, true, full);
            }
        }
        if (GetItemStyle(i) == n->StyleNo && item.StyleNo >= 0) {
            n->Tag = DuplicateTag(item.Tag);
            n->Hint = item.Hint;
        }
        int insertAt, caretItem, inserted = 1;
        bool full = false;
        if (atLineEnd) {
            insertAt = i + 1;
            if (!LineBreak && n->ParaNo == item.ParaNo && InsertListMarkerCopy(i, i + 1)) {
                n->SetContinuesParagraph(true);
                ++insertAt;
                ++inserted;
            }
            caretItem = insertAt;
        } else {
            insertAt = i;
            caretItem = i;
            if (LineBreak && lineStartsWithMarker) {
                n->SetLineBreakBefore(false);
                n->SetContinuesParagraph(true);
                UndoableSetContinuesParagraph(i, false, full, -1);
                UndoableSetLineBreakBefore(i, true, full);
            } else if (!LineBreak) {
                if (lineStartsWithMarker) {
                    n->SetContinuesParagraph(true);
                    n->ParaNo = LiveItem(i - 1).ParaNo;
                }
                if (InsertListMarkerCopy(i, i)) {
                    UndoableSetContinuesParagraph(i + 1, true, full, -1);
                    ++caretItem;
                    ++inserted;
                }
            }
            ++caretItem;
        }
        if (n->GetContinuesParagraph() && insertAt > 0) n->ParaNo = LiveItem(insertAt - 1).ParaNo;
        AnsiString empty;
        UndoableInsertItem(insertAt, empty, full, false, std::move(n));
        if (!atLineEnd && LiveItem(caretItem).Checkpoint) UndoableMoveCheckpoint(caretItem, insertAt);
        FormatParasOfDrawItems(lineFirst, lineLast, false, inserted);
        PlaceCaret(caretItem, ItemStartOffset(caretItem), false);
        UpdateControl();
        return true;
    }

    if (readOnly) return refuse();
    BeginUndoGroup(rvutMiscTyping, true);
    int oldWidth = CalculateMinParaWidth(i);
    bool noWrap = IsParaOptionSet(p, rvpaoNoWrap) || !GetWordWrap();
    bool text = LiveItem(i).StyleNo >= 0;
    int o = text ? pos->DrawItemOffset + d.Offs - 1 : pos->DrawItemOffset;
    bool full = false, flags = false;
    int inserted = 0, caretItem;
    if ((!text && pos->DrawItemOffset == 0) || (text && o <= ItemStartOffset(i))) {
        if (IsItemProtected(i, rvprParaStartProtect)) return refuse();
        if (LineBreak) {
            UndoableSetContinuesParagraph(i, false, full, -1);
            flags |= full;
            UndoableSetLineBreakBefore(i, true, full);
            flags |= full;
        } else if (InsertListMarkerCopy(i - 1, i)) {
            inserted = 1;
        } else {
            UndoableSetContinuesParagraph(i, false, full, -1);
            flags |= full;
        }
        caretItem = i + inserted;
    } else if (text && o <= ItemLength(i)) {
        if (IsItemProtected(i, rvprParaStartProtect) || IsItemProtected(i, rvprModifyProtect))
            return refuse();
        AnsiString old = GetItemText(i);
        AnsiString tail = ItemTextCopy(old, o, ItemLength(i) - o + 1, LiveItem(i).ItemOptions);
        UndoableDeleteSubstring(i, o, -1);
        auto t = CreateTextItemFrom(LiveItem(i), this);
        t->SetContinuesParagraph(false);
        DoItemTextEdit(old, i);
        int at = i + 1;
        if (LineBreak) {
            t->SetLineBreakBefore(true);
        } else if (InsertListMarkerCopy(i, i + 1)) {
            t->SetContinuesParagraph(true);
            ++at;
            ++inserted;
        }
        UndoableInsertItem(at, tail, full, false, std::move(t));
        flags |= full;
        ++inserted;
        DoItemTextEdit(old, at);
        caretItem = at;
    } else {
        int j = i + 1;
        if (j >= ItemCount() || IsItemProtected(j, rvprParaStartProtect)) return refuse();
        if (LineBreak) {
            UndoableSetContinuesParagraph(j, false, full, -1);
            flags |= full;
            UndoableSetLineBreakBefore(j, true, full);
            flags |= full;
        } else if (InsertListMarkerCopy(i, j)) {
            inserted = 1;
        } else {
            UndoableSetContinuesParagraph(j, false, full, -1);
            flags |= full;
        }
        caretItem = j + inserted;
    }
    ReformatAfterEdit((noWrap && oldWidth >= DocumentWidth) || flags, rangeFirst, rangeLast, inserted);
    PlaceCaret(caretItem, ItemStartOffset(caretItem), false);
    UpdateControl();
    return true;
}
