// The wavy underline of a misspelled word.
#include "richtext/engine/lines/RVWordPaint.h"

#include "richtext/engine/style/RVStyle.h"

void TRVWordMisspellPainter::Paint(TCanvas& Canvas, const TRect& R, const TRVStyle& RVStyle, TCustomRVData*) {
    std::vector<TPoint> points;
    bool low = false;
    for (int x = R.Left; x < R.Right && int(points.size()) < MaxPoints; x += 2) {
        points.push_back({x, low ? R.Bottom : R.Bottom - 2});
        low = !low;
    }
    if (points.size() < 2) return;
    points.back().X = R.Right;
    TPen& pen = *Canvas.Pen();
    TColor color = pen.Color();
    int width = pen.Width();
    TPenStyle style = pen.Style();
    pen.SetColor(RVStyle.LiveSpellingColor);
    pen.SetWidth(1);
    pen.SetStyle(TPenStyle::psSolid);
    Canvas.Polyline(points);
    pen.SetColor(color);
    pen.SetWidth(width);
    pen.SetStyle(style);
}
