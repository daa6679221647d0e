// What the layout tests share: a formatted document whose geometry, canvas
// and settings a test sets, the drawing items written out compactly, and
// a plain style sheet of the fixed-metrics canvas.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "RVWriterTestData.h"
#include "platform/testing/TestCanvases.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/layout/CRVFDataCheck.h"

// A top-level formatted document as a viewer's would be, without a window.
class TTestFormattedData : public TCustomRVFormattedData {
public:
    TTestFormattedData(TRVStyle* AStyle, TCanvas* ACanvas) : Style(AStyle), Canvas(ACanvas) {}
    ~TTestFormattedData() override { Clear(); }

    TRVStyle* Style;
    TCanvas* Canvas;
    uint16_t Flags = rvflUseJumps | rvflTrim;
    TRVOptions Options = RVDefaultOptions;
    int Width = 200;
    int Height = 100;
    int LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    int MinTextWidth = 0, MaxTextWidth = 0;
    int MaxLength = 0;
    bool WordWrap = true;
    // What formatting told the view.
    int AreaWidth = 0, AreaHeight = 0;
    std::vector<TRect> Invalidated;

    TRVStyle* GetRVStyle() const override { return Style; }
    uint16_t GetFlags() const override { return Flags; }
    void SetFlags(uint16_t Value) override { Flags = Value; }
    TRVOptions GetOptions() const override { return Options; }
    int GetMaxLength() const override { return MaxLength; }
    bool GetWordWrap() const override { return WordWrap; }
    TCanvas* GetCanvas() const override { return Canvas; }
    int GetAreaWidth() const override { return AreaWidth; }
    int GetAreaHeight() const override { return AreaHeight; }
    int GetLeftMargin() const override { return LeftMargin; }
    int GetRightMargin() const override { return RightMargin; }
    int GetTopMargin() const override { return TopMargin; }
    int GetBottomMargin() const override { return BottomMargin; }
    int GetMinTextWidth() const override { return MinTextWidth; }
    int GetMaxTextWidth() const override { return MaxTextWidth; }
    int GetWidth() const override { return Width; }
    int GetHeight() const override { return Height; }
    void SetDocumentAreaSize(int W, int H, bool) override {
        AreaWidth = W;
        AreaHeight = H;
    }
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    int GetVSmallStep() const override { return 10; }
    TRVBackground* GetBackground() const override { return nullptr; }
    void InvalidateRect(const TRect& R) override { Invalidated.push_back(R); }

    // The viewer's call that formats a document.
    void Format() { FormatDocument(false, true, false, 0, nullptr, false, true, false); }
};

// One drawing item as "item:offs+length left,top widthxheight", then " N"
// when it begins a line, " sb<n>" for justification space and " +<n>" for
// line spacing below it.
inline std::string DrawItemText(const TRVDrawLineInfo& D) {
    std::ostringstream out;
    out << D.ItemNo << ':' << D.Offs << '+' << D.Length << ' ' << D.Left << ',' << D.Top << ' ' << D.Width
        << 'x' << D.Height;
    if (D.FromNewLine) out << " N";
    if (D.SpaceBefore) out << " sb" << D.SpaceBefore;
    if (D.ExtraSpaceBelow) out << " +" << D.ExtraSpaceBelow;
    return out.str();
}

inline std::vector<std::string> DrawItemTexts(const TCustomRVFormattedData& Data) {
    std::vector<std::string> out;
    for (int i = 0; i < Data.DrawItems.Count(); ++i)
        out.push_back(DrawItemText(*Data.DrawItems[i]));
    return out;
}

// Text styles 0 (plain) and 1 (Unicode) and one left-aligned paragraph
// style; every character of the fixed-metrics canvas is 8 wide, lines 14
// high (ascent 11, descent 3).
inline std::unique_ptr<TRVStyle> MakeLayoutStyle() {
    auto style = MakePlainStyle();
    style->TextStyles().Add()->Unicode = true;
    return style;
}
