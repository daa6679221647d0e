// The canvases of the tests: one with fixed metrics for exact layout
// numbers, and one that logs every drawing call.
#pragma once

#include <vector>

#include "platform/canvas/Graphics.h"

// Every character CharWidth pixels wide, fixed ascent and descent; draws
// nothing.
class TFixedMetricsCanvas : public TCanvas {
public:
    static constexpr int DefaultCharWidth = 8;
    static constexpr int DefaultAscent = 11;
    static constexpr int DefaultDescent = 3;

    explicit TFixedMetricsCanvas(int CharWidth = DefaultCharWidth, int Ascent = DefaultAscent,
                                 int Descent = DefaultDescent)
        : CharWidth(CharWidth), Ascent(Ascent), Descent(Descent) {}
    int CharWidth;
    int Ascent;
    int Descent;

protected:
    void DoLine(TPoint, TPoint) override {}
    void DoFillRect(const TRect&) override {}
    void DoRectangle(const TRect&) override {}
    void DoEllipse(const TRect&) override {}
    void DoText(int, int, const AnsiString&, const TRect*) override {}
    TSize DoMeasure(const AnsiString& Text) override;
    void DoDrawBitmap(const TRect&, TBitmap*, const TRect&, TColor) override {}
    void DoFocusRect(const TRect&) override {}
};

// Logs every drawing call as one line of text with device coordinates, e.g.
// "Line 0,0-10,0 pen=808080" or "Text 4,3 'Abc' font=Tahoma,-11,b color=0".
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
    void DoText(int X, int Y, const AnsiString& Text, const TRect* Clip) override;
    void DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) override;
    void DoFocusRect(const TRect& R) override;

private:
    AnsiString At(int X, int Y) const;
};
