// The mouse on a formatted document: selecting by characters, words,
// paragraphs and lines, hyperlink hover and clicks, the word under the
// pointer, double clicks and the item under the mouse.
#include <algorithm>

#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// The hyperlink area under a document point: edges included or only the
// left and top ones.
TRVJumpInfo* JumpAt(TCustomRVFormattedData& Data, int X, int Y, bool Edges, int JumpNo = -1) {
    for (auto& jump : Data.Jumps) {
        if (JumpNo >= 0 && jump->JumpNo != JumpNo) continue;
        int right = jump->Left + jump->Width, bottom = jump->Top + jump->Height;
        bool in = Edges ? X >= jump->Left && X <= right && Y >= jump->Top && Y <= bottom
                        : X >= jump->Left && X < right && Y >= jump->Top && Y < bottom;
        if (in) return jump.get();
    }
    return nullptr;
}

} // namespace

void TCustomRVFormattedData::UpdateHoverDrawItem(int X, int Y) {
    HoverDrawItem = GetDrawItemAtPoint(X + GetHOffs(), Y + GetVOffs());
}

bool TCustomRVFormattedData::GetWordAt(int X, int Y, AnsiString& Word, int& StyleNo, int& ItemNo, int& Offs) {
    Word.clear();
    StyleNo = 0;
    int d, o;
    FindDrawItemAtPos(X + GetHOffs(), Y + GetVOffs(), true, o, d);
    if (d < 0) {
        ItemNo = -1;
        return false;
    }
    ItemNo = DrawItems[d]->ItemNo;
    StyleNo = GetItemStyle(ItemNo);
    if (StyleNo < 0) {
        Offs = 0;
        Word = GetItemText(ItemNo);
        return true;
    }
    int from, to;
    GetWordBounds(d, o, from, to);
    const TRVDrawLineInfo& di = *DrawItems[d];
    Offs = di.Offs + from - 1;
    WideString raw = RVItemTextToWide(GetItemText(ItemNo), GetItemOptions(ItemNo),
                                      GetRVStyle()->GetStyleCodePage(StyleNo));
    WideString word = raw.substr(std::size_t(Offs - 1), std::size_t(to - from));
    Word = RawUnicodeToAnsi(GetRVStyle()->GetStyleCodePage(StyleNo), WideToRawUnicode(word));
    return !word.empty();
}

void TCustomRVFormattedData::MouseDown(TRVMouseButton Button, TRVShiftState Shift, int X, int Y) {
    TRVStyle* style = GetRVStyle();
    if (!style) return;
    int docX = X + GetHOffs(), docY = Y + GetVOffs();
    UpdateHoverDrawItem(X, Y);
    DownDrawItem = HoverDrawItem;
    int itemNo = HoverDrawItem >= 0 ? DrawItems[HoverDrawItem]->ItemNo : -1;
    if (itemNo < 0 ||
        (GetItem(itemNo) != PartialSelectedItem && GetItem(itemNo) != GetActiveSubDocumentItem())) {
        if (itemNo >= 0) DeselectPartialItems(nullptr);
        if (!(Shift & rvshift::Double)) SetControlFocus();
    }
    if (IsAssigned(rveRVMouseDown)) DoRVMouseDown(Button, Shift, itemNo, X, Y);
    if (Button == rvmbLeft) {
        TRVJumpInfo* jump = JumpAt(*this, docX, docY, true);
        DownJumpNo = jump ? jump->JumpNo : -1;
    }
    if (CapturedItem) {
        if (HoverDrawItem >= 0) {
            SelStartDrawItem = SelEndDrawItem = HoverDrawItem;
            SelStartDrawOffs = SelEndDrawOffs = DrawItemStartOffset(HoverDrawItem);
        }
        SelectionChanged(true);
        return;
    }
    if (Button != rvmbLeft || (StateBits & rvstJustSelectedWord)) return;
    TRVOptions options = GetOptions();
    if ((options & rvoSingleClick) && IsAssigned(rveRVDblClick)) {
        AnsiString word;
        int styleNo, wordItem, offs;
        GetWordAt(X, Y, word, styleNo, wordItem, offs);
        DoRVDblClick(word, styleNo);
    }
    if ((options & rvoAllowSelection) && (Shift & rvshift::Left)) {
        StateBits &= ~TRVDataStates(rvstLineSelection);
        DeselectPartialItems(nullptr);
        int d, o;
        GetSelectionStartDrawItem(d, o);
        bool hadSelection = SelStartDrawItem >= 0;
        int pd, po;
        FindDrawItemAtPos(docX, docY, false, po, pd);
        if (pd >= 0 && IsDrawPositionSelected(pd, po, true)) {
            int sd, so;
            FindDrawItemAtPos(docX, docY, true, so, sd);
            if (sd >= 0 && IsDrawPositionSelected(sd, so, true) && !(Shift & rvshift::Shift) &&
                docX >= GetLeftMargin() && CanStartDrag()) {
                PostStartDrag();
                return;
            }
        }
        if (pd >= 0) {
            SelEndDrawItem = pd;
            SelEndDrawOffs = po;
            if (!(Shift & rvshift::Shift) || !hadSelection) {
                SelStartDrawItem = pd;
                SelStartDrawOffs = po;
            }
        }
        if (pd < 0) {
            StateBits &= ~TRVDataStates(rvstMouseSelecting);
        } else {
            StateBits |= rvstMouseSelecting;
            SelectingInfo.reset();
            if (style->LineSelectCursor != -1 && GetBiDiMode() != rvbdRightToLeft && docX < GetLeftMargin() &&
                !(Shift & rvshift::Shift)) {
                StateBits |= rvstLineSelection;
                ExpandSelectionToLines(true);
            } else if (style->SelectionMode == rvsmWord || style->SelectionMode == rvsmParagraph) {
                SelectingInfo = std::make_unique<TRVSelectingInfo>();
                SelectingInfo->StartDrawItem = SelStartDrawItem;
                SelectingInfo->StartOffs = SelStartDrawOffs;
                if (style->SelectionMode == rvsmParagraph) {
                    SelectingInfo->InitState(3);
                    if (Shift & rvshift::Shift) SelectToPoint(X, Y);
                } else if (IsInsideWord(SelStartDrawItem, SelStartDrawOffs)) {
                    GetWordBounds(SelStartDrawItem, SelStartDrawOffs, SelectingInfo->StartWordFrom,
                                  SelectingInfo->StartWordTo);
                    SelectingInfo->InitState(0);
                } else {
                    SelectingInfo->StartWordFrom = SelectingInfo->StartWordTo = SelStartDrawOffs;
                    SelectingInfo->InitState(2);
                }
            }
        }
        SelectionChanged(true);
        InvalidateControl();
    }
}

