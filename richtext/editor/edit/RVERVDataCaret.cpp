// The caret of the editing data: the table of caret positions of its line,
// the caret's display with the current styles and hyperlink highlight, and
// the selection and caret queries that answer with the caret when nothing
// is selected.
#include <algorithm>

#include "richtext/editor/edit/RVERVData.h"
#include "richtext/engine/text/RVUni.h"

namespace {

// Width and limits of the system caret.
constexpr int CaretWidth = 1;
constexpr int CaretExtraHeight = 0;
constexpr int MaxCaretHeight = 1000;
// What CaretPosIndex holds when no position matched the target.
constexpr int NoCaretMatch = 100000;

bool IsHighSurrogate(char16_t Ch) {
    return Ch >= 0xD800 && Ch <= 0xDBFF;
}
bool IsLowSurrogate(char16_t Ch) {
    return Ch >= 0xDC00 && Ch <= 0xDFFF;
}

} // namespace

const TRVCharPos* TRVEditRVData::CurrentCharPos() const {
    if (CaretPosIndex < 0 || CaretPosIndex >= CharPositions.Count()) return nullptr;
    return &CharPositions.GetItem(CaretPosIndex);
}

// ---------------------------------------------------------------- the caret's line

void TRVEditRVData::BuildCaretLine(int Target) {
    CharPositions.Clear();
    if (CaretDrawItem < 0 || CaretDrawItem >= DrawItems.Count()) {
        CaretDrawItem = -1;
        CaretPosIndex = -1;
        return;
    }
    CaretPosIndex = NoCaretMatch;
    int first, last;
    GetLineDrawItemRange(CaretDrawItem, first, last);
    if (LiveItem(DrawItems[first]->ItemNo).StyleNo == rvsListMarker) {
        if (CaretDrawItem == first && first + 1 < DrawItems.Count()) {
            CaretDrawItem = first + 1;
            Target = DrawItemStartOffset(CaretDrawItem) - 2;
            if (CaretDrawItem > last) GetLineDrawItemRange(CaretDrawItem, first, last);
        }
        if (first < last) ++first;
    }
    for (int i = first; i <= last; ++i)
        AddCaretLinePositions(i, first, Target);
}

