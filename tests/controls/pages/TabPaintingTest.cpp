// How the page control paints its tabs, on a bitmap and on a recording canvas.
#include "PageFixture.h"

#include "platform/testing/TestCanvases.h"

namespace {
struct TabPaintingTest : PageFixture {
    TabPaintingTest() {
        for (auto* s : Sheets)
            s->SetColor(clWhite);
    }
    void Render() {
        Shot = std::make_unique<TBitmap>(Pages->Width(), Pages->Height());
        Pages->PaintTo(Shot->Canvas(), 0, 0);
    }
    TColor At(int X, int Y) const { return Shot->Pixel(X, Y); }
    TPoint Middle(int P) {
        TRect r = Pages->TabRectOfPage(P);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // The rightmost column of the active tab that holds text pixels.
    int TextRight(int P, TColor Text) {
        TRect r = Pages->TabRectOfPage(P);
        int right = -1;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right + 40 && x < Shot->Width(); ++x)
                if (At(x, y) == Text) right = std::max(right, x);
        return right;
    }
    std::unique_ptr<TBitmap> Shot;
};
} // namespace

TEST(DrawGradientTest, BandsRunFromOneColourToTheOther) {
    TRecordingCanvas c;
    DrawGradient(&c, clBlack, RGB(100, 0, 200), 4, {0, 0, 40, 10}, true);
    ASSERT_EQ(c.Log.size(), 4u);
    EXPECT_EQ(c.Log[0], "Rectangle 0,0-11,10 pen=000000 brush=000000");
    EXPECT_EQ(c.Log[1], "Rectangle 10,0-21,10 pen=320019 brush=320019");
    EXPECT_EQ(c.Log[3], "Rectangle 30,0-41,10 pen=96004B brush=96004B");
    c.Log.clear();
    DrawGradient(&c, clRed, clRed, 0, {0, 0, 10, 30}, false);
    ASSERT_EQ(c.Log.size(), 1u) << "0 steps paint one band";
    EXPECT_EQ(c.Log[0], "Rectangle 0,0-10,31 pen=0000FF brush=0000FF");
    c.Log.clear();
    DrawGradient(&c, clRed, clBlue, 16, {0, 10, 10, 0}, false);
    EXPECT_TRUE(c.Log.empty()) << "a reversed rectangle paints nothing";
}

TEST(BitmapSlicesTest, ThreeSlicesAndNoNegativeStretch) {
    TBitmap tab(10, 6);
    TRecordingCanvas c;
    DrawBitmapSlicesHorizontal(&tab, &c, 5, 1, 30);
    EXPECT_EQ(c.Log, (std::vector<AnsiString>{"Bitmap 5,1-10,7 from 0,0-5,6 of 10x6",
                                              "Bitmap 10,1-30,7 from 4,0-6,6 of 10x6",
                                              "Bitmap 30,1-35,7 from 5,0-10,6 of 10x6"}));
    c.Log.clear();
    DrawBitmapSlicesVertical(&tab, &c, 0, 0, 4); // shorter than the bitmap
    EXPECT_EQ(c.Log, (std::vector<AnsiString>{"Bitmap 0,0-10,3 from 0,0-10,3 of 10x6",
                                              "Bitmap 0,3-10,6 from 0,3-10,6 of 10x6"}));
    c.Log.clear();
    TBitmap thin(1, 6);
    DrawBitmapSlicesHorizontal(&thin, &c, 0, 0, 20);
    EXPECT_EQ(c.Log, (std::vector<AnsiString>{"Bitmap 0,0-1,6 from 0,0-1,6 of 1x6"})) << "drawn whole";
}

