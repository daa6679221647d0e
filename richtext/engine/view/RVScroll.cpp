// The scroller: scroll state and bars, scroll messages, keys, the wheel,
// embedded controls moved with the content, the border and the active
// sub-document.
#include "richtext/engine/view/RVScroll.h"

#include <algorithm>

#include "platform/gui/ScrollBars.h"
#include "platform/gui/Themes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

TRVScroller::TRVScroller(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    FControlStyle |= csReplicatable;
}

TRVScroller::~TRVScroller() = default;

// ---------------------------------------------------------------- properties

void TRVScroller::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    Invalidate();
}

void TRVScroller::SetVSmallStep(int Value) {
    FVSmallStep = Value;
}

void TRVScroller::SetVScrollVisible(bool Value) {
    if (Value == FVScrollVisible) return;
    FVScrollVisible = Value;
    if (!HandleAllocated()) return;
    UpdateScrollBars(FDocumentAreaWidth, FDocumentAreaHeight, true, true);
}

void TRVScroller::SetHScrollVisible(bool Value) {
    if (Value == FHScrollVisible) return;
    FHScrollVisible = Value;
    if (HandleAllocated()) UpdateScrollBars(FDocumentAreaWidth, FDocumentAreaHeight, true, true);
}

void TRVScroller::SetUseXPThemes(bool Value) {
    if (Value == FUseXPThemes) return;
    FUseXPThemes = Value;
    Invalidate();
}

// ---------------------------------------------------------------- the window

void TRVScroller::WidgetCreated() {
    TCustomControl::WidgetCreated();
    AlwaysVScroll = false;
    FVSmallStep = GetDefaultScrollStep();
    ResetScrollPositions();
    UpdateScrollBarsForClient();
}

void TRVScroller::ResetScrollPositions() {
    FHScrollPosition = FVScrollPosition = 0;
}

void TRVScroller::UpdateScrollBarsForClient() {
    UpdateScrollBars(ClientWidth(), ClientHeight() / std::max(FVSmallStep, 1), true, true);
}

namespace {

// A bar with nothing to scroll: the layer hides it.
void HideBar(TWinControl* Control, int Bar) {
    TScrollInfo info;
    info.Mask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(Control, Bar, info) && info.Min == 0 && info.Max == 1 && info.Page == 0 &&
        info.Pos == 0)
        return;
    info.Min = 0;
    info.Max = 1;
    info.Page = 2;
    info.Pos = 0;
    SetScrollInfo(Control, Bar, info, true);
}

} // namespace