// Plain measuring of one drawing item: every text item is measured as
// left-to-right text; right-to-left paragraphs swap the edges of other items.
void TRVEditRVData::AddCaretLinePositions(int DrawItemNo, int FirstOfLine, int Target) {
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    const TCustomRVItemInfo& item = LiveItem(d.ItemNo);
    bool text = item.StyleNo >= 0;
    bool emptyText = text && GetItemText(d.ItemNo).empty();
    bool rtl = GetParaBiDiMode(item.ParaNo) == rvbdRightToLeft;
    bool isCaret = DrawItemNo == CaretDrawItem;
    auto add = [&](int Left, int Offset, int Shift) {
        TRVCharPos& pos = CharPositions.Add();
        pos.Left = Left;
        pos.DrawItem = DrawItemNo;
        pos.DrawItemOffset = Offset;
        pos.CaretShift = Shift;
        return CharPositions.Count() - 1;
    };
    if (DrawItemNo == FirstOfLine && !emptyText) {
        int index = !text && rtl ? add(d.Left + d.Width, 0, 2) : add(d.Left, text ? 1 : 0, 1);
        if (isCaret && Target < 0) CaretPosIndex = index;
    }
    int n = 0;
    bool endIsCaret = false;
    if (text && !emptyText && d.Length > 0) {
        TRVStyle* style = GetRVStyle();
        TCanvas* canvas = GetCanvas();
        int styleNo = GetActualStyle(item);
        AnsiString raw = DrawItems.GetDrawItemText(DrawItemNo, *ItemList);
        WideString wide = RVItemTextToWide(raw, item.ItemOptions, GetStyleCodePage(styleNo));
        bool allCaps = style && (style->TextStyles().GetItem(styleNo)->StyleEx & rvfsAllCaps);
        int lineFirst, lineLast;
        GetLineDrawItemRange(DrawItemNo, lineFirst, lineLast);
        WideString shown = AdjustTextForDisplay(wide, allCaps, DrawItemNo == lineLast,
                                                GetOptions() & rvoShowSpecialCharacters, false);
        std::vector<int> p(shown.size() + 2, 0);
        if (canvas && style) {
            style->ApplyStyle(*canvas, styleNo, GetParaBiDiMode(item.ParaNo), false, nullptr, false);
            GetTextAdvancesW(*canvas, shown, p.data());
        }
        for (size_t k = 1; k < shown.size(); ++k)
            p[k] += p[k - 1];
        int x0 = d.Left + d.SpaceBefore;
        n = int(shown.size());
        if (item.IsUnicode()) {
            for (int k = 0; k < n;) {
                int next = k + 1;
                if (next < n && IsHighSurrogate(shown[size_t(k)]) && IsLowSurrogate(shown[size_t(next)]))
                    ++next;
                bool match = isCaret && (k == Target || (Target > k && Target < next));
                // The end position below stands for the last character.
                if (next >= n) {
                    endIsCaret = endIsCaret || match;
                    break;
                }
                int index = next > k + 1 ? add(p[size_t(next - 1)] + x0, next + 1, 1)
                                         : add(p[size_t(k)] + x0, k + 2, 1);
                if (match) CaretPosIndex = index;
                k = next;
            }
        } else {
            for (int j = 0; j <= n - 2; ++j) {
                int index = add(p[size_t(j)] + x0, j + 2, 1);
                if (isCaret && j == Target) CaretPosIndex = index;
            }
        }
    }
    int endOffset = DrawItemEndOffset(DrawItemNo);
    int index;
    if (!text && rtl)
        index = add(d.Left, endOffset, 1);
    else
        index = add(d.Left + d.Width, endOffset, text ? 1 : 2);
    if ((DrawItemNo == CaretDrawItem - 1 && Target < 0) || (isCaret && Target > n - 2) || endIsCaret)
        CaretPosIndex = index;
}

void TRVEditRVData::MoveCaretOffMarker() {
    if (CaretDrawItem >= 0 && CaretDrawItem + 1 < DrawItems.Count() &&
        LiveItem(DrawItems[CaretDrawItem]->ItemNo).StyleNo == rvsListMarker)
        ++CaretDrawItem;
}

