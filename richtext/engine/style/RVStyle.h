// The style sheet of rich-text documents: text, paragraph and list styles,
// the colours and cursors of selection, hypertext and marks, the drawing
// entry points with their events, tab stops and the style sheet's CSS.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/Classes.h"
#include "richtext/engine/style/RVFontInfo.h"
#include "richtext/engine/style/RVListInfo.h"
#include "richtext/engine/style/RVParaInfo.h"

enum TRVSelectionMode : uint8_t { rvsmChar, rvsmWord, rvsmParagraph };
enum TRVSelectionStyle : uint8_t { rvssItems, rvssLines };
enum TRVFieldHighlightType : uint8_t { rvfhNever, rvfhCurrent, rvfhAlways };
enum TRVSeqType : uint8_t {
    rvseqDecimal,
    rvseqLowerAlpha,
    rvseqUpperAlpha,
    rvseqLowerRoman,
    rvseqUpperRoman
};
enum TRVPageBreakType : uint8_t { rvpbSoftPageBreak, rvpbPageBreak };
using TRVCodePage = uint32_t;

using TRVStyleSheetCssOptions = uint8_t;
enum TRVStyleSheetCssOption : uint8_t {
    rvscoBaseDifferences = 1,
    rvscoOmitLeftAlignment = 2,
    rvscoNoElementSelectors = 4,
    rvscoUTF8 = 8,
    rvscoSkipTextStyle0 = 16,
};

class TRVStyle;
using TRVApplyStyleEvent =
    std::function<void(TRVStyle* Sender, TCanvas& Canvas, int StyleNo, bool& DoDefault)>;
using TRVApplyStyleColorEvent = std::function<void(TRVStyle* Sender, TCanvas& Canvas, int StyleNo,
                                                   TRVTextDrawStates DrawState, bool& DoDefault)>;
using TRVDrawStyleTextEvent = std::function<void(TRVStyle* Sender, const AnsiString& S, TCanvas& Canvas,
                                                 int StyleNo, int SpaceBefore, int Left, int Top, int Width,
                                                 int Height, TRVTextDrawStates DrawState, bool& DoDefault)>;
using TRVStyleHoverSensitiveEvent = std::function<void(TRVStyle* Sender, int StyleNo, bool& Sensitive)>;
using TRVDrawTextBackEvent =
    std::function<void(TRVStyle* Sender, TCanvas& Canvas, int StyleNo, int Left, int Top, int Width,
                       int Height, TRVTextDrawStates DrawState, bool& DoDefault)>;
using TRVDrawCheckpointEvent =
    std::function<void(TRVStyle* Sender, TCanvas& Canvas, int X, int Y, int ItemNo, int XShift,
                       bool RaiseEvent, TObject* Control, bool& DoDefault)>;
using TRVDrawPageBreakEvent =
    std::function<void(TRVStyle* Sender, TCanvas& Canvas, int Y, int XShift, TRVPageBreakType PageBreakType,
                       TObject* Control, bool& DoDefault)>;
using TRVDrawParaRectEvent =
    std::function<void(TRVStyle* Sender, TCanvas& Canvas, int ParaNo, TRect& ARect, bool& DoDefault)>;

class TRVStyle : public TComponent {
public:
    explicit TRVStyle(TComponent* AOwner);
    ~TRVStyle() override;

    TFontInfos& TextStyles() { return *FTextStyles; }
    void SetTextStyles(TFontInfos& Value);
    TParaInfos& ParaStyles() { return *FParaStyles; }
    void SetParaStyles(TParaInfos& Value);
    TRVListInfos& ListStyles() { return *FListStyles; }
    void SetListStyles(TRVListInfos& Value);

    int32_t SpacesInTab = 0;
    int32_t DefTabWidth = 48;
    TCursor JumpCursor = crJump;
    TCursor LineSelectCursor = crRVFlipArrow;
    bool FullRedraw = false;
    bool UseSound = true;
    TColor Color = clWindow;
    TColor HoverColor = clNone;
    TColor CurrentItemColor = clNone;
    TColor SelColor = clHighlight;
    TColor SelTextColor = clHighlightText;
    TColor InactiveSelColor = clHighlight;
    TColor InactiveSelTextColor = clHighlightText;
    TColor CheckpointColor = clGreen;
    TColor CheckpointEvColor = clLime;
    TColor PageBreakColor = clBtnShadow;
    TColor SoftPageBreakColor = clBtnFace;
    TColor LiveSpellingColor = clRed;
    TRVSelectionMode SelectionMode = rvsmWord;
    TRVSelectionStyle SelectionStyle = rvssItems;
    TColor FieldHighlightColor = clBtnFace;
    TRVFieldHighlightType FieldHighlightType = rvfhCurrent;
    TRVSeqType FootnoteNumbering = rvseqDecimal;
    TRVSeqType EndnoteNumbering = rvseqLowerRoman;
    bool FootnotePageReset = true;
    int32_t DefUnicodeStyle = -1;
    TRVCodePage DefCodePage = 0;

