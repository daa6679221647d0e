// The canvases of the tests: one with fixed metrics for exact layout
// numbers, and one that logs every drawing call.
#pragma once

#include <vector>

#include "platform/canvas/Graphics.h"

// Every character CharWidth pixels wide (the second unit of a surrogate
// pair 0), fixed ascent, descent and leading, whatever the font; draws
// nothing.
class TFixedMetricsCanvas : public TCanvas {
public:
    static constexpr int DefaultCharWidth = 8;
    static constexpr int DefaultAscent = 11;
    static constexpr int DefaultDescent = 3;

    explicit TFixedMetricsCanvas(int CharWidth = DefaultCharWidth, int Ascent = DefaultAscent,
                                 int Descent = DefaultDescent, int PixelsPerInch = ScreenPixelsPerInch)
        : TCanvas(PixelsPerInch), CharWidth(CharWidth), Ascent(Ascent), Descent(Descent) {}
    int CharWidth;
    int Ascent;
    int Descent;
    int InternalLeading = 0;
    int ExternalLeading = 0;

protected:
    void DoLine(TPoint, TPoint) override {}
    void DoFillRect(const TRect&) override {}
    void DoRectangle(const TRect&) override {}
    void DoEllipse(const TRect&) override {}
    void DoText(int, int, std::u16string_view, const int*, const TRect*) override {}
    void DoCharAdvances(std::u16string_view Text, int* Advances) override;
    TTextMetric DoTextMetrics() override;
    void DoDrawBitmap(const TRect&, TBitmap*, const TRect&, TColor) override {}
    void DoFocusRect(const TRect&) override {}
};

// Logs every drawing call as one line of text with device coordinates, e.g.
// "Line 0,0-10,0 pen=808080" or "Text 4,3 'Abc' font=Tahoma,-11,b color=0"
// (text in CP1251).
class TRecordingCanvas : public TFixedMetricsCanvas {
public:
    using TFixedMetricsCanvas::TFixedMetricsCanvas;
    std::vector<AnsiString> Log;
    // Lines that start with Prefix.
    std::vector<AnsiString> Calls(const AnsiString& Prefix) const;
    // Lines that drew with clNone as the pen, brush or font colour: a colour
    // that was never resolved, which a screen shows as black.
    std::vector<AnsiString> DrawnWithNone() const;

protected:
    void DoLine(TPoint A, TPoint B) override;
    void DoFillRect(const TRect& R) override;
    void DoRectangle(const TRect& R) override;
    void DoEllipse(const TRect& R) override;
    void DoText(int X, int Y, std::u16string_view Text, const int* Advances, const TRect* Clip) override;
    void DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) override;
    void DoFocusRect(const TRect& R) override;

private:
    AnsiString At(int X, int Y) const;
};
