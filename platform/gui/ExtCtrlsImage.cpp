// Pictures loaded from files and the image control that shows one.
#include <algorithm>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"

namespace {
constexpr int DefaultImageSize = 105;
} // namespace

// TPicture

TPicture::TPicture() : FBitmap(std::make_unique<TBitmap>()) {}

TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TPicture*>(Source)) {
        FBitmap->Assign(other->FBitmap.get());
        FTransparentColor = other->FTransparentColor;
        Changed();
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        FBitmap->Assign(bitmap);
        FTransparentColor = clNone;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
    FTransparentColor = LoadPictureFile(FileName, FBitmap.get());
    Changed();
}

// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, DefaultImageSize, DefaultImageSize);
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::PictureChanged() {
    if (FAutoSize && !FPicture->Empty()) SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    FProportional = Value;
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged();
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = Width(), ch = Height();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            // The largest size of the picture's shape that fits.
            if (int64_t(cw) * h > int64_t(ch) * w) {
                w = int(int64_t(ch) * w / h);
                h = ch;
            } else {
                h = int(int64_t(cw) * h / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = FCenter ? (cw - w) / 2 : 0, y = FCenter ? (ch - h) / 2 : 0;
    return Bounds(x, y, w, h);
}

void TImage::Paint() {
    if (FPicture->Empty()) return;
    TBitmap* bitmap = FPicture->Bitmap();
    Canvas()->DrawBitmapPart(DestRect(), bitmap, {0, 0, bitmap->Width(), bitmap->Height()},
                             FPicture->TransparentColor());
}
