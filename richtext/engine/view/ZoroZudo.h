// The rich-text viewer control: a scroller that owns one document data
// object and the document's settings and events, refers to a style sheet
// that several controls may share, formats, paints, scrolls, selects with
// the mouse, copies, and saves what the engine writes. TZoroZudo adds
// nothing; the editor derives from TCustomZoroZudo.
#pragma once

#include <memory>

#include "richtext/engine/view/RVScroll.h"
#include "richtext/engine/viewdata/ZoroZudoRVData.h"

class TRVViewerHost;
class TTimer;

// Replays the events an in-place editor posted to its main control.
constexpr unsigned WM_RVPOSTEDEVENT = 0x0400 + 15;

// Posted event records of an in-place editor, replayed by its main control.
enum TRVMessageKind : uint8_t {
    rvmkDblClick = 0,
    rvmkJump = 1,
    rvmkMouseUp = 2,
    rvmkMouseDown = 3,
    rvmkClick = 4,
};
struct TRVMessageData {
    TRVMessageKind Kind = rvmkClick;
    AnsiString ClickedWord;
    int32_t Style = 0;
    int32_t Id = 0;
    int32_t X = 0, Y = 0, ItemNo = -1;
    TShiftState Shift = 0;
    TMouseButton Button = TMouseButton::mbLeft;
};

using TRVPaintEvent = std::function<void(TObject* Sender, TCanvas* Canvas, bool Prepaint)>;

class TCustomZoroZudo : public TRVScroller, public TRVControlEvents {
public:
    explicit TCustomZoroZudo(TComponent* AOwner);
    ~TCustomZoroZudo() override;
    void Dispatch(TMessage& Message) override;

    TZoroZudoRVData* RVData() const { return FRVData.get(); }
    TRVControlSettings& Settings() { return FSettings; }
    const TRVControlSettings& Settings() const { return FSettings; }

    // ---- properties
    TRVStyle* Style() const { return FSettings.Style; }
    virtual void SetStyle(TRVStyle* Value);
    TRVOptions Options() const { return FSettings.Options; }
    void SetOptions(TRVOptions Value) { FSettings.Options = Value; }
    TRVRTFOptions RTFOptions() const { return FSettings.RTFOptions; }
    TRVFOptions RVFOptions() const { return FSettings.RVFOptions; }
    int LeftMargin() const { return FSettings.LeftMargin; }
    void SetLeftMargin(int Value) { FSettings.LeftMargin = Value; }
    int RightMargin() const { return FSettings.RightMargin; }
    void SetRightMargin(int Value) { FSettings.RightMargin = Value; }
    int TopMargin() const { return FSettings.TopMargin; }
    void SetTopMargin(int Value) { FSettings.TopMargin = Value; }
    int BottomMargin() const { return FSettings.BottomMargin; }
    void SetBottomMargin(int Value) { FSettings.BottomMargin = Value; }
    int MinTextWidth() const { return FSettings.MinTextWidth; }
    int MaxTextWidth() const { return FSettings.MaxTextWidth; }
    bool WordWrap() const { return FSettings.WordWrap; }
    void SetWordWrap(bool Value) { FSettings.WordWrap = Value; }
    TTextLayout VAlign() const { return FSettings.VAlign; }
    void SetVAlign(TTextLayout Value) { FSettings.VAlign = Value; }
    const AnsiString& Delimiters() const { return FSettings.Delimiters; }
    TRVTabNavigationType TabNavigation() const { return FRVData->TabNavigation; }
    void SetTabNavigation(TRVTabNavigationType Value) { FRVData->TabNavigation = Value; }
    TRVAnimationMode AnimationMode() const { return FSettings.AnimationMode; }
    uint16_t Flags() const { return FSettings.Flags; }
    TColor DocColor() const { return FSettings.Color; }
    void SetDocColor(TColor Value);
    bool AllowSelection() const { return FSettings.Options & rvoAllowSelection; }
    // The colour painted: the control's, the style sheet's for clNone, the
    // window's without a style sheet.
    TColor GetEffectiveColor() const;
    int FirstJumpNo() const { return FRVData->FirstJumpNo; }
    bool ScrollTimerActive() const { return FScrollTimerActive; }
    int AutoScrollVDelta() const { return FAutoScrollVDelta; }
    int AutoScrollHDelta() const { return FAutoScrollHDelta; }
    TRVPaintEvent OnPaint;

