// The background of a document or a table cell: a picture placed in one of
// nine ways over a colour, painted on the screen and printed scaled.
#pragma once

#include <memory>

#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/text/RVFuncs.h"

// Ordinals as stored in documents.
enum TBackgroundStyle : uint8_t {
    bsNoBitmap,
    bsStretched,
    bsTiled,
    bsTiledAndScrolled,
    bsCentered,
    bsTopLeft,
    bsTopRight,
    bsBottomLeft,
    bsBottomRight
};
enum TRVItemBackgroundStyle : uint8_t { rvbsColor, rvbsStretched, rvbsTiled, rvbsCentered };

class TRVBackground : public TObject {
public:
    // CreateBitmap: start with an empty bitmap picture.
    explicit TRVBackground(bool CreateBitmap);

    std::unique_ptr<TRVGraphic> Image;
    TBackgroundStyle Style = bsNoBitmap;
    // A palette-adjusted copy; no display here has a palette, so it stays
    // nil unless a caller sets one.
    std::unique_ptr<TRVGraphic> ImageCopy;

    TRVGraphic* GetImage() const { return Image.get(); }
    bool IsEmpty() const;
    bool HasVisibleImage() const;
    // The background does not move with the text: scrolling repaints it.
    bool IsFixed() const;
    bool NeedsColorFill() const;
    TRVItemBackgroundStyle GetItemBackgroundStyle() const;
    void SetItemBackgroundStyle(TRVItemBackgroundStyle Value);
    void FreeImages();
    // Copy: the picture is copied; else taken over.
    void AssignImage(std::unique_ptr<TRVGraphic> Graphic, bool Copy);
    void AssignImage(const TRVGraphic* Graphic);
    // Without palettes only the copy is dropped.
    void UpdatePaletted() { ImageCopy.reset(); }

    // Paints the part Rect of the background area (DocWidth x DocHeight) on
    // a canvas whose (0, 0) is Rect's top-left corner (with ClipToRect: on
    // any canvas, clipped to Rect). Origin: Rect's place in the area;
    // Scroll: how far the document is scrolled (tiles that move with it).
    void Draw(TCanvas& Canvas, const TRect& Rect, bool UseBitmapPainter, bool ClipToRect, TColor Color,
              int DocWidth, int DocHeight, int OriginY, int OriginX, int ScrollY, int ScrollX) const;
    // Prints the part Rect of the area DocRect on a device canvas, sizes
    // scaled from the screen with Resolution; UseStretchDraw stretches each
    // tile, else it goes through the bitmap painter.
    void Print(TCanvas& Canvas, const TRect& Rect, bool UseStretchDraw, TColor Color,
               const TRVScreenDeviceResolution& Resolution, const TRect& DocRect) const;

private:
    const TRVGraphic* Shown() const { return ImageCopy ? ImageCopy.get() : Image.get(); }
};
