// Colours, the Qt canvas on a bitmap, bitmaps, and the canvases of the tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/canvas/Graphics.h"
#include "platform/canvas/QtCanvasSupport.h"
#include "platform/testing/TestCanvases.h"

namespace {
struct CanvasTest : ::testing::Test {
    void SetUp() override { EnsureGuiApplication(); }
    TBitmap Bitmap{40, 30};
    TCanvas* C = Bitmap.Canvas();
};
} // namespace

TEST(ColorTest, SystemColoursResolveOnlyWhenDrawn) {
    struct {
        TColor In, Out;
    } cases[] = {{clRed, 0x0000FF},
                 {RGB(1, 2, 3), 0x030201},
                 {clBtnFace, RGB(0xF0, 0xF0, 0xF0)},
                 {clWindow, clWhite},
                 {clGrayText, RGB(0x6D, 0x6D, 0x6D)},
                 {clNone, clBlack},
                 {clDefault, clBlack},
                 {clSystemColor | 200, clBlack}};
    for (auto& c : cases)
        EXPECT_EQ(ColorToRGB(c.In), c.Out) << std::hex << c.In;
}

TEST_F(CanvasTest, RectangleAndLinesLeaveOutRightBottomAndEndPoint) {
    C->Brush()->SetColor(clWhite);
    C->FillRect({0, 0, 40, 30});
    C->Pen()->SetColor(clRed);
    C->Brush()->SetColor(clBlue);
    C->Rectangle(2, 2, 10, 8);
    EXPECT_EQ(Bitmap.Pixel(2, 2), clRed);
    EXPECT_EQ(Bitmap.Pixel(9, 7), clRed);
    EXPECT_EQ(Bitmap.Pixel(10, 7), clWhite);
    EXPECT_EQ(Bitmap.Pixel(9, 8), clWhite);
    EXPECT_EQ(Bitmap.Pixel(5, 5), clBlue);

    C->Pen()->SetColor(clGreen);
    C->MoveTo(20, 20);
    C->LineTo(30, 20);
    C->MoveTo(20, 22);
    C->LineTo(23, 25);
    EXPECT_EQ(Bitmap.Pixel(22, 24), clGreen);
    EXPECT_EQ(Bitmap.Pixel(23, 25), clWhite);
    EXPECT_EQ(Bitmap.Pixel(20, 20), clGreen);
    EXPECT_EQ(Bitmap.Pixel(29, 20), clGreen);
    EXPECT_EQ(Bitmap.Pixel(30, 20), clWhite);
    EXPECT_EQ(C->PenPos(), Point(23, 25));
}

TEST_F(CanvasTest, EdgesDrawTheirRingsAndFillTheMiddleWhenAsked) {
    struct {
        unsigned Flags;
        TColor Middle;
    } cases[] = {{BF_RECT, clWhite}, {BF_RECT | BF_MIDDLE, ColorToRGB(clBtnFace)}};
    for (auto& c : cases) {
        C->Brush()->SetColor(clWhite);
        C->FillRect({0, 0, 40, 30});
        TRect r{2, 2, 12, 10};
        C->DrawEdge(r, BDR_RAISEDINNER, c.Flags);
        EXPECT_EQ(Bitmap.Pixel(2, 5), ColorToRGB(clBtnHighlight)) << "left side light";
        EXPECT_EQ(Bitmap.Pixel(11, 5), ColorToRGB(clBtnShadow)) << "right side dark";
        EXPECT_EQ(Bitmap.Pixel(6, 5), c.Middle);
        EXPECT_EQ(Bitmap.Pixel(12, 5), clWhite) << "nothing outside";
    }
}

TEST_F(CanvasTest, OriginAndClipApplyToEveryCall) {
    C->Brush()->SetColor(clWhite);
    C->FillRect({0, 0, 40, 30});
    C->SaveState();
    C->MoveOrigin(10, 5);
    C->IntersectClipRect({0, 0, 4, 4});
    C->Brush()->SetColor(clRed);
    C->FillRect({-5, -5, 20, 20});
    C->RestoreState();
    EXPECT_EQ(Bitmap.Pixel(10, 5), clRed);
    EXPECT_EQ(Bitmap.Pixel(13, 8), clRed);
    EXPECT_EQ(Bitmap.Pixel(14, 8), clWhite);
    EXPECT_EQ(Bitmap.Pixel(9, 5), clWhite);
    C->FillRect({0, 0, 1, 1}); // state restored: no clip, no origin
    EXPECT_EQ(Bitmap.Pixel(0, 0), clRed);
}

