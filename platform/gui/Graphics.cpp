#include "platform/gui/Graphics.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cmath>

#include "platform/gui/QtSupport.h"

TColor ColorToRGB(TColor Color) {
    // The standard desktop colours, as RRGGBB.
    static const uint32_t table[31] = {0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464,
                                       0x000000, 0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF,
                                       0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF,
                                       0x696969, 0xE3E3E3, 0x000000, 0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA,
                                       0xD7E4F2, 0x3399FF, 0xF0F0F0};
    if ((Color & 0xFF000000) == clSystemColor) {
        unsigned index = Color & 0xFF;
        if (index > 30) return clBlack;
        uint32_t rgb = table[index];
        return RGB(int(rgb >> 16), int(rgb >> 8), int(rgb));
    }
    if (Color & 0xFF000000) return clBlack; // clNone, clDefault and other specials
    return Color;
}

bool PtInRect(const TRect& R, const TPoint& P) {
    return R.Contains(P);
}

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
    Dest = TRect{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                 std::min(A.Bottom, B.Bottom)};
    if (Dest.IsEmpty()) {
        Dest = TRect{};
        return false;
    }
    return true;
}

void InflateRect(TRect& R, int DX, int DY) {
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
}

void OffsetRect(TRect& R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
}

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// TFont

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FOrientation = f->FOrientation;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const AnsiString& Value) {
    if (Value.empty() || Value == FName) return;
    FName = Value;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(FHeight, 72, 96);
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, 96, 72));
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetOrientation(int Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    Changed();
}

int TFont::PixelSize() const {
    // A positive height is the whole cell; its character height is about
    // four fifths of it.
    if (FHeight < 0) return -FHeight;
    if (FHeight == 0) return 11;
    return std::max(1, FHeight * 4 / 5);
}

// TBrush

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        SetBitmap(b->Bitmap());
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && FStyle != TBrushStyle::bsClear) return;
    FColor = Value;
    if (FStyle == TBrushStyle::bsClear) FStyle = TBrushStyle::bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
    if (Value == FBitmap.get()) return;
    if (Value && !Value->Empty()) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(Value);
        FBitmap = std::move(copy);
    } else {
        FBitmap.reset();
    }
    Changed();
}

// TPen

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

// TCanvas

AnsiString StripHotkey(const AnsiString& Text) {
    AnsiString out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += Text[i];
    }
    return out;
}

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int X, int Y) {
    FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y) {
    if (FPen->Style() != TPenStyle::psClear) DoLine(FPenPos, {X, Y});
    FPenPos = {X, Y};
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    if (Points.empty()) return;
    TPoint saved = FPenPos;
    MoveTo(Points[0].X, Points[0].Y);
    for (std::size_t i = 1; i < Points.size(); ++i)
        LineTo(Points[i].X, Points[i].Y);
    FPenPos = saved;
}

void TCanvas::FillRect(const TRect& R) {
    if (R.IsEmpty() || FBrush->Style() == TBrushStyle::bsClear) return;
    DoFillRect(R);
}

void TCanvas::FrameRect(const TRect& R) {
    if (R.IsEmpty()) return;
    FillRect({R.Left, R.Top, R.Right, R.Top + 1});
    FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
    FillRect({R.Left, R.Top, R.Left + 1, R.Bottom});
    FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
}

void TCanvas::Rectangle(int L, int T, int R, int B) {
    if (L > R) std::swap(L, R);
    if (T > B) std::swap(T, B);
    if (R - L < 1 || B - T < 1) return;
    DoRectangle({L, T, R, B});
}

void TCanvas::Ellipse(int L, int T, int R, int B) {
    if (R - L < 1 || B - T < 1) return;
    DoEllipse({L, T, R, B});
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    DoText(X, Y, Text, nullptr);
    FPenPos = {X + TextWidth(Text), Y};
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    DoText(X, Y, Text, &R);
}