void TRVEditRVData::UpdateCaret(bool ScrollToCaret, bool KeepStyles, bool CheckResizer) {
    if (EditStates & rvesLayoutApplying) return;
    if (CheckResizer) UpdateView();
    bool focused = Editor && Editor->IsFocused();
    auto caretMove = [&] {
        if (Editor && !Editor->IsDestroying()) Editor->DoCaretMove();
    };
    if (PartialSelectedItem || GetActiveSubDocument() || (StateBits & rvstCompletelySelected)) {
        if (Editor) Editor->HideSystemCaret();
        caretMove();
        return;
    }
    int h = 0, x = 0, y = 0;
    const TRVDrawLineInfo* d = nullptr;
    if (CaretDrawItem != -1) {
        if (CaretPosIndex < 0 || CaretPosIndex >= CharPositions.Count()) {
            // Reset first, so that the next update finds a sound caret.
            CaretDrawItem = DrawItems.Count() > 0 ? 0 : -1;
            CaretPosIndex = 0;
            MoveCaretOffMarker();
            if (CaretDrawItem >= 0) BuildCaretLine(DrawItemStartOffset(CaretDrawItem) - 2);
            throw EZoroZudoError(errRVCaretPos);
        }
        const TRVCharPos& pos = CharPositions.GetItem(CaretPosIndex);
        CaretDrawItem = pos.DrawItem;
        d = DrawItems[CaretDrawItem];
        h = std::min(d->Height + 2, MaxCaretHeight);
        x = pos.Left + pos.CaretShift - 1;
        y = d->Top - 1;
    }
    if (CaretHeight != 0 && focused) Editor->HideSystemCaret();
    bool hidden = IsReadOnly() && (GetEditorOptions() & rvoHideReadOnlyCaret);
    if (h != 0 && !hidden && focused) {
        int left = x - GetHOffs() - CaretWidth / 2;
        int top = y + d->Height + 1 - GetVOffs() - CaretExtraHeight - h;
        CaretRect = TRect(left, top, left + CaretWidth, top + h + 2 * CaretExtraHeight);
        if (Editor->GetCustomCaretInterval() < 1) Editor->ShowSystemCaret(CaretRect);
    }
    CaretHeight = h;
    if (CaretDrawItem != -1) {
        TRVStyle* style = GetRVStyle();
        TCustomRVItemInfo& item = LiveItem(d->ItemNo);
        if (!KeepStyles) SetCurParaStyle(item.ParaNo);
        if (item.GetBoolValueEx(iqxCurrentItemFrame, style)) {
            ActiveItem = &item;
            InvalidateRect(TRect(0, 0, GetWidth(), GetHeight()));
        } else if (ActiveItem) {
            ActiveItem = nullptr;
            InvalidateRect(TRect(0, 0, GetWidth(), GetHeight()));
        }
        // Backwards selections end at the caret: the next piece gives the style.
        TCustomRVItemInfo* s = &item;
        bool backwards =
            SelectionExists() && (SelEndDrawItem < SelStartDrawItem ||
                                  (SelEndDrawItem == SelStartDrawItem && SelEndDrawOffs < SelStartDrawOffs));
        const TRVCharPos& pos = CharPositions.GetItem(CaretPosIndex);
        if (backwards && pos.DrawItemOffset == DrawItemEndOffset(CaretDrawItem) &&
            CaretDrawItem + 1 < DrawItems.Count() && !IsParaStart(DrawItems[CaretDrawItem + 1]->ItemNo))
            s = &LiveItem(DrawItems[CaretDrawItem + 1]->ItemNo);
        if (!KeepStyles && style) {
            int take = -1, test = -1;
            if (s->StyleNo >= 0) {
                take = s->StyleNo;
                test = GetActualStyle(*s);
            } else if (s->GetAssociatedTextStyleNo() >= 0 && s->GetBoolValue(iqActsAsText)) {
                take = s->GetAssociatedTextStyleNo();
                test = ResolveStyleNo(take, s->ParaNo);
            }
            if (take >= 0) {
                auto noSwitch = [&](int StyleNo) {
                    return bool(style->TextStyles().GetItem(StyleNo)->Protection & rvprDoNotAutoSwitch);
                };
                if (noSwitch(test)) {
                    if (!noSwitch(ResolveStyleNo(LastSwitchableTextStyle, s->ParaNo)))
                        SetCurTextStyle(LastSwitchableTextStyle);
                } else {
                    SetCurTextStyle(take);
                    LastSwitchableTextStyle = take;
                }
            }
        }
        if (s->GetBoolValueEx(iqxHoverSensitive, style) && !(GetEditorOptions() & rvoNoCaretHighlightJumps)) {
            HoverJumpNo = s->JumpID;
            HoverJumpData = this;
            EditStates |= rvesHyperlinkHighlighted;
            InvalidateRect(TRect(0, 0, GetWidth(), GetHeight()));
        } else if (EditStates & rvesHyperlinkHighlighted) {
            HoverJumpNo = -1;
            EditStates &= ~TRVEditStates(rvesHyperlinkHighlighted);
            InvalidateRect(TRect(0, 0, GetWidth(), GetHeight()));
        }
    }
    if (ScrollToCaret && CaretHeight != 0) ShowRectangle(x, y, 5, CaretHeight);
    caretMove();
}