TEST_F(TabPaintingTest, ActiveTabTakesTheActiveColourAndOthersTheirOwn) {
    Pages->SetActivePageIndex(1);
    Pages->SetActiveColor(clRed);
    Sheets[0]->SetTabColor(clYellow);
    Render();
    TPoint active = Middle(1), inactive = Middle(0);
    EXPECT_EQ(At(active.X, Pages->TabRectOfPage(1).Top + 2), clRed);
    EXPECT_EQ(At(inactive.X, Pages->TabRectOfPage(0).Top + 2), clYellow);
    EXPECT_EQ(At(Middle(2).X, Pages->TabRectOfPage(2).Top + 2), ColorToRGB(clBtnFace));
    TRect page = Pages->DisplayRect();
    EXPECT_EQ(At(page.Left + 20, page.Top + 20), clWhite) << "the sheet paints the page";
}

TEST_F(TabPaintingTest, ActiveGradientRunsDownTheTab) {
    Pages->SetActivePageIndex(0);
    Pages->SetActiveColor(clRed);
    Pages->SetActiveColorTo(clBlue);
    Render();
    TRect r = Pages->TabRectOfPage(0);
    int x = (r.Left + r.Right) / 2;
    TColor top = At(x, r.Top + 1), bottom = At(x, r.Bottom - 3);
    EXPECT_GT(GetRValue(top), GetRValue(bottom));
    EXPECT_LT(GetBValue(top), GetBValue(bottom));
    Pages->SetActiveColorTo(clNone);
    Sheets[0]->SetTabGradientDirection(TGradientDirection::gdHorizontal);
    Pages->SetActiveColorTo(clBlue);
    Render();
    TColor left = At(r.Left + 2, (r.Top + r.Bottom) / 2), right = At(r.Right - 3, (r.Top + r.Bottom) / 2);
    EXPECT_GT(GetRValue(left), GetRValue(right));
}

TEST_F(TabPaintingTest, TabsSitOnEverySide) {
    Pages->SetActiveColor(clRed);
    Pages->SetActivePageIndex(1);
    struct {
        TTabPosition Position;
        const char* Name;
    } cases[] = {{TTabPosition::tpTop, "top"},
                 {TTabPosition::tpBottom, "bottom"},
                 {TTabPosition::tpLeft, "left"},
                 {TTabPosition::tpRight, "right"}};
    for (auto& c : cases) {
        Pages->SetTabPosition(c.Position);
        Render();
        TRect tab = Pages->TabRectOfPage(1);
        TRect page = Pages->DisplayRect();
        switch (c.Position) {
        case TTabPosition::tpTop:
            EXPECT_LE(tab.Bottom, page.Top) << c.Name;
            break;
        case TTabPosition::tpBottom:
            EXPECT_GE(tab.Top, page.Bottom) << c.Name;
            break;
        case TTabPosition::tpLeft:
            EXPECT_LE(tab.Right, page.Left) << c.Name;
            break;
        case TTabPosition::tpRight:
            EXPECT_GE(tab.Left, page.Right) << c.Name;
            break;
        }
        TPoint m{(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2};
        int red = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx)
                if (At(m.X + dx, m.Y + dy) == clRed) ++red;
        EXPECT_GT(red, 10) << c.Name << ": the active fill is where the tab is";
        EXPECT_EQ(Sheets[1]->BoundsRect(), page) << c.Name;
        EXPECT_EQ(At(page.Left + 5, page.Top + 5), clWhite) << c.Name;
    }
}

TEST_F(TabPaintingTest, ABoldActiveFontShowsAsWiderText) {
    for (auto* s : Sheets)
        s->SetCaption("Testees and groups");
    Pages->SetActivePageIndex(0);
    Pages->ActiveFont()->SetColor(clBlue);
    Render();
    int plain = TextRight(0, clBlue);
    Pages->ActiveFont()->SetStyle(fsBold);
    Render();
    int bold = TextRight(0, clBlue);
    ASSERT_GT(plain, 0);
    EXPECT_GT(bold, plain + 3);
}

