// The print preview control: one page of a paginated document as the
// printer makes it, a white sheet with a shadow and a border on a coloured
// background, zoomed to the whole page, the page width or a percentage,
// switched between 100 % and the previous zoom by a click, and stepped
// page by page. The base knows no document: it asks its page source.
#pragma once

#include <memory>

#include "richtext/engine/document/RVZoomMode.h"
#include "richtext/engine/view/RVScroll.h"

class TCustomRVPrint;

enum TRVClickMode { rvcmNone, rvcmSwitchZoom };

// The zoom the preview keeps to, whatever asks for another.
constexpr int RVMinZoomPercent = 10;
constexpr int RVMaxZoomPercent = 500;

// The cursors of the click switch, in the screen's cursor table.
constexpr TCursor crRVZoomIn = 102;
constexpr TCursor crRVZoomOut = 103;

// The pens of the outlines: invisible until a style is set.
class TRVMarginsPen : public TPen {
public:
    TRVMarginsPen() {
        SetStyle(TPenStyle::psClear);
        SetColor(clSilver);
    }
};

class TRVPAPen : public TPen {
public:
    TRVPAPen() {
        SetStyle(TPenStyle::psClear);
        SetColor(clRed);
    }
};

class TCustomRVPrintPreview : public TRVScroller {
public:
    explicit TCustomRVPrintPreview(TComponent* AOwner);
    ~TCustomRVPrintPreview() override;
    void Dispatch(TMessage& Message) override;

    int ZoomPercent() const { return FZoomPercent; }
    // Custom mode at Value, kept within 10 to 500.
    void SetZoomPercent(int Value);
    TRVZoomMode ZoomMode() const { return FZoomMode; }
    void SetZoomMode(TRVZoomMode Value);
    int PrevZoom() const { return FPrevZoom; }
    int PageNo() const { return FPageNo; }
    // Not clamped: callers keep it within 1 and the page count.
    void SetPageNo(int Value) { DoSetPageNo(Value); }
    void First();
    void Last();
    void Next();
    void Prev();
    // The zoom again from the mode and the control's size.
    void UpdateZoom();

    // The page's geometry at the current zoom, pixels.
    int PageWidth() const { return FPageWidth; }
    int PageHeight() const { return FPageHeight; }
    int FullWidth() const { return FFullWidth; }
    int FullHeight() const { return FFullHeight; }
    const TRect& PhysMargins() const { return FPhysMargins; }
    // Where the sheet and the printable area lie in the client area now.
    TRect SheetRect() const;
    TRect PageAreaRect() const;

    TCursor ZoomInCursor() const { return FZoomInCursor; }
    void SetZoomInCursor(TCursor Value);
    TCursor ZoomOutCursor() const { return FZoomOutCursor; }
    void SetZoomOutCursor(TCursor Value);
    TRVClickMode ClickMode() const { return FClickMode; }
    void SetClickMode(TRVClickMode Value);
    TPen* MarginsPen() const { return FMarginsPen.get(); }
    TPen* PrintableAreaPen() const { return FPrintableAreaPen.get(); }

    TColor PageBorderColor = clHighlight;
    int PageBorderWidth = 2;
    TColor ShadowColor = cl3DDkShadow;
    int ShadowWidth = 4;
    int BackgroundMargin = 20;
    TNotifyEvent OnZoomChanged;

    // Paints the client area on Canvas, as the control paints it through its
    // off-screen bitmap.
    void PaintPreview(TCanvas& Canvas);

protected:
    virtual void DrawMargins(TCanvas& Canvas, const TRect& R, int APageNo);
    virtual void DrawPrintableArea(TCanvas& Canvas, const TRect& R, int APageNo);
    virtual void DoSetPageNo(int Value);
    // The page source.
    virtual bool CanDrawPage() const { return true; }
    virtual void DrawPreviewPage(TCanvas& Canvas, const TRect& R) {
        (void)Canvas;
        (void)R;
    }
    // The printable area at 100 %, screen pixels; -1: unknown.
    virtual int GetPreviewWidth() const { return -1; }
    virtual int GetPreviewHeight() const { return -1; }
    // The unprintable border at 100 %, screen pixels.
    virtual TRect GetPhysMargins() const { return {}; }
    virtual int GetPagesCount() const { return 1; }

    void SetZoom(int Percent);
    void UpdateCursor();
    // The scroll range of the zoom mode and the page at the current zoom.
    void SetScrollRange();
    int GetDefaultScrollStep() const override { return 1; }
    void WidgetCreated() override;
    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FZoomPercent = 100;
    int FPrevZoom = 50;
    TRVZoomMode FZoomMode = rvzmFullPage;
    int FPageNo = 1;
    int FPageWidth = 0;
    int FPageHeight = 0;
    int FFullWidth = 0;
    int FFullHeight = 0;
    TRect FPhysMargins;
    TCursor FZoomInCursor = crRVZoomIn;
    TCursor FZoomOutCursor = crRVZoomOut;
    TRVClickMode FClickMode = rvcmSwitchZoom;
    // Setting the scroll range may show or hide a bar, which resizes the
    // client area; the zoom is fitted again once the range is set.
    bool FSettingRange = false;
    bool FResizedMeanwhile = false;
    std::unique_ptr<TRVMarginsPen> FMarginsPen;
    std::unique_ptr<TRVPAPen> FPrintableAreaPen;
};

// The preview of a print component's pages, with an optional picture of
// the page shown, kept while the page, its size and the pagination stay.
class TRVPrintPreview : public TCustomRVPrintPreview {
public:
    explicit TRVPrintPreview(TComponent* AOwner);
    ~TRVPrintPreview() override;

    TCustomRVPrint* RVPrint() const { return FRVPrint; }
    // Not owned; cleared when the component goes.
    void SetRVPrint(TCustomRVPrint* Value);
    bool CachePageImage = false;
    // How many times the page was drawn from the print component (the
    // cache's misses when it is on).
    int PageRenderCount() const { return FPageRenderCount; }

protected:
    void DrawMargins(TCanvas& Canvas, const TRect& R, int APageNo) override;
    bool CanDrawPage() const override;
    void DrawPreviewPage(TCanvas& Canvas, const TRect& R) override;
    int GetPreviewWidth() const override;
    int GetPreviewHeight() const override;
    TRect GetPhysMargins() const override;
    int GetPagesCount() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomRVPrint* FRVPrint = nullptr;
    int FPageRenderCount = 0;
    // The cached page and what it was drawn for.
    std::unique_ptr<TBitmap> FCache;
    int FCachePageNo = 0;
    TSize FCacheSize;
    int FCacheFormatCounter = -1;
};
