// The formatted document: the document data laid out into drawing lines
// for a width on a canvas, with the whole-document formatting run, line
// building and finishing, partial re-formatting after edits, minimum
// widths, hyperlink areas and the lookups between items and drawing items.
// Its geometry (margins, widths, scrolling, canvas) comes from descendants:
// the viewer's data, item-formatted data of table cells, printing data.
#pragma once

#include <memory>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/lines/DLines.h"
#include "richtext/engine/style/RVStyle.h"

class TRVFontInfoCache;
class TRVBackground; // a document's background (document/)
class TRVGraphic;
struct TRVLineFormatState; // one formatting run (layout/CRVFData_p.h)

// The data's flags word (GetFlags), bit by bit.
enum TRVDataFlag : uint16_t {
    rvflUseJumps = 0x0001,             // collect and number hyperlink areas
    rvflTrim = 0x0002,                 // spaces at wrap points go to neither line
    rvflNoControls = 0x0004,           // embedded controls are not placed
    rvflUseExternalLeading = 0x0008,   // text ascent includes the external leading
    rvflMouseXYAlwaysCorrect = 0x0010, // mouse positions are not clamped
    rvflShareContents = 0x0020,        // items make their drawing items (printing)
    rvflPrinting = 0x0040,             // formatting for a printer
    rvflEdited = 0x0080,               // the document is being edited
    rvflRoot = 0x0100,                 // the control's own top-level data
    rvflCanUseCustomPPI = 0x0400,      // text styles may use a resolution of their own
};

// State bits of formatted data (StateBits), after those of the base.
enum TRVFormattedDataState : uint32_t {
    rvstMouseSelecting = 0x1,
    rvstLineSelection = 0x2,
    rvstDrawHover = 0x4,
    rvstFormatting = 0x8,
    rvstFormattingPart = 0x10, // a partial re-format runs (on the outer root)
    rvstJustSelectedWord = 0x20,
    rvstUpdatingPalette = 0x40,
    rvstCompletelySelected = 0x80,
    rvstNoControlsPlacing = 0x200,
    rvstReleasingSubDocument = 0x400,
    rvstDeselecting = 0x2000,
};

class TCustomRVFormattedData;

// Mouse buttons and shift states as the viewer hands them on (the same
// values as the toolkit layer's).
enum TRVMouseButton : int { rvmbLeft, rvmbRight, rvmbMiddle };
using TRVShiftState = unsigned;
namespace rvshift {
inline constexpr TRVShiftState Shift = 1, Alt = 2, Ctrl = 4, Left = 8, Right = 16, Middle = 32, Double = 64;
}
inline constexpr TCursor crRVDefault = 0;
inline constexpr TCursor crRVArrow = -2;

// The events of the viewer that the mouse handling asks "is it assigned?".
enum TRVDataEvent : int { rveJump, rveRVMouseDown, rveRVMouseUp, rveRVDblClick, rveRVRightClick };

// Where the clipboard copy goes: the viewer hands the toolkit's clipboard,
// tests one in memory. Blocks of a registered format are raw bytes.
class IRVClipboardTarget {
public:
    virtual ~IRVClipboardTarget() = default;
    virtual void Clear() = 0;
    virtual void SetText(const AnsiString& Text) = 0;
    virtual void SetUnicodeText(const WideString& Text) = 0;
    virtual void SetFormat(const AnsiString& FormatName, const AnsiString& Bytes) = 0;
    // A picture of the document (a copy is the target's own).
    virtual void SetPicture(const class TRVGraphic& Picture) = 0;
};

// The state of a selection by words or paragraphs while the button is down.
class TRVSelectingInfo : public TObject {
public:
    int StartOffs = 0, EndOffs = 0;
    int StartWordFrom = 0, StartWordTo = 0;
    int EndWordFrom = -1, EndWordTo = -1;
    int StartDrawItem = -1, EndDrawItem = -1;
    // 0 inside the anchor's word, 1 it was left, 2 back in it, 3 paragraphs.
    uint8_t StartWordState = 0;
    // 0 the end snaps to word edges, 2 not while in the same word, 3 paragraphs.
    uint8_t EndWordState = 0;

