// The styled page control: pages with their own tab colours, images and
// close glyphs, on a tab strip whose tabs the control paints itself.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ImgList.h"

class TAdvPageControl;

enum class TGradientDirection { gdVertical, gdHorizontal };
enum class TTabStyle { tsClassic, tsDotNet, tsDelphi };

using TCanCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCanChangeEvent = std::function<void(TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TObject* Sender, int PageIndex, TRect TabRect, bool Active)>;

// Caption offsets and extra tab width, in pixels.
class TTabMargin : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    int LeftMargin() const { return FMargins[0]; }
    int TopMargin() const { return FMargins[1]; }
    int RightMargin() const { return FMargins[2]; }
    void SetLeftMargin(int Value) { SetMargin(0, Value); }
    void SetTopMargin(int Value) { SetMargin(1, Value); }
    void SetRightMargin(int Value) { SetMargin(2, Value); }
    static const TClassInfo* ClassInfo();
    // Called before a changed value is stored.
    std::function<void(int NewValue, int OldValue, int Index)> OnMarginChange;

private:
    void SetMargin(int Index, int Value);
    int FMargins[3] = {0, 0, 0};
};

class TAdvTabSheet : public TCustomControl {
public:
    explicit TAdvTabSheet(TComponent* AOwner);
    ~TAdvTabSheet() override;
    void Dispatch(TMessage& Message) override;

    TAdvPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TAdvPageControl* Value);
    // Position in the control's page list, -1 when detached.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Number of shown tabs before this one; -1 when its tab does not show.
    int TabIndex() const;
    bool TabShowing() const { return FTabShowing; }

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor Value);
    TColor TabColorTo() const { return FTabColorTo; }
    void SetTabColorTo(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    TGradientDirection TabGradientDirection() const { return FTabGradientDirection; }
    void SetTabGradientDirection(TGradientDirection Value);
    TGradientDirection HoverGradientDirection() const { return FHoverGradientDirection; }
    void SetHoverGradientDirection(TGradientDirection Value) { FHoverGradientDirection = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool TabEnable() const { return FTabEnable; }
    // Raises for the active page of a control.
    void SetTabEnable(bool Value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);
    // The text the strip measures the tab by.
    const AnsiString& TabText() const { return FTabText; }
    // The colour the page shows: its own, else its control's.
    TColor BackColor() const;
    int NativeImageIndex() const { return FImageIndex < 0 ? 0 : FImageIndex; }

    // Streaming (AdvPageControlStreaming.cpp): a sheet read back joins its
    // reader parent when that is a page control.
    void ReadState(TReader& Reader) override;
    static const TClassInfo* ClassInfo();

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnClose;
    TCanCloseEvent OnCanClose;

protected:
    void Paint() override;
    virtual void DoShow();
    virtual void DoHide();

private:
    void SetTabShowing(bool Value);
    void UpdateTabShowing();
    void ComputeTabText();

    TAdvPageControl* FPageControl = nullptr;
    AnsiString FTabText;
    bool FTabShowing = false;
    TColor FColorTo = clNone;
    TColor FTabColor = clNone;
    TColor FTabColorTo = clNone;
    TColor FTextColor = 0;
    TGradientDirection FTabGradientDirection = TGradientDirection::gdVertical;
    TGradientDirection FHoverGradientDirection = TGradientDirection::gdVertical;
    int FImageIndex = 0;
    bool FShowClose = false;
    bool FTabVisible = true;
    bool FTabEnable = true;
    bool FHighlighted = false;

    friend class TAdvPageControl;
};

class TAdvPageControl : public TCustomTabControl {
public:
    explicit TAdvPageControl(TComponent* AOwner);
    ~TAdvPageControl() override;
    void Dispatch(TMessage& Message) override;
    // Re-applies the settings after they were all read.
    void Loaded() override;

    int PageCount() const { return int(FPages.size()); }
    TAdvTabSheet* Pages(int Index) const { return ListItem(FPages, Index); }
    TAdvTabSheet* ActivePage() const { return FActivePage; }
    // Shows Page; a page of another control is ignored. Fires no OnChange.
    void SetActivePage(TAdvTabSheet* Page);
    int ActivePageIndex() const;
    // The page at Index, or no page for an index out of range.
    void SetActivePageIndex(int Index);
    TAdvTabSheet* FindNextPage(TAdvTabSheet* Current, bool GoForward, bool VisibleOnly) const;
    void SelectNextPage(bool GoForward);
    // The page whose tab is at a client point, or -1.
    int TabAtPos(int X, int Y);
    TRect TabRectOfPage(int PageIndex);
    // Streaming (AdvPageControlStreaming.cpp): the pages are written in
    // page order, and a page read back takes its place again.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;
    static const TClassInfo* ClassInfo();
    virtual void SyncActivePageFromTab();
    // Fires OnChange and repaints.
    void Change();

    TFont* ActiveFont() const { return FActiveFont.get(); }
    void SetActiveFont(TFont* Value);
    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor Value);
    TColor ActiveColorTo() const { return FActiveColorTo; }
    void SetActiveColorTo(TColor Value);
    TColor DefaultTextColor() const { return FDefaultTextColor; }
    void SetDefaultTextColor(TColor Value);
    TColor DefaultTabColor() const { return FDefaultTabColor; }
    void SetDefaultTabColor(TColor Value);
    TColor DefaultTabColorTo() const { return FDefaultTabColorTo; }
    void SetDefaultTabColorTo(TColor Value);
    bool TabBorder3D() const { return FTabBorder3D; }
    void SetTabBorder3D(bool Value);
    TColor TabBorderColor() const { return FTabBorderColor; }
    void SetTabBorderColor(TColor Value);
    bool TabSheet3D() const { return FTabSheet3D; }
    void SetTabSheet3D(bool Value);
    TColor TabSheetBorderColor() const { return FTabSheetBorderColor; }
    void SetTabSheetBorderColor(TColor Value);
    TColor TabHoverColor() const { return FTabHoverColor; }
    void SetTabHoverColor(TColor Value) { FTabHoverColor = Value; }
    TColor TabHoverColorTo() const { return FTabHoverColorTo; }
    void SetTabHoverColorTo(TColor Value) { FTabHoverColorTo = Value; }
    TColor TabHoverBorder() const { return FTabHoverBorder; }
    void SetTabHoverBorder(TColor Value) { FTabHoverBorder = Value; }
    TColor TabBackGroundColor() const { return FTabBackGroundColor; }
    void SetTabBackGroundColor(TColor Value);
    TBitmap* TabBackGround() const { return FTabBackGround.get(); }
    void SetTabBackGround(TBitmap* Value);
    TBitmap* TabBackGroundActive() const { return FTabBackGroundActive.get(); }
    void SetTabBackGroundActive(TBitmap* Value);
    TTabMargin* TabMargin() const { return FTabMargin.get(); }
    void SetTabMargin(TTabMargin* Value);
    int TabOverlap() const { return FTabOverlap; }
    void SetTabOverlap(int Value); // 0 to 15
    bool TabSplitLine() const { return FTabSplitLine; }
    void SetTabSplitLine(bool Value);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool Value);
    TTabStyle TabStyle() const { return FTabStyle; }
    void SetTabStyle(TTabStyle Value);
    int LowerActive() const { return FLowerActive; }
    void SetLowerActive(int Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) { FShowFocus = Value; }
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
    TBitmap* CloseGlyph() const { return FCloseGlyph.get(); }
    void SetCloseGlyph(TBitmap* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    void SetTabPosition(TTabPosition Value) override;
    // A page of this control that is asked to show becomes the active page.
    void ShowControl(TControl* AControl) override;
    AnsiString Version() const;
    void SetVersion(const AnsiString&) {}
    int RedrawLockCount() const { return FRedrawLock; }
    int HoverTab() const { return FHoverTab; }
    bool CloseGlyphHot() const { return FGlyphState == TGlyphState::gsHot; }

    // Painting of the tab area, shared with the mouse handling.
    void DrawTabArea(TCanvas* Canvas);
    void DrawCloseGlyph(TCanvas* Canvas, const TRect& TabRect, bool Active);
    void DrawCloseGlyphHot(TCanvas* Canvas, const TRect& TabRect);
    void DrawCloseGlyphDown(TCanvas* Canvas, const TRect& TabRect);
    void DrawCloseGlyphBitmap(TCanvas* Canvas, int X, int Y);
    // The close glyph's hit box on the active tab; empty without one.
    TRect CloseGlyphRect();

    // Docking (AdvPageControlDocking.cpp): each docked control gets a page.
    void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override;
    void DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept) override;
    void DoAddDockClient(TControl* Client, const TRect& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;

    TNotifyEvent OnChange;
    TCanChangeEvent OnCanChange;
    TDrawTabEvent OnDrawTab;

protected:
    bool CanChange() override;
    void TabChanged() override;
    bool CanShowTab(int TabIndex) override;
    int GetImageIndex(int TabIndex) override;
    int TabTextWidth(TCanvas* Canvas, int TabIndex) override;
    void SelectTabByUser(int NewIndex) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    enum class TGlyphState { gsNormal, gsHot, gsDown };

    // Pages, tab texts and properties.
    void InsertPage(TAdvTabSheet* Page);
    void RemovePage(TAdvTabSheet* Page);
    void ActivatePage(TAdvTabSheet* Page);
    void HideActivePage();
    void UpdateTab(TAdvTabSheet* Page);
    void UpdateActiveTabText(TAdvTabSheet* Page);
    AnsiString ActiveTextPad(const AnsiString& Text);
    void UpdateSpacer();
    void MarginChanged(int NewValue, int OldValue, int Index);
    // Stores Value and repaints, only when it changes Field.
    template <class T> void StoreAndRepaint(T& Field, T Value);
    // A new default for a sheet colour, given to the sheets that kept the old.
    void SetSheetDefault(TColor TAdvTabSheet::*SheetField, TColor& Default, TColor Value);
    bool AllowChangeTo(int ToPage, bool AskChanging);
    // FindNextPage over visible tabs, passing over disabled pages; Current
    // itself when nothing else can be shown.
    TAdvTabSheet* FindNextEnabledPage(TAdvTabSheet* Current, bool GoForward) const;
    // The tab that takes over when the active page's tab at Index goes: the
    // one now at its place or after it, else the last one before it, passing
    // over disabled pages; -1 when none can.
    int SuccessorTab(int Index) const;

    // Docking.
    bool HandleDockMessage(TMessage& Message);
    void DockNewClient(TMessage& Message);
    TAdvTabSheet* PageOfDockClient(TControl* Client) const;
    // The control docked on the page whose tab is at a client point.
    TControl* DockClientAtTab(int X, int Y);
    // A press on a docked page's tab drags its control; a double click
    // floats it.
    void DragDockedPage(TShiftState Shift, int X, int Y);

    // Messages and input.
    void PaintOverStrip(TMessage& Message);
    bool SelectByCtrlTab(TMessage& Message);
    bool SelectByAccelerator(TMessage& Message);
    void MouseLeft();
    void TrackHoverTab(int X, int Y);
    void CloseActivePage();
    bool OverCloseGlyph(int X, int Y);
    void SetGlyphState(TGlyphState State);
    // Redraw is off while a selection change rearranges a multi-line strip;
    // false when no lock was needed.
    bool TakeRedrawLock();
    void ReleaseRedrawLock();

    // The tab area, step by step.
    struct TPaintState;
    void PrepareTabArea(TCanvas* Canvas);
    void MeasureTabs(TPaintState& State);
    void EraseAroundTabs(TCanvas* Canvas);
    void PlaceTabEdge(TPaintState& State);
    void DrawScrollCorner(TCanvas* Canvas, const TPaintState& State);
    void FillTabStrip(TCanvas* Canvas, const TPaintState& State);
    void FillPageRing(TCanvas* Canvas, const TPaintState& State);
    void DrawPageFrame(TCanvas* Canvas, const TPaintState& State);
    void DrawRoundEdges(TCanvas* Canvas);
    void OpenFrameUnderTabs(TCanvas* Canvas, TPaintState& State);
    void DrawHoverOutline(TCanvas* Canvas);

    // One tab.
    struct TTabPaint;
    struct TTabFill;
    void PaintTab(TCanvas* Canvas, TPaintState& State, int P);
    void PaintDeferredTab(TCanvas* Canvas, const TPaintState& State);
    TTabFill TabFill(const TTabPaint& Tab) const;
    TRect TabBox(const TRect& Item) const;
    TPoint CaptionOrigin(const TTabPaint& Tab) const;
    TPoint CaptionStart(const TTabPaint& Tab) const;
    TPoint CaptionShift(const TTabPaint& Tab) const;
    TPoint MarginShift() const;
    void DrawPlainTab(TCanvas* Canvas, TPaintState& State, const TTabPaint& Tab, const TTabFill& Fill);
    void DrawTabContent(TCanvas* Canvas, TTabPaint& Tab);
    void FillTab(TCanvas* Canvas, const TTabPaint& Tab, const TTabFill& Fill);
    void DrawClassicOutline(TCanvas* Canvas, TPaintState& State, const TTabPaint& Tab);
    void DrawClassicActiveOutline(TCanvas* Canvas, const TRect& Box);
    void DrawFlatOutline(TCanvas* Canvas, const TPaintState& State, const TTabPaint& Tab);
    void DrawFlatActiveOutline(TCanvas* Canvas, const TRect& Box);
    void DrawTabSeparator(TCanvas* Canvas, const TRect& Box);
    // The picture stretched along the tab in slices, from Offset past the
    // box's corner.
    void DrawTabPicture(TCanvas* Canvas, TBitmap* Picture, const TRect& Box, TPoint Offset);
    void DrawTabCloseGlyph(TCanvas* Canvas, const TTabPaint& Tab);
    void SetCaptionFont(TCanvas* Canvas, const TTabPaint& Tab);
    // The sheet's image before the caption at (X, Y), which moves past it;
    // the shifts place it for tabs at the left and at the right.
    void DrawTabImage(TCanvas* Canvas, TAdvTabSheet* Sheet, int& X, int& Y, int LeftShift, int RightShift);
    // Rotated text at the sides, one line in (X, Y, Right, Bottom) otherwise.
    void DrawTabCaption(TCanvas* Canvas, TAdvTabSheet* Sheet, int X, int Y, int Right, int Bottom);
    // The dotted frame in the focused active tab; Extra shortens it along
    // the strip.
    void DrawTabFocus(TCanvas* Canvas, const TRect& TabRect, int Extra);
    void DrawGlyph(TCanvas* Canvas, const TRect& TabRect, int D, int K, TColor Box, TColor BoxPen,
                   TColor Cross);
    TPoint CloseGlyphCorner(const TRect& TabRect, int D, int K) const;
    std::unique_ptr<TFont> RotatedFont(TFont* Source) const;

    std::vector<TAdvTabSheet*> FPages;
    TAdvTabSheet* FActivePage = nullptr;
    std::unique_ptr<TFont> FActiveFont;
    TColor FActiveColor = clBtnFace;
    TColor FActiveColorTo = clNone;
    TColor FDefaultTextColor = 0;
    TColor FDefaultTabColor = clBtnFace;
    TColor FDefaultTabColorTo = clNone;
    bool FTabBorder3D = false;
    TColor FTabBorderColor = clGray;
    bool FTabSheet3D = false;
    TColor FTabSheetBorderColor = clGray;
    TColor FTabHoverColor = clNone;
    TColor FTabHoverColorTo = clNone;
    TColor FTabHoverBorder = clNone;
    TColor FTabBackGroundColor = clBtnFace;
    std::unique_ptr<TBitmap> FTabBackGround;
    std::unique_ptr<TBitmap> FTabBackGroundActive;
    std::unique_ptr<TTabMargin> FTabMargin;
    int FTabOverlap = 0;
    bool FTabSplitLine = false;
    bool FRoundEdges = false;
    TTabStyle FTabStyle = TTabStyle::tsClassic;
    int FLowerActive = 2;
    bool FShowFocus = false;
    bool FFreeOnClose = false;
    std::unique_ptr<TBitmap> FCloseGlyph;
    TCustomImageList* FImages = nullptr;
    TImageList* FSpacer = nullptr;
    int FHoverTab = -1;
    TGlyphState FGlyphState = TGlyphState::gsNormal;
    bool FLoaded = false;
    int FRedrawLock = 0;
    TAdvTabSheet* FNewDockSheet = nullptr;
    TAdvTabSheet* FUndockSheet = nullptr;

    friend class TAdvTabSheet;
};

// Drawing routines the painters share.
void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                  bool Horizontal);
void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, int Width, int Height, int SourceX,
                           int SourceY, TColor TransparentColor);
void StretchTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, int Width, int Height,
                              int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                              TColor TransparentColor);
void DrawBitmapSlicesVertical(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, int Length);
void DrawBitmapSlicesHorizontal(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, int Length);
