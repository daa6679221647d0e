// The items that carry text-like content: the text run, the horizontal line
// that fills a line (break) and the tab.
#pragma once

#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/style/RVFontInfo.h"

// A run of text; its characters are the item string in the document.
class TRVTextItemInfo : public TCustomRVItemInfo {
public:
    using TCustomRVItemInfo::TCustomRVItemInfo;
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVTextItemInfo>(); }
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) const override;
    void RenumberStyles(const TRVStyleUsageInfo& Usage) override;
    bool ReadRVFHeaderExtra(std::string_view Rest, TRVFReader& Reader) override;
};

enum TRVBreakStyle : uint8_t { brkLine, brkRectangle, brk3D, brkDotted, brkDashed };

class TRVBreakItemInfo : public TRVFullLineItemInfo {
public:
    explicit TRVBreakItemInfo(TCustomRVData* RVData);
    static std::unique_ptr<TRVBreakItemInfo> CreateEx(TCustomRVData* RVData, uint8_t ALineWidth,
                                                      TRVBreakStyle AStyle, TColor AColor);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVBreakItemInfo>(); }

    uint8_t LineWidth = 0;
    TRVBreakStyle BreakStyle = brkLine;
    // clNone draws in the colour of text style 0.
    TColor Color = 0;

    void AssignProperties(const TCustomRVItemInfo& Source) override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    AnsiString AsText(int LineWidth, TCustomRVData* RVData, const AnsiString& Text, const AnsiString& Path,
                      bool TextOnly, bool Unicode) const override;
    void FillRTFTables(TRVRTFTables& Tables, TCustomRVData* RVData) const override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    void PaintFullWidth(int Left, int Right, int Top, TCanvas& Canvas, TRVItemDrawStates State,
                        TRVStyle& RVStyle, const TRect& ClipRect) override;
    // Across Left..Right of a device canvas, sizes scaled with Resolution.
    void PrintFullWidth(TCanvas& Canvas, int Left, int Right, int Top, TRVStyle& RVStyle,
                        TRVColorMode ColorMode, const TRVScreenDeviceResolution& Resolution);
    AnsiString GetRVFHeaderExtra() const override;
    bool ReadRVFHeaderExtra(std::string_view Rest, TRVFReader& Reader) override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
};

class TRVTabItemInfo : public TRVRectItemInfo {
public:
    explicit TRVTabItemInfo(TCustomRVData* RVData);
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVTabItemInfo>(); }

    // rvsDefStyle: the default text style of the tab's paragraph style.
    int32_t TextStyleNo = 0;
    // Set by formatting from the paragraph's tab stop; empty for none.
    AnsiString Leader;

    int GetActualTextStyleNo(TRVStyle* RVStyle) const;
    int GetAssociatedTextStyleNo() const override { return TextStyleNo; }
    void SetAssociatedTextStyleNo(int Value) override { TextStyleNo = Value; }
    void AssignProperties(const TCustomRVItemInfo& Source) override;
    bool GetBoolValue(TRVItemBoolQuery Query) const override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    AnsiString AsText(int LineWidth, TCustomRVData* RVData, const AnsiString& Text, const AnsiString& Path,
                      bool TextOnly, bool Unicode) const override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) const override;
    void RenumberStyles(const TRVStyleUsageInfo& Usage) override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    void Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
               TRVDrawLineInfo* DrawItem) override;
    // The tab's box with the colours, lines, arrow and leader of its state.
    void DrawTab(TCanvas& Canvas, int X, int Y, const TRVDrawLineInfo& DrawItem, TRVStyle& RVStyle,
                 TRVTextDrawStates DrawState, TRVColorMode ColorMode, bool Printing,
                 bool UseResolutionOverride, bool ShowSpecial);
    AnsiString GetRVFHeaderExtra() const override;
    bool ReadRVFHeaderExtra(std::string_view Rest, TRVFReader& Reader) override;
    void SaveRVF(TStream& Stream, TCustomRVData* RVData, int ItemNo, int ParaNo, const AnsiString& Name,
                 bool ForceContinue) override;
    // The font's height and descent; formatting gives the width.
    void AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB, bool ItemFlagA,
                          TCanvas& Canvas, TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                          bool Printing, int& Descent, int& HShift) override;
};