    void InitState(uint8_t State);
    bool InStartWord(int DrawItem, int Offs) const;
    bool BeforeStartWord(int DrawItem, int Offs) const;
    bool AfterStartWord(int DrawItem, int Offs) const;
    bool SameEndWord(int DrawItem, int From, int To) const;
    bool MovedBack(int DrawItem, int Offs) const;
};

// One hyperlink area of a formatted document.
class TRVJumpInfo : public TObject {
public:
    TCustomRVFormattedData* Data = nullptr;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    // The hyperlink's number in its document; the control reports
    // FirstJumpNo + JumpNo.
    int32_t JumpNo = 0;
    int32_t DrawItemNo = 0;
    TCursor Cursor = 0;
};

class TCustomRVFormattedData : public TCustomRVData {
public:
    TCustomRVFormattedData();
    ~TCustomRVFormattedData() override;

    // ---- the layout
    TRVDrawLines DrawItems;
    // Hyperlink areas in drawing-item order.
    std::vector<std::unique_ptr<TRVJumpInfo>> Jumps;
    int32_t JumpCount = 0;
    // The last item that has drawing items; -1: none.
    int32_t LastFormattedItem = -1;
    // The width lines were laid out for, and the width of wrapping lines;
    // -1 before the first format (also to force the next one to re-wrap).
    int32_t DocumentWidth = -1;
    int32_t TextWidth = -1;
    // Margins included.
    int32_t DocumentHeight = 0;
    // Set while formatting resizes the scrollable area: the format request
    // that the resize causes is ignored.
    bool InAreaSizeUpdate = false;
    // Computed by printing; nil when none were.
    std::unique_ptr<TRVSoftPageBreakList> SoftPageBreaks;

    // ---- what editing, painting and the mouse keep here (their issues)
    TCustomRVItemInfo* CapturedItem = nullptr;
    TCustomRVItemInfo* ActiveItem = nullptr;
    TCustomRVItemInfo* PartialSelectedItem = nullptr;
    int32_t FocusedItemNo = -1;
    int32_t HoverJumpNo = -1;
    int32_t HoverDrawItem = -1;
    int32_t DownJumpNo = -1;
    int32_t DownDrawItem = 0;
    TCustomRVFormattedData* HoverJumpData = nullptr;
    // The selection as drawing items and offsets in them; -1: none.
    int32_t SelStartDrawItem = -1;
    int32_t SelEndDrawItem = -1;
    int32_t SelStartDrawOffs = 0;
    int32_t SelEndDrawOffs = 0;

    // ---- geometry that descendants answer (device pixels unless noted)
    virtual void GetDeviceScaling(TCanvas& Canvas, TRVScreenDeviceResolution& Resolution) const;
    // The list and level the first paragraph continues (rvdsContinuesPrevPara).
    virtual bool GetContinuedListLevel(int& ListNo, int& Level) const;
    virtual int GetVAlignShift() const { return 0; }
    virtual void GetOrigin(int& X, int& Y) const;
    virtual int GetAreaWidth() const = 0;
    virtual int GetAreaHeight() const = 0;
    // Margins are screen pixels; left and right are scaled to the device.
    virtual int GetLeftMargin() const = 0;
    virtual int GetRightMargin() const = 0;
    virtual int GetTopMargin() const = 0;
    virtual int GetBottomMargin() const = 0;
    virtual int GetMinTextWidth() const = 0;
    virtual int GetMaxTextWidth() const = 0;
    // The width and height available to the document (a control's client size).
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Formatting tells the document's size (margins included).
    virtual void SetDocumentAreaSize(int Width, int Height, bool UpdateH) = 0;
    virtual void AdjustVScrollUnits() = 0;
    virtual int GetHOffs() const { return 0; }
    virtual int GetVOffs() const { return 0; }
    virtual void VScrollTo(int Y, bool Redraw) = 0;
    virtual void HScrollTo(int X) = 0;
    virtual int GetVSmallStep() const = 0;
    virtual TRVBackground* GetBackground() const = 0;
    // The canvas to format and measure on: the root's.
    virtual TCanvas* GetCanvas() const;
    // The owning control's area in document coordinates needs painting.
    virtual void InvalidateRect(const TRect&) {}
    // The owning control paints what is invalid now.
    virtual void UpdateView() {}
    // Scrolls so that a rectangle of the document becomes visible.
    virtual void ShowRectangle(int /*Left*/, int /*Top*/, int /*Width*/, int /*Height*/) {}
    // The items a view shows now; all of them here.
    virtual int GetFirstVisibleItem() const { return 0; }
    virtual int GetLastVisibleItem() const { return ItemCount() - 1; }

