// The document background: its queries, its picture, and its placement on
// the screen and on the printer.
#include "richtext/engine/document/RVBack.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"

namespace {

bool IsCornerOrCentre(TBackgroundStyle S) {
    return S >= bsCentered && S <= bsBottomRight;
}

// Integer division rounding down, so tiles left of or above the origin
// count too.
int FloorDiv(int A, int B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}

} // namespace

TRVBackground::TRVBackground(bool CreateBitmap) {
    if (CreateBitmap) Image = std::make_unique<TRVBitmapImage>();
}

bool TRVBackground::IsEmpty() const {
    return Style == bsNoBitmap && (!Image || Image->Empty());
}

bool TRVBackground::HasVisibleImage() const {
    return Style != bsNoBitmap && Image && !Image->Empty();
}

bool TRVBackground::IsFixed() const {
    return Image && !Image->Empty() && Style != bsNoBitmap && Style != bsTiledAndScrolled;
}

bool TRVBackground::NeedsColorFill() const {
    return Image && !Image->Empty() && (Image->MayBeTransparent() || IsCornerOrCentre(Style));
}

TRVItemBackgroundStyle TRVBackground::GetItemBackgroundStyle() const {
    switch (Style) {
    case bsNoBitmap:
        return rvbsColor;
    case bsStretched:
        return rvbsStretched;
    case bsTiled:
    case bsTiledAndScrolled:
        return rvbsTiled;
    default:
        return rvbsCentered;
    }
}

void TRVBackground::SetItemBackgroundStyle(TRVItemBackgroundStyle Value) {
    static constexpr TBackgroundStyle styles[] = {bsNoBitmap, bsStretched, bsTiled, bsCentered};
    Style = styles[Value];
}

void TRVBackground::FreeImages() {
    Image.reset();
    ImageCopy.reset();
}

void TRVBackground::AssignImage(std::unique_ptr<TRVGraphic> Graphic, bool Copy) {
    if (Graphic.get() == Image.get()) {
        (void)Graphic.release();
        return;
    }
    FreeImages();
    Image = Copy && Graphic ? Graphic->Clone() : std::move(Graphic);
    UpdatePaletted();
}

void TRVBackground::AssignImage(const TRVGraphic* Graphic) {
    if (Graphic == Image.get()) return;
    FreeImages();
    if (Graphic) Image = Graphic->Clone();
    UpdatePaletted();
}

void TRVBackground::Draw(TCanvas& Canvas, const TRect& R, bool, bool ClipToRect, TColor Color, int DocWidth,
                         int DocHeight, int OriginY, int OriginX, int ScrollY, int ScrollX) const {
    const TRVGraphic* picture = Shown();
    if (ClipToRect) {
        Canvas.SaveState();
        Canvas.IntersectClipRect(R);
        Canvas.MoveOrigin(R.Left, R.Top);
    }
    TScopeGuard restore([&] {
        if (ClipToRect) Canvas.RestoreState();
    });
    TRect r = R;
    OffsetRect(r, -OriginX, -OriginY);
    bool empty = !picture || picture->Empty();
    if (Color != clNone &&
        (empty || picture->MayBeTransparent() || Style == bsNoBitmap || IsCornerOrCentre(Style))) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(Color);
        Canvas.FillRect(Rect(0, 0, r.Width(), r.Height()));
    }
    if (empty || Style == bsNoBitmap) return;
    int w = picture->Width(), h = picture->Height();
    auto at = [&](int X, int Y) { picture->Draw(Canvas, X, Y); };
    switch (Style) {
    case bsStretched:
        picture->StretchDraw(Canvas, Bounds(-r.Left, -r.Top, DocWidth, DocHeight));
        break;
    case bsTiled:
        for (int j = FloorDiv(r.Top, h); j <= FloorDiv(r.Bottom, h); ++j)
            for (int i = FloorDiv(r.Left, w); i <= FloorDiv(r.Right, w); ++i)
                at(i * w - r.Left, j * h - r.Top);
        break;
    case bsTiledAndScrolled:
        for (int j = FloorDiv(r.Top + ScrollY, h); j <= FloorDiv(r.Bottom + ScrollY, h); ++j)
            for (int i = FloorDiv(r.Left + ScrollX, w); i <= FloorDiv(r.Right + ScrollX, w); ++i)
                at(i * w - ScrollX - r.Left, j * h - ScrollY - r.Top);
        break;
    case bsCentered:
        at((DocWidth - w) / 2 - r.Left, (DocHeight - h) / 2 - r.Top);
        break;
    case bsTopLeft:
        at(-r.Left, -r.Top);
        break;
    case bsTopRight:
        at(DocWidth - w - r.Left, -r.Top);
        break;
    case bsBottomLeft:
        at(-r.Left, DocHeight - h - r.Top);
        break;
    case bsBottomRight:
        at(DocWidth - w - r.Left, DocHeight - h - r.Top);
        break;
    case bsNoBitmap:
        break;
    }
}

void TRVBackground::Print(TCanvas& Canvas, const TRect& R, bool UseStretchDraw, TColor Color,
                          const TRVScreenDeviceResolution& Resolution, const TRect& DocRect) const {
    Canvas.SaveState();
    TScopeGuard restore([&] { Canvas.RestoreState(); });
    Canvas.MoveOrigin(R.Left, R.Top);
    TRect doc = DocRect;
    OffsetRect(doc, -R.Left, -R.Top);
    int W = R.Width(), H = R.Height();
    const TRVGraphic* picture = Shown();
    bool empty = !picture || picture->Empty();
    if (Color != clNone && (empty || Style == bsNoBitmap || IsCornerOrCentre(Style))) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(Color);
        Canvas.FillRect(Rect(0, 0, W, H));
    }
    if (empty || Style == bsNoBitmap) return;
    // The picture once in a bitmap over the colour, scaled once per call.
    std::unique_ptr<TBitmap> bitmap = picture->ToBitmap()->ToCanvasBitmap();
    int w = std::max(ScaleXToDevice(picture->Width(), Resolution), 1);
    int h = std::max(ScaleYToDevice(picture->Height(), Resolution), 1);
    TRect page = Rect(0, 0, W, H);
    auto tile = [&](int X, int Y, int TW, int TH) {
        TRect dest = Bounds(X, Y, TW, TH), visible;
        if (!IntersectRect(visible, dest, page)) return;
        if (UseStretchDraw)
            Canvas.StretchDraw(dest, bitmap.get());
        else
            DrawGraphicScaled(Canvas, X, Y, TW, TH, nullptr, *bitmap, true);
    };
    switch (Style) {
    case bsStretched:
        tile(0, 0, doc.Width(), doc.Height());
        break;
    case bsTiled:
    case bsTiledAndScrolled:
        for (int j = 0; j <= H / h; ++j)
            for (int i = 0; i <= W / w; ++i)
                tile(i * w, j * h, w, h);
        break;
    case bsCentered:
        tile((doc.Width() - w) / 2, (doc.Height() - h) / 2, w, h);
        break;
    case bsTopLeft:
        tile(doc.Left, doc.Top, w, h);
        break;
    case bsTopRight:
        tile(doc.Right - w, doc.Top, w, h);
        break;
    case bsBottomLeft:
        tile(doc.Left, doc.Bottom - h, w, h);
        break;
    case bsBottomRight:
        tile(doc.Right - w, doc.Bottom - h, w, h);
        break;
    case bsNoBitmap:
        break;
    }
}
