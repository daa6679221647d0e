// The formatted document data of a control (a viewer's or an editor's top
// document): keyboard focus among the document's focusable items, Tab
// moving the focus in and out of the document, the dotted focus frame,
// and painting whole into the window's back buffer, with the "Error:" text when
// the document fails to draw.
#pragma once

#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/viewdata/RVControlHost.h"

class TRVControlData : public TCustomRVFormattedData {
public:
    TRVControlData();

    // The item that holds the keyboard focus and the data that holds it
    // (this or a nested one); -1 and nil when none.
    int32_t TopLevelFocusedItemNo = -1;
    TCustomRVFormattedData* TopLevelFocusedRVData = nullptr;
    TRVTabNavigationType TabNavigation = rvtnTab;
    // Set when the control takes the focus from a click or from no window:
    // the focus change that follows does not move the item focus.
    bool SkipNextTabNavigation = false;
    // The message of the last paint that failed; empty after a good one.
    AnsiString PaintError;

    void ResetFormatting() override;
    // The selection in the native format, as the control's copy puts it
    // on the clipboard.
    bool SaveRvfSelection(TStream& Stream, TColor Color, TRVBackground* Background) override;
    // Also forgets the item focus.
    void Deselect(TCustomRVItemInfo* Except, bool RaiseEvent);
    // Tab navigation. FromOutside: the focus comes from another control of
    // the form (not from the control itself nor from no window).
    void FocusNextItem(bool Backward, bool FromOutside);
    // Enter: the focused item acts (a hyperlink raises its jump).
    void ExecuteFocusedItem();
    void DrawFocusRect(TCanvas& Canvas);
    // Paints Clip of the client area onto Canvas, all of it before the
    // screen shows it; nothing while the document is being formatted.
    virtual void PaintBuffered(TCanvas& Canvas, const TRect& Clip);

    // ---- the mouse, in client coordinates: a left press starts a
    // selection, moving with the button held extends it
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DblClick() {}
    // The drawing item and the offset in it nearest to a document point;
    // false in an empty layout.
    bool FindPositionAt(int X, int Y, int& DrawItemNo, int& DrawItemOffs);

protected:
    // The next item that can take the focus, from FocusedItemNo; -1: none.
    virtual int FindNextFocusableItem(int From, bool Forward);
    // The control takes the focus itself, or passes it to the next control
    // of its form; false when there is none.
    virtual void TakeFocus() {}
    virtual bool FocusLeavesDocument(bool) { return false; }
};