void TRVScroller::UpdateScrollBars(int Width, int Height, bool UpdateH, bool DisableNoScroll) {
    if (!HandleAllocated() || FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    TScopeGuard done([this] { FUpdatingScrollBars = false; });
    if (UpdateH) {
        FDocumentAreaWidth = Width;
        FHScrollPage = ClientWidth();
        FHScrollMaximum = Width - 1;
        if (FHScrollVisible) {
            FHScrollPosition = std::max(std::min(FHScrollPosition, FHScrollMaximum - (ClientWidth() - 1)), 0);
            TScrollInfo info;
            info.Mask = SIF_ALL;
            info.Min = 0;
            info.Max = FHScrollMaximum;
            info.Page = unsigned(std::max(ClientWidth(), 0));
            info.Pos = info.TrackPos = FHScrollPosition;
            SetScrollInfo(this, SB_HORZ, info, true);
        } else {
            HideBar(this, SB_HORZ);
        }
    }
    FDocumentAreaHeight = Height;
    FVScrollPage = ClientHeight() / std::max(FVSmallStep, 1);
    FVScrollMaximum = Height - 1;
    FVScrollPosition = std::max(std::min(FVScrollPosition, FVScrollMaximum - (FVScrollPage - 1)), 0);
    if (FVScrollVisible) {
        TScrollInfo info;
        info.Mask = SIF_ALL | (DisableNoScroll && AlwaysVScroll ? SIF_DISABLENOSCROLL : 0u);
        info.Min = 0;
        info.Max = FVScrollMaximum;
        info.Page = unsigned(std::max(FVScrollPage, 0));
        info.Pos = info.TrackPos = FVScrollPosition;
        SetScrollInfo(this, SB_VERT, info, true);
    } else {
        HideBar(this, SB_VERT);
    }
    if (OnResize) OnResize(this);
}

// ---------------------------------------------------------------- scrolling

void TRVScroller::VScrollTo(int Position, bool Redraw) {
    if (!HandleAllocated()) return;
    const int old = FVScrollPosition;
    FVScrollPosition = Position;
    if (FVScrollVisible) {
        SetScrollPos(this, SB_VERT, Position, true);
        FVScrollPosition = GetScrollPos(this, SB_VERT);
    } else {
        FVScrollPosition = std::max(std::min(Position, FVScrollMaximum - FVScrollPage + 1), 0);
    }
    if (FVScrollPosition == old) return;
    BeforeScroll();
    const int dy = (old - FVScrollPosition) * FVSmallStep;
    if (!Redraw) {
        ScrollChildren(0, dy);
        DoVScrolled();
        return;
    }
    if (RedrawOnScroll) {
        ScrollChildren(0, dy);
        Invalidate();
        Update();
    } else {
        ScrollWindowEx(this, 0, dy, nullptr);
        ScrollChildren(0, dy);
        Update();
    }
    DoVScrolled();
}

void TRVScroller::HScrollTo(int Position) {
    if (!HandleAllocated()) return;
    const int old = FHScrollPosition;
    if (FHScrollVisible) {
        SetScrollPos(this, SB_HORZ, Position, true);
        FHScrollPosition = GetScrollPos(this, SB_HORZ);
    } else {
        FHScrollPosition = std::max(std::min(Position, FHScrollMaximum - FHScrollPage + 1), 0);
    }
    if (FHScrollPosition == old) return;
    BeforeScroll();
    const int dx = old - FHScrollPosition;
    if (RedrawOnScroll) {
        ScrollChildren(dx, 0);
        Invalidate();
        Update();
    } else {
        ScrollWindowEx(this, dx, 0, nullptr);
        ScrollChildren(dx, 0);
        Update();
    }
    DoHScrolled();
}

void TRVScroller::DoVScrolled() {
    if (OnVScrolled) OnVScrolled(this);
}

void TRVScroller::DoHScrolled() {
    if (OnHScrolled) OnHScrolled(this);
}

int TRVScroller::GetControlTopFromTag(const TControl& Control) {
    return int(std::clamp<intptr_t>(Control.Tag, -10000, 10000));
}

void TRVScroller::SetControlTopFromTag(TControl& Control) {
    Control.SetTop(GetControlTopFromTag(Control));
}

void TRVScroller::ScrollChildren(int DX, int DY) {
    if (DX == 0 && DY == 0) return;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl& child = *Controls(i);
        child.Tag += DY;
        child.SetBounds(child.Left() + DX, GetControlTopFromTag(child), child.Width(), child.Height());
    }
}

void TRVScroller::WMVScroll(int Code, int Pos) {
    int position = FVScrollPosition;
    switch (Code) {
    case SB_LINEUP:
        position -= LineStepCount;
        break;
    case SB_LINEDOWN:
        position += LineStepCount;
        break;
    case SB_PAGEUP:
        position -= ClientHeight() / std::max(FVSmallStep, 1);
        break;
    case SB_PAGEDOWN:
        position += ClientHeight() / std::max(FVSmallStep, 1);
        break;
    case SB_THUMBPOSITION:
        position = Pos;
        break;
    case SB_THUMBTRACK:
        if (!FTracking) return;
        position = Pos;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = FDocumentAreaHeight;
        break;
    default:
        return;
    }
    ScrollTo(position);
}