void TCustomRVFormattedData::MouseMove(TRVShiftState Shift, int X, int Y) {
    TRVStyle* style = GetRVStyle();
    if (!style) return;
    if ((StateBits & rvstMouseSelecting) && !(Shift & rvshift::Left)) {
        StateBits &= ~TRVDataStates(rvstMouseSelecting);
        SelectingInfo.reset();
    }
    if (!CapturedItem && (StateBits & rvstMouseSelecting)) {
        int x = X, y = Y;
        if (!(GetFlags() & rvflMouseXYAlwaysCorrect)) {
            x = std::clamp(x, 0, std::max(GetWidth() - 1, 0));
            y = std::clamp(y, 0, std::max(GetHeight() - 1, 0));
        }
        if (StateBits & rvstLineSelection) {
            if (SelectLinesToPoint(x, y)) {
                ExpandSelectionToLines(false);
                SelectionChanged(false);
                RefreshControl();
            }
        } else if (SelectToPoint(x, y)) {
            SelectionChanged(true);
            RefreshControl();
        }
    }
    int docX = X + GetHOffs(), docY = Y + GetVOffs();
    if (style->LineSelectCursor != -1 && !(StateBits & rvstMouseSelecting) &&
        GetBiDiMode() != rvbdRightToLeft && (GetOptions() & rvoAllowSelection) && docX < GetLeftMargin()) {
        SetCursor(style->LineSelectCursor);
        return;
    }
    if ((GetFlags() & rvflUseJumps) && !CapturedItem) {
        if (TRVJumpInfo* jump = JumpAt(*this, docX, docY, false)) {
            TCustomRVFormattedData* data = jump->Data ? jump->Data : this;
            SetCursor(jump->Cursor);
            if (!HoverJumpData || HoverJumpData != data || data->HoverJumpNo != jump->JumpNo) {
                if (HoverJumpData && (HoverJumpData != data || HoverJumpData->HoverJumpNo != jump->JumpNo))
                    InvalidateHoveredJump();
                DoRVMouseMove(data->FirstJumpNo + jump->JumpNo);
            }
            data->HoverJumpNo = jump->JumpNo;
            HoverJumpData = data;
            if (!(data->StateBits & rvstDrawHover)) {
                int itemNo = data->DrawItems[jump->DrawItemNo]->ItemNo;
                int styleNo = data->GetItemStyle(itemNo);
                bool sensitive = styleNo >= 0
                                     ? style->GetHoverSensitive(styleNo)
                                     : data->GetItem(itemNo)->GetBoolValueEx(iqxHoverSensitive, style);
                if (sensitive) {
                    data->StateBits |= rvstDrawHover;
                    data->InvalidateJump(jump->JumpNo);
                }
            }
            return;
        }
        if (HoverJumpData) {
            InvalidateHoveredJump();
            DoRVMouseMove(-1);
        }
    }
    UpdateHoverDrawItem(X, Y);
    if (HoverDrawItem < 0) {
        SetCursor(GetNormalCursor());
        return;
    }
    int sd, so;
    FindDrawItemAtPos(docX, docY, true, so, sd);
    if (!(Shift & rvshift::Shift) && sd >= 0 && IsDrawPositionSelected(sd, so, true) && CanStartDrag())
        SetCursor(crRVArrow);
    else
        SetCursor(GetNormalCursor());
}

