// Image lists: adding images and masks, cutting strips, drawing by index.
#include "platform/gui/ImgList.h"

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
