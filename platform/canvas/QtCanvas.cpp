// The Qt canvas's painter and its shapes and bitmaps: on a painter opened
// by someone else, or on an image whose own painter stays open for a run of
// primitives.
#include <QImage>
#include <QPainter>

#include "platform/canvas/QtCanvasSupport.h"
#include "platform/canvas/QtCanvas_p.h"

namespace {
// Dash patterns, in pen widths.
constexpr qreal DashLength = 6;
constexpr qreal DashGap = 2;
constexpr qreal DotLength = 1;
constexpr qreal DotGap = 1;
// The colour bits of an ARGB pixel.
constexpr QRgb RgbMask = 0xFFFFFF;

QPen MakePen(TPen* Pen) {
    if (Pen->Style() == TPenStyle::psClear) return QPen(Qt::NoPen);
    QPen pen(QtColor(Pen->Color()));
    pen.setWidth(Pen->Width() == 1 ? 0 : Pen->Width());
    pen.setCapStyle(Qt::FlatCap);
    switch (Pen->Style()) {
    case TPenStyle::psDot:
        pen.setDashPattern({DotLength, DotGap});
        break;
    case TPenStyle::psDash:
        pen.setDashPattern({DashLength, DashGap});
        break;
    case TPenStyle::psDashDot:
        pen.setDashPattern({DashLength, DashGap, DotLength, DashGap});
        break;
    case TPenStyle::psDashDotDot:
        pen.setDashPattern({DashLength, DashGap, DotLength, DashGap, DotLength, DashGap});
        break;
    default:
        break;
    }
    return pen;
}

QBrush MakeBrush(TBrush* Brush) {
    if (Brush->Bitmap()) return QBrush(*static_cast<QImage*>(Brush->Bitmap()->Image()));
    QColor c = QtColor(Brush->Color());
    switch (Brush->Style()) {
    case TBrushStyle::bsClear:
        return QBrush(Qt::NoBrush);
    case TBrushStyle::bsHorizontal:
        return QBrush(c, Qt::HorPattern);
    case TBrushStyle::bsVertical:
        return QBrush(c, Qt::VerPattern);
    case TBrushStyle::bsFDiagonal:
        return QBrush(c, Qt::FDiagPattern);
    case TBrushStyle::bsBDiagonal:
        return QBrush(c, Qt::BDiagPattern);
    case TBrushStyle::bsCross:
        return QBrush(c, Qt::CrossPattern);
    case TBrushStyle::bsDiagCross:
        return QBrush(c, Qt::DiagCrossPattern);
    default:
        return QBrush(c);
    }
}
} // namespace

TQtCanvas::TImpl::TImpl() = default;
TQtCanvas::TImpl::~TImpl() = default;

TQtPaintScope::TQtPaintScope(QPainter* Painter, const TPoint& Origin, const std::optional<TRect>& Clip,
                             TSize Window, TSize Viewport)
    : FPainter(Painter) {
    FPainter->save();
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    if (Clip)
        FPainter->setClipRect(QRect(Clip->Left, Clip->Top, Clip->Width(), Clip->Height()), Qt::IntersectClip);
    FPainter->translate(Origin.X, Origin.Y);
    if (Window != Viewport) FPainter->scale(qreal(Viewport.cx) / Window.cx, qreal(Viewport.cy) / Window.cy);
}

TQtPaintScope::~TQtPaintScope() {
    FPainter->restore();
}

TQtCanvas::TQtCanvas(QPainter* Painter, int PixelsPerInch)
    : TCanvas(PixelsPerInch), FImpl(std::make_unique<TImpl>()) {
    FImpl->External = Painter;
}

TQtCanvas::TQtCanvas(QImage* Image) : FImpl(std::make_unique<TImpl>()) {
    FImpl->Image = Image;
}

TQtCanvas::~TQtCanvas() {
    EndRun();
}

void TQtCanvas::SetPainter(QPainter* Painter) {
    FImpl->External = Painter;
}

void TQtCanvas::EndRun() {
    FImpl->Own.reset();
}

QPainter* TQtCanvas::Painter() {
    if (FImpl->External) return FImpl->External;
    if (FImpl->Own) return FImpl->Own.get();
    if (!FImpl->Image || FImpl->Image->isNull()) return nullptr;
    FImpl->Own = std::make_unique<QPainter>(FImpl->Image);
    return FImpl->Own.get();
}

TColor TQtCanvas::Pixel(int X, int Y) {
    // The image's painter writes straight into its pixels: reading needs no
    // end of the run.
    QImage* image = FImpl->Image;
    TPoint device = ToDevice(X, Y);
    X = device.X;
    Y = device.Y;
    if (!image || X < 0 || Y < 0 || X >= image->width() || Y >= image->height()) return clNone;
    return FromQtColor(QColor(image->pixel(X, Y)));
}

void TQtCanvas::SetPixel(int X, int Y, TColor Color) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    p->setPen(QPen(QtColor(Color), 0));
    p->drawPoint(X, Y);
}

void TQtCanvas::DoLine(TPoint A, TPoint B) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    p->setPen(MakePen(Pen()));
    if (A == B) return;
    // Qt's aliased one-pixel lines leave out the end point, as ours do.
    p->drawLine(A.X, A.Y, B.X, B.Y);
}

void TQtCanvas::DoFillRect(const TRect& R) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    p->fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), MakeBrush(Brush()));
}

void TQtCanvas::DoRectangle(const TRect& R) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    bool pen = Pen()->Style() != TPenStyle::psClear;
    if (Brush()->Style() != TBrushStyle::bsClear || Brush()->Bitmap()) {
        if (pen)
            p->fillRect(QRect(R.Left + 1, R.Top + 1, R.Width() - 2, R.Height() - 2), MakeBrush(Brush()));
        else
            p->fillRect(QRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1), MakeBrush(Brush()));
    }
    if (pen) {
        p->setPen(MakePen(Pen()));
        p->setBrush(Qt::NoBrush);
        p->drawRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
    }
}

void TQtCanvas::DoEllipse(const TRect& R) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    p->setPen(MakePen(Pen()));
    p->setBrush(MakeBrush(Brush()));
    p->drawEllipse(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}

void TQtCanvas::DoRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    p->setPen(MakePen(Pen()));
    p->setBrush(MakeBrush(Brush()));
    p->drawRoundedRect(QRectF(R.Left, R.Top, R.Width() - 1, R.Height() - 1), EllipseWidth / 2.0,
                       EllipseHeight / 2.0);
}

void TQtCanvas::DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) {
    // Taken before the painter opens: the bitmap may be this canvas's own,
    // and asking for its image ends the run.
    QImage part =
        static_cast<QImage*>(Bitmap->Image())->copy(Source.Left, Source.Top, Source.Width(), Source.Height());
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    if (Transparent != clNone) {
        part = part.convertToFormat(QImage::Format_ARGB32);
        QRgb key = QtColor(Transparent).rgb() & RgbMask;
        for (int y = 0; y < part.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x)
                if ((line[x] & RgbMask) == key) line[x] = 0;
        }
    }
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->drawImage(QRect(Dest.Left, Dest.Top, Dest.Width(), Dest.Height()), part);
}

void TQtCanvas::DoFocusRect(const TRect& R) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    QPen pen(Qt::black, 0);
    pen.setDashPattern({DotLength, DotGap});
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    pen.setColor(Qt::white);
    p->setPen(pen);
    p->drawRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}