int TCanvas::DrawText(const AnsiString& Text, TRect& R, unsigned Format) {
    AnsiString shown = (Format & DT_NOPREFIX) ? Text : StripHotkey(Text);
    std::vector<AnsiString> lines;
    if (Format & DT_SINGLELINE) {
        lines.push_back(shown);
    } else {
        std::size_t start = 0;
        while (true) {
            std::size_t nl = shown.find('\n', start);
            AnsiString line = shown.substr(start, nl == AnsiString::npos ? AnsiString::npos : nl - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            if (nl == AnsiString::npos) break;
            start = nl + 1;
        }
    }
    int lineHeight = TextExtent("Wg").cy;
    int width = 0;
    for (auto& l : lines)
        width = std::max(width, TextExtent(l).cx);
    int height = lineHeight * int(lines.size());
    if (Format & DT_CALCRECT) {
        R.Right = R.Left + width;
        R.Bottom = R.Top + height;
        return height;
    }
    int y = R.Top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            y = R.Top + (R.Height() - lineHeight) / 2;
        else if (Format & DT_BOTTOM)
            y = R.Bottom - lineHeight;
    }
    for (auto& l : lines) {
        int w = TextExtent(l).cx;
        int x = R.Left;
        if (Format & DT_CENTER)
            x = R.Left + (R.Width() - w) / 2;
        else if (Format & DT_RIGHT)
            x = R.Right - w;
        DoText(x, y, l, (Format & DT_NOCLIP) ? nullptr : &R);
        y += lineHeight;
    }
    return height;
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
    return DoMeasure(Text);
}

void TCanvas::Draw(int X, int Y, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty()) return;
    TRect all{0, 0, Bitmap->Width(), Bitmap->Height()};
    DoDrawBitmap(Bounds(X, Y, all.Right, all.Bottom), Bitmap, all,
                 Bitmap->Transparent ? Bitmap->TransparentColor() : clNone);
}

void TCanvas::StretchDraw(const TRect& Dest, TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty() || Dest.IsEmpty()) return;
    DoDrawBitmap(Dest, Bitmap, {0, 0, Bitmap->Width(), Bitmap->Height()},
                 Bitmap->Transparent ? Bitmap->TransparentColor() : clNone);
}

void TCanvas::DrawBitmapPart(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent) {
    if (!Bitmap || Bitmap->Empty() || Dest.IsEmpty() || Source.IsEmpty()) return;
    DoDrawBitmap(Dest, Bitmap, Source, Transparent);
}

void TCanvas::DrawFocusRect(const TRect& R) {
    if (!R.IsEmpty()) DoFocusRect(R);
}

void TCanvas::DrawEdge(TRect& R, unsigned Edge, unsigned Flags) {
    // Outer ring first, then the inner one, each side in its light or dark
    // colour.
    struct TRing {
        unsigned Raised, Sunken;
        TColor Light, Dark, SunkLight, SunkDark;
    };
    const TRing rings[2] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, clBtnHighlight, clBtnShadow, cl3DLight, cl3DDkShadow}};
    TRect r = R;
    TColor savedBrush = FBrush->Color();
    TBrushStyle savedStyle = FBrush->Style();
    for (const TRing& ring : rings) {
        bool raised = Edge & ring.Raised, sunken = Edge & ring.Sunken;
        if (!raised && !sunken) continue;
        TColor topLeft = raised ? ring.Light : ring.SunkDark;
        TColor bottomRight = raised ? ring.Dark : ring.SunkLight;
        if (sunken && &ring == &rings[1]) topLeft = ring.SunkDark, bottomRight = ring.SunkLight;
        FBrush->SetColor(topLeft);
        if (Flags & BF_LEFT) FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
        if (Flags & BF_TOP) FillRect({r.Left, r.Top, r.Right, r.Top + 1});
        FBrush->SetColor(bottomRight);
        if (Flags & BF_RIGHT) FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
        if (Flags & BF_BOTTOM) FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
        if (Flags & BF_LEFT) ++r.Left;
        if (Flags & BF_TOP) ++r.Top;
        if (Flags & BF_RIGHT) --r.Right;
        if (Flags & BF_BOTTOM) --r.Bottom;
    }
    FBrush->SetColor(savedBrush);
    FBrush->SetStyle(savedStyle);
    if (Flags & BF_ADJUST) R = r;
}