TEST_F(TabPaintingTest, TheCloseGlyphIsDrawnWhereItIsAskedFor) {
    Pages->SetActivePageIndex(0);
    Sheets[2]->SetShowClose(true);
    Render();
    TRect r = Pages->TabRectOfPage(2);
    int gx = r.Left + 2, gy = r.Top + 2; // an inactive tab: no shift
    EXPECT_EQ(At(gx, gy), clGray) << "box outline";
    EXPECT_EQ(At(gx + 1, gy + 1), clWhite) << "box inside";
    EXPECT_EQ(At(gx + 3, gy + 3), clBlack) << "the cross";
    TRect r0 = Pages->TabRectOfPage(0);
    EXPECT_NE(At(r0.Left + 2, r0.Top + 2), clGray) << "no glyph on a tab without it";

    Pages->SetActivePageIndex(2);
    Render();
    EXPECT_EQ(At(gx, gy + Pages->LowerActive()), clGray) << "the active tab's glyph sits lower";
    TRect box = Pages->CloseGlyphRect();
    Pages->SetTabHoverColor(clYellow);
    Pages->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(box.Left + 4, box.Top + 4));
    Render();
    EXPECT_EQ(At(gx, gy + Pages->LowerActive()), clBlack) << "hot: a black box";
    Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.Left + 4, box.Top + 4));
    Render();
    EXPECT_EQ(At(gx + 1, gy + 1 + Pages->LowerActive()), clSilver) << "pressed: a silver box";
}

TEST_F(TabPaintingTest, MainWindowLookOnARecordingCanvas) {
    // Tabs at the bottom, classic, no colours of the page.
    for (auto* s : Sheets)
        s->SetColor(clNone);
    Pages->SetTabPosition(TTabPosition::tpBottom);
    Pages->SetMultiLine(true);
    Pages->SetActivePageIndex(0);
    TRecordingCanvas c;
    Pages->DrawTabArea(&c);
    int minTop = Pages->TabRectOfPage(0).Top, maxRight = Pages->TabRectOfPage(2).Right;
    AnsiString opening = "Line 2," + IntToStr(minTop - 1) + "-" + IntToStr(maxRight) + "," +
                         IntToStr(minTop - 1) + " pen=" + IntToHex(clBtnFace, 6);
    EXPECT_NE(std::find(c.Log.begin(), c.Log.end(), opening), c.Log.end())
        << "the frame opens under the tabs";
    TRect t = Pages->TabRectOfPage(0);
    auto texts = c.Calls("Text");
    ASSERT_EQ(texts.size(), 3u);
    AnsiString active = "Text " + IntToStr(t.Left + 4) + "," + IntToStr(t.Top + 3) + " 'First'";
    EXPECT_EQ(texts.back().substr(0, active.size()), active) << "LowerActive lowers the caption";
    // Inactive tabs are outlined rectangles reaching one pixel into the frame.
    TRect t1 = Pages->TabRectOfPage(1);
    AnsiString rect = "Rectangle " + IntToStr(t1.Left) + "," + IntToStr(t1.Top - 1) + "-";
    EXPECT_FALSE(c.Calls(rect).empty());

    c.Log.clear();
    Pages->SetTabSplitLine(true);
    Pages->DrawTabArea(&c);
    EXPECT_EQ(std::find(c.Log.begin(), c.Log.end(), opening), c.Log.end())
        << "a split line keeps the frame closed";
}

TEST_F(TabPaintingTest, TheFocusFrameSitsInTheFocusedActiveTab) {
    Pages->SetActivePageIndex(1);
    Pages->SetShowFocus(true);
    TBitmap picture(10, 6);
    struct {
        bool Pictures;
        int Overlap;
        bool Focused;
    } cases[] = {{false, 0, true}, {true, 4, true}, {false, 0, false}};
    for (auto& c : cases) {
        Pages->SetTabBackGround(c.Pictures ? &picture : nullptr);
        Pages->SetTabBackGroundActive(c.Pictures ? &picture : nullptr);
        Pages->SetTabOverlap(c.Overlap);
        Form->SetActiveControl(c.Focused ? Pages : nullptr);
        TRecordingCanvas canvas;
        Pages->DrawTabArea(&canvas);
        TRect r = Pages->TabRectOfPage(1);
        int top = c.Pictures ? r.Top : r.Top - 1; // a plain top tab reaches one pixel up
        AnsiString frame = "Rectangle " + IntToStr(r.Left + 5) + "," + IntToStr(top + 3) + "-" +
                           IntToStr(r.Right - c.Overlap - 5) + "," + IntToStr(r.Bottom - 3) +
                           " pen=000000 brush=clear";
        bool found = std::find(canvas.Log.begin(), canvas.Log.end(), frame) != canvas.Log.end();
        EXPECT_EQ(found, c.Focused) << "pictures " << c.Pictures << ", focused " << c.Focused;
    }
}