    // ---- formatting
    // Preserve: keep the selection and the first visible line, and skip the
    // work when the widths did not change (unless Force). OnlyTail: only the
    // items after LastFormattedItem. Canvas nil: GetCanvas. Depth 0 from
    // outside; 1 for the one repeat after the scroll bars changed the
    // client size. ItemFlagA and ItemFlagB go to items that format
    // documents of their own.
    virtual void FormatDocument(bool Preserve, bool Force, bool NoScroll, int Depth, TCanvas* Canvas,
                                bool OnlyTail, bool ItemFlagB, bool ItemFlagA);
    void FormatOnOwnCanvas(bool ItemFlagB);
    // Forgets the layout; the items stay.
    virtual void ResetFormatting();
    void BeginFormatting() { StateBits |= rvstFormatting; }
    void EndFormatting() { StateBits &= ~TRVDataStates(rvstFormatting); }
    bool IsPaletteUpdating() const { return StateBits & rvstUpdatingPalette; }
    // After a formatting run: the items formatted (Partial: by a partial
    // re-format).
    virtual void Formatted(int /*FirstItemNo*/, int /*LastItemNo*/, bool /*Partial*/) {}
    virtual void AfterFormatting() {}
    // The font cache of a run: the outer root hands out the one of its own
    // run when one is running.
    virtual void CreateFontInfoCache(TCanvas& Canvas);
    virtual void DestroyFontInfoCache(TRVFontInfoCache*& Cache);
    virtual TRVFontInfoCache* GetFontInfoCache(TCanvas& Canvas, TCustomRVFormattedData* Owner);

    // ---- partial re-formatting and minimum widths
    // Widens a drawing-item range by one paragraph on each side.
    void GetParaBoundsOfDrawItems(int First, int Last, int& NewLast, int& NewFirst) const;
    // Re-formats the paragraphs of drawing items First..Last after an edit
    // that inserted ItemDelta items (negative: deleted) among them.
    void FormatParasOfDrawItems(int First, int Last, bool UpdateView, int ItemDelta);
    // Rebuilds drawing items First..Last (whole lines) for the items they
    // show plus ItemDelta, moving everything below.
    void FormatDrawItemRange(int First, int Last, bool UpdateView, bool ItemFlagA, int ItemDelta);
    // Minimum widths in pixels of the canvas (the data's when nil); scaled
    // to the device when a resolution record is given.
    int CalculateMinParaWidth(int ItemNo) const;
    int MeasureParaMinWidth(int ItemNo) const { return CalculateMinParaWidth(ItemNo); }
    int CalculateMinParasWidth(int First, int Last) const;
    int CalculateMinRangeWidth(int First, int Last) const;
    int CalculateMinDocumentWidth(int From, const TRVScreenDeviceResolution* Resolution,
                                  TCanvas* Canvas) const;

    // ---- after formatting
    // Gives one drawing item a new width and moves the rest of its line as
    // the paragraph's alignment wants (a resized picture or control).
    void ChangeDrawItemWidth(int DrawItemNo, int NewWidth);
    void PlaceControls();
    void AdjustJumpsCoords();
    void ClearJumps();

