// The drag image: its picture with a soft edge and a transparent colour key,
// blended at a constant transparency, and its place under the mouse. The
// window system blends the picture over the screen; the drag seam shows it.
#include "controls/vtree/VirtualTreesDragImage.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas/Graphics.h"
#include "platform/gui/DragDrop.h"

TVTDragImage::~TVTDragImage() {
    if (Visible()) DragService()->HideDragPicture();
}

void TVTDragImage::MakeImages(TBitmap* Picture) {
    const int width = Picture->Width(), height = Picture->Height();
    auto image = std::make_unique<TBitmap>(width, height);
    image->Assign(Picture);
    if (PreBlendBias != 0)
        BlendBitmaps(Picture, image.get(), TRect{0, 0, width, height}, TPoint{0, 0}, bmConstantAlpha, 255,
                     PreBlendBias);
    const bool keyed = ColorKey != clNone;
    const uint32_t key = keyed ? uint32_t(ColorToRGB(ColorKey)) : 0;
    const uint32_t keyPixel = (key & 0xFF) << 16 | (key & 0xFF00) | (key >> 16 & 0xFF);
    // Pixels blend by their own alpha too when they fade or a key hides some.
    const bool master = Fade || keyed;
    const double m = std::max(width, height);
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = Picture->ScanLine(y);
        uint32_t* row = image->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            int alpha = 0;
            if (!keyed || (source[x] & 0xFFFFFF) != keyPixel) {
                const double dx = (x - width / 2) / m, dy = (y - height / 2) / m;
                alpha = int(std::lround(255 * std::exp(-8 * std::sqrt(dx * dx + dy * dy))));
            }
            const int shown = master ? (alpha * Transparency) >> 8 : Transparency;
            uint32_t pixel = 0;
            for (int shift = 0; shift < 24; shift += 8)
                pixel |= uint32_t(std::clamp(int(row[x] >> shift & 0xFF) + PostBlendBias, 0, 255)) << shift;
            row[x] = pixel | uint32_t(shown) << 24;
        }
    }
    FShownImage = std::move(image);
}

void TVTDragImage::Prepare(TBitmap* Picture, TPoint ImagePosition, TPoint HotSpot,
                           const std::shared_ptr<IDataObject>& DataObject) {
    Finish();
    if (!Picture || Picture->Empty()) return;
    MakeImages(Picture);
    FImagePosition = ImagePosition;
    FLastPosition = HotSpot;
    FStates = {disHidden, disPrepared};
    if (!DataObject) return;
    // The drag of the data draws the picture itself when it can, with the
    // mouse where it took hold of the picture.
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(FShownImage.get());
    const TPoint inPicture{HotSpot.X - ImagePosition.X, HotSpot.Y - ImagePosition.Y};
    if (DragService()->SetDragPicture(DataObject, {copy, inPicture})) FStates.Include(disSystemSupport);
}

bool TVTDragImage::Visible() const {
    return FStates.Contains(disPrepared) && !FStates.Contains(disHidden) &&
           !FStates.Contains(disSystemSupport);
}

void TVTDragImage::ShowAtPosition() {
    DragService()->ShowDragPicture(*FShownImage, FImagePosition);
}

void TVTDragImage::Show() {
    if (!FStates.Contains(disPrepared) || !FStates.Contains(disHidden) || FStates.Contains(disSystemSupport))
        return;
    FStates.Exclude(disHidden);
    ShowAtPosition();
}

void TVTDragImage::Hide() {
    if (!Visible()) return;
    FStates.Include(disHidden);
    DragService()->HideDragPicture();
}

void TVTDragImage::Finish() {
    Hide();
    FStates = {};
    FShownImage.reset();
}

namespace {
// The way from P to the last position, as far as the restriction lets it count.
TPoint Movement(TPoint Last, TPoint P, TVTDragMoveRestriction Restriction) {
    TPoint d{Last.X - P.X, Last.Y - P.Y};
    if (Restriction == dmrHorizontalOnly) d.Y = 0;
    if (Restriction == dmrVerticalOnly) d.X = 0;
    return d;
}
} // namespace

bool TVTDragImage::WouldMove(TPoint P) const {
    if (!Visible()) return false;
    const TPoint d = Movement(FLastPosition, P, MoveRestriction);
    return d.X != 0 || d.Y != 0;
}

bool TVTDragImage::MoveTo(TPoint P, bool ForceRepaint) {
    const TPoint d = Movement(FLastPosition, P, MoveRestriction);
    if (d.X == 0 && d.Y == 0 && !ForceRepaint) return false;
    if (Visible()) {
        if (ForceRepaint && FOwner) FOwner->View()->UpdateWindow();
        FImagePosition.X -= d.X;
        FImagePosition.Y -= d.Y;
        ShowAtPosition();
    }
    FLastPosition = P;
    return true;
}

TRect TVTDragImage::ScreenRect() const {
    if (!Visible()) return TRect{};
    return TRect{FImagePosition.X, FImagePosition.Y, FImagePosition.X + FShownImage->Width(),
                 FImagePosition.Y + FShownImage->Height()};
}
