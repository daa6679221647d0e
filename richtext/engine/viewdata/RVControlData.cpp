// The control's document data: item focus and Tab navigation, the focus
// frame, and buffered painting.
#include "richtext/engine/viewdata/RVControlData.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/style/RVFontInfo.h"
#include "richtext/engine/text/RVUni.h"

TRVControlData::TRVControlData() = default;

void TRVControlData::ResetFormatting() {
    if (DrawItems.Count() > 0) {
        TopLevelFocusedItemNo = -1;
        TopLevelFocusedRVData = nullptr;
    }
    TCustomRVFormattedData::ResetFormatting();
}

void TRVControlData::Deselect() {
    if (StateBits & rvstDeselecting) return;
    StateBits |= rvstDeselecting;
    TScopeGuard done([this] { StateBits &= ~TRVDataStates(rvstDeselecting); });
    FocusedItemNo = -1;
    TopLevelFocusedItemNo = -1;
    TopLevelFocusedRVData = nullptr;
    SelStartDrawItem = SelEndDrawItem = -1;
    SelStartDrawOffs = SelEndDrawOffs = 0;
}

int TRVControlData::FindNextFocusableItem(int, bool) {
    // Items that take the keyboard focus (hyperlinks, embedded controls)
    // are found by the mouse and focus handling of the formatted data.
    return -1;
}

void TRVControlData::FocusNextItem(bool Backward, bool FromOutside) {
    if (SkipNextTabNavigation) {
        SkipNextTabNavigation = false;
        return;
    }
    if (FocusedItemNo != -1 && !FromOutside) return;
    const bool wasFocused = FocusedItemNo != -1;
    int next = FindNextFocusableItem(FocusedItemNo, !Backward);
    if (next == -1) {
        TopLevelFocusedItemNo = -1;
        TopLevelFocusedRVData = nullptr;
    }
    if (FromOutside && next == -1 && !wasFocused) {
        TakeFocus();
        return;
    }
    FocusedItemNo = next;
    if (TopLevelFocusedItemNo >= 0 && TopLevelFocusedRVData) {
        int first;
        if (TopLevelFocusedRVData->GetItemFirstDrawItem(TopLevelFocusedItemNo, first)) {
            const TRVDrawLineInfo& d = *TopLevelFocusedRVData->DrawItems[first];
            TopLevelFocusedRVData->ShowRectangle(d.Left, d.Top, d.Width, d.Height);
        }
        return;
    }
    // Nothing more to focus inside: the focus goes on to the next control;
    // without one it cycles inside the document.
    if (!FocusLeavesDocument(Backward) && wasFocused) FocusNextItem(Backward, true);
}

void TRVControlData::ExecuteFocusedItem() {
    // Only hyperlinks and controls act on Enter; neither takes the focus
    // before the focus handling of items exists.
}

void TRVControlData::DrawFocusRect(TCanvas& Canvas) {
    if (TopLevelFocusedItemNo < 0 || !TopLevelFocusedRVData) return;
    TCustomRVFormattedData& data = *TopLevelFocusedRVData;
    int first;
    if (!data.GetItemFirstDrawItem(TopLevelFocusedItemNo, first)) return;
    int x1, y1, x2, y2;
    data.GetOrigin(x1, y1);
    GetOrigin(x2, y2);
    Canvas.Font()->SetColor(clBlack);
    Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    for (int i = first; i < data.DrawItems.Count() && data.DrawItems[i]->ItemNo == TopLevelFocusedItemNo;
         ++i) {
        const TRVDrawLineInfo& d = *data.DrawItems[i];
        const int left = x1 + d.Left - GetHOffs() - x2 - 1;
        const int top = y1 + d.Top - GetVOffs() - y2 - 1;
        Canvas.DrawFocusRect(Bounds(left, top, d.Width + 2, d.Height + 2));
    }
}

void TRVControlData::DrawBackground(TCanvas& Canvas, const TRect& Clip) {
    Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush()->SetColor(GetColor());
    Canvas.FillRect(TRect{0, 0, Clip.Width(), Clip.Height()});
}