    // ---- between items and drawing items
    int DrawItemStartOffset(int DrawItemNo) const;
    int DrawItemEndOffset(int DrawItemNo) const;
    int GetDrawItemStyle(int DrawItemNo) const { return GetItemStyle(DrawItems[DrawItemNo]->ItemNo); }
    bool IsDrawItemParaStart(int DrawItemNo) const;
    // The first drawing item of an item; false when it has none.
    bool GetItemFirstDrawItem(int ItemNo, int& DrawItemNo) const;
    bool GetItemCoords(int ItemNo, int& Left, int& Top) const;
    void GetLineDrawItemRange(int DrawItemNo, int& First, int& Last) const;
    // An item position (item, offset) as drawing item and offset in it, and
    // back; item -1 for an invalid one.
    void ItemToDrawItem(int ItemNo, int ItemOffset, int& DrawItemNo, int& DrawItemOffset) const;
    void DrawItemToItem(int DrawItemNo, int DrawItemOffset, int& ItemNo, int& ItemOffset) const;
    // The first drawing item of the line at or below Y (document pixels);
    // -1 in an empty document.
    int FindDrawItemByY(int Y) const;
    // The selection as item positions, and stored from item positions.
    void GetSelectionItemBounds(int& StartNo, int& EndNo, int& StartOffs, int& EndOffs, bool Normalize) const;
    void StoreSelectionBounds(int StartNo, int StartOffs, int EndNo, int EndOffs);

    // ---- base behaviour the layout changes
    void Clear() override;
    void DeleteItems(int Index, int Count) override;
    void FreeItemObject(std::unique_ptr<TCustomRVItemInfo> Item, bool Clearing) override;

    // ---- painting (paint/)
    // Draws the part of the document in Rect (client coordinates) on a
    // canvas whose origin is Rect's top-left corner.
    void PaintDocument(TCanvas& Canvas, const TRect& Rect, bool PrintMode, bool PaintFlag, bool OnlyWhole,
                       bool TightStart);
    virtual void DrawBackground(TCanvas& Canvas, const TRect& Rect);
    virtual void GetItemBackground(int ItemNo, TRect& Rect, bool& UseBitmap, std::unique_ptr<TBitmap>& Bitmap,
                                   TColor& Color, bool FromItem);
    virtual void DrawAfterPaint(TCanvas&, int /*OffsX*/, int /*LastDrawItem*/, int /*FirstDrawItem*/,
                                int /*OffsY*/) {}
    virtual void AfterBackgroundPainted() {}
    virtual void BeforePaintDocument() {}
    virtual void AfterPaintDocument() {}
    // The first drawing item painting looks at for a rectangle whose top
    // is Y (document pixels): two lines above, or with Tight the first
    // line at or below.
    int FirstDrawItemToPaint(int Y, bool Tight) const;
    // The whole control, now, pending paints, one client rectangle.
    virtual void InvalidateControl() { InvalidateRect(Rect(0, 0, GetWidth(), GetHeight())); }
    virtual void RefreshControl() {
        InvalidateControl();
        UpdateView();
    }
    virtual void UpdateControl() { UpdateView(); }
    void InvalidateRectOnControl(const TRect& R) { InvalidateRect(R); }
    void InvalidateDrawItem(int DrawItemNo, int Margin);
    void InvalidateJump(int JumpNo);
    void InvalidateHoveredJump();
    // The viewer's control and whether it (or an editor in it) has the focus.
    virtual TObject* GetControl() const { return nullptr; }
    virtual bool IsControlFocused() const { return false; }