TEST_F(TabPaintingTest, TheActiveTabsImageComesBeforeItsCaption) {
    TImageList images(nullptr);
    TBitmap image(16, 16);
    images.Add(&image);
    Pages->SetImages(&images);
    Pages->SetActivePageIndex(1);
    TBitmap picture(10, 6);
    // Offsets from the tab's corner: image, then caption; a picture on the
    // active tab draws it after the others.
    struct {
        TTabPosition Position;
        bool Pictures;
        int ImageX, ImageY, TextX, TextY; // from Left/Right and Top/Bottom as the side needs
    } cases[] = {
        {TTabPosition::tpTop, false, 2, 3, 20, 3},      {TTabPosition::tpTop, true, 2, 3, 20, 3},
        {TTabPosition::tpLeft, false, 4, -18, 3, -20},  {TTabPosition::tpLeft, true, 1, -18, 1, -20},
        {TTabPosition::tpRight, false, -21, 4, -3, 20}, {TTabPosition::tpRight, true, -17, 1, -3, 17},
    };
    for (auto& c : cases) {
        Pages->SetTabPosition(c.Position);
        Pages->SetTabBackGround(c.Pictures ? &picture : nullptr);
        Pages->SetTabBackGroundActive(c.Pictures ? &picture : nullptr);
        TRect r = Pages->TabRectOfPage(1);
        int x0 = c.Position == TTabPosition::tpRight ? r.Right : r.Left;
        int y0 = c.Position == TTabPosition::tpLeft ? r.Bottom : r.Top;
        TRecordingCanvas canvas;
        Pages->DrawTabArea(&canvas);
        int ix = x0 + c.ImageX, iy = y0 + c.ImageY;
        AnsiString drawn = "Bitmap " + IntToStr(ix) + "," + IntToStr(iy) + "-" + IntToStr(ix + 16) + "," +
                           IntToStr(iy + 16) + " from 0,0-16,16 of 16x16";
        AnsiString caption = "Text " + IntToStr(x0 + c.TextX) + "," + IntToStr(y0 + c.TextY) + " '";
        std::vector<AnsiString> texts = canvas.Calls(caption);
        EXPECT_FALSE(canvas.Calls(drawn).empty()) << int(c.Position) << " " << c.Pictures;
        ASSERT_EQ(texts.size(), 1u) << int(c.Position) << " " << c.Pictures;
        EXPECT_NE(texts[0].find("Second"), AnsiString::npos) << texts[0];
    }
}