void TRVControlData::PaintDocumentOn(TCanvas& Canvas, const TRect& Clip) {
    TRVStyle* style = GetRVStyle();
    if (!style || DrawItems.Count() == 0) return;
    // Drawing items in client coordinates, moved to the clip's origin.
    const int dx = -GetHOffs() - Clip.Left, dy = -GetVOffs() - Clip.Top;
    int sd = SelStartDrawItem, so = SelStartDrawOffs, ed = SelEndDrawItem, eo = SelEndDrawOffs;
    if (sd > ed || (sd == ed && so > eo)) std::swap(sd, ed), std::swap(so, eo);
    const bool selection = sd >= 0 && ed >= 0 && (sd != ed || so != eo);
    for (int i = std::max(FindDrawItemByY(-dy), 0); i < DrawItems.Count(); ++i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        if (d.Top + dy >= Clip.Height()) break;
        const TCustomRVItemInfo& item = LiveItem(d.ItemNo);
        const TRect box = Bounds(d.Left + dx, d.Top + dy, d.Width, d.Height);
        if (item.StyleNo < 0) {
            LiveItem(d.ItemNo).Paint(box.Left, box.Top, Canvas, 0, *style, DrawItems[i]);
            continue;
        }
        const int styleNo = GetActualStyle(item);
        const AnsiString text = DrawItems.GetDrawItemText(i, *ItemList);
        auto draw = [&](int From, int Count, int Left, TRVTextDrawStates State) {
            const AnsiString part = ItemTextCopy(text, From, Count, item.ItemOptions);
            style->ApplyStyle(Canvas, styleNo, rvbdUnspecified, GetFlags() & rvflCanUseCustomPPI, nullptr,
                              false);
            const int width =
                Canvas.TextWidth(RVItemTextToWide(part, item.ItemOptions, style->GetStyleCodePage(styleNo)));
            style->DrawStyleText(part, item.ItemOptions, Canvas, d.ItemNo, d.Offs + From - 1, styleNo, this,
                                 0, Left, box.Top, width, box.Height(), State, false, false, rvcmColor,
                                 rvbdUnspecified);
            return width;
        };
        const int length = d.Length;
        int from = length + 1, to = length + 1;
        if (selection && i >= sd && i <= ed) {
            from = i == sd ? so : 1;
            to = i == ed ? eo : length + 1;
        }
        int x = box.Left;
        if (from > 1) x += draw(1, from - 1, x, 0);
        if (to > from) x += draw(from, to - from, x, rvtsSelected);
        if (to <= length) draw(to, length - to + 1, x, 0);
    }
}

void TRVControlData::PaintBuffered(TCanvas& Canvas, const TRect& Clip) {
    if (StateBits & rvstFormatting) return;
    if (auto* root = dynamic_cast<TCustomRVFormattedData*>(GetOuterRootData());
        root && (root->StateBits & rvstFormattingPart))
        return;
    if (Clip.Width() <= 0 || Clip.Height() <= 0) return;
    DrawFocusRect(Canvas);
    PaintError.clear();
    // The window system keeps a back buffer of the window: what is drawn
    // here reaches the screen whole, so no bitmap of our own is needed.
    Canvas.SaveState();
    {
        TScopeGuard restore([&Canvas] { Canvas.RestoreState(); });
        Canvas.IntersectClipRect(Clip);
        Canvas.MoveOrigin(Clip.Left, Clip.Top);
        DrawBackground(Canvas, Clip);
        try {
            PaintDocumentOn(Canvas, Clip);
        } catch (const Exception& e) {
            PaintError = e.Message;
            if (PaintError.empty()) PaintError = " ";
        }
    }
    if (!PaintError.empty()) {
        TFont* font = Canvas.Font();
        font->SetName("Arial");
        font->SetSize(10);
        font->SetColor(clRed);
        font->SetStyle(0);
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(clWhite);
        Canvas.TextOut(0, 0, AnsiString("Error:") + PaintError);
    }
    DrawFocusRect(Canvas);
}

// ---------------------------------------------------------------- the mouse