TEST_F(CanvasTest, AScaleMapsLogicalLengthsIntoTheViewportUntilRestored) {
    C->Brush()->SetColor(clWhite);
    C->FillRect({0, 0, 40, 30});
    C->SaveState();
    C->MoveOrigin(4, 2);
    // 100 logical units to 10 pixels; origin moves and the clip scale too.
    C->SetScale({100, 100}, {10, 10});
    EXPECT_TRUE(C->Scaled());
    C->MoveOrigin(20, 10);
    C->IntersectClipRect({0, 0, 150, 150});
    EXPECT_EQ(C->ClipRect()->Right, 150);
    C->Brush()->SetColor(clRed);
    C->FillRect({0, 0, 1000, 1000});
    C->RestoreState();
    EXPECT_FALSE(C->Scaled());
    EXPECT_EQ(Bitmap.Pixel(6, 3), clRed);
    EXPECT_EQ(Bitmap.Pixel(20, 17), clRed);
    EXPECT_EQ(Bitmap.Pixel(21, 17), clWhite);
    EXPECT_EQ(Bitmap.Pixel(5, 3), clWhite);
    // A scale of nothing is none.
    C->SetScale({0, 100}, {10, 10});
    EXPECT_FALSE(C->Scaled());

    TRecordingCanvas r;
    r.SetScale({600, 600}, {96, 96});
    r.TextOut(625, 1250, "Hi");
    EXPECT_EQ(r.Calls("Text").at(0).substr(0, 15), "Text 100,200 'H");
}

TEST_F(CanvasTest, BoldTextIsWiderAndCp1251TextMeasures) {
    C->Font()->SetName("Arial");
    C->Font()->SetSize(10);
    int plain = C->TextWidth("Groups of testees");
    C->Font()->SetStyle(fsBold);
    int bold = C->TextWidth("Groups of testees");
    EXPECT_GT(bold, plain);
    EXPECT_GT(C->TextWidth("Группы"_cp), C->TextWidth("Гр"_cp));
    EXPECT_GT(C->TextHeight("Wg"), 10);
}

TEST_F(CanvasTest, TextOutPaintsInTheFontColourWithAClearBrush) {
    C->Brush()->SetColor(clWhite);
    C->FillRect({0, 0, 40, 30});
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    C->Font()->SetColor(clRed);
    C->Font()->SetName("Arial");
    C->Font()->SetHeight(-20);
    C->TextOut(2, 2, "WW");
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (Bitmap.Pixel(x, y) == clRed) ++red;
    EXPECT_GT(red, 10);
    EXPECT_EQ(Bitmap.Pixel(0, 0), clWhite);
}

TEST_F(CanvasTest, ARunOfPrimitivesEndsWhenTheBitmapIsTouchedOtherwise) {
    C->Brush()->SetColor(clRed);
    C->FillRect({0, 0, 10, 10});
    Bitmap.SetSize(60, 40); // a new image under the open run
    C->Brush()->SetColor(clBlue);
    C->FillRect({50, 30, 60, 40});
    EXPECT_EQ(Bitmap.Pixel(5, 5), clRed);
    EXPECT_EQ(Bitmap.Pixel(55, 35), clBlue);

    TBitmap copy;
    copy.Assign(&Bitmap);
    EXPECT_EQ(copy.Pixel(55, 35), clBlue);
    Bitmap.SetPixel(1, 1, clGreen);
    C->FillRect({2, 2, 3, 3});
    EXPECT_EQ(Bitmap.Pixel(1, 1), clGreen);
    EXPECT_EQ(Bitmap.Pixel(2, 2), clBlue);

    // Drawn onto its own canvas: the source is read before the run opens.
    C->Draw(20, 0, &Bitmap);
    EXPECT_EQ(Bitmap.Pixel(25, 5), clRed);
    EXPECT_EQ(Bitmap.Pixel(21, 1), clGreen);
}

