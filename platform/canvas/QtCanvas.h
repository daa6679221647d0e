// The canvas on a Qt painter, for the layer's own sources: a widget paints
// through it, and every bitmap's canvas is one.
#pragma once

#include <memory>

#include "platform/canvas/Graphics.h"

class QPainter;

// On a painter (a widget's paint event) or, per call, on a bitmap's image.
class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QPainter* Painter);
    explicit TQtCanvas(TBitmap* Bitmap);
    ~TQtCanvas() override;
    TColor Pixel(int X, int Y) override;
    void SetPixel(int X, int Y, TColor Color) override;

protected:
    void DoLine(TPoint A, TPoint B) override;
    void DoFillRect(const TRect& R) override;
    void DoRectangle(const TRect& R) override;
    void DoEllipse(const TRect& R) override;
    void DoText(int X, int Y, const AnsiString& Text, const TRect* Clip) override;
    TSize DoMeasure(const AnsiString& Text) override;
    void DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) override;
    void DoFocusRect(const TRect& R) override;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
