// Deleting the selection of the editing document as one undoable step: the
// cut of the end items, the removal of the items between them, the join of
// the two paragraphs, an empty item kept where a paragraph would vanish,
// persistent checkpoints rescued; and the re-format that ends every edit.
#include "richtext/editor/edit/RVERVData.h"

namespace {

bool IsMarker(const TCustomRVItemInfo& Item) {
    return Item.StyleNo == rvsListMarker;
}

// What one deletion works on.
struct TDeletion {
    int StartNo = 0, StartOffs = 0, EndNo = 0, EndOffs = 0;
    bool FullReformat = false;
    int WidestWidth = 0;
    int RemovedCount = 0;
    bool EndTailKept = false;
    bool KeepEmpty = true;
    int CaretItem = 0, CaretOffs = 0;
    TRVTag TagToKeep = 0;
};

} // namespace

void TRVEditRVData::ReformatAfterEdit(bool FullReformat, int FirstDrawItem, int LastDrawItem,
                                      int ItemCountDelta) {
    if (FullReformat && CalculateMinDocumentWidth(0, nullptr, nullptr) != DocumentWidth) {
        FormatDocument(false, true, false, 0, GetCanvas(), false, true, false);
        InvalidateControl();
        return;
    }
    FormatDrawItemRange(FirstDrawItem, LastDrawItem, false, false, ItemCountDelta);
}

void TRVEditRVData::ApplyParaNoToCaretParagraph(int ParaNo) {
    int itemNo = GetCaretItemNo();
    if (itemNo < 0) return;
    int offs = GetCaretItemOffset();
    int first, last;
    ExpandToParas(itemNo, itemNo, first, last);
    bool differs = false;
    for (int i = first; i <= last && !differs; ++i)
        differs = LiveItem(i).ParaNo != ParaNo;
    if (!differs) return;
    bool full = false;
    UndoableSetParaNoRange(first, last, full, ParaNo);
    int firstDraw, lastDraw;
    if (full || !GetItemFirstDrawItem(first, firstDraw)) {
        FormatDocument(false, true, false, 0, GetCanvas(), false, true, false);
        InvalidateControl();
    } else {
        lastDraw = GetItemLastDrawItem(last);
        FormatParasOfDrawItems(firstDraw, lastDraw, false, 0);
    }
    PlaceCaret(itemNo, offs, true);
}

void TRVEditRVData::JoinTail(int ItemNo, bool& FullReformat) {
    bool fullLine =
        LiveItem(ItemNo - 1).GetBoolValue(iqFullLine) || LiveItem(ItemNo).GetBoolValue(iqFullLine);
    if (!fullLine) {
        UndoableSetContinuesParagraph(ItemNo, true, FullReformat, -1);
        return;
    }
    // Nothing continues a break or a table: the tail starts a paragraph.
    UndoableSetContinuesParagraph(ItemNo, false, FullReformat, -1);
    bool full = false;
    UndoableSetLineBreakBefore(ItemNo, false, full);
    FullReformat |= full;
}

bool TRVEditRVData::CanDeleteSelection() {
    if (!SelectionExists()) return !PartialSelectedItem;
    if (TCustomRVData* active = GetActiveSubDocument()) {
        if (auto* edit = dynamic_cast<TRVEditRVData*>(active)) return edit->CanDeleteSelection();
        return false;
    }
    if (!GetRVStyle()) return false;
    int startNo, startOffs, endNo, endOffs;
    GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
    if (startNo < 0 || endNo < 0) return true;
    for (int i = startNo + 1; i < endNo; ++i)
        if (IsItemProtected(i, rvprDeleteProtect)) return false;
    auto rangePasses = [&](int ItemNo, int From, int To) {
        int start = ItemStartOffset(ItemNo), end = ItemEndOffset(ItemNo);
        if (From == To || To <= start || From >= end) return true;
        if (LiveItem(ItemNo).StyleNo < 0) return !IsItemProtected(ItemNo, rvprDeleteProtect);
        bool whole = From <= start && To >= end;
        if (whole && IsItemProtected(ItemNo, rvprDeleteProtect)) return false;
        if (!whole && IsItemProtected(ItemNo, rvprModifyProtect)) return false;
        return true;
    };
    if (startNo == endNo) {
        if (!rangePasses(startNo, startOffs, endOffs)) return false;
    } else if (!rangePasses(startNo, startOffs, ItemEndOffset(startNo)) ||
               !rangePasses(endNo, ItemStartOffset(endNo), endOffs)) {
        return false;
    }
    if (IsItemParaReadOnly(startNo) &&
        !(!LiveItem(startNo).GetContinuesParagraph() && startOffs <= ItemStartOffset(startNo)))
        return false;
    if (IsItemParaReadOnly(endNo) &&
        !(endOffs >= ItemEndOffset(endNo) && (endNo + 1 >= ItemCount() || IsParaStart(endNo + 1))))
        return false;
    if (IsItemParaReadOnly(startNo) && startNo == endNo && startOffs == endOffs) return false;
    if (IsParaOptionSet(CurrentParaStyle, rvpaoReadOnly)) return false;
    int paraStart = -1;
    for (int i = startNo + 1; i <= endNo; ++i)
        if (IsParaStart(i)) {
            paraStart = i;
            break;
        }
    if (paraStart >= 0) {
        int last = GetParaEndItem(endNo);
        for (int i = paraStart; i <= last; ++i)
            if (HasPersistentCheckpoint(i)) return false;
    }
    return true;
}