    // ---- the document
    void ClearDocument();
    void FormatDocument();
    // Formats again keeping the first visible line and the selection.
    void ReformatKeepingPosition();
    int GetItemCount() const { return FRVData->ItemCount(); }
    TCustomRVItemInfo* GetItem(int ItemNo) const { return FRVData->GetItem(ItemNo); }
    int GetItemStyle(int ItemNo) const { return FRVData->GetItemStyle(ItemNo); }
    bool StartsParagraph(int ItemNo) const { return FRVData->IsFromNewLine(ItemNo); }
    int ItemStartOffset(int ItemNo) const { return FRVData->ItemStartOffset(ItemNo); }
    int ItemEndOffset(int ItemNo) const { return FRVData->ItemEndOffset(ItemNo); }
    int GetDocumentHeight() const { return FRVData->DocumentHeight; }
    // The selection in item positions; false without one.
    bool SelectionExists() const;
    void Deselect();
    void SelectAll();
    void SetSelectionBounds(int StartItemNo, int StartOffs, int EndItemNo, int EndOffs);
    void GetSelectionBounds(int& StartItemNo, int& StartOffs, int& EndItemNo, int& EndOffs) const;

    // ---- saving: false when the file cannot be written
    bool SaveRtf(TStream& Stream, bool SelectionOnly);
    bool SaveRtfFile(const AnsiString& FileName, bool SelectionOnly);
    bool SaveTextStream(const AnsiString& Path, TStream& Stream, int LineWidth, bool SelectionOnly,
                        bool TextOnly);
    bool SaveTextStreamW(const AnsiString& Path, TStream& Stream, int LineWidth, bool SelectionOnly,
                         bool TextOnly);
    bool SaveTextFile(const AnsiString& FileName, int LineWidth);
    bool SaveTextFileW(const AnsiString& FileName, int LineWidth);

    // ---- input
    void StartScrollTimer(bool Slow);
    void StopScrollTimer();
    void GenerateMouseMove();
    // The selection to the clipboard in the formats the rvoAutoCopy options
    // name; OnCopy fires.
    void CopySelection();
    static bool IsCopyShortcut(TShiftState Shift, uint16_t Key);
    static bool IsCutShortcut(TShiftState Shift, uint16_t Key);
    static bool IsPasteShortcut(TShiftState Shift, uint16_t Key);

    // ---- the document as characters (line breaks are CR, one each)
    // The selection's start and end characters (0 and 0 without one).
    void GetSelectionPositions(int& Start, int& End) const;
    void SetSelectionPositions(int Start, int End);
    // Characters Start up to End (-1: the end) of the document.
    AnsiString GetTextRange(int Start, int End) const;
    // The same into a caller's buffer of BufferSize bytes, cut to fit with
    // its terminating zero; answers the length copied (0 for no buffer).
    int GetTextRange(int Start, int End, char* Buffer, int BufferSize) const;

    // An in-place editor's event, replayed when the message loop runs next;
    // dropped with the control.
    void PostEvent(const TRVMessageData& Event);

protected:
    virtual void ResetFormatting();
    virtual std::unique_ptr<TZoroZudoRVData> CreateData();
    // A descendant's constructor makes its own data class here: the base
    // constructor made the viewer's.
    void RecreateData() { FRVData = CreateData(); }
    IRVControlHost& ControlHost() const;
    virtual void AfterScrolled(bool Refresh);
    void Paint() override;
    void DoVScrolled() override;
    void DoHScrolled() override;
    void ResetScrollPositions() override;
    void UpdateScrollBarsForClient() override;
    void SetVSmallStep(int Value) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Window timers: 1 auto-scroll, 2 animation.
    void WMTimer(unsigned Id);
    void ReplayEvent(const TRVMessageData& Event);

private:
    void FormatWith(bool Preserve, bool Force, bool ItemFlagA, bool ItemFlagB);
    void Resized();
    // The item and offset of character Pos.
    void PositionToItem(int Pos, int& ItemNo, int& Offs) const;
    int ItemToPosition(int ItemNo, int Offs) const;

    TRVControlSettings FSettings;
    std::unique_ptr<TRVViewerHost> FHost;
    std::unique_ptr<TZoroZudoRVData> FRVData;
    bool FScrollTimerActive = false;
    int FAutoScrollVDelta = 0;
    int FAutoScrollHDelta = 0;
    // Posted events die with the control: the queue is the control's own.
    std::vector<TRVMessageData> FPostedEvents;
    bool FPostPending = false;
    friend class TRVViewerHost;
};

class TZoroZudo : public TCustomZoroZudo {
public:
    using TCustomZoroZudo::TCustomZoroZudo;
};
