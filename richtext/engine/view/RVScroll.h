// The windowed base of every rich-text view: its own scroll state (a
// horizontal position in pixels, a vertical one in steps of VSmallStep
// pixels), its scroll bars, the navigation keys and the wheel, embedded
// child controls moved with the content, the single border, and the one
// sub-document being edited in place. It holds no document: the document
// data tells it its size and asks it to scroll.
#pragma once

#include "platform/gui/Controls.h"

class TCustomRVData;
class TCustomRVItemInfo;

class TRVScroller : public TCustomControl {
public:
    explicit TRVScroller(TComponent* AOwner);
    ~TRVScroller() override;
    void Dispatch(TMessage& Message) override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int VSmallStep() const { return FVSmallStep; }
    virtual void SetVSmallStep(int Value);
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    bool VScrollVisible() const { return FVScrollVisible; }
    void SetVScrollVisible(bool Value);
    bool HScrollVisible() const { return FHScrollVisible; }
    void SetHScrollVisible(bool Value);
    bool UseXPThemes() const { return FUseXPThemes; }
    void SetUseXPThemes(bool Value);

    // Scrolling repaints the whole client area instead of moving pixels
    // (a background that does not move with the text).
    bool RedrawOnScroll = false;
    // The vertical bar stays, disabled, when there is nothing to scroll.
    bool AlwaysVScroll = false;
    bool KeyboardScroll = true;
    // Steps one line click moves; the wheel's factor (0: no wheel).
    int LineStepCount = 1;
    int WheelStep = 2;
    TNotifyEvent OnVScrolled;
    TNotifyEvent OnHScrolled;

    int HScrollPosition() const { return FHScrollPosition; }
    int VScrollPosition() const { return FVScrollPosition; }
    int HScrollMaximum() const { return FHScrollMaximum; }
    int VScrollMaximum() const { return FVScrollMaximum; }
    int HScrollPage() const { return FHScrollPage; }
    int VScrollPage() const { return FVScrollPage; }
    int DocumentAreaWidth() const { return FDocumentAreaWidth; }
    int DocumentAreaHeight() const { return FDocumentAreaHeight; }

    // The document area changed: Width in pixels, Height in steps.
    void UpdateScrollBars(int Width, int Height, bool UpdateH, bool DisableNoScroll);
    void ScrollTo(int Position) { VScrollTo(Position, true); }
    virtual void VScrollTo(int Position, bool Redraw);
    virtual void HScrollTo(int Position);
    // Moves the embedded controls with the content.
    void ScrollChildren(int DX, int DY);
    // An embedded control's top, relative to the client area and
    // unclamped, is kept in its Tag; Top is Tag within -10000..10000.
    static int GetControlTopFromTag(const TControl& Control);
    static void SetControlTopFromTag(TControl& Control);

    // ---- the sub-document edited in place (a table cell)
    void SetActiveSubDocument(TCustomRVData* SubDocument, TCustomRVItemInfo* Item);
    void ReleaseActiveSubDocument(TCustomRVData* SubDocument);
    TCustomRVData* ActiveSubDocument() const { return FActiveSubDocument; }
    TCustomRVItemInfo* ActiveSubDocumentItem() const { return FActiveSubDocumentItem; }

protected:
    virtual void DoVScrolled();
    virtual void DoHScrolled();
    virtual void BeforeScroll() {}
    virtual void ResetScrollPositions();
    virtual void UpdateScrollBarsForClient();
    virtual int GetDefaultScrollStep() const { return 10; }
    void WidgetCreated() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) override;
    // The single border, drawn over the client area's edge.
    void PaintBorder(TCanvas& Canvas);
    void WMVScroll(int Code, int Pos);
    void WMHScroll(int Code, int Pos);
    // The control and its parents are being destroyed.
    bool Destroying() const { return IsDestroying(); }

private:
    bool WheelScroll(bool Down);

    TBorderStyle FBorderStyle = TBorderStyle::bsNone;
    int FVSmallStep = 1;
    bool FTracking = true;
    bool FVScrollVisible = true;
    bool FHScrollVisible = true;
    bool FUseXPThemes = true;
    bool FUpdatingScrollBars = false;
    int FVScrollMaximum = 0;
    int FVScrollPage = 0;
    int FHScrollMaximum = 0;
    int FHScrollPage = 0;
    int FHScrollPosition = 0;
    int FVScrollPosition = 0;
    int FDocumentAreaWidth = 0;
    int FDocumentAreaHeight = 0;
    TCustomRVData* FActiveSubDocument = nullptr;
    TCustomRVItemInfo* FActiveSubDocumentItem = nullptr;
};