TEST_F(CanvasTest, PatternBrushTilesItsBitmap) {
    TBitmap pattern(2, 2);
    pattern.SetPixel(0, 0, clBlack);
    pattern.SetPixel(1, 1, clBlack);
    pattern.SetPixel(1, 0, clWhite);
    pattern.SetPixel(0, 1, clWhite);
    C->Brush()->SetBitmap(&pattern);
    C->FillRect({0, 0, 8, 8});
    EXPECT_EQ(Bitmap.Pixel(4, 4), clBlack);
    EXPECT_EQ(Bitmap.Pixel(5, 4), clWhite);
    EXPECT_EQ(Bitmap.Pixel(5, 5), clBlack);
}

TEST_F(CanvasTest, TransparentBitmapKeepsTheDestinationWhereTheKeyColourIs) {
    C->Brush()->SetColor(clBlue);
    C->FillRect({0, 0, 40, 30});
    TBitmap glyph(4, 4);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect({0, 0, 4, 4});
    glyph.SetPixel(1, 1, clRed);
    glyph.Transparent = true; // automatic: the bottom-left pixel
    C->Draw(10, 10, &glyph);
    EXPECT_EQ(Bitmap.Pixel(11, 11), clRed);
    EXPECT_EQ(Bitmap.Pixel(10, 10), clBlue);
    C->StretchDraw({20, 0, 28, 8}, &glyph);
    EXPECT_EQ(Bitmap.Pixel(22, 2), clRed);
    EXPECT_EQ(Bitmap.Pixel(20, 0), clBlue);
}

TEST(FixedMetricsCanvasTest, MeasuresEveryCharacterAlike) {
    TFixedMetricsCanvas c(7, 10, 2);
    EXPECT_EQ(c.TextExtent("abcd"), (TSize{28, 12}));
    TRect r{5, 5, 100, 100};
    c.DrawText("a&bc", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r, (TRect{5, 5, 26, 17})) << "the accelerator marker takes no room";
    TRect two{0, 0, 100, 100};
    c.DrawText("ab\ncdef&&", two, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(two, (TRect{0, 0, 42, 24}));
}

TEST(RecordingCanvasTest, LogsCallsInDeviceCoordinates) {
    TRecordingCanvas c;
    c.Pen()->SetColor(clGray);
    c.MoveOrigin(10, 20);
    c.MoveTo(0, 0);
    c.LineTo(5, 0);
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    c.Rectangle(1, 2, 3, 4);
    c.Font()->SetStyle(fsBold);
    c.TextOut(1, 1, "Hi");
    c.Pen()->SetStyle(TPenStyle::psClear);
    c.LineTo(9, 9); // an invisible pen draws nothing
    ASSERT_EQ(c.Log.size(), 3u);
    EXPECT_EQ(c.Log[0], "Line 10,20-15,20 pen=808080");
    EXPECT_EQ(c.Log[1], "Rectangle 11,22-13,24 pen=808080 brush=clear");
    EXPECT_EQ(c.Calls("Text").at(0), "Text 11,21 'Hi' font=Tahoma,-11,b color=FF000008");
}

TEST(BitmapTest, ResizingKeepsPixelsAndAssignCopies) {
    EnsureGuiApplication();
    TBitmap a(3, 3);
    a.SetPixel(1, 1, clRed);
    a.SetSize(5, 4);
    EXPECT_EQ(a.Pixel(1, 1), clRed);
    EXPECT_EQ(a.Pixel(4, 3), clWhite);
    EXPECT_EQ(a.Pixel(5, 0), clNone) << "outside the bitmap";
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.Assign(&a);
    a.SetPixel(1, 1, clBlue);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    EXPECT_EQ(b.TransparentColor(), clWhite);
}

TEST_F(CanvasTest, SavingAPictureReplacesTheFileWholeOrNotAtAll) {
    const std::string dir = ::testing::TempDir() + "luvora-bitmap-save/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = dir + "chart.bmp";
    C->Brush()->SetColor(clRed);
    C->FillRect({0, 0, 40, 30});
    Bitmap.SaveToFile(path);
    const auto size = std::filesystem::file_size(path);
    EXPECT_GT(size, 40u * 30u * 3u);
    EXPECT_THROW(Bitmap.SaveToFile(dir + "missing/chart.bmp"), EInvalidGraphic);
    EXPECT_THROW(Bitmap.SaveToFile(dir + "chart.unknownformat"), EInvalidGraphic);
    EXPECT_FALSE(std::filesystem::exists(dir + "chart.unknownformat")) << "no half-written file is left";
    EXPECT_EQ(std::filesystem::file_size(path), size);
    std::filesystem::remove_all(dir);
}