void TRVEditRVData::SetCaretAt(int ItemNo, int ItemOffset) {
    if (DrawItems.Count() == 0 || ItemCount() == 0) return;
    ItemNo = std::clamp(ItemNo, 0, ItemCount() - 1);
    ItemOffset = std::clamp(ItemOffset, ItemStartOffset(ItemNo), ItemEndOffset(ItemNo));
    int drawItem, drawOffs;
    ItemToDrawItem(ItemNo, ItemOffset, drawItem, drawOffs);
    if (drawItem < 0) {
        drawItem = 0;
        drawOffs = DrawItemStartOffset(0);
    }
    CaretDrawItem = drawItem;
    BuildCaretLine(drawOffs - 2);
    UpdateCaret(true, false, false);
}

TPoint TRVEditRVData::GetImeCaretPos() const {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return TPoint(0, 0);
    return TPoint(pos->Left + pos->CaretShift - GetHOffs() - 1,
                  DrawItems[pos->DrawItem]->Top - GetVOffs() - 1);
}

// ---------------------------------------------------------------- caret queries

int TRVEditRVData::GetCaretItemNo() {
    PrepareEmptyDocument();
    if (PartialSelectedItem) return GetItemNo(PartialSelectedItem);
    if (TCustomRVItemInfo* active = GetActiveSubDocumentItem()) return GetItemNo(active);
    if (CaretDrawItem < 0 || CaretDrawItem >= DrawItems.Count()) return -1;
    return DrawItems[CaretDrawItem]->ItemNo;
}

int TRVEditRVData::GetCaretItemOffset() {
    PrepareEmptyDocument();
    if (PartialSelectedItem) return 1;
    if (CaretDrawItem < 0 || CaretDrawItem >= DrawItems.Count()) return -1;
    const TRVCharPos* pos = CurrentCharPos();
    const TRVDrawLineInfo& d = *DrawItems[CaretDrawItem];
    int offset = pos ? pos->DrawItemOffset : DrawItemStartOffset(CaretDrawItem);
    if (LiveItem(d.ItemNo).StyleNo < 0) return offset;
    return d.Offs + offset - 1;
}

void TRVEditRVData::Deselect(bool RaiseEvent) {
    bool had = SelectionExists();
    TZoroZudoRVData::Deselect(nullptr, false);
    if (RaiseEvent && had && Editor && !Editor->IsDestroying()) Editor->DoCaretMove();
}

void TRVEditRVData::DoSelect() {
    if (SelEndDrawItem >= 0) SelectionChanged(true);
    TZoroZudoRVData::DoSelect();
}

void TRVEditRVData::GetSelectionBounds(int& StartNo, int& StartOffs, int& EndNo, int& EndOffs,
                                       bool Normalize) {
    if (SelectionExists()) {
        GetSelectionItemBounds(StartNo, EndNo, StartOffs, EndOffs, Normalize);
        return;
    }
    StartNo = EndNo = GetCaretItemNo();
    StartOffs = EndOffs = GetCaretItemOffset();
}

void TRVEditRVData::GetSelectionDrawBounds(int& StartDrawItem, int& StartOffs, int& EndDrawItem, int& EndOffs,
                                           bool Normalize) {
    if (SelectionExists()) {
        StartDrawItem = SelStartDrawItem;
        StartOffs = SelStartDrawOffs;
        EndDrawItem = SelEndDrawItem;
        EndOffs = SelEndDrawOffs;
        if (Normalize &&
            (EndDrawItem < StartDrawItem || (EndDrawItem == StartDrawItem && EndOffs < StartOffs))) {
            std::swap(StartDrawItem, EndDrawItem);
            std::swap(StartOffs, EndOffs);
        }
        return;
    }
    StartDrawItem = EndDrawItem = CaretDrawItem;
    const TRVCharPos* pos = CurrentCharPos();
    StartOffs = EndOffs = CaretDrawItem < 0 || !pos ? -1 : pos->DrawItemOffset;
}

void TRVEditRVData::GetSelectionStartDrawItem(int& DrawItem, int& Offs) const {
    DrawItem = SelStartDrawItem;
    Offs = SelStartDrawOffs;
    if (DrawItem == -1 && CaretDrawItem != -1)
        if (const TRVCharPos* pos = CurrentCharPos()) {
            DrawItem = pos->DrawItem;
            Offs = pos->DrawItemOffset;
        }
}