TColor TCanvas::Pixel(int, int) {
    return clNone;
}
void TCanvas::SetPixel(int, int, TColor) {}

void TCanvas::MoveOrigin(int DX, int DY) {
    FOrigin.X += DX;
    FOrigin.Y += DY;
}

void TCanvas::IntersectClipRect(const TRect& R) {
    TRect device = R;
    OffsetRect(device, FOrigin.X, FOrigin.Y);
    if (FClip) {
        TRect both;
        IntersectRect(both, *FClip, device);
        FClip = both;
    } else {
        FClip = device;
    }
}

void TCanvas::ResetClip() {
    FClip.reset();
}

std::optional<TRect> TCanvas::ClipRect() const {
    if (!FClip) return std::nullopt;
    TRect r = *FClip;
    OffsetRect(r, -FOrigin.X, -FOrigin.Y);
    return r;
}

void TCanvas::SaveState() {
    FStates.push_back({FOrigin, FClip});
}

void TCanvas::RestoreState() {
    if (FStates.empty()) return;
    FOrigin = FStates.back().Origin;
    FClip = FStates.back().Clip;
    FStates.pop_back();
}

// TQtCanvas

struct TQtCanvas::TImpl {
    QPainter* External = nullptr;
    TBitmap* Bitmap = nullptr;
};

namespace {
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
        pen.setDashPattern({1, 1});
        break;
    case TPenStyle::psDash:
        pen.setDashPattern({6, 2});
        break;
    case TPenStyle::psDashDot:
        pen.setDashPattern({6, 2, 1, 2});
        break;
    case TPenStyle::psDashDotDot:
        pen.setDashPattern({6, 2, 1, 2, 1, 2});
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
        p->rotate(-Font()->Orientation() / 10.0);
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
        QRgb key = QtColor(Transparent).rgb() & 0xFFFFFF;
        for (int y = 0; y < part.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
        }
    }
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->drawImage(QRect(Dest.Left, Dest.Top, Dest.Width(), Dest.Height()), part);
}

void TQtCanvas::DoFocusRect(const TRect& R) {
    QT_PAINTER;
    QPen pen(Qt::black, 0);
    pen.setDashPattern({1, 1});
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    pen.setColor(Qt::white);
    p->setPen(pen);
    p->drawRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}

#undef QT_PAINTER

// TFixedMetricsCanvas and TRecordingCanvas

TSize TFixedMetricsCanvas::DoMeasure(const AnsiString& Text) {
    return {CharWidth * int(Text.size()), Ascent + Descent};
}

std::vector<AnsiString> TRecordingCanvas::Calls(const AnsiString& Prefix) const {
    std::vector<AnsiString> out;
    for (auto& line : Log)
        if (line.compare(0, Prefix.size(), Prefix) == 0) out.push_back(line);
    return out;
}

AnsiString TRecordingCanvas::At(int X, int Y) const {
    return IntToStr(X + FOrigin.X) + "," + IntToStr(Y + FOrigin.Y);
}

void TRecordingCanvas::DoLine(TPoint A, TPoint B) {
    Log.push_back("Line " + At(A.X, A.Y) + "-" + At(B.X, B.Y) + " pen=" + IntToHex(Pen()->Color(), 6));
}

void TRecordingCanvas::DoFillRect(const TRect& R) {
    Log.push_back("Fill " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom) +
                  " brush=" + IntToHex(Brush()->Color(), 6));
}

void TRecordingCanvas::DoRectangle(const TRect& R) {
    Log.push_back("Rectangle " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom) +
                  " pen=" + IntToHex(Pen()->Color(), 6) +
                  (Brush()->Style() == TBrushStyle::bsClear ? AnsiString(" brush=clear")
                                                            : " brush=" + IntToHex(Brush()->Color(), 6)));
}