    // ---- selection and hit testing (paint/)
    std::unique_ptr<TRVSelectingInfo> SelectingInfo;
    void FindDrawItemAtPos(int X, int Y, bool Strict, int& Offs, int& DrawItemNo);
    int GetDrawItemAtPoint(int X, int Y) const;
    bool FindItemAtPos(int X, int Y, bool Strict, int& Offs, int& ItemNo);
    int GetItemLastDrawItem(int ItemNo) const;
    bool IsDrawItemItemStart(int DrawItemNo) const;
    bool IsDrawItemLastOfItem(int DrawItemNo) const;
    bool IsDrawItemFromNewLine(int DrawItemNo) const;
    bool IsDrawItemParaEnd(int DrawItemNo) const;
    bool IsDrawItemLineStart(int DrawItemNo) const;
    bool IsDrawItemWrapEnd(int DrawItemNo) const;
    bool IsSpaceSkippedAfter(int DrawItemNo) const;
    void GetSelectionDrawBounds(int& StartNo, int& EndNo, bool Normalize, int& EndOffs, int& StartOffs) const;
    void GetSelectionStartDrawItem(int& DrawItemNo, int& Offs);
    void SetSelectionBounds(int StartItem, int StartOffs, int EndItem, int EndOffs);
    void SelectAll();
    void Deselect(TCustomRVItemInfo* Except, bool RaiseEvent);
    void DeselectPartialItems(TCustomRVItemInfo*) {}
    bool SelectionExists(bool DropEmpty, bool AskPartial);
    bool IsDrawPositionSelected(int DrawItemNo, int Offs, bool Inclusive) const;
    bool IsPositionSelected(int ItemNo, int Offs, bool Inclusive) const;
    bool IsSelectionForward() const;
    bool SelectionHasParaBreak() const;
    void ClampSelectionOffsets();
    bool ExpandSelectionToParas(bool OnlyIfCrossing);
    void ExpandSelectionToLines(bool FromAnchor);
    // Word bounds around a position inside a text drawing item (offsets).
    bool IsInsideWord(int DrawItemNo, int Offs) const;
    void GetWordBounds(int DrawItemNo, int Offs, int& From, int& To) const;
    bool SelectToPoint(int X, int Y);
    bool SelectLinesToPoint(int X, int Y);
    // The selection as plain text (UTF-16 bytes when Unicode).
    AnsiString GetSelText(bool Unicode);
    // The picture when exactly one non-text item is selected.
    const class TRVGraphic* GetSelectedImage();
    void GetSaveRange(bool SelectionOnly, int& StartItemNo, int& StartOffs, int& EndItemNo, int& EndOffs,
                      bool& PartialItem) const override;
    virtual void SelectionChanged(bool) {}
    virtual void DoSelect() {}

    // ---- mouse, hyperlinks and focus (paint/); client coordinates
    void MouseDown(TRVMouseButton Button, TRVShiftState Shift, int X, int Y);
    void MouseMove(TRVShiftState Shift, int X, int Y);
    void MouseUp(TRVMouseButton Button, TRVShiftState Shift, int X, int Y);
    // X, Y: where the pointer is now (the layer asks the screen).
    void DblClick(int X, int Y);
    // The word under a client point, and the style of its item.
    bool GetWordAt(int X, int Y, AnsiString& Word, int& StyleNo, int& ItemNo, int& Offs);
    void UpdateHoverDrawItem(int X, int Y);
    void FocusItem(int ItemNo) { FocusedItemNo = ItemNo; }
    virtual bool IsAssigned(TRVDataEvent) const { return false; }
    virtual void DoJump(int /*Id*/) {}
    virtual void DoRVMouseMove(int /*Id*/) {}
    virtual void DoRVMouseDown(TRVMouseButton, TRVShiftState, int /*ItemNo*/, int /*X*/, int /*Y*/) {}
    virtual void DoRVMouseUp(TRVMouseButton, TRVShiftState, int /*ItemNo*/, int /*X*/, int /*Y*/) {}
    virtual void DoRVDblClick(const AnsiString& /*Word*/, int /*StyleNo*/) {}
    virtual void DoRVRightClick(const AnsiString&, int /*StyleNo*/, int /*X*/, int /*Y*/) {}
    virtual void SetCursor(TCursor) {}
    virtual TCursor GetNormalCursor() const { return crRVDefault; }
    virtual void SetControlFocus() {}
    virtual bool CanStartDrag() const { return !(GetOptions() & rvoDisallowDrag); }
    // Asks the control to start dragging the selection after this event.
    virtual void PostStartDrag() {}
    virtual bool AllowsItemFocus() const { return true; }