void TCustomRVFormattedData::MouseUp(TRVMouseButton Button, TRVShiftState Shift, int X, int Y) {
    bool existed = SelectionExists(true, true);
    int docX = X + GetHOffs(), docY = Y + GetVOffs();
    if (!CapturedItem) {
        StateBits &= ~TRVDataStates(rvstJustSelectedWord);
        if ((StateBits & rvstMouseSelecting) && Button == rvmbLeft) {
            int x = X, y = Y;
            if (!(GetFlags() & rvflMouseXYAlwaysCorrect)) {
                x = std::clamp(x, 0, std::max(GetWidth() - 1, 0));
                y = std::clamp(y, 0, std::max(GetHeight() - 1, 0));
            }
            if (StateBits & rvstLineSelection)
                SelectLinesToPoint(x, y);
            else
                SelectToPoint(x, y);
            StateBits &= ~TRVDataStates(rvstMouseSelecting | rvstLineSelection);
            SelectingInfo.reset();
            UpdateHoverDrawItem(X, Y);
            SelectionChanged(true);
            InvalidateControl();
            DoSelect();
        }
        if ((GetOptions() & rvoRClickDeselects) && Button == rvmbRight) {
            int pd, po;
            FindDrawItemAtPos(docX, docY, false, po, pd);
            if (pd >= 0 && !IsDrawPositionSelected(pd, po, true)) {
                SelStartDrawItem = SelEndDrawItem = pd;
                SelStartDrawOffs = SelEndDrawOffs = po;
                SelectionChanged(true);
                RefreshControl();
                DoSelect();
            }
        }
    }
    UpdateHoverDrawItem(X, Y);
    if (CapturedItem) return;
    int itemNo = HoverDrawItem >= 0 ? DrawItems[HoverDrawItem]->ItemNo : -1;
    if (!existed && (Button == rvmbLeft || Button == rvmbRight) && itemNo >= 0 &&
        GetItem(itemNo)->GetBoolValueEx(iqxFocusable, GetRVStyle()) && AllowsItemFocus())
        FocusItem(itemNo);
    if (IsAssigned(rveRVMouseUp)) DoRVMouseUp(Button, Shift, itemNo, X, Y);
    if (Button == rvmbRight && IsAssigned(rveRVRightClick)) {
        AnsiString word;
        int styleNo, wordItem, offs;
        GetWordAt(X, Y, word, styleNo, wordItem, offs);
        DoRVRightClick(word, styleNo, X, Y);
    }
    if (Button == rvmbLeft && DownJumpNo != -1 && IsAssigned(rveJump) && !existed)
        if (TRVJumpInfo* jump = JumpAt(*this, docX, docY, true, DownJumpNo))
            DoJump(FirstJumpNo + jump->JumpNo);
    DownJumpNo = -1;
    DownDrawItem = -1;
}

void TCustomRVFormattedData::DblClick(int X, int Y) {
    TRVOptions options = GetOptions();
    bool selectsWord = options & rvoDblClickSelectsWord;
    if (((options & rvoSingleClick) || !IsAssigned(rveRVDblClick)) && !selectsWord) return;
    AnsiString word;
    int styleNo, itemNo, offs;
    bool found = GetWordAt(X, Y, word, styleNo, itemNo, offs);
    if (selectsWord && (options & rvoAllowSelection)) {
        if (itemNo >= 0) {
            int from = styleNo < 0 ? 0 : offs, to = styleNo < 0 ? 1 : offs + int(word.size());
            if (styleNo >= 0 && !found) to = from;
            StoreSelectionBounds(itemNo, from, itemNo, to);
            StateBits |= rvstJustSelectedWord;
            StateBits &= ~TRVDataStates(rvstMouseSelecting);
            SelectingInfo.reset();
            InvalidateControl();
            DoSelect();
        }
        if (IsAssigned(rveRVDblClick)) DoRVDblClick(word, styleNo);
        return;
    }
    if (IsAssigned(rveRVDblClick)) DoRVDblClick(word, styleNo);
}
