// What the document data of a control asks of its control: the settings
// and event handlers the control keeps, its client size and scroll state,
// its canvas, focus, cursor, hint, timers and repaints. The viewer
// implements it; the data stays a model that never sees a control.
#pragma once

#include <functional>
#include <memory>

#include "platform/canvas/Graphics.h"
#include "platform/rtl/StringLists.h"
#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/style/RVStyle.h"

class TCustomRVFormattedData;

enum TRVTabNavigationType : uint8_t { rvtnNone, rvtnTab, rvtnCtrlTab };
enum TRVAnimationMode : uint8_t { rvaniDisabled, rvaniManualStart, rvaniOnFormat };
enum TRVLiveSpellingMode : uint8_t { rvlspManualStart, rvlspOnChange };
// When the checkpoint event fires.
enum TCPEventKind : uint8_t { cpeNone, cpeAsSectionStart, cpeWhenVisible };
enum TRVLoadFormat : uint8_t { rvlfText, rvlfHTML, rvlfRTF, rvlfRVF, rvlfURL, rvlfOther };
enum TRVLongOperation : uint8_t { rvloLoading, rvloConverting };
enum TRVProgressStage : uint8_t { rvpstgStarting, rvpstgRunning, rvpstgEnding };
// Bits 0, 1, 8, 10 and 11: hyperlinks, trimming, the control's top-level
// document, custom resolutions.
inline constexpr uint16_t RVDefaultControlFlags = 0x0D03;

// The document settings a viewer keeps, with the viewer's defaults.
struct TRVControlSettings {
    AnsiString NoteText = "?";
    TCursor Cursor = 0;
    TRVOptions Options = RVDefaultOptions;
    TRVRTFOptions RTFOptions = RVDefaultRTFOptions;
    AnsiString Delimiters = AnsiString(RVDefaultDelimiters);
    int32_t MaxLength = 0;
    TCPEventKind CPEventKind = cpeNone;
    int32_t MaxTextWidth = 0;
    int32_t MinTextWidth = 0;
    int32_t LeftMargin = 5;
    int32_t RightMargin = 5;
    int32_t TopMargin = 5;
    int32_t BottomMargin = 5;
    TRVFOptions RVFOptions = RVDefaultRVFOptions;
    uint8_t RVFWarnings = 0;
    bool WordWrap = true;
    TRVFReaderStyleMode RVFTextStylesReadMode = rvf_sInsertMerge;
    TRVFReaderStyleMode RVFParaStylesReadMode = rvf_sInsertMerge;
    TRVLiveSpellingMode LiveSpellingMode = rvlspManualStart;
    TRVAnimationMode AnimationMode = rvaniManualStart;
    TTextLayout VAlign = TTextLayout::tlTop;
    // Not owned: several controls may share one style sheet.
    TRVStyle* Style = nullptr;
    uint16_t Flags = RVDefaultControlFlags;
    TColor Color = clNone;
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    std::unique_ptr<TStringList> DocProperties = std::make_unique<TStringList>();
    // Set by an OnImportPicture handler; handed back to the importer.
    bool ImportPictureFlag = false;
};

// The document's events; Sender is the control.
struct TRVControlEvents {
    std::function<void(TObject* Sender, int Id)> OnJump;
    std::function<void(TObject* Sender, int Id)> OnRVMouseMove;
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int ItemNo, int X, int Y)>
        OnRVMouseDown;
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int ItemNo, int X, int Y)>
        OnRVMouseUp;
    std::function<void(TObject* Sender, const AnsiString& ClickedWord, int Style, int X, int Y)>
        OnRVRightClick;
    std::function<void(TObject* Sender, const AnsiString& ClickedWord, int Style)> OnRVDblClick;
    TNotifyEvent OnSelect;
    TNotifyEvent OnCopy;
    std::function<void(TObject* Sender, TCheckpointData CheckpointData)> OnCheckpointVisible;
    std::function<void(TObject* Sender, TRVItemAction ItemAction, TCustomRVItemInfo* Item, AnsiString& Text,
                       TCustomRVData* RVData)>
        OnItemAction;
    std::function<void(TObject* Sender, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                       TRVSaveFormat SaveFormat, bool Unicode, AnsiString& OutStr, bool& DoDefault)>
        OnSaveItemToFile;
    std::function<void(TObject* Sender, int Id, AnsiString& Url)> OnURLNeeded;
    std::function<void(TObject* Sender, const AnsiString& Target, const AnsiString& Extras,
                       TRVLoadFormat DocFormat, int& StyleNo, TRVTag& ItemTag, AnsiString& ItemName)>
        OnReadHyperlink;
    std::function<void(TObject* Sender, int Id, TCustomRVData* RVData, int ItemNo, TRVSaveFormat SaveFormat,
                       AnsiString& Target, AnsiString& Extras)>
        OnWriteHyperlink;
    std::function<void(TObject* Sender, TRVRTFSaveArea Area, TObject* Obj, int Index1, int Index2,
                       bool InStyleSheet, AnsiString& RTFCode)>
        OnSaveRTFExtra;
    std::function<void(TObject* Sender, const AnsiString& Location, int Width, int Height,
                       std::unique_ptr<TRVGraphic>& Graphic)>
        OnImportPicture;
    std::function<void(TObject* Sender, TCustomRVData* RVData, int ItemNo, AnsiString& HintText)> OnItemHint;
    std::function<void(TObject* Sender, TRVLongOperation Operation, TRVProgressStage Stage,
                       uint8_t PercentDone)>
        OnProgress;
};

// The control side of a control's document data.
class IRVControlHost {
public:
    virtual ~IRVControlHost() = default;
    virtual TRVControlSettings& Settings() = 0;
    virtual TRVControlEvents& Events() = 0;
    // The control, as the Sender of events.
    virtual TObject* Sender() = 0;
    // The control has a window and is not being destroyed.
    virtual bool HasWindow() const = 0;
    virtual bool Destroying() const = 0;

    // ---- size and scrolling: client pixels; vertical positions in steps
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int HScrollPosition() const = 0;
    virtual int VScrollPosition() const = 0;
    virtual int VSmallStep() const = 0;
    virtual int DocumentAreaWidth() const = 0;
    virtual int DocumentAreaHeight() const = 0;
    virtual bool VScrollVisible() const = 0;
    virtual void UpdateScrollBars(int Width, int Height, bool UpdateH, bool DisableNoScroll) = 0;
    virtual void VScrollTo(int Position, bool Redraw) = 0;
    virtual void HScrollTo(int Position) = 0;
    virtual void SetVSmallStep(int Value) = 0;

    // ---- drawing: the control's canvas, and repaints of client areas
    virtual TCanvas* Canvas() = 0;
    virtual void Invalidate() = 0;
    virtual void InvalidateRect(const TRect& R) = 0;
    virtual void Update() = 0;

    // ---- focus, cursor, hint, timers
    virtual void SetFocus() = 0;
    // Moves the focus to the next control of the form in tab order
    // (previous with Backward); false when there is none.
    virtual bool FocusNextControl(bool Backward) = 0;
    virtual void SetCursor(TCursor Cursor) = 0;
    // Shows Text as the control's hint at the mouse; empty cancels it.
    virtual void ShowHint(const AnsiString& Text) = 0;
    // Window timers by number: 1 auto-scroll, 2 animation.
    virtual void SetTimer(unsigned Id, unsigned Milliseconds) = 0;
    virtual void KillTimer(unsigned Id) = 0;
};
