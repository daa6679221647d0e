// The print preview control: zoom arithmetic and modes, the click switch,
// page stepping, buffered painting, and the page source of a print
// component with its cached page picture.
#include "richtext/print/control/RVPrintPreview.h"

#include <algorithm>

#include "platform/gui/Cursors.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ScrollBars.h"
#include "platform/rtl/ScopeGuard.h"
#include "richtext/print/control/RVPrint.h"

namespace {

constexpr int CursorSize = 32;

// A magnifying glass with a plus (zoom in) or a minus (zoom out), its hot
// spot in the lens.
HCURSOR MakeZoomCursor(bool In) {
    TBitmap image(CursorSize, CursorSize);
    image.Transparent = true;
    image.TransparentMode = TTransparentMode::tmFixed;
    image.TransparentColorValue = clWhite;
    TCanvas* c = image.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect({0, 0, CursorSize, CursorSize});
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(2);
    c->Brush()->SetColor(clSilver);
    c->Ellipse(1, 1, 20, 20);
    c->Pen()->SetWidth(4);
    c->MoveTo(17, 17);
    c->LineTo(28, 28);
    c->Pen()->SetWidth(2);
    c->MoveTo(6, 10);
    c->LineTo(15, 10);
    if (In) {
        c->MoveTo(10, 6);
        c->LineTo(10, 15);
    }
    return CreateCursorFromBitmap(&image, 10, 10);
}

void RegisterZoomCursors() {
    static bool done = false;
    if (done || !Screen) return;
    done = true;
    Screen->SetCursors(crRVZoomIn, MakeZoomCursor(true));
    Screen->SetCursors(crRVZoomOut, MakeZoomCursor(false));
}

} // namespace

// ---------------------------------------------------------------- TCustomRVPrintPreview

TCustomRVPrintPreview::TCustomRVPrintPreview(TComponent* AOwner)
    : TRVScroller(AOwner), FMarginsPen(std::make_unique<TRVMarginsPen>()),
      FPrintableAreaPen(std::make_unique<TRVPAPen>()) {
    RegisterZoomCursors();
    SetColor(clBtnShadow);
    SetBorderStyle(TBorderStyle::bsSingle);
    SetBounds(Left(), Top(), 100, 100);
    LineStepCount = 10;
    RedrawOnScroll = false;
    DoSetPageNo(1);
}

TCustomRVPrintPreview::~TCustomRVPrintPreview() = default;

void TCustomRVPrintPreview::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        if (FSettingRange)
            FResizedMeanwhile = true;
        else
            UpdateZoom();
        return;
    case WM_ERASEBKGND:
        // The buffered paint covers the whole client area.
        Message.Result = 1;
        return;
    default:
        TRVScroller::Dispatch(Message);
    }
}

void TCustomRVPrintPreview::WidgetCreated() {
    TRVScroller::WidgetCreated();
    UpdateZoom();
}

void TCustomRVPrintPreview::SetZoomPercent(int Value) {
    FZoomMode = rvzmCustom;
    SetZoom(Value);
}

void TCustomRVPrintPreview::SetZoomMode(TRVZoomMode Value) {
    FZoomMode = Value;
    UpdateZoom();
}

void TCustomRVPrintPreview::SetZoom(int Percent) {
    Percent = std::clamp(Percent, RVMinZoomPercent, RVMaxZoomPercent);
    const bool changed = Percent != FZoomPercent;
    if (Percent == 100 && FZoomPercent != 100) FPrevZoom = FZoomPercent;
    FZoomPercent = Percent;
    if (!CanDrawPage()) return;
    const TRect m = GetPhysMargins();
    const int w = std::max(GetPreviewWidth(), 0), h = std::max(GetPreviewHeight(), 0);
    const int z = FZoomPercent;
    FPageWidth = MulDiv(w, z, 100);
    FPageHeight = MulDiv(h, z, 100);
    FFullWidth = MulDiv(w + m.Left + m.Right, z, 100);
    FFullHeight = MulDiv(h + m.Top + m.Bottom, z, 100);
    FPhysMargins = TRect(MulDiv(m.Left, z, 100), MulDiv(m.Top, z, 100), MulDiv(m.Right, z, 100),
                         MulDiv(m.Bottom, z, 100));
    Invalidate();
    SetScrollRange();
    UpdateCursor();
    if (changed && OnZoomChanged) OnZoomChanged(this);
}