void TRecordingCanvas::DoEllipse(const TRect& R) {
    Log.push_back("Ellipse " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom));
}

void TRecordingCanvas::DoText(int X, int Y, const AnsiString& Text, const TRect*) {
    AnsiString style;
    if (Font()->Style() & fsBold) style += "b";
    if (Font()->Style() & fsItalic) style += "i";
    Log.push_back("Text " + At(X, Y) + " '" + Text + "' font=" + Font()->Name() + "," +
                  IntToStr(Font()->Height()) + "," + style + " color=" + IntToHex(Font()->Color(), 6) +
                  (Font()->Orientation() ? " angle=" + IntToStr(Font()->Orientation()) : AnsiString()));
}

void TRecordingCanvas::DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor) {
    Log.push_back("Bitmap " + At(Dest.Left, Dest.Top) + "-" + At(Dest.Right, Dest.Bottom) + " from " +
                  IntToStr(Source.Left) + "," + IntToStr(Source.Top) + "-" + IntToStr(Source.Right) + "," +
                  IntToStr(Source.Bottom) + " of " + IntToStr(Bitmap->Width()) + "x" +
                  IntToStr(Bitmap->Height()));
}

void TRecordingCanvas::DoFocusRect(const TRect& R) {
    Log.push_back("Focus " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom));
}

// TBitmap

struct TBitmap::TImpl {
    QImage Image;
    std::unique_ptr<TQtCanvas> Canvas;
};

TBitmap::TBitmap() : FImpl(std::make_unique<TImpl>()) {}

TBitmap::TBitmap(int Width, int Height) : TBitmap() {
    SetSize(Width, Height);
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        FImpl->Image = b->FImpl->Image.copy();
        Transparent = b->Transparent;
        TransparentMode = b->TransparentMode;
        TransparentColorValue = b->TransparentColorValue;
        Changed();
        return;
    }
    if (!Source) {
        FImpl->Image = QImage();
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

int TBitmap::Width() const {
    return FImpl->Image.width();
}
int TBitmap::Height() const {
    return FImpl->Image.height();
}

void TBitmap::SetSize(int Width, int Height) {
    Width = std::max(0, Width);
    Height = std::max(0, Height);
    if (Width == this->Width() && Height == this->Height()) return;
    QImage image;
    if (Width > 0 && Height > 0) {
        image = QImage(Width, Height, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (!FImpl->Image.isNull()) {
            QPainter p(&image);
            p.drawImage(0, 0, FImpl->Image);
        }
    }
    FImpl->Image = image;
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!FImpl->Canvas) FImpl->Canvas = std::make_unique<TQtCanvas>(this);
    return FImpl->Canvas.get();
}

TColor TBitmap::Pixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return clNone;
    return FromQtColor(QColor(FImpl->Image.pixel(X, Y)));
}

void TBitmap::SetPixel(int X, int Y, TColor Color) {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return;
    FImpl->Image.setPixel(X, Y, QtColor(Color).rgb());
}

TColor TBitmap::TransparentColor() const {
    if (TransparentMode == TTransparentMode::tmFixed && TransparentColorValue != clNone)
        return TransparentColorValue;
    if (Empty()) return clNone;
    return Pixel(0, Height() - 1);
}

void TBitmap::LoadFromFile(const AnsiString& FileName) {
    QImage image;
    if (!image.load(QtString(FileName))) throw EInvalidGraphic("Cannot load the picture " + FileName);
    FImpl->Image = image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

void TBitmap::SaveToFile(const AnsiString& FileName) const {
    // Written beside the target and renamed over it, so a failed save keeps
    // the old file.
    QSaveFile file(QtString(FileName));
    QByteArray format = QFileInfo(file.fileName()).suffix().toLatin1();
    if (format.isEmpty()) format = "BMP";
    if (!file.open(QIODevice::WriteOnly) || !FImpl->Image.save(&file, format.constData()) || !file.commit())
        throw EInvalidGraphic("Cannot save the picture " + FileName);
}

void* TBitmap::Image() const {
    return &FImpl->Image;
}