    TRVApplyStyleEvent OnApplyStyle;
    TRVApplyStyleColorEvent OnApplyStyleColor;
    TRVDrawStyleTextEvent OnDrawStyleText;
    TRVStyleHoverSensitiveEvent OnStyleHoverSensitive;
    TRVDrawTextBackEvent OnDrawTextBack;
    TRVDrawCheckpointEvent OnDrawCheckpoint;
    TRVDrawPageBreakEvent OnDrawPageBreak;
    TRVDrawParaRectEvent OnDrawParaBack;

    // The drawing context of the event being raised.
    TPersistent* RVData = nullptr;
    int ItemNo = -1;
    int OffsetInItem = 0;

    // ---- drawing entry points
    void ApplyStyle(TCanvas& Canvas, int StyleNo, TRVBiDiMode DefBiDiMode, bool UseResolutionOverride,
                    const int* SubSuperHeight, bool IgnoreSubSuperScript);
    void ApplyStyleColor(TCanvas& Canvas, int StyleNo, TRVTextDrawStates DrawState, bool Printing,
                         TRVColorMode ColorMode);
    // S is item text in the item's encoding (ItemOptions), drawn as UTF-16.
    void DrawStyleText(const AnsiString& S, TRVItemOptions ItemOptions, TCanvas& Canvas, int AItemNo,
                       int AOffsetInItem, int StyleNo, TPersistent* ARVData, int SpaceBefore, int Left,
                       int Top, int Width, int Height, TRVTextDrawStates DrawState, bool Printing,
                       bool PreviewCorrection, TRVColorMode ColorMode, TRVBiDiMode DefBiDiMode);
    bool GetHoverSensitive(int StyleNo);
    void DrawTextBack(TCanvas& Canvas, int AItemNo, int StyleNo, TPersistent* ARVData, int Left, int Top,
                      int Width, int Height, TRVTextDrawStates DrawState);
    void DrawCheckpoint(TCanvas& Canvas, int X, int Y, int AreaLeft, int Width, TPersistent* ARVData,
                        int AItemNo, int XShift, bool RaiseEvent, TObject* Control);
    // Width: the document's visible width, where the mark's folded corner is.
    void DrawPageBreak(TCanvas& Canvas, int Y, int XShift, TRVPageBreakType PageBreakType, TObject* Control,
                       TPersistent* ARVData, int AItemNo, int Width);
    void DrawParaBack(TCanvas& Canvas, int ParaNo, const TRect& ARect, bool Printing, TRVColorMode ColorMode);
    TColor GetHoverColor(int StyleNo);
    // The code page of 8-bit text in text style StyleNo.
    unsigned GetStyleCodePage(int StyleNo);
    TColor GetHoverColorByColor(TColor AColor) const;
    // Where text after a tab at X starts (device units).
    void GetNextTab(int ParaNo, int X, const TRVScreenDeviceResolution& Resolution, int& Position,
                    AnsiString& Leader, TRVTabAlign& Align, TRVBiDiMode BiDiMode, int LeftIndent,
                    int RightIndent);
    void WriteStyleSheetCss(TStream& Stream, TRVStyleSheetCssOptions Options);

    void ResetTextStyles();
    void ResetParaStyles();
    void Loaded() override {}

    // The item classes of the collections; a derived style sheet may make
    // derived styles.
    virtual TFontInfo* NewTextStyleClass(TCollection* Collection) { return new TFontInfo(Collection); }
    virtual TParaInfo* NewParaStyleClass(TCollection* Collection) { return new TParaInfo(Collection); }
    virtual TRVListInfo* NewListStyleClass(TCollection* Collection) { return new TRVListInfo(Collection); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void CreateCollections();
    std::unique_ptr<TFontInfos> FTextStyles;
    std::unique_ptr<TParaInfos> FParaStyles;
    std::unique_ptr<TRVListInfos> FListStyles;
};
