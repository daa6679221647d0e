// Bitmaps: a 32-bit Qt image with a Qt canvas on it, loaded from and saved
// to BMP or PNG files. Whatever touches the image other than through the
// canvas first ends the canvas's run of primitives.
#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <algorithm>

#include "platform/canvas/Graphics.h"
#include "platform/canvas/QtCanvas.h"
#include "platform/canvas/QtCanvasSupport.h"

struct TBitmap::TImpl {
    // Declared before the canvas, so the canvas's painter closes first.
    QImage Image;
    std::unique_ptr<TQtCanvas> Canvas;
    void EndRun() {
        if (Canvas) Canvas->EndRun();
    }
};

TBitmap::TBitmap() : FImpl(std::make_unique<TImpl>()) {}

TBitmap::TBitmap(int Width, int Height) : TBitmap() {
    SetSize(Width, Height);
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        FImpl->EndRun();
        FImpl->Image = b->FImpl->Image.copy();
        Transparent = b->Transparent;
        TransparentMode = b->TransparentMode;
        TransparentColorValue = b->TransparentColorValue;
        Changed();
        return;
    }
    if (!Source) {
        FImpl->EndRun();
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
    FImpl->EndRun();
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
    if (!FImpl->Canvas) FImpl->Canvas = std::make_unique<TQtCanvas>(&FImpl->Image);
    return FImpl->Canvas.get();
}

TColor TBitmap::Pixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return clNone;
    return FromQtColor(QColor(FImpl->Image.pixel(X, Y)));
}

void TBitmap::SetPixel(int X, int Y, TColor Color) {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return;
    FImpl->EndRun();
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
    FImpl->EndRun();
    FImpl->Image = image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

void TBitmap::SaveToFile(const AnsiString& FileName) const {
    // Written beside the target and renamed over it, so a failed save keeps
    // the old file.
    FImpl->EndRun();
    QSaveFile file(QtString(FileName));
    QByteArray format = QFileInfo(file.fileName()).suffix().toLatin1();
    if (format.isEmpty()) format = "BMP";
    if (!file.open(QIODevice::WriteOnly) || !FImpl->Image.save(&file, format.constData()) || !file.commit())
        throw EInvalidGraphic("Cannot save the picture " + FileName);
}

void* TBitmap::Image() const {
    // The caller may paint on it with a painter of its own.
    FImpl->EndRun();
    return &FImpl->Image;
}

uint32_t* TBitmap::ScanLine(int Y) {
    if (Y < 0 || Y >= Height()) return nullptr;
    FImpl->EndRun();
    return reinterpret_cast<uint32_t*>(FImpl->Image.scanLine(Y));
}