void TRVEditRVData::SetSelectionBounds(int StartNo, int StartOffs, int EndNo, int EndOffs) {
    StoreSelectionBounds(StartNo, StartOffs, EndNo, EndOffs);
    SelectionChanged(true);
}

void TRVEditRVData::SelectionChanged(bool ShowCaret) {
    if (SelEndDrawItem >= 0 && SelEndDrawItem + 1 < DrawItems.Count() &&
        LiveItem(DrawItems[SelEndDrawItem]->ItemNo).StyleNo == rvsListMarker) {
        ++SelEndDrawItem;
        SelEndDrawOffs = DrawItemStartOffset(SelEndDrawItem);
    }
    if (SelEndDrawItem >= 0) {
        CaretDrawItem = SelEndDrawItem;
        BuildCaretLine(SelEndDrawOffs - 2);
    }
    UpdateCaret(ShowCaret, false, false);
}

void TRVEditRVData::CollapseSelectionToCaret() {
    if (SelectionExists() && !(SelStartDrawItem == SelEndDrawItem && SelStartDrawOffs == SelEndDrawOffs))
        return;
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return;
    SelStartDrawItem = SelEndDrawItem = pos->DrawItem;
    SelStartDrawOffs = SelEndDrawOffs = pos->DrawItemOffset;
}

void TRVEditRVData::ExtendSelectionToCaret() {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return;
    if (SelStartDrawItem < 0) {
        SelStartDrawItem = pos->DrawItem;
        SelStartDrawOffs = pos->DrawItemOffset;
    }
    SelEndDrawItem = pos->DrawItem;
    SelEndDrawOffs = pos->DrawItemOffset;
    TRVStyle* style = GetRVStyle();
    if (style && style->SelectionMode == rvsmParagraph) {
        bool forward = SelEndDrawItem > SelStartDrawItem ||
                       (SelEndDrawItem == SelStartDrawItem && SelEndDrawOffs >= SelStartDrawOffs);
        int& lo = forward ? SelStartDrawItem : SelEndDrawItem;
        int& loOffs = forward ? SelStartDrawOffs : SelEndDrawOffs;
        int& hi = forward ? SelEndDrawItem : SelStartDrawItem;
        int& hiOffs = forward ? SelEndDrawOffs : SelStartDrawOffs;
        while (lo > 0 && !IsDrawItemParaStart(lo))
            --lo;
        while (hi + 1 < DrawItems.Count() && !IsDrawItemParaStart(hi + 1))
            ++hi;
        loOffs = DrawItemStartOffset(lo);
        hiOffs = DrawItemEndOffset(hi);
    }
    SelectionChanged(true);
}

bool TRVEditRVData::IsCaretAtParaStart(bool ParaOnly) {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    CaretDrawItem = pos->DrawItem;
    if (CaretPosIndex != 0) return false;
    const TRVDrawLineInfo& d = *DrawItems[CaretDrawItem];
    const TCustomRVItemInfo& item = LiveItem(d.ItemNo);
    int offset = CharPositions.GetItem(0).DrawItemOffset + (item.StyleNo >= 0 ? d.Offs : 1) - 1;
    if (offset > ItemStartOffset(d.ItemNo)) return false;
    bool result =
        !item.GetContinuesParagraph() || (d.ItemNo > 0 && LiveItem(d.ItemNo - 1).StyleNo == rvsListMarker);
    if (result && ParaOnly && item.GetLineBreakBefore()) return false;
    return result;
}

