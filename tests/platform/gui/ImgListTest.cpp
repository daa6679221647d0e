// Image lists: strips cut into images, drawn masked or greyed.
#include <gtest/gtest.h>

#include "platform/canvas/Graphics.h"
#include "platform/gui/ImgList.h"

namespace {
struct ImageListTest : ::testing::Test {
    TBitmap Bitmap{40, 30};
    TCanvas* C = Bitmap.Canvas();
};
} // namespace

TEST_F(ImageListTest, CutsStripsAndDrawsMasked) {
    TImageList images(nullptr);
    images.SetSize(4, 4);
    TBitmap strip(8, 4);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect({0, 0, 8, 4});
    strip.SetPixel(1, 1, clRed);
    strip.SetPixel(6, 2, clGreen);
    EXPECT_EQ(images.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(images.Count(), 2);
    C->Brush()->SetColor(clBlue);
    C->FillRect({0, 0, 40, 30});
    images.Draw(C, 10, 10, 1);
    EXPECT_EQ(Bitmap.Pixel(12, 12), clGreen);
    EXPECT_EQ(Bitmap.Pixel(10, 10), clBlue) << "the mask colour is transparent";
    images.Draw(C, 20, 10, 0, false);
    EXPECT_EQ(Bitmap.Pixel(21, 11), ColorToRGB(clBtnShadow)) << "disabled: greyed";
    EXPECT_EQ(Bitmap.Pixel(20, 10), clBlue);
    images.Draw(C, 0, 0, 5); // past the end: nothing
    EXPECT_EQ(Bitmap.Pixel(0, 0), clBlue);
}