void TCustomRVPrintPreview::SetScrollRange() {
    if (FSettingRange) return;
    FSettingRange = true;
    FResizedMeanwhile = false;
    {
        TScopeGuard done([this] { FSettingRange = false; });
        switch (FZoomMode) {
        case rvzmFullPage:
            UpdateScrollBars(10, 10, true, false);
            break;
        case rvzmPageWidth:
            UpdateScrollBars(10, 2 * BackgroundMargin + FFullHeight, true, false);
            break;
        case rvzmCustom:
            UpdateScrollBars(2 * BackgroundMargin + FFullWidth, 2 * BackgroundMargin + FFullHeight, true,
                             false);
            break;
        }
    }
    // A bar came or went: fit the page width to the new client area once
    // (with the bar it needs, the page still needs it).
    if (FResizedMeanwhile && FZoomMode == rvzmPageWidth) {
        FResizedMeanwhile = false;
        const int w = GetPreviewWidth();
        if (w > 0) {
            const int z = std::clamp(MulDiv(ClientWidth() - 2 * BackgroundMargin, 100, w), RVMinZoomPercent,
                                     RVMaxZoomPercent);
            if (z != FZoomPercent) SetZoom(z);
        }
    }
}

void TCustomRVPrintPreview::UpdateZoom() {
    if (!CanDrawPage()) return;
    // A page of no size has no zoom to fit it.
    const int w = GetPreviewWidth(), h = GetPreviewHeight();
    switch (FZoomMode) {
    case rvzmFullPage: {
        if (w <= 0 || h <= 0) return;
        int zx = MulDiv(Width() - GetSystemMetrics(SM_CXVSCROLL) - 2 * BackgroundMargin, 100, w);
        int zy = MulDiv(Height() - GetSystemMetrics(SM_CYHSCROLL) - 2 * BackgroundMargin, 100, h);
        SetZoom(std::min(zx, zy));
        break;
    }
    case rvzmPageWidth:
        if (w <= 0) return;
        SetZoom(MulDiv(ClientWidth() - 2 * BackgroundMargin, 100, w));
        break;
    case rvzmCustom:
        SetZoom(FZoomPercent);
        break;
    }
}

void TCustomRVPrintPreview::UpdateCursor() {
    if (FClickMode == rvcmNone) {
        SetCursor(crDefault);
        return;
    }
    int target = FZoomPercent == 100 ? FPrevZoom : 100;
    SetCursor(target > FZoomPercent ? FZoomInCursor : FZoomOutCursor);
}

void TCustomRVPrintPreview::SetZoomInCursor(TCursor Value) {
    FZoomInCursor = Value;
    UpdateCursor();
}

void TCustomRVPrintPreview::SetZoomOutCursor(TCursor Value) {
    FZoomOutCursor = Value;
    UpdateCursor();
}

void TCustomRVPrintPreview::SetClickMode(TRVClickMode Value) {
    FClickMode = Value;
    UpdateCursor();
}

void TCustomRVPrintPreview::Click() {
    TRVScroller::Click();
    if (FClickMode != rvcmSwitchZoom) return;
    SetZoomMode(rvzmCustom);
    SetZoom(FZoomPercent == 100 ? FPrevZoom : 100);
}

void TCustomRVPrintPreview::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRVScroller::MouseDown(Button, Shift, X, Y);
    if (CanFocus()) SetFocus();
}

// ---------------------------------------------------------------- pages

void TCustomRVPrintPreview::DoSetPageNo(int Value) {
    FPageNo = Value;
    Invalidate();
}

void TCustomRVPrintPreview::First() {
    SetPageNo(1);
}

void TCustomRVPrintPreview::Last() {
    if (CanDrawPage()) SetPageNo(GetPagesCount());
}

void TCustomRVPrintPreview::Next() {
    if (CanDrawPage() && FPageNo < GetPagesCount()) SetPageNo(FPageNo + 1);
}

void TCustomRVPrintPreview::Prev() {
    if (FPageNo > 1) SetPageNo(FPageNo - 1);
}

// ---------------------------------------------------------------- painting

TRect TCustomRVPrintPreview::SheetRect() const {
    const int w = std::max(ClientWidth(), DocumentAreaWidth());
    const int h = std::max(ClientHeight(), DocumentAreaHeight() * std::max(VSmallStep(), 1));
    const int left = (w - FFullWidth) / 2 - HScrollPosition();
    const int top = (h - FFullHeight) / 2 - VScrollPosition() * VSmallStep();
    return TRect(left, top, left + FFullWidth, top + FFullHeight);
}

TRect TCustomRVPrintPreview::PageAreaRect() const {
    const TRect sheet = SheetRect();
    const int left = sheet.Left + FPhysMargins.Left, top = sheet.Top + FPhysMargins.Top;
    return TRect(left, top, left + FPageWidth, top + FPageHeight);
}

void TCustomRVPrintPreview::DrawMargins(TCanvas& Canvas, const TRect&, int) {
    Canvas.Pen()->Assign(FMarginsPen.get());
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
}

void TCustomRVPrintPreview::DrawPrintableArea(TCanvas& Canvas, const TRect& R, int) {
    Canvas.Pen()->Assign(FPrintableAreaPen.get());
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    Canvas.Rectangle(R);
}

