// The control's document data: item focus and Tab navigation, the focus
// frame, and buffered painting.
#include "richtext/engine/viewdata/RVControlData.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/style/RVFontInfo.h"
#include "richtext/engine/text/RVUni.h"

TRVControlData::TRVControlData() = default;

bool TRVControlData::SaveRvfSelection(TStream& Stream, TColor Color, TRVBackground*) {
    return SaveRvf(Stream, true, nullptr, Color);
}

void TRVControlData::ResetFormatting() {
    if (DrawItems.Count() > 0) {
        TopLevelFocusedItemNo = -1;
        TopLevelFocusedRVData = nullptr;
    }
    TCustomRVFormattedData::ResetFormatting();
}

void TRVControlData::Deselect(TCustomRVItemInfo* Except, bool RaiseEvent) {
    if (!(StateBits & rvstDeselecting)) {
        StateBits |= rvstDeselecting;
        TScopeGuard done([this] { StateBits &= ~TRVDataStates(rvstDeselecting); });
        if (FocusedItemNo != -1) InvalidateControl();
        FocusedItemNo = -1;
        TopLevelFocusedItemNo = -1;
        TopLevelFocusedRVData = nullptr;
    }
    TCustomRVFormattedData::Deselect(Except, RaiseEvent);
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
            PaintDocument(Canvas, Clip, false, false, false, false);
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
    FindDrawItemAtPos(X, Y, false, DrawItemOffs, DrawItemNo);
    return DrawItemNo >= 0;
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
