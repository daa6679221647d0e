// Caret movement by the arrow, Home, End, PageUp and PageDown keys: steps
// through the caret's line of positions, by characters or words, to other
// lines at the same x, and by paragraphs while a paragraph selection grows.
#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/text/RVUni.h"

namespace {

bool IsMarker(const TCustomRVItemInfo& Item) {
    return Item.StyleNo == rvsListMarker;
}

} // namespace

bool TRVEditRVData::IsWordBoundary(const AnsiString& Text, int Index, TRVItemOptions Options) const {
    // Between characters Index - 1 and Index (1-based).
    bool prev = IsDelimiter(Text, Index - 1, Options);
    bool cur = IsDelimiter(Text, Index, Options);
    return (prev && !cur) || (!prev && cur && !IsSpaceCharAt(Text, Index, Options));
}

void TRVEditRVData::GoToDrawItem(int DrawItemNo, int Offset, bool Forward) {
    CaretDrawItem = DrawItemNo;
    if (IsMarker(LiveItem(DrawItems[CaretDrawItem]->ItemNo))) {
        if ((Forward || CaretDrawItem == 0) && CaretDrawItem + 1 < DrawItems.Count()) {
            ++CaretDrawItem;
            Offset = DrawItemStartOffset(CaretDrawItem);
        } else if (CaretDrawItem > 0) {
            --CaretDrawItem;
            Offset = DrawItemEndOffset(CaretDrawItem);
        }
    }
    BuildCaretLine(Offset - 2);
}

bool TRVEditRVData::ParagraphSelecting(bool Shift, bool Forward) {
    TRVStyle* style = GetRVStyle();
    if (!style || style->SelectionMode != rvsmParagraph || !Shift || !SelectionExists() ||
        !SelectionHasParaBreak())
        return false;
    if (Forward)
        MoveCaretParaDown();
    else
        MoveCaretParaUp();
    return true;
}

bool TRVEditRVData::MoveCaretLeft(bool Shift, bool Ctrl) {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    if (ParagraphSelecting(Shift, false)) return false;
    const TRVDrawLineInfo& d = *DrawItems[pos->DrawItem];
    int i = d.ItemNo;
    bool text = LiveItem(i).StyleNo >= 0;
    int before = pos->DrawItemOffset + d.Offs - 2;
    bool result = false;
    if (Ctrl && text && before > 0) {
        const AnsiString& s = GetItemText(i);
        TRVItemOptions options = LiveItem(i).ItemOptions;
        int count = 1;
        while (count < before && !IsWordBoundary(s, before - count + 1, options))
            ++count;
        if (count > CaretPosIndex) {
            int drawItem, drawOffs;
            ItemToDrawItem(i, before - count + 1, drawItem, drawOffs);
            GoToDrawItem(drawItem, drawOffs, false);
        } else {
            CaretPosIndex -= count;
        }
    } else if (IsCaretAtLineStart()) {
        if (CaretDrawItem == 0) return true;
        int first, last;
        GetLineDrawItemRange(pos->DrawItem, first, last);
        int target = first - 1;
        if (target < 0) return true;
        if (target == 0 && IsMarker(LiveItem(0))) return true;
        GoToDrawItem(target, DrawItemEndOffset(target), false);
    } else {
        --CaretPosIndex;
    }
    UpdateCaret(true, false, false);
    return result;
}

bool TRVEditRVData::MoveCaretRight(bool Shift, bool Ctrl) {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    if (ParagraphSelecting(Shift, true)) return false;
    int first, last;
    GetLineDrawItemRange(pos->DrawItem, first, last);
    bool lastLine = last == DrawItems.Count() - 1;
    if (Ctrl) {
        ++CaretPosIndex;
        if (CaretPosIndex >= CharPositions.Count()) {
            if (lastLine) {
                --CaretPosIndex;
                return true;
            }
            GoToDrawItem(last + 1, DrawItemStartOffset(last + 1), true);
        }
        const TRVCharPos& p = CharPositions.GetItem(CaretPosIndex);
        const TRVDrawLineInfo& d = *DrawItems[p.DrawItem];
        int i = d.ItemNo;
        if (LiveItem(i).StyleNo >= 0) {
            int o = p.DrawItemOffset + d.Offs - 1;
            int length = ItemLength(i);
            if (o > 1 && o <= length) {
                const AnsiString& s = GetItemText(i);
                TRVItemOptions options = LiveItem(i).ItemOptions;
                int count = 0;
                for (int k = o; k <= length; ++k) {
                    bool afterSpace = IsSpaceCharAt(s, k - 1, options) && !IsSpaceCharAt(s, k, options);
                    if (afterSpace || IsWordBoundary(s, k, options)) break;
                    ++count;
                }
                if (CaretPosIndex + count < CharPositions.Count() &&
                    CharPositions.GetItem(CaretPosIndex + count).DrawItem == p.DrawItem) {
                    CaretPosIndex += count;
                } else {
                    int drawItem, drawOffs;
                    ItemToDrawItem(i, o + count, drawItem, drawOffs);
                    GoToDrawItem(drawItem, drawOffs, true);
                }
            }
        }
    } else if (IsCaretAtLineEnd()) {
        if (lastLine) return true;
        GoToDrawItem(last + 1, DrawItemStartOffset(last + 1), true);
    } else {
        ++CaretPosIndex;
    }
    UpdateCaret(true, false, false);
    return false;
}

