// What the Qt canvas's sources share: its state, and the painter state of
// one primitive. Qt types are only named here; the sources include them.
#pragma once

#include <memory>
#include <optional>

#include "platform/canvas/QtCanvas.h"

struct TQtCanvas::TImpl {
    TImpl();
    ~TImpl();
    QPainter* External = nullptr;
    QImage* Image = nullptr;
    // The image's painter, open for a run of primitives.
    std::unique_ptr<QPainter> Own;
    // The Qt font of the last text call, used again while the canvas's font
    // keeps its name, height and style.
    std::shared_ptr<TQtFont> Font;
    AnsiString FontName;
    int FontHeight = 0;
    TFontStyles FontStyle = 0;
};

// Applies the canvas's origin, clip and scale to the painter for one
// primitive and gives the painter back as it was afterwards.
class TQtPaintScope {
public:
    TQtPaintScope(QPainter* Painter, const TPoint& Origin, const std::optional<TRect>& Clip,
                  TSize Window = {1, 1}, TSize Viewport = {1, 1});
    ~TQtPaintScope();
    TQtPaintScope(const TQtPaintScope&) = delete;
    TQtPaintScope& operator=(const TQtPaintScope&) = delete;
    QPainter* operator->() const { return FPainter; }
    QPainter& operator*() const { return *FPainter; }

private:
    QPainter* FPainter;
};