void TCustomRVPrintPreview::PaintPreview(TCanvas& Canvas) {
    const TRect client = ClientRect();
    Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(client);
    if (!CanDrawPage()) return;
    const TRect sheet = SheetRect(), area = PageAreaRect();
    if (ShadowWidth > 0) {
        TRect shadow = sheet;
        OffsetRect(shadow, ShadowWidth, ShadowWidth);
        Canvas.Brush()->SetColor(ShadowColor);
        Canvas.FillRect(shadow);
    }
    Canvas.Brush()->SetColor(clWhite);
    Canvas.FillRect(sheet);
    Canvas.SaveState();
    Canvas.IntersectClipRect(area);
    try {
        DrawPreviewPage(Canvas, area);
    } catch (...) {
        Canvas.RestoreState();
        throw;
    }
    Canvas.RestoreState();
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    if (PageBorderColor != clNone) {
        Canvas.Pen()->SetWidth(PageBorderWidth);
        Canvas.Pen()->SetColor(PageBorderColor);
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        Canvas.Rectangle(sheet);
    }
    if (FPrintableAreaPen->Style() != TPenStyle::psClear) DrawPrintableArea(Canvas, area, FPageNo);
    if (FMarginsPen->Style() != TPenStyle::psClear) DrawMargins(Canvas, area, FPageNo);
}

void TCustomRVPrintPreview::Paint() {
    const TRect client = ClientRect();
    if (client.IsEmpty()) return;
    // Drawn off the screen first, so that paging and scrolling do not flicker.
    TBitmap buffer(client.Width(), client.Height());
    TCanvas* canvas = buffer.Canvas();
    canvas->Font()->Assign(Font());
    PaintPreview(*canvas);
    Canvas()->Draw(0, 0, &buffer);
    PaintBorder(*Canvas());
}

// ---------------------------------------------------------------- TRVPrintPreview

TRVPrintPreview::TRVPrintPreview(TComponent* AOwner) : TCustomRVPrintPreview(AOwner) {}

TRVPrintPreview::~TRVPrintPreview() {
    if (FRVPrint) FRVPrint->RemoveFreeNotification(this);
}

void TRVPrintPreview::SetRVPrint(TCustomRVPrint* Value) {
    if (FRVPrint) FRVPrint->RemoveFreeNotification(this);
    FRVPrint = Value;
    FCache.reset();
    if (FRVPrint) FRVPrint->FreeNotification(this);
    UpdateZoom();
    Invalidate();
}

void TRVPrintPreview::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomRVPrintPreview::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FRVPrint) {
        FRVPrint = nullptr;
        FCache.reset();
        Invalidate();
    }
}

bool TRVPrintPreview::CanDrawPage() const {
    return FRVPrint && FRVPrint->Ready() && FRVPrint->HasPrinterCanvas();
}

int TRVPrintPreview::GetPreviewWidth() const {
    return FRVPrint ? FRVPrint->GetPageWidthOnScreen() : -1;
}

int TRVPrintPreview::GetPreviewHeight() const {
    return FRVPrint ? FRVPrint->GetPageHeightOnScreen() : -1;
}

TRect TRVPrintPreview::GetPhysMargins() const {
    return FRVPrint ? FRVPrint->GetMinimalMargins(true) : TRect();
}

int TRVPrintPreview::GetPagesCount() const {
    return FRVPrint ? FRVPrint->GetPagesCount() : 1;
}

void TRVPrintPreview::DrawMargins(TCanvas& Canvas, const TRect& R, int APageNo) {
    TCustomRVPrintPreview::DrawMargins(Canvas, R, APageNo);
    if (FRVPrint) FRVPrint->DrawMarginsRect(Canvas, R, APageNo);
}

void TRVPrintPreview::DrawPreviewPage(TCanvas& Canvas, const TRect& R) {
    if (!CachePageImage) {
        FCache.reset();
        if (!FRVPrint) return;
        ++FPageRenderCount;
        FRVPrint->DrawPreview(PageNo(), Canvas, R);
        return;
    }
    const TSize size{R.Width(), R.Height()};
    const int counter = FRVPrint ? FRVPrint->FormatCounter() : -1;
    if (!FCache || FCachePageNo != PageNo() || FCacheSize != size || FCacheFormatCounter != counter) {
        FCache.reset();
        if (!FRVPrint || size.cx <= 0 || size.cy <= 0) return;
        auto picture = std::make_unique<TBitmap>(size.cx, size.cy);
        ++FPageRenderCount;
        FRVPrint->DrawPreview(PageNo(), *picture->Canvas(), TRect(0, 0, size.cx, size.cy));
        FCache = std::move(picture);
        FCachePageNo = PageNo();
        FCacheSize = size;
        FCacheFormatCounter = counter;
    }
    Canvas.Draw(R.Left, R.Top, FCache.get());
}
