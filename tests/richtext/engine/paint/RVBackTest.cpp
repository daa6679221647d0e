// The document background: where each placement puts the picture, when the
// colour is filled, and its yes/no questions.
#include <gtest/gtest.h>

#include "RVPaintTestData.h"

namespace {

using TLog = std::vector<AnsiString>;

TLog DrawBackground(TBackgroundStyle Style, int W, int H, int ScrollY = 0, TRect R = Rect(0, 0, 30, 20)) {
    TRVBackground back(false);
    back.Image = std::make_unique<TRVBitmapImage>(W, H);
    back.Style = Style;
    TRecordingCanvas canvas;
    back.Draw(canvas, R, false, false, clWhite, 30, 20, 0, 0, ScrollY, 0);
    return canvas.Log;
}

TEST(RVBackgroundTest, EachPlacement) {
    const std::vector<std::pair<TBackgroundStyle, TLog>> cases = {
        {bsNoBitmap, {"Fill 0,0-30,20 brush=FFFFFF"}},
        {bsStretched, {"Bitmap 0,0-30,20 from 0,0-16,12 of 16x12"}},
        {bsTiled,
         {"Bitmap 0,0-16,12 from 0,0-16,12 of 16x12", "Bitmap 16,0-32,12 from 0,0-16,12 of 16x12",
          "Bitmap 0,12-16,24 from 0,0-16,12 of 16x12", "Bitmap 16,12-32,24 from 0,0-16,12 of 16x12"}},
        {bsTiledAndScrolled,
         {"Bitmap 0,0-16,12 from 0,0-16,12 of 16x12", "Bitmap 16,0-32,12 from 0,0-16,12 of 16x12",
          "Bitmap 0,12-16,24 from 0,0-16,12 of 16x12", "Bitmap 16,12-32,24 from 0,0-16,12 of 16x12"}},
        {bsCentered, {"Fill 0,0-30,20 brush=FFFFFF", "Bitmap 7,4-23,16 from 0,0-16,12 of 16x12"}},
        {bsTopLeft, {"Fill 0,0-30,20 brush=FFFFFF", "Bitmap 0,0-16,12 from 0,0-16,12 of 16x12"}},
        {bsTopRight, {"Fill 0,0-30,20 brush=FFFFFF", "Bitmap 14,0-30,12 from 0,0-16,12 of 16x12"}},
        {bsBottomLeft, {"Fill 0,0-30,20 brush=FFFFFF", "Bitmap 0,8-16,20 from 0,0-16,12 of 16x12"}},
        {bsBottomRight, {"Fill 0,0-30,20 brush=FFFFFF", "Bitmap 14,8-30,20 from 0,0-16,12 of 16x12"}},
    };
    for (const auto& [style, expected] : cases) {
        TLog log = DrawBackground(style, 16, 12);
        EXPECT_EQ(log, expected) << int(style);
    }
}

TEST(RVBackgroundTest, ScrolledTilesAndLargePictures) {
    // Scrolling by a whole tile paints the same tiles.
    EXPECT_EQ(DrawBackground(bsTiledAndScrolled, 16, 12, 12), DrawBackground(bsTiledAndScrolled, 16, 12, 0));
    // A picture larger than the area is centred at negative coordinates.
    EXPECT_EQ(DrawBackground(bsCentered, 50, 40),
              (TLog{"Fill 0,0-30,20 brush=FFFFFF", "Bitmap -10,-10-40,30 from 0,0-50,40 of 50x40"}));
    // Only the part asked for: the rectangle's top left is the canvas's origin.
    EXPECT_EQ(DrawBackground(bsTopLeft, 16, 12, 0, Rect(10, 5, 20, 15)),
              (TLog{"Fill 0,0-10,10 brush=FFFFFF", "Bitmap -10,-5-6,7 from 0,0-16,12 of 16x12"}));
}

TEST(RVBackgroundTest, Questions) {
    TRVBackground back(false);
    back.Style = bsTiled;
    EXPECT_FALSE(back.IsEmpty());
    back.Style = bsNoBitmap;
    back.Image = std::make_unique<TRVBitmapImage>(4, 4);
    EXPECT_FALSE(back.HasVisibleImage());
    EXPECT_FALSE(back.IsFixed());
    back.Style = bsTiledAndScrolled;
    EXPECT_TRUE(back.HasVisibleImage());
    EXPECT_FALSE(back.IsFixed());
    back.Style = bsBottomRight;
    EXPECT_TRUE(back.IsFixed());
    EXPECT_TRUE(back.NeedsColorFill());
    back.SetItemBackgroundStyle(back.GetItemBackgroundStyle());
    EXPECT_EQ(back.Style, bsCentered);
    back.Style = bsTiledAndScrolled;
    back.SetItemBackgroundStyle(back.GetItemBackgroundStyle());
    EXPECT_EQ(back.Style, bsTiled);
}

// The document paints its background in client coordinates of the view.
TEST(RVBackgroundTest, DocumentDrawsItsBackground) {
    auto style = MakeLayoutStyle();
    TFixedMetricsCanvas measure;
    TPaintTestData data(style.get(), &measure);
    data.Color = clYellow;
    TRecordingCanvas canvas;
    data.DrawBackground(canvas, Rect(5, 5, 25, 15));
    EXPECT_EQ(canvas.Log, (TLog{"Fill 0,0-20,10 brush=00FFFF"}));
    data.Background = std::make_unique<TRVBackground>(false);
    data.Background->Image = std::make_unique<TRVBitmapImage>(8, 8);
    data.Background->Style = bsTiledAndScrolled;
    data.VOffs = 4;
    canvas.Log.clear();
    data.DrawBackground(canvas, Rect(0, 0, 8, 4));
    // Tiles from the scrolled origin; those on the far edges are counted in.
    EXPECT_EQ(canvas.Log,
              (TLog{"Bitmap 0,-4-8,4 from 0,0-8,8 of 8x8", "Bitmap 8,-4-16,4 from 0,0-8,8 of 8x8",
                    "Bitmap 0,4-8,12 from 0,0-8,8 of 8x8", "Bitmap 8,4-16,12 from 0,0-8,8 of 8x8"}));
}

} // namespace
