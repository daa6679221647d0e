// Image lists: adding images and masks, cutting strips, drawing by index,
// and pictures loaded from files or from the bytes of a file.
#include "platform/gui/ImgList.h"

#include <QImage>
#include <cstring>
#include <set>

#include "platform/gui/QtSupport_p.h"

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Changed() {
    if (OnChange) OnChange(this);
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(1, AWidth);
    AHeight = std::max(1, AHeight);
    if (AWidth == FWidth && AHeight == FHeight) return;
    FWidth = AWidth;
    FHeight = AHeight;
    FImages.clear();
    Changed();
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty()) return -1;
    int first = Count();
    int n = std::max(1, Image->Width() / FWidth);
    for (int i = 0; i < n; ++i) {
        auto part = std::make_unique<TBitmap>(FWidth, FHeight);
        part->Canvas()->DrawBitmapPart({0, 0, FWidth, FHeight}, Image,
                                       Bounds(i * FWidth, 0, FWidth, FHeight));
        FImages.push_back({std::move(part), MaskColor});
    }
    Changed();
    return first;
}

void TCustomImageList::Clear() {
    FImages.clear();
    Changed();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const {
    if (!Canvas || Index < 0 || Index >= Count()) return;
    const TImage& image = FImages[std::size_t(Index)];
    if (Enabled) {
        Canvas->DrawBitmapPart(Bounds(X, Y, FWidth, FHeight), image.Bitmap.get(), {0, 0, FWidth, FHeight},
                               image.Mask);
        return;
    }
    // Greyed: every pixel that is not transparent in the shadow colour.
    TBitmap grey(FWidth, FHeight);
    TColor key = image.Mask == clNone ? clNone : ColorToRGB(image.Mask);
    TColor background = key == clNone ? clWhite : key;
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            TColor c = image.Bitmap->Pixel(x, y);
            grey.SetPixel(x, y, c == key ? background : ColorToRGB(clBtnShadow));
        }
    Canvas->DrawBitmapPart(Bounds(X, Y, FWidth, FHeight), &grey, {0, 0, FWidth, FHeight}, key);
}

namespace {
// Candidates for the colour of transparent pixels; the first one the
// picture does not use is taken.
constexpr TColor TransparentKeys[] = {RGB(255, 0, 255), RGB(0, 255, 255), RGB(254, 1, 253), RGB(1, 254, 2)};
constexpr int OpaqueAlpha = 128;
} // namespace

namespace {
// Puts a picture that was read into Bitmap; answers the colour that stands
// for its transparent pixels, or clNone.
TColor TakePicture(QImage image, TBitmap* Bitmap) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    TColor key = clNone;
    if (image.hasAlphaChannel()) {
        std::set<QRgb> used;
        bool transparent = false;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]) < OpaqueAlpha)
                    transparent = true;
                else
                    used.insert(line[x] & RGB_MASK);
            }
        }
        if (transparent)
            for (TColor candidate : TransparentKeys)
                if (!used.count(QtColor(candidate).rgb() & RGB_MASK)) {
                    key = candidate;
                    break;
                }
        // Partly transparent pixels are either there or not, as in a mask.
        QRgb keyRgb = key == clNone ? 0 : QtColor(key).rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qAlpha(line[x]) < OpaqueAlpha && key != clNone ? keyRgb : (line[x] | 0xFF000000u);
        }
    }
    Bitmap->SetSize(image.width(), image.height());
    auto* target = static_cast<QImage*>(Bitmap->Image());
    QImage rgb = image.convertToFormat(target->format());
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(target->scanLine(y), rgb.constScanLine(y), std::size_t(rgb.bytesPerLine()));
    return key;
}
} // namespace

TColor LoadPictureFile(const AnsiString& FileName, TBitmap* Bitmap) {
    QImage image;
    if (!image.load(QtString(FileName))) throw EInvalidGraphic("Cannot load the picture " + FileName);
    return TakePicture(std::move(image), Bitmap);
}

TColor LoadPictureData(const void* Data, std::size_t Size, TBitmap* Bitmap) {
    QImage image;
    if (!image.loadFromData(static_cast<const uchar*>(Data), int(Size)))
        throw EInvalidGraphic("Cannot read the picture data");
    return TakePicture(std::move(image), Bitmap);
}

int TCustomImageList::AddPicture(TBitmap* Picture, TColor Key, TColor MaskColor) {
    if (Key == clNone) Key = MaskColor == clDefault ? Picture->Pixel(0, Picture->Height() - 1) : MaskColor;
    return AddMasked(Picture, Key);
}

int TCustomImageList::AddImageFile(const AnsiString& FileName, TColor MaskColor) {
    TBitmap picture;
    TColor key = LoadPictureFile(FileName, &picture);
    return AddPicture(&picture, key, MaskColor);
}

int TCustomImageList::AddImageData(const void* Data, std::size_t Size, TColor MaskColor) {
    TBitmap picture;
    TColor key = LoadPictureData(Data, Size, &picture);
    return AddPicture(&picture, key, MaskColor);
}