    // ---- clipboard and protection (paint/)
    // The clipboard of the viewer; nil copies nothing.
    virtual IRVClipboardTarget* GetClipboard() const { return nullptr; }
    // Writes the selection in the native format, false when that writer is
    // not there (the clipboard then gets the other formats only).
    virtual bool SaveRvfSelection(TStream&, TColor, TRVBackground*) { return false; }
    bool CopyToClipboard(TColor Color, TRVBackground* Background);
    void CopyTextToClipboard();
    void CopyUnicodeTextToClipboard();
    void CopyImageToClipboard();
    void CopyRtfToClipboard(TColor Color);
    void CopyRvfToClipboard(TColor Color, TRVBackground* Background);
    bool IsParaOptionSet(int ParaNo, int Option) const;
    bool IsItemParaReadOnly(int ItemNo) const;
    bool IsItemProtected(int ItemNo, int Option) const;
    bool AreItemsStuck(int ItemNo) const;
    bool CanInsertAt(int ItemNo, int Offs) const;

protected:
    // ---- line building and finishing (one formatting run)
    void FormatItems(TRVLineFormatState& State, int FirstItemNo, int LastItemNo);
    void FormatItemPart(TRVLineFormatState& State, int ItemNo, int Offset, int Length);
    void FormatTextPart(TRVLineFormatState& State, int ItemNo, int Offset, int Length);
    void FormatJustifiedText(TRVLineFormatState& State, int ItemNo);
    void FormatFullLineItem(TRVLineFormatState& State, int ItemNo);
    void PlaceRectItem(TRVLineFormatState& State, int ItemNo);
    void StartNewLine(TRVLineFormatState& State, int ItemNo, bool Wrapped);
    void GetLineIndents(TRVLineFormatState& State, int ItemNo, bool FirstLine, int& ParaLeft, int& Right,
                        int& LineLeft) const;
    void RaiseLine(TRVLineFormatState& State, int NewAscent);
    void FinishPendingTab(TRVLineFormatState& State);
    // Closes the line that ends at drawing item Count - 1; answers the
    // height to add below it.
    int FinishLine(TRVLineFormatState& State, bool IsParaEnd, int Count);
    int AlignLineItems(TRVLineFormatState& State, int First, int Last);
    void ReorderBiDiLine(TRVLineFormatState& State, int First, int Last);
    // The text style of a text item selected on the run's canvas.
    void SelectTextStyle(TRVLineFormatState& State, int ItemNo);
    // Paragraph spacing before item ItemNo's line when it begins a paragraph.
    int SpacingBefore(const TRVLineFormatState& State, int ItemNo) const;
    void AddJump(TRVLineFormatState& State, int DrawItemNo, int JumpNo, TCursor Cursor);
    // Records the item's first drawing item, unless the items are shared.
    void SetItemDrawItemNo(int ItemNo, int DrawItemNo);
    bool ParaWraps(int ParaNo) const;
    void ScaleMargins(TRVLineFormatState& State) const;

    // The character at 1-based Offs of a text item, as UTF-16.
    char16_t CharAt(int ItemNo, int Offs) const;
    int MeasurePiece(TRVLineFormatState& State, const TRVDrawLineInfo& Piece);
    int HyphenWidthOf(TRVLineFormatState& State, int ItemNo);

    // ---- painting's helpers (paint/)
    void DrawLineEndMark(TCanvas& Canvas, int DrawItemNo, int LastStyle, int DX, int DY);

private:
    void FormatRun(bool Preserve, bool Force, bool NoScroll, int Depth, TCanvas* Canvas, bool OnlyTail,
                   bool ItemFlagB, bool ItemFlagA);
    int MinLineWidth(int ItemNo, int& FirstParaItem, TCanvas& Canvas,
                     const TRVScreenDeviceResolution* Resolution) const;
    void MinLineIndents(int ItemNo, const TRVScreenDeviceResolution* Resolution, int& Indent) const;
    void ShiftDrawItemsBelow(int From, int DeltaY, int ItemDelta);
    TRVFontInfoCache* FFontInfoCache = nullptr;
    std::unique_ptr<TRVFontInfoCache> FOwnFontInfoCache;
};

// Global switches of line building: break words anywhere instead of at wrap
// points, and fit text by the canvas's extent call.
extern bool RVWrapAnywhere;
extern bool RVFitByExtentEx;
