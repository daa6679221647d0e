// The gradient control: its bands and shapes, rendering only when needed,
// and system colours after a palette change.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "util/JvGradient.h"

namespace {
struct JvGradientTest : ::testing::Test {
    TForm Form{nullptr};
    TJvGradient* Gradient = new TJvGradient(&Form);
    JvGradientTest() {
        Form.SetBounds(0, 0, 200, 100);
        Gradient->SetParent(&Form);
        Gradient->SetAlign(TAlign::alNone);
    }
    std::unique_ptr<TBitmap> Paint() {
        auto picture =
            std::make_unique<TBitmap>(std::max(1, Gradient->Width()), std::max(1, Gradient->Height()));
        Gradient->PaintTo(picture->Canvas(), 0, 0);
        return picture;
    }
    // Band I of N between the colours, each channel rounded half to even.
    static TColor Step(TColor S, TColor E, int I, int N) {
        S = ColorToRGB(S);
        E = ColorToRGB(E);
        auto ch = [&](int A, int B) { return int(Round(A + I * (double(B - A) / N))); };
        return RGB(ch(GetRValue(S), GetRValue(E)), ch(GetGValue(S), GetGValue(E)),
                   ch(GetBValue(S), GetBValue(E)));
    }
};
} // namespace

TEST_F(JvGradientTest, TheMainWindowsStripHasABandPerPixelRow) {
    Gradient->SetBounds(0, 0, 120, 22);
    Gradient->SetStyle(TJvGradientStyle::grVertical);
    Gradient->SetStartColor(clBtnShadow);
    Gradient->SetEndColor(clBtnFace);
    Gradient->SetEnabled(false);
    auto picture = Paint();
    for (int y : {0, 1, 10, 21})
        EXPECT_EQ(picture->Pixel(60, y), Step(clBtnShadow, clBtnFace, y, 22)) << y;
}

TEST_F(JvGradientTest, StepsAreCutToThePixelsAndNeverZero) {
    struct TCase {
        const char* Name;
        int Width;
        uint16_t Steps;
        int X;
        TColor Expected;
    } cases[] = {
        {"fifty pixels, a hundred steps", 50, 100, 7, Step(clBlue, clBlack, 7, 50)},
        {"no steps is one", 50, 0, 49, ColorToRGB(clBlue)},
        {"four steps", 40, 4, 25, Step(clBlue, clBlack, 2, 4)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Gradient->SetBounds(0, 0, c.Width, 10);
        Gradient->SetSteps(c.Steps);
        EXPECT_EQ(Paint()->Pixel(c.X, 5), c.Expected);
    }
}

TEST_F(JvGradientTest, NestedShapesEndInTheCentre) {
    Gradient->SetBounds(0, 0, 40, 40);
    Gradient->SetStartColor(clWhite);
    Gradient->SetEndColor(clBlack);
    for (auto style : {TJvGradientStyle::grEllipse, TJvGradientStyle::grPyramid, TJvGradientStyle::grMount,
                       TJvGradientStyle::grFilled}) {
        Gradient->SetStyle(style);
        auto picture = Paint();
        EXPECT_EQ(picture->Pixel(0, 0), ColorToRGB(clWhite));
        if (style != TJvGradientStyle::grFilled) {
            EXPECT_LT(GetRValue(picture->Pixel(20, 20)), 128);
        }
    }
}

TEST_F(JvGradientTest, RenderedOnlyWhenSizeOrLookChanged) {
    Gradient->SetBounds(0, 0, 30, 10);
    Paint();
    int renders = Gradient->RenderCount();
    Gradient->SetStartColor(clBlue);
    Gradient->SetSteps(100);
    Paint();
    EXPECT_EQ(Gradient->RenderCount(), renders) << "the same values force nothing";
    Gradient->SetBounds(0, 0, 31, 10);
    Paint();
    EXPECT_EQ(Gradient->RenderCount(), renders + 1);
    // The desktop's colours changed: system colours are looked up anew.
    NotifySysColorChange();
    Paint();
    EXPECT_EQ(Gradient->RenderCount(), renders + 2);

    // No size: nothing is drawn and nothing fails.
    Gradient->SetBounds(0, 0, 0, 10);
    Paint();
    EXPECT_EQ(Gradient->RenderCount(), renders + 2);
}
