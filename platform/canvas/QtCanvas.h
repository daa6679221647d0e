// The canvas on a Qt painter, for the layer's own sources: a widget paints
// through it, every bitmap's canvas is one, and so is the printer's.
#pragma once

#include <memory>

#include "platform/canvas/Graphics.h"

class QImage;
class QPainter;
class TQtFont;

// On a painter that someone else opens (a widget's paint event, a printed
// document), or on an image, whose own painter stays open for a run of
// primitives until the image is touched otherwise. Measuring needs no
// painter: fonts and their metrics are made once per font and kept.
class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QPainter* Painter, int PixelsPerInch = ScreenPixelsPerInch);
    explicit TQtCanvas(QImage* Image);
    ~TQtCanvas() override;
    TColor Pixel(int X, int Y) override;
    void SetPixel(int X, int Y, TColor Color) override;
    // The painter later calls draw with; without one they draw nothing.
    void SetPainter(QPainter* Painter);
    // Closes the image's painter, before the image is copied, replaced or
    // painted by another painter; the next primitive opens it again.
    void EndRun();

protected:
    void DoLine(TPoint A, TPoint B) override;
    void DoFillRect(const TRect& R) override;
    void DoRectangle(const TRect& R) override;
    void DoEllipse(const TRect& R) override;
    void DoRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight) override;
    void DoText(int X, int Y, std::u16string_view Text, const int* Advances, const TRect* Clip) override;
    void DoCharAdvances(std::u16string_view Text, int* Advances) override;
    TTextMetric DoTextMetrics() override;
    void DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) override;
    void DoFocusRect(const TRect& R) override;

private:
    // The painter of the next primitive, or nullptr when there is nothing
    // to draw on.
    QPainter* Painter();
    // The Qt font of the canvas's font.
    TQtFont& CurrentFont();

    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