void TRVScroller::WMHScroll(int Code, int Pos) {
    int position = FHScrollPosition;
    switch (Code) {
    case SB_LINELEFT:
        position -= FVSmallStep * LineStepCount;
        break;
    case SB_LINERIGHT:
        position += FVSmallStep * LineStepCount;
        break;
    case SB_PAGELEFT:
        position -= ClientWidth();
        break;
    case SB_PAGERIGHT:
        position += ClientWidth();
        break;
    case SB_THUMBPOSITION:
        position = Pos;
        break;
    case SB_THUMBTRACK:
        if (!FTracking) return;
        position = Pos;
        break;
    case SB_LEFT:
        position = 0;
        break;
    case SB_RIGHT:
        position = FDocumentAreaWidth;
        break;
    default:
        return;
    }
    HScrollTo(position);
}

// ---------------------------------------------------------------- keys and wheel

void TRVScroller::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!KeyboardScroll) return;
    switch (Key) {
    case VK_PRIOR:
        Perform(WM_VSCROLL, SB_PAGEUP, 0);
        break;
    case VK_NEXT:
        Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
        break;
    case VK_END:
        Perform(WM_VSCROLL, SB_BOTTOM, 0);
        break;
    case VK_HOME:
        Perform(WM_VSCROLL, SB_TOP, 0);
        break;
    case VK_UP:
        Perform(WM_VSCROLL, SB_LINEUP, 0);
        break;
    case VK_DOWN:
        Perform(WM_VSCROLL, SB_LINEDOWN, 0);
        break;
    case VK_LEFT:
        Perform(WM_HSCROLL, SB_LINELEFT, 0);
        break;
    case VK_RIGHT:
        Perform(WM_HSCROLL, SB_LINERIGHT, 0);
        break;
    default:
        break;
    }
}

bool TRVScroller::WheelScroll(bool Down) {
    if (WheelStep == 0) return false;
    int lines = Mouse.WheelScrollLines();
    int steps;
    if (lines < 0)
        steps = ClientHeight() / std::max(FVSmallStep, 1);
    else
        steps = int(Round(double(WheelStep) * lines / 3));
    ScrollTo(FVScrollPosition + (Down ? steps : -steps));
    return true;
}

bool TRVScroller::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
    TCustomControl::DoMouseWheelDown(Shift, MousePos);
    return WheelScroll(true);
}

bool TRVScroller::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
    TCustomControl::DoMouseWheelUp(Shift, MousePos);
    return WheelScroll(false);
}

// ---------------------------------------------------------------- border

void TRVScroller::PaintBorder(TCanvas& Canvas) {
    if (FBorderStyle != TBorderStyle::bsSingle) return;
    const TRect r = ClientRect();
    if (FUseXPThemes && ThemeServices()->ThemesEnabled()) {
        // The edit box's frame, drawn around the client area only.
        Canvas.SaveState();
        TScopeGuard restore([&Canvas] { Canvas.RestoreState(); });
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        Canvas.Pen()->SetColor(clBtnShadow);
        Canvas.Rectangle(r);
        return;
    }
    Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush()->SetColor(clWindowFrame);
    Canvas.FrameRect(r);
}

// ---------------------------------------------------------------- sub-documents

void TRVScroller::SetActiveSubDocument(TCustomRVData* SubDocument, TCustomRVItemInfo* Item) {
    if (SubDocument == FActiveSubDocument) return;
    ReleaseActiveSubDocument(FActiveSubDocument);
    FActiveSubDocument = SubDocument;
    FActiveSubDocumentItem = Item;
}

void TRVScroller::ReleaseActiveSubDocument(TCustomRVData* SubDocument) {
    if (!SubDocument || SubDocument != FActiveSubDocument) return;
    FActiveSubDocument = nullptr;
    FActiveSubDocumentItem = nullptr;
}

// ---------------------------------------------------------------- messages

void TRVScroller::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_VSCROLL:
        WMVScroll(LoWordSigned(LPARAM(Message.WParam)), int(uint16_t(uint32_t(Message.WParam) >> 16)));
        return;
    case WM_HSCROLL:
        WMHScroll(LoWordSigned(LPARAM(Message.WParam)), int(uint16_t(uint32_t(Message.WParam) >> 16)));
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}