bool TRVControlData::FindPositionAt(int X, int Y, int& DrawItemNo, int& DrawItemOffs) {
    DrawItemNo = -1;
    DrawItemOffs = 0;
    const int line = FindDrawItemByY(Y);
    if (line < 0) return false;
    int first, last;
    GetLineDrawItemRange(line, first, last);
    int d = first;
    while (d < last && X >= DrawItems[d]->Left + DrawItems[d]->Width)
        ++d;
    DrawItemNo = d;
    const TRVDrawLineInfo& info = *DrawItems[d];
    const TCustomRVItemInfo& item = LiveItem(info.ItemNo);
    if (item.StyleNo < 0) {
        DrawItemOffs = X > info.Left + info.Width / 2 ? 1 : 0;
        return true;
    }
    DrawItemOffs = 1;
    if (X <= info.Left) return true;
    TCanvas* canvas = GetCanvas();
    TRVStyle* style = GetRVStyle();
    if (!canvas || !style) return true;
    const int styleNo = GetActualStyle(item);
    canvas->SaveState();
    TScopeGuard restore([canvas] { canvas->RestoreState(); });
    style->ApplyStyle(*canvas, styleNo, rvbdUnspecified, GetFlags() & rvflCanUseCustomPPI, nullptr, false);
    const WideString text =
        RVItemTextToWide(ItemTextCopy(GetItemText(info.ItemNo), info.Offs, info.Length, item.ItemOptions),
                         item.ItemOptions, style->GetStyleCodePage(styleNo));
    // The caret goes before the character whose middle lies right of X.
    int before = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int after = canvas->TextWidth(text.substr(0, i + 1));
        if (X < info.Left + (before + after) / 2) break;
        before = after;
        ++DrawItemOffs;
    }
    return true;
}

void TRVControlData::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != TMouseButton::mbLeft || !(GetOptions() & rvoAllowSelection)) return;
    int d, offs;
    if (!FindPositionAt(X + GetHOffs(), Y + GetVOffs(), d, offs)) return;
    if (!(Shift & ssShift) || SelStartDrawItem < 0) {
        SelStartDrawItem = d;
        SelStartDrawOffs = offs;
    }
    SelEndDrawItem = d;
    SelEndDrawOffs = offs;
    StateBits |= rvstMouseSelecting;
    InvalidateRect(TRect{GetHOffs(), GetVOffs(), GetHOffs() + GetWidth(), GetVOffs() + GetHeight()});
}

void TRVControlData::MouseMove(TShiftState Shift, int X, int Y) {
    if (!(StateBits & rvstMouseSelecting) || !(Shift & ssLeft)) return;
    int d, offs;
    if (!FindPositionAt(X + GetHOffs(), Y + GetVOffs(), d, offs)) return;
    if (d == SelEndDrawItem && offs == SelEndDrawOffs) return;
    SelEndDrawItem = d;
    SelEndDrawOffs = offs;
    InvalidateRect(TRect{GetHOffs(), GetVOffs(), GetHOffs() + GetWidth(), GetVOffs() + GetHeight()});
}

void TRVControlData::MouseUp(TMouseButton Button, TShiftState, int, int) {
    if (Button != TMouseButton::mbLeft || !(StateBits & rvstMouseSelecting)) return;
    StateBits &= ~TRVDataStates(rvstMouseSelecting);
    DoSelect();
}

void TRVControlData::GetSaveRange(bool SelectionOnly, int& StartItemNo, int& StartOffs, int& EndItemNo,
                                  int& EndOffs, bool& PartialItem) const {
    if (!SelectionOnly) {
        TCustomRVFormattedData::GetSaveRange(false, StartItemNo, StartOffs, EndItemNo, EndOffs, PartialItem);
        return;
    }
    GetSelectionItemBounds(StartItemNo, EndItemNo, StartOffs, EndOffs, true);
    PartialItem = StartItemNo >= 0 && StartItemNo == EndItemNo;
    if (StartItemNo < 0 || EndItemNo < 0) StartItemNo = EndItemNo = -1;
}