TEST_F(TabPaintingTest, FlatStylesSeparateTabsButNotBeforeTheActiveOne) {
    Pages->SetActivePageIndex(1);
    Pages->SetActiveColor(clRed);
    Pages->SetTabBorderColor(clBlue);
    struct {
        TTabStyle Style;
        TColor SeparatorPen;
        bool ClosedAcross; // the active tab's outer end is drawn
    } cases[] = {{TTabStyle::tsDotNet, clRed, true}, {TTabStyle::tsDelphi, clBlue, false}};
    for (auto& c : cases) {
        Pages->SetTabStyle(c.Style);
        TRecordingCanvas canvas;
        Pages->DrawTabArea(&canvas);
        auto separatorOf = [&](int P) {
            TRect r = Pages->TabRectOfPage(P);
            AnsiString start = "Line " + IntToStr(r.Right - 2) + ",";
            AnsiString pen = " pen=" + IntToHex(c.SeparatorPen, 6);
            for (const AnsiString& line : canvas.Calls(start))
                if (line.size() >= pen.size() && line.compare(line.size() - pen.size(), pen.size(), pen) == 0)
                    return true;
            return false;
        };
        EXPECT_TRUE(separatorOf(2)) << int(c.Style) << ": the last tab, followed by an inactive one";
        EXPECT_FALSE(separatorOf(0)) << int(c.Style) << ": the active tab follows";
        TRect a = Pages->TabRectOfPage(1);
        int top = a.Top - 1; // a plain top tab reaches a pixel up
        AnsiString across = "Line " + IntToStr(a.Left) + "," + IntToStr(top) + "-" + IntToStr(a.Right) + "," +
                            IntToStr(top) + " pen=" + IntToHex(clBlue, 6);
        EXPECT_EQ(!canvas.Calls(across).empty(), c.ClosedAcross) << int(c.Style);
    }
}

TEST_F(TabPaintingTest, APageGradientFillsTheBandInsideTheFrame) {
    Pages->SetActivePageIndex(0);
    Sheets[0]->SetColor(clRed);
    Sheets[0]->SetColorTo(clBlue);
    Sheets[1]->SetTabColor(clYellow);
    Render();
    int edge = Pages->TabRectOfPage(0).Bottom, h = Pages->Height();
    EXPECT_EQ(At(Pages->Width() / 2, edge + 2), clRed) << "the band across the top stays solid";
    TColor low = At(2, h - 3);
    EXPECT_GT(GetBValue(low), GetRValue(low)) << "the gradient runs down to the second colour";
    EXPECT_EQ(At(Middle(1).X, Pages->TabRectOfPage(1).Top + 2), clYellow)
        << "the tabs painted after the clipped bands are whole";
}

TEST_F(TabPaintingTest, ACloseGlyphPictureTakesTheDrawnGlyphsPlace) {
    TBitmap glyph(12, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 12; ++x)
            glyph.SetPixel(x, y, x == 0 && y == 10 ? clLime : clRed);
    Pages->SetCloseGlyph(&glyph);
    Pages->SetActivePageIndex(0);
    Sheets[2]->SetShowClose(true);
    Sheets[1]->SetTabColor(clYellow);
    TRect r = Pages->TabRectOfPage(2);
    int gx = r.Left + 2, gy = r.Top + 2;
    TRecordingCanvas canvas;
    Pages->DrawTabArea(&canvas);
    AnsiString box = IntToStr(gx) + "," + IntToStr(gy) + "-" + IntToStr(gx + 12) + "," + IntToStr(gy + 11);
    EXPECT_FALSE(canvas.Calls("Bitmap " + box).empty());
    EXPECT_TRUE(canvas.Calls("Rectangle " + box).empty()) << "no drawn box";

    Render();
    EXPECT_EQ(At(gx + 5, gy + 5), clRed);
    EXPECT_EQ(At(Middle(1).X, Pages->TabRectOfPage(1).Top + 2), clYellow)
        << "the glyph's clipping ends with it";
}

TEST_F(TabPaintingTest, BelowThePageTheActiveCaptionOverItsPictureRises) {
    TBitmap picture(10, 6);
    Pages->SetTabPosition(TTabPosition::tpBottom);
    Pages->SetTabBackGround(&picture);
    Pages->SetTabBackGroundActive(&picture);
    Pages->SetActivePageIndex(1);
    TRecordingCanvas canvas;
    Pages->DrawTabArea(&canvas);
    TRect active = Pages->TabRectOfPage(1), inactive = Pages->TabRectOfPage(0);
    int lower = Pages->LowerActive();
    EXPECT_FALSE(
        canvas
            .Calls("Text " + IntToStr(active.Left + 4) + "," + IntToStr(active.Top + lower + 2) + " 'Second'")
            .empty());
    EXPECT_FALSE(
        canvas.Calls("Text " + IntToStr(inactive.Left + 4) + "," + IntToStr(inactive.Top + 3) + " 'First'")
            .empty());
}