bool TRVEditRVData::MoveCaretUp(bool Shift, bool Ctrl) {
    (void)Ctrl; // no item here takes the caret from below
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    int a = CharPositions.GetItem(0).DrawItem;
    int first, last;
    GetLineDrawItemRange(a, first, last);
    int above = first - 1;
    if (above < 0) {
        if (!Shift || CaretPosIndex == 0) {
            VScrollTo(0, true);
        } else {
            CaretPosIndex = 0;
            UpdateCaret(true, false, false);
        }
        return true;
    }
    if (ParagraphSelecting(Shift, false)) return false;
    int x = pos->Left;
    int offs, drawItem;
    FindDrawItemAtPos(x, DrawItems[above]->Top + 1, false, offs, drawItem);
    if (drawItem < 0) return false;
    GoToDrawItem(drawItem, offs, false);
    UpdateCaret(true, false, false);
    return false;
}

bool TRVEditRVData::MoveCaretDown(bool Shift, bool Ctrl) {
    (void)Ctrl;
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    int first, last;
    GetLineDrawItemRange(pos->DrawItem, first, last);
    if (last == DrawItems.Count() - 1) {
        if (!Shift || CaretPosIndex == CharPositions.Count() - 1) {
            VScrollTo(DocumentHeight, true);
        } else {
            CaretPosIndex = CharPositions.Count() - 1;
            UpdateCaret(true, false, false);
        }
        return true;
    }
    if (ParagraphSelecting(Shift, true)) return false;
    int x = pos->Left;
    int offs, drawItem;
    FindDrawItemAtPos(x, DrawItems[last + 1]->Top + 1, false, offs, drawItem);
    if (drawItem < 0) return false;
    GoToDrawItem(drawItem, offs, true);
    UpdateCaret(true, false, false);
    return false;
}

bool TRVEditRVData::MoveCaretHome(bool ToDocumentStart) {
    if (DrawItems.Count() == 0 || !CurrentCharPos()) return ToDocumentStart;
    if (ToDocumentStart) {
        CaretDrawItem = 0;
        BuildCaretLine(ItemStartOffset(0) - 2);
    }
    CaretPosIndex = 0;
    CaretDrawItem = CharPositions.GetItem(0).DrawItem;
    UpdateCaret(true, false, false);
    return ToDocumentStart;
}

bool TRVEditRVData::MoveCaretEnd(bool ToDocumentEnd) {
    if (DrawItems.Count() == 0 || !CurrentCharPos()) return ToDocumentEnd;
    if (ToDocumentEnd) {
        CaretDrawItem = DrawItems.Count() - 1;
        BuildCaretLine(0);
    }
    CaretPosIndex = CharPositions.Count() - 1;
    CaretDrawItem = CharPositions.GetItem(CaretPosIndex).DrawItem;
    UpdateCaret(true, false, false);
    return ToDocumentEnd;
}

bool TRVEditRVData::MoveCaretPageUp() {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    int x = pos->Left;
    int h = GetHeight();
    int y = GetVOffs() - h * 3 / 4;
    while (y > 0) {
        int offs, drawItem;
        FindDrawItemAtPos(x, y, false, offs, drawItem);
        if (drawItem >= 0 && drawItem < CaretDrawItem) {
            GoToDrawItem(drawItem, offs, false);
            UpdateCaret(true, false, false);
            return false;
        }
        y -= std::max(h / 2, 1);
    }
    MoveCaretHome(true);
    return false;
}

bool TRVEditRVData::MoveCaretPageDown() {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    int x = pos->Left;
    int h = GetHeight();
    int y = GetVOffs() + h * 3 / 4;
    while (y < DocumentHeight) {
        int offs, drawItem;
        FindDrawItemAtPos(x, y, false, offs, drawItem);
        if (drawItem > CaretDrawItem) {
            GoToDrawItem(drawItem, offs, true);
            UpdateCaret(false, false, false);
            VScrollTo(DrawItems[CaretDrawItem]->Top, true);
            return false;
        }
        y += std::max(h / 2, 1);
    }
    MoveCaretEnd(true);
    return false;
}

void TRVEditRVData::MoveCaretParaUp() {
    if (CaretDrawItem < 0) return;
    int n = CaretDrawItem;
    while (n > 0 && !IsDrawItemParaStart(n))
        --n;
    if (n > 0) --n;
    while (n > 0 && !IsDrawItemParaStart(n))
        --n;
    GoToDrawItem(n, DrawItemStartOffset(n), false);
    UpdateCaret(true, false, false);
}

void TRVEditRVData::MoveCaretParaDown() {
    if (CaretDrawItem < 0) return;
    int n = CaretDrawItem, count = DrawItems.Count();
    while (n + 1 < count && !IsDrawItemParaStart(n + 1))
        ++n;
    if (n + 1 < count) ++n;
    while (n + 1 < count && !IsDrawItemParaStart(n + 1))
        ++n;
    GoToDrawItem(n, DrawItemEndOffset(n), true);
    UpdateCaret(true, false, false);
}