bool TRVEditRVData::IsCaretAtParaEnd(bool ParaOnly) {
    const TRVCharPos* pos = CurrentCharPos();
    if (!pos) return false;
    CaretDrawItem = pos->DrawItem;
    const TRVDrawLineInfo& d = *DrawItems[CaretDrawItem];
    const TCustomRVItemInfo& item = LiveItem(d.ItemNo);
    if (CaretPosIndex != CharPositions.Count() - 1) return false;
    if (item.StyleNo >= 0 && d.Offs + pos->DrawItemOffset - 1 <= ItemLength(d.ItemNo)) return false;
    if (d.ItemNo == ItemCount() - 1) return true;
    const TCustomRVItemInfo& next = LiveItem(d.ItemNo + 1);
    if (ParaOnly && next.GetLineBreakBefore()) return false;
    return next.StartsParagraph() || next.GetLineBreakBefore();
}

bool TRVEditRVData::IsCaretOnLastLine() const {
    if (CaretDrawItem < 0) return false;
    int first, last;
    GetLineDrawItemRange(CaretDrawItem, first, last);
    return last == DrawItems.Count() - 1;
}

void TRVEditRVData::SkipMarkerAtBound(int& ItemNo, int& Offset, bool Forward) const {
    if (ItemNo < 0 || ItemNo >= ItemCount() || LiveItem(ItemNo).StyleNo != rvsListMarker) return;
    if (Offset == 1 || Forward || ItemNo == 0) {
        if (ItemNo + 1 < ItemCount()) {
            ++ItemNo;
            Offset = ItemStartOffset(ItemNo);
        }
    } else {
        --ItemNo;
        Offset = ItemEndOffset(ItemNo);
    }
}

int TRVEditRVData::SkipMarkerAtCaret(bool Forward) {
    if (CaretDrawItem < 0 || LiveItem(DrawItems[CaretDrawItem]->ItemNo).StyleNo != rvsListMarker)
        return CurrentCharPos() ? CurrentCharPos()->DrawItemOffset : -1;
    if (CaretDrawItem == 0 || Forward) {
        if (CaretDrawItem + 1 >= DrawItems.Count()) return DrawItemEndOffset(CaretDrawItem);
        ++CaretDrawItem;
        return DrawItemStartOffset(CaretDrawItem);
    }
    --CaretDrawItem;
    return DrawItemEndOffset(CaretDrawItem);
}

int TRVEditRVData::GetSingleSelectedItem() {
    if (SelStartDrawItem < 0 || SelEndDrawItem < 0) return -1;
    int startNo, startOffs, endNo, endOffs;
    GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
    if (startOffs >= ItemEndOffset(startNo)) {
        if (startNo + 1 >= ItemCount()) return -1;
        ++startNo;
        startOffs = ItemStartOffset(startNo);
    }
    if (endOffs <= ItemStartOffset(endNo)) {
        if (endNo == 0) return -1;
        --endNo;
        endOffs = ItemEndOffset(endNo);
    }
    if (startNo != endNo) return -1;
    return startOffs == ItemStartOffset(startNo) && endOffs == ItemEndOffset(startNo) ? startNo : -1;
}

void TRVEditRVData::SetPartialSelectedItem(TCustomRVItemInfo* Item) {
    bool changed = Item != PartialSelectedItem;
    PartialSelectedItem = Item;
    if (changed && Editor && !Editor->IsDestroying()) Editor->DoCaretMove();
}

void TRVEditRVData::GetSearchStart(bool Forward, bool FromEdge, int& ItemNo, int& Offset) {
    if (FromEdge) {
        if (Forward) {
            ItemNo = 0;
            Offset = ItemCount() > 0 ? ItemStartOffset(0) : 0;
        } else {
            ItemNo = ItemCount() - 1;
            Offset = ItemNo >= 0 ? ItemEndOffset(ItemNo) + 1 : 0;
        }
        return;
    }
    ItemNo = GetCaretItemNo();
    Offset = GetCaretItemOffset();
    if (ItemNo < 0) return;
    if (Forward) {
        if (Offset >= ItemEndOffset(ItemNo)) {
            ++ItemNo;
            if (ItemNo < ItemCount()) Offset = ItemStartOffset(ItemNo);
        }
    } else if (Offset <= ItemStartOffset(ItemNo)) {
        --ItemNo;
        if (ItemNo >= 0) Offset = ItemEndOffset(ItemNo);
    }
}