TEST_F(TabPaintingTest, ASheetColouredOnlyByColorToStartsFromTheControlsColour) {
    Sheets[0]->SetColor(clNone);
    Sheets[0]->SetColorTo(clBlue);
    Pages->SetActivePageIndex(0);
    Render();
    const TColor face = ColorToRGB(Pages->Color());
    const TRect page = Pages->DisplayRect();
    const int edge = Pages->TabRectOfPage(0).Bottom;
    EXPECT_EQ(At(page.Left + 5, page.Top), face) << "the sheet's gradient starts";
    EXPECT_EQ(At(Pages->Width() / 2, edge + 2), face) << "the band inside the frame";
    EXPECT_EQ(At(Middle(0).X, edge), face) << "the frame opens under the tabs";
    TColor low = At(page.Left + 5, page.Bottom - 1);
    EXPECT_GT(GetBValue(low), GetRValue(low)) << "and runs down to the second colour";
}

TEST_F(TabPaintingTest, NoColourIsLeftUnresolved) {
    // A sheet's colours and its control's default tab colours, on every side.
    struct {
        TColor Color, ColorTo;
    } colours[] = {{clNone, clBlue}, {clRed, clNone}, {clRed, clBlue}, {clNone, clNone}};
    const TTabPosition sides[] = {TTabPosition::tpTop, TTabPosition::tpBottom, TTabPosition::tpLeft,
                                  TTabPosition::tpRight};
    Pages->SetActivePageIndex(1);
    for (auto& c : colours)
        for (TTabPosition side : sides) {
            Sheets[1]->SetColor(c.Color);
            Sheets[1]->SetColorTo(c.ColorTo);
            Pages->SetTabPosition(side);
            TRecordingCanvas canvas;
            Pages->PaintTo(&canvas, 0, 0);
            std::vector<AnsiString> none = canvas.DrawnWithNone();
            EXPECT_TRUE(none.empty()) << IntToHex(c.Color, 8) << "/" << IntToHex(c.ColorTo, 8) << " side "
                                      << int(side) << ": " << (none.empty() ? AnsiString() : none[0]);
        }
}

// Every caption ends inside its own tab, in either font, with images beside
// them and the tabs below the page, as the main window has them.
TEST_F(TabPaintingTest, CaptionsEndInsideTheirTabs) {
    TImageList images(Form.get());
    images.SetSize(16, 16);
    Pages->SetTabPosition(TTabPosition::tpBottom);
    Pages->SetImages(&images);
    Pages->SetMultiLine(true);
    Pages->SetTabOverlap(0);
    Pages->ActiveFont()->SetStyle(fsBold);
    const char* captions[] = {"Individual testing ", "Group processing", "Wide WWWW caption"};
    for (int i = 0; i < 3; ++i) {
        Sheets[i]->SetCaption(captions[i]);
        Sheets[i]->SetImageIndex(0);
    }
    for (int active = 0; active < 3; ++active) {
        Pages->SetActivePageIndex(active);
        const TColor colours[] = {clBlue, clRed, clGreen};
        Pages->ActiveFont()->SetColor(colours[active]);
        for (int p = 0; p < 3; ++p)
            Sheets[p]->SetTextColor(colours[p]);
        Render();
        for (int p = 0; p < 3; ++p) {
            TRect r = Pages->TabRectOfPage(p);
            int right = -1;
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right + 40 && x < Shot->Width(); ++x)
                    if (At(x, y) == colours[p]) right = std::max(right, x);
            ASSERT_GT(right, r.Left) << p;
            EXPECT_LT(right, r.Right - 2)
                << "page " << p << " with page " << active << " active, tab " << r.Left << ".." << r.Right;
        }
    }
}
