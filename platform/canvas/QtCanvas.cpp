// The canvas on a Qt painter: a widget's paint event, or a bitmap's image
// opened for one call at a time.
#include "platform/canvas/QtCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <optional>

#include "platform/canvas/QtCanvasSupport.h"

struct TQtCanvas::TImpl {
    QPainter* External = nullptr;
    TBitmap* Bitmap = nullptr;
};

namespace {
// Dash patterns, in pen widths.
constexpr qreal DashLength = 6;
constexpr qreal DashGap = 2;
constexpr qreal DotLength = 1;
constexpr qreal DotGap = 1;
// A font's orientation counts tenths of a degree.
constexpr double OrientationUnitsPerDegree = 10.0;
// The colour bits of an ARGB pixel.
constexpr QRgb RgbMask = 0xFFFFFF;

// Opens a painter with the canvas's origin and clip applied, for one call.
class TPainterScope {
public:
    TPainterScope(QPainter* External, QImage* Image, const TPoint& Origin, const std::optional<TRect>& Clip)
        : FExternal(External) {
        if (External) {
            FPainter = External;
            FPainter->save();
        } else {
            FOwn.emplace(Image);
            FPainter = &*FOwn;
        }
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        if (Clip)
            FPainter->setClipRect(QRect(Clip->Left, Clip->Top, Clip->Width(), Clip->Height()),
                                  Qt::IntersectClip);
        FPainter->translate(Origin.X, Origin.Y);
    }
    ~TPainterScope() {
        if (FExternal) FPainter->restore();
    }
    QPainter* operator->() { return FPainter; }
    QPainter& operator*() { return *FPainter; }

private:
    QPainter* FExternal;
    std::optional<QPainter> FOwn;
    QPainter* FPainter;
};

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

TQtCanvas::TQtCanvas(QPainter* Painter) : FImpl(std::make_unique<TImpl>()) {
    FImpl->External = Painter;
}

TQtCanvas::TQtCanvas(TBitmap* Bitmap) : FImpl(std::make_unique<TImpl>()) {
    FImpl->Bitmap = Bitmap;
}

TQtCanvas::~TQtCanvas() = default;

#define QT_PAINTER                                                                                           \
    QImage* image = FImpl->Bitmap ? static_cast<QImage*>(FImpl->Bitmap->Image()) : nullptr;                  \
    if (!FImpl->External && (!image || image->isNull())) return;                                             \
    TPainterScope p(FImpl->External, image, FOrigin, FClip)

TColor TQtCanvas::Pixel(int X, int Y) {
    if (!FImpl->Bitmap) return clNone;
    return FImpl->Bitmap->Pixel(X + FOrigin.X, Y + FOrigin.Y);
}

void TQtCanvas::SetPixel(int X, int Y, TColor Color) {
    if (FImpl->Bitmap) {
        FImpl->Bitmap->SetPixel(X + FOrigin.X, Y + FOrigin.Y, Color);
        return;
    }
    QT_PAINTER;
    p->setPen(QPen(QtColor(Color), 0));
    p->drawPoint(X, Y);
}

void TQtCanvas::DoLine(TPoint A, TPoint B) {
    QT_PAINTER;
    p->setPen(MakePen(Pen()));
    if (A == B) return;
    // Qt's aliased one-pixel lines leave out the end point, as ours do.
    p->drawLine(A.X, A.Y, B.X, B.Y);
}

void TQtCanvas::DoFillRect(const TRect& R) {
    QT_PAINTER;
    p->fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), MakeBrush(Brush()));
}

void TQtCanvas::DoRectangle(const TRect& R) {
    QT_PAINTER;
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
    QT_PAINTER;
    p->setPen(MakePen(Pen()));
    p->setBrush(MakeBrush(Brush()));
    p->drawEllipse(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}

void TQtCanvas::DoText(int X, int Y, const AnsiString& Text, const TRect* Clip) {
    QT_PAINTER;
    QFont font = QtFont(Font());
    QFontMetrics fm(font);
    QString text = QtString(Text);
    if (Clip) p->setClipRect(QRect(Clip->Left, Clip->Top, Clip->Width(), Clip->Height()), Qt::IntersectClip);
    p->translate(X, Y);
    if (Font()->Orientation() != 0)
        p->rotate(-Font()->Orientation() / OrientationUnitsPerDegree);
    else if (Brush()->Style() != TBrushStyle::bsClear)
        p->fillRect(QRect(0, 0, fm.horizontalAdvance(text), fm.height()), QtColor(Brush()->Color()));
    p->setFont(font);
    p->setPen(QtColor(Font()->Color()));
    p->drawText(0, fm.ascent(), text);
}

TSize TQtCanvas::DoMeasure(const AnsiString& Text) {
    QFontMetrics fm(QtFont(Font()));
    return {fm.horizontalAdvance(QtString(Text)), fm.height()};
}

void TQtCanvas::DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) {
    QT_PAINTER;
    QImage* src = static_cast<QImage*>(Bitmap->Image());
    QImage part = src->copy(Source.Left, Source.Top, Source.Width(), Source.Height());
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
    QT_PAINTER;
    QPen pen(Qt::black, 0);
    pen.setDashPattern({DotLength, DotGap});
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    pen.setColor(Qt::white);
    p->setPen(pen);
    p->drawRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}

#undef QT_PAINTER