bool TRVEditRVData::DeleteSelection() {
    if (!SelectionExists()) {
        if (PartialSelectedItem) {
            BeepRefusal();
            return false;
        }
        return true;
    }
    if (!CanDeleteSelection() || GetActiveSubDocument()) {
        BeepRefusal();
        return false;
    }
    TDeletion x;
    GetSelectionBounds(x.StartNo, x.StartOffs, x.EndNo, x.EndOffs, true);
    if (x.StartNo == x.EndNo && x.StartOffs == x.EndOffs) {
        // An empty selection: nothing goes.
        Deselect(false);
        PlaceCaret(x.StartNo, x.StartOffs, true);
        return true;
    }
    BeginUndoGroup(rvutDelete, true);
    int firstDraw, firstOffs, lastDraw, lastOffs;
    GetSelectionDrawBounds(firstDraw, firstOffs, lastDraw, lastOffs, true);
    int firstDrawItem, lastDrawItem;
    GetParaBoundsOfDrawItems(firstDraw, lastDraw, lastDrawItem, firstDrawItem);
    {
        int s, so, e, eo;
        GetSelectionBounds(s, so, e, eo, false);
        if (GetItemStyle(e) == CurrentTextStyle && LiveItem(e).StyleNo >= 0)
            x.TagToKeep = DuplicateTag(LiveItem(e).Tag);
    }
    Deselect(false);
    if (x.StartNo > 0 && LiveItem(x.StartNo).GetContinuesParagraph() &&
        x.StartOffs <= ItemStartOffset(x.StartNo)) {
        --x.StartNo;
        x.StartOffs = ItemEndOffset(x.StartNo);
    }
    SkipMarkerAtBound(x.StartNo, x.StartOffs, true);
    SkipMarkerAtBound(x.EndNo, x.EndOffs, true);
    if (x.EndNo < x.StartNo) x.EndNo = x.StartNo;

    // Persistent checkpoints of the first paragraph go where they survive.
    {
        int source = -1;
        bool paraStartMet = false;
        if (HasPersistentCheckpoint(x.StartNo) && x.StartOffs < ItemEndOffset(x.StartNo)) {
            source = x.StartNo;
        } else {
            for (int i = x.StartNo + 1; i < x.EndNo; ++i) {
                if (IsParaStart(i)) {
                    paraStartMet = true;
                    break;
                }
                if (HasPersistentCheckpoint(i)) {
                    source = i;
                    break;
                }
            }
        }
        if (source < 0 && !paraStartMet && x.StartNo < x.EndNo && !IsParaStart(x.EndNo) &&
            x.EndOffs >= ItemEndOffset(x.EndNo) && HasPersistentCheckpoint(x.EndNo))
            source = x.EndNo;
        if (source >= 0) {
            int target =
                (x.StartOffs > ItemStartOffset(x.StartNo) || x.StartNo == 0 || IsParaStart(x.StartNo))
                    ? x.StartNo
                    : x.StartNo - 1;
            if (source > target && !LiveItem(target).Checkpoint) UndoableMoveCheckpoint(source, target);
        }
    }

    bool full = false;
    auto startStep = [&](int From, int To) {
        x.WidestWidth = std::max(x.WidestWidth, MeasureParaMinWidth(x.StartNo));
        int startNo = x.StartNo;
        if (From <= ItemStartOffset(startNo) && To >= ItemEndOffset(startNo)) {
            const TCustomRVItemInfo& item = LiveItem(startNo);
            if (x.KeepEmpty) {
                if (item.GetContinuesParagraph()) x.KeepEmpty = false;
                if (startNo > 0 && IsMarker(LiveItem(startNo - 1))) x.KeepEmpty = true;
            }
            std::unique_ptr<TRVCPInfo> checkpoint;
            if (x.KeepEmpty && HasPersistentCheckpoint(startNo)) {
                checkpoint = item.Checkpoint->CreateCopy();
                checkpoint->Tag = DuplicateTag(item.Checkpoint->Tag);
            }
            bool lineBreak = item.GetLineBreakBefore();
            bool continues = item.GetContinuesParagraph();
            bool pageBreak = item.GetPageBreakBefore();
            bool wasText = item.StyleNo >= 0;
            int paraNo = item.ParaNo;
            AnsiString removedText = GetItemText(startNo);
            if (!x.KeepEmpty) MovePersistentCheckpoint(startNo, false);
            UndoableDeleteItem(startNo, full);
            x.FullReformat |= full;
            ++x.RemovedCount;
            if (x.KeepEmpty) {
                InsertEmptyTextItem(startNo, x.TagToKeep, lineBreak, continues, CurrentTextStyle, paraNo);
                x.TagToKeep = 0;
                if (wasText) DoItemTextEdit(removedText, startNo);
                if (checkpoint) UndoableAddCheckpoint(startNo, std::move(checkpoint));
                --x.RemovedCount;
                x.CaretItem = startNo;
                x.CaretOffs = 1;
            } else if (!continues && startNo < ItemCount()) {
                if (!(startNo > 0 && IsItemProtected(startNo, rvprParaStartProtect))) {
                    UndoableSetContinuesParagraph(startNo, false, full, paraNo);
                    x.FullReformat |= full;
                    // The start of a line or paragraph as the removed item
                    // was: a line break of the item's own would leave the
                    // document's first item on a line of no paragraph.
                    UndoableSetLineBreakBefore(startNo, lineBreak, full);
                    x.FullReformat |= full;
                    if (lineBreak) {
                        // A line of the paragraph before: its style too.
                        int last = GetParaEndItem(startNo);
                        for (int i = startNo; i <= last; ++i)
                            if (LiveItem(i).ParaNo != paraNo) {
                                UndoableSetParaNoRange(startNo, last, full, paraNo);
                                x.FullReformat |= full;
                                break;
                            }
                    }
                    if (pageBreak) UndoableSetPageBreakBefore(startNo, true);
                }
                x.CaretItem = startNo;
                x.CaretOffs = ItemStartOffset(startNo);
            } else if (startNo > 0) {
                x.CaretItem = startNo - 1;
                x.CaretOffs = ItemEndOffset(startNo - 1);
                if (startNo < ItemCount() && x.EndTailKept) {
                    JoinTail(startNo, full);
                    x.FullReformat |= full;
                }
            } else {
                x.CaretItem = 0;
                x.CaretOffs = ItemStartOffset(0);
            }
            return;
        }
        if (LiveItem(startNo).StyleNo >= 0) {
            AnsiString old = GetItemText(startNo);
            UndoableDeleteSubstring(startNo, From, To - From);
            DoItemTextEdit(old, startNo);
        }
        x.CaretItem = startNo;
        x.CaretOffs = From;
        if (startNo + 1 < ItemCount() && x.EndTailKept) {
            JoinTail(startNo + 1, full);
            x.FullReformat |= full;
        }
    };

    if (x.StartNo == x.EndNo) {
        x.KeepEmpty = x.StartNo + 1 >= ItemCount() || !LiveItem(x.StartNo + 1).GetContinuesParagraph();
        startStep(x.StartOffs, x.EndOffs);
    } else {
        // The end item first: earlier indexes stay valid.
        x.WidestWidth = MeasureParaMinWidth(x.EndNo);
        if (x.EndOffs < ItemEndOffset(x.EndNo)) {
            if (LiveItem(x.EndNo).StyleNo >= 0 && x.EndOffs > 1) {
                AnsiString old = GetItemText(x.EndNo);
                UndoableDeleteSubstring(x.EndNo, 1, x.EndOffs - 1);
                DoItemTextEdit(old, x.EndNo);
            }
            x.EndTailKept = true;
            x.KeepEmpty = false;
        } else {
            x.KeepEmpty = x.EndNo + 1 >= ItemCount() || !LiveItem(x.EndNo + 1).GetContinuesParagraph();
            UndoableDeleteItem(x.EndNo, full);
            x.FullReformat |= full;
            ++x.RemovedCount;
        }
        if (x.EndNo - x.StartNo > 1) {
            x.WidestWidth = std::max(x.WidestWidth, CalculateMinRangeWidth(x.StartNo + 1, x.EndNo - 1));
            x.RemovedCount += x.EndNo - x.StartNo - 1;
            UndoableDeleteItems(x.StartNo + 1, x.EndNo - 1, full);
            x.FullReformat |= full;
        }
        startStep(x.StartOffs, ItemEndOffset(x.StartNo));
    }
    if (x.CaretItem + 1 < ItemCount() &&
        CanMergeItems(x.CaretItem, &LiveItem(x.CaretItem), false, &LiveItem(x.CaretItem + 1))) {
        UndoableJoinItems(x.CaretItem);
        ++x.RemovedCount;
    }
    x.CaretItem = std::min(x.CaretItem, ItemCount() - 1);
    ReformatAfterEdit(x.FullReformat || x.WidestWidth >= DocumentWidth, firstDrawItem, lastDrawItem,
                      -x.RemovedCount);
    PlaceCaret(x.CaretItem, x.CaretOffs, true);
    ApplyParaNoToCaretParagraph(LiveItem(x.CaretItem).ParaNo);
    UpdateControl();
    Changed();
    DoSelect();
    return true;
}
