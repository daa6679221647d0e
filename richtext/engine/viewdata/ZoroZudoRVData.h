// The document data a viewer owns: its geometry, settings and events come
// from the control through IRVControlHost, its formatting results go back
// as the scrollable area (with the vertical step enlarged so that the range
// stays within 32,000 steps), and every event of the document is forwarded
// to the control's handler. The editor's data derives from it.
#pragma once

#include "richtext/engine/viewdata/RVControlData.h"

// State bit of the data: scroll requests are dropped while it is set.
inline constexpr TRVDataStates rvstNoScroll = 0x8000;
inline constexpr TRVDataStates rvstReleasingActiveSubDocument = 0x4000;
// The highest vertical step count: thumb positions travel as 16 bits.
inline constexpr int RVMaxScrollSteps = 32000;
inline constexpr int RVDefaultScrollStep = 10;

class TZoroZudoRVData : public TRVControlData {
public:
    explicit TZoroZudoRVData(IRVControlHost& Host);
    ~TZoroZudoRVData() override;

    IRVControlHost& Host() const { return FHost; }
    const TRVControlSettings& Settings() const { return FHost.Settings(); }
    bool IsRoot() const { return GetFlags() & rvflRoot; }

    // ---- settings answered from the control
    TRVStyle* GetRVStyle() const override { return Settings().Style; }
    uint16_t GetFlags() const override { return Settings().Flags; }
    void SetFlags(uint16_t Value) override { FHost.Settings().Flags = Value; }
    TRVOptions GetOptions() const override { return Settings().Options; }
    void SetOptions(TRVOptions Value) override { FHost.Settings().Options = Value; }
    TRVRTFOptions GetRTFOptions() const override { return Settings().RTFOptions; }
    bool GetWordWrap() const override;
    int GetMaxLength() const override;
    TRVBiDiMode GetBiDiMode() const override { return Settings().BiDiMode; }
    // The control's colour; clNone takes the style sheet's (the window's
    // without one).
    TColor GetColor() const override;
    AnsiString GetDelimiters() const override { return Settings().Delimiters; }
    AnsiString GetNoteText() const override;
    TStringList* GetDocProperties() const override;
    bool IsTopLevelDocument() const override { return true; }
    TCursor GetNormalCursor() const { return Settings().Cursor; }
    TCPEventKind GetCPEventKind() const { return Settings().CPEventKind; }

    // ---- geometry
    int GetAreaWidth() const override { return FHost.DocumentAreaWidth(); }
    int GetAreaHeight() const override { return FHost.DocumentAreaHeight(); }
    int GetLeftMargin() const override { return Settings().LeftMargin; }
    int GetRightMargin() const override { return Settings().RightMargin; }
    int GetTopMargin() const override { return Settings().TopMargin; }
    int GetBottomMargin() const override { return Settings().BottomMargin; }
    int GetMinTextWidth() const override { return Settings().MinTextWidth; }
    int GetMaxTextWidth() const override { return Settings().MaxTextWidth; }
    int GetWidth() const override { return FHost.ClientWidth(); }
    int GetHeight() const override { return FHost.ClientHeight(); }
    int GetHOffs() const override { return FHost.HScrollPosition(); }
    int GetVOffs() const override;
    int GetVSmallStep() const override { return FHost.VSmallStep(); }
    TRVBackground* GetBackground() const override { return nullptr; }
    TCanvas* GetCanvas() const override { return FHost.Canvas(); }
    // Where a document shorter than the client area starts, by VAlign.
    int GetVAlignShift() const override;
    void GetOrigin(int& X, int& Y) const override;
    void GetPaintOrigin(int& X, int& Y) const { GetOrigin(X, Y); }

    // ---- formatting results and scrolling
    // Height in pixels, given to the control in steps (rounded up).
    void SetDocumentAreaSize(int Width, int Height, bool UpdateH) override;
    void AdjustVScrollUnits() override;
    void VScrollTo(int Y, bool Redraw) override;
    void HScrollTo(int X) override;
    void InvalidateRect(const TRect& R) override;
    void UpdateView() override { FHost.Update(); }
    void ShowRectangle(int Left, int Top, int Width, int Height) override;
    int GetFirstVisibleItem() const override;
    int GetLastVisibleItem() const override;

    void Clear() override;

    // ---- events forwarded to the control
    void DoURLNeeded(int Id, AnsiString& URL) override;
    void DoProgress(TRVLongOperation Operation, TRVProgressStage Stage, uint8_t PercentDone);
    bool HasProgressHandler() const { return bool(Events().OnProgress); }
    void DoSaveRTFExtra(TRVRTFSaveArea Area, TObject* Obj, int Index1, int Index2, bool InStyleSheet,
                        AnsiString& RTFCode) override;
    void DoReadHyperlink(const AnsiString& Target, const AnsiString& Extras, TRVLoadFormat DocFormat,
                         int& StyleNo, TRVTag& ItemTag, AnsiString& ItemName);
    void DoWriteHyperlink(int Id, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                          AnsiString& Target, AnsiString& Extras) override;
    // The graphic the handler gave (nil without one); Flag takes the
    // control's ImportPictureFlag as the handler left it.
    std::unique_ptr<TRVGraphic> DoImportPicture(const AnsiString& Location, int Width, int Height,
                                                bool& Flag);
    void DoItemHint(TCustomRVData* RVData, int ItemNo, const AnsiString& Default, AnsiString& Hint);
    void DoItemAction(TRVItemAction Action, TCustomRVItemInfo* Item, AnsiString& Text,
                      TCustomRVData* RVData) override;
    bool DoSaveItemToFile(const AnsiString& Path, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                          bool Unicode, AnsiString& Text) override;
    void DoCopy();
    bool HasCopyHandler() const { return bool(Events().OnCopy); }
    bool HasRVMouseUpHandler() const { return bool(Events().OnRVMouseUp); }
    bool HasRVMouseDownHandler() const { return bool(Events().OnRVMouseDown); }
    bool HasRVRightClickHandler() const { return bool(Events().OnRVRightClick); }
    bool HasJumpHandler() const { return bool(Events().OnJump); }
    bool HasRVDblClickHandler() const { return bool(Events().OnRVDblClick); }
    bool HasCheckpointVisibleHandler() const { return bool(Events().OnCheckpointVisible); }
    void DoRVMouseUp(TMouseButton Button, TShiftState Shift, int ItemNo, int X, int Y);
    void DoRVMouseDown(TMouseButton Button, TShiftState Shift, int ItemNo, int X, int Y);
    void DoRVRightClick(const AnsiString& ClickedWord, int Style, int X, int Y);
    void DoRVDblClick(const AnsiString& ClickedWord, int Style);
    void DoJump(int Id);
    void DoRVMouseMove(int Id);
    void DoSelect() override;
    void DoCheckpointVisible(TCheckpointData Checkpoint);
    // The control's hint becomes Text, shown at the mouse.
    void SetItemHint(const AnsiString& Text);

protected:
    TRVControlEvents& Events() const { return FHost.Events(); }
    void TakeFocus() override { FHost.SetFocus(); }
    bool FocusLeavesDocument(bool Backward) override { return FHost.FocusNextControl(Backward); }

private:
    IRVControlHost& FHost;
    AnsiString FLastHint;
};
