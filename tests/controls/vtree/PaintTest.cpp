// Painting into images: the pixels that matter of selected rows, grid lines,
// check boxes, column colours and the header's sort glyph, the bound on
// text requests per paint, the calls a paint makes on a recording canvas,
// and the shared text and blending routines.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "TreeHarness.h"
#include "controls/vtree/VirtualStringTree.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/testing/TestCanvases.h"

namespace {

// A string tree shown in a test view of Width x Height.
struct TPaintFixture {
    TTestView View;
    TVirtualStringTree Tree{nullptr};
    explicit TPaintFixture(int Width = 300, int Height = 120) {
        View.Width = Width;
        View.Height = Height;
        Tree.SetView(&View);
        Tree.WMSize();
    }
    void AddColumns(int Count, int Width) {
        for (int i = 0; i < Count; ++i)
            Tree.Header()->Columns()->Add()->SetWidth(Width);
        Tree.Header()->SetOptions(Tree.Header()->Options() + TVTHeaderOptions{hoVisible});
    }
    std::unique_ptr<TBitmap> Paint() {
        auto b = std::make_unique<TBitmap>(View.Width, View.Height);
        Tree.PaintTree(b->Canvas(), TRect{0, 0, View.Width, View.Height}, {0, 0}, WindowPaintOptions);
        return b;
    }
};

int CountColour(TBitmap& B, const TRect& R, TColor C) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += B.Pixel(x, y) == ColorToRGB(C);
    return n;
}

} // namespace

TEST(TreePaint, ASelectedRowShowsTheSelectionColourOfTheFocus) {
    struct TCase {
        bool Focused;
        TColor Expected;
    };
    for (TCase c : {TCase{true, clHighlight}, TCase{false, clBtnFace}}) {
        TPaintFixture f;
        f.Tree.TreeOptions()->SetSelectionOptions({toFullRowSelect});
        f.Tree.SetRootNodeCount(3);
        f.View.HasFocus = c.Focused;
        f.Tree.SetSelected(f.Tree.GetFirst()->NextSibling, true);
        f.Tree.Colors()->SetColor(6, clBtnFace); // unfocused selection
        auto image = f.Paint();
        EXPECT_EQ(image->Pixel(250, 18 + 9), ColorToRGB(c.Expected)) << "focused " << c.Focused;
        EXPECT_EQ(image->Pixel(250, 9), ColorToRGB(clWindow)) << "an unselected row keeps the tree colour";
    }
}

TEST(TreePaint, VerticalGridLinesSitOnTheLastPixelOfEachColumn) {
    TPaintFixture f;
    f.AddColumns(3, 100);
    f.Tree.TreeOptions()->SetPaintOptions(f.Tree.TreeOptions()->PaintOptions() +
                                          TVTPaintOptions{toShowVertGridLines});
    f.Tree.SetRootNodeCount(2);
    auto image = f.Paint();
    const TColor grid = f.Tree.Colors()->GridLineColor();
    EXPECT_GT(CountColour(*image, TRect{99, 0, 100, 36}, grid), 8)
        << "dotted line at the column's last pixel";
    EXPECT_EQ(CountColour(*image, TRect{98, 0, 99, 36}, grid), 0);
    EXPECT_EQ(CountColour(*image, TRect{100, 0, 101, 36}, grid), 0);
}

TEST(TreePaint, AHiddenColumnLeavesNoGap) {
    TPaintFixture f;
    f.AddColumns(3, 100);
    const TColor colours[3] = {clRed, clLime, clBlue};
    for (int i = 0; i < 3; ++i) {
        TVirtualTreeColumn* column = f.Tree.Header()->Columns()->GetItem(i);
        column->SetOptions(column->Options() - TVTColumnOptions{coParentColor});
        column->SetColor(colours[i]);
    }
    f.Tree.SetRootNodeCount(1);
    auto before = f.Paint();
    EXPECT_EQ(before->Pixel(180, 9), ColorToRGB(clLime));
    TVirtualTreeColumn* middle = f.Tree.Header()->Columns()->GetItem(1);
    middle->SetOptions(middle->Options() - TVTColumnOptions{coVisible});
    auto after = f.Paint();
    EXPECT_EQ(after->Pixel(180, 9), ColorToRGB(clBlue)) << "the third column moved into the second's place";
    EXPECT_EQ(after->Pixel(180, 60), ColorToRGB(clBlue)) << "below the nodes too";
    EXPECT_EQ(after->Pixel(250, 60), ColorToRGB(clWindow)) << "right of the last column";
}

TEST(TreePaint, ACheckBoxShowsItsStateAndItsPressedForm) {
    auto boxPixels = [](TCheckState State) {
        TPaintFixture f;
        f.Tree.TreeOptions()->SetMiscOptions(f.Tree.TreeOptions()->MiscOptions() +
                                             TVTMiscOptions{toCheckSupport});
        f.Tree.SetRootNodeCount(1);
        PVirtualNode node = f.Tree.GetFirst();
        f.Tree.SetCheckType(node, ctCheckBox);
        f.Tree.SetCheckState(node, State);
        node->CheckState = uint8_t(State); // pressed forms are not set through the property
        auto image = f.Paint();
        // The box lies left of the text, after the root level's indent.
        return std::pair{CountColour(*image, TRect{0, 0, 40, 18}, clBtnText),
                         CountColour(*image, TRect{0, 0, 40, 18}, clBtnFace)};
    };
    EXPECT_EQ(boxPixels(csUncheckedNormal).first, 0);
    EXPECT_GT(boxPixels(csCheckedNormal).first, 5) << "the mark";
    EXPECT_GT(boxPixels(csUncheckedPressed).second, boxPixels(csUncheckedNormal).second)
        << "a pressed box is shaded";
}

TEST(TreePaint, TheSortGlyphShowsOnlyOnTheSortColumn) {
    TPaintFixture f;
    f.AddColumns(2, 100);
    f.Tree.Header()->SetStyle(hsXPStyle);
    f.Tree.Header()->Columns()->GetItem(0)->SetText(u"A");
    f.Tree.Header()->Columns()->GetItem(1)->SetText(u"B");
    auto header = [&] {
        TBitmap b(300, int(f.Tree.Header()->Height()));
        f.Tree.DrawHeader(b.Canvas(), TRect{0, 0, 300, b.Height()}, 0);
        return std::array{CountColour(b, TRect{0, 0, 100, b.Height()}, clBtnShadow),
                          CountColour(b, TRect{100, 0, 200, b.Height()}, clBtnShadow)};
    };
    auto none = header();
    f.Tree.Header()->SetOptions(f.Tree.Header()->Options() + TVTHeaderOptions{hoShowSortGlyphs});
    f.Tree.Header()->SetSortColumn(1);
    auto sorted = header();
    EXPECT_EQ(sorted[0], none[0]);
    EXPECT_GT(sorted[1], none[1] + 10);
}

// A caption lies on its button's own colour in every header style: the
// header's background shows between its letters, never a box of another
// colour behind them.
TEST(TreePaint, HeaderCaptionsLieOnTheHeadersBackground) {
    for (TVTHeaderStyle style : {hsXPStyle, hsThickButtons, hsFlatButtons, hsPlates}) {
        SCOPED_TRACE(int(style));
        TPaintFixture f;
        f.AddColumns(1, 200);
        f.Tree.Header()->SetStyle(style);
        f.Tree.Header()->SetHeight(25);
        f.Tree.Header()->Columns()->GetItem(0)->SetText(u"Ф.И.О. тестируемого");
        TBitmap b(300, 25);
        f.Tree.DrawHeader(b.Canvas(), TRect{0, 0, 300, 25}, 0);
        // The button's fill, taken from its middle right of the caption.
        const TColor fill = b.Pixel(180, 12);
        std::map<TColor, int> colours;
        for (int y = 4; y < 21; ++y)
            for (int x = 4; x < 150; ++x)
                ++colours[b.Pixel(x, y)];
        int text = 0;
        for (const auto& [colour, count] : colours)
            if (colour != fill) text += count;
        EXPECT_GT(text, 30) << "the caption is drawn";
        EXPECT_GT(colours[fill], text) << "the caption's rectangle keeps the button's fill";
    }
}

TEST(TreePaint, TextIsAskedForVisibleCellsOnlyWhateverTheNodeCount) {
    TPaintFixture f(600, 400);
    f.AddColumns(3, 150);
    int calls = 0;
    f.Tree.OnGetText = [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVSTTextType, WideString& Text) {
        ++calls;
        Text = u"Cell";
    };
    f.Tree.SetRootNodeCount(1000000);
    const int rows = 400 / 18 + 1;
    f.Paint();
    EXPECT_LE(calls, rows * 3);
    calls = 0;
    f.Tree.SetOffsetY(-int64_t(500000) * 18);
    f.Paint();
    EXPECT_GT(calls, 0);
    EXPECT_LE(calls, rows * 3);
}

TEST(TreePaint, AFailingHandlerLeavesTheTreeReadyToPaintAgain) {
    TPaintFixture f;
    f.Tree.SetRootNodeCount(3);
    bool fail = true;
    f.Tree.OnGetText = [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVSTTextType, WideString&) {
        if (fail) throw std::runtime_error("owner");
    };
    EXPECT_THROW(f.Paint(), std::runtime_error);
    EXPECT_FALSE(f.Tree.TreeStates().Contains(tsPainting));
    fail = false;
    int painted = 0;
    f.Tree.OnAfterPaint = [&](TBaseVirtualTree*, TCanvas*) { ++painted; };
    f.Paint();
    EXPECT_EQ(painted, 1);
}

TEST(TreePaint, TreeLinesFollowTheLineImage) {
    struct TLines : TVirtualStringTree {
        using TVirtualStringTree::ComputeLineImage;
        using TVirtualStringTree::TVirtualStringTree;
    } tree(nullptr);
    tree.SetRootNodeCount(2);
    PVirtualNode first = tree.GetFirst();
    tree.SetChildCount(first, 2);
    tree.FullExpand();
    TLineImage image;
    tree.ComputeLineImage(first->FirstChild, image);
    EXPECT_EQ(image, (TLineImage{ltTopDown, ltTopDownRight}));
    tree.ComputeLineImage(first->LastChild, image);
    EXPECT_EQ(image, (TLineImage{ltTopDown, ltTopRight}));
    tree.ComputeLineImage(first->NextSibling, image);
    EXPECT_EQ(image, (TLineImage{ltTopRight}));
    tree.TreeOptions()->SetPaintOptions(tree.TreeOptions()->PaintOptions() - TVTPaintOptions{toShowRoot});
    tree.ComputeLineImage(first, image);
    EXPECT_TRUE(image.empty()) << "top-level nodes get no level without the root";
}

// ---- Text routines -----------------------------------------------------------------------

TEST(ShortenTextTest, CutsBetweenWholeCharacters) {
    TFixedMetricsCanvas canvas(8);
    struct TCase {
        const char* Name;
        WideString Text;
        int Width;
        WideString Expected;
    };
    const WideString pair = u"\U0001F600"; // two units, the second advancing 0
    const TCase cases[] = {
        {"fits a prefix", u"abcdef", 48, u"abc..."},
        {"ellipsis alone too wide", u"abcdef", 24, u""},
        {"empty text", u"", 100, u""},
        {"no room", u"abc", 0, u""},
        {"never inside a surrogate pair", u"ab" + pair + u"cd", 8 * 2 + 24, u"ab..."},
        {"whole pair kept when it fits", u"ab" + pair + u"cd", 8 * 3 + 24, u"ab" + pair + u"..."},
        {"never before a combining mark", u"abe\u0301cd", 8 * 3 + 24, u"ab..."},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ShortenText(&canvas, c.Text, c.Width, 0), c.Expected) << c.Name;
}

TEST(BlendTest, BlendsBytesWithSaturation) {
    auto fill = [](TBitmap& B, TColor C) {
        B.Canvas()->Brush()->SetColor(C);
        B.Canvas()->FillRect(TRect{0, 0, B.Width(), B.Height()});
    };
    TBitmap src(4, 4), dst(4, 4);
    fill(src, RGB(200, 200, 200));
    fill(dst, RGB(100, 100, 100));
    BlendBitmaps(&src, &dst, TRect{0, 0, 4, 4}, {0, 0}, bmConstantAlpha, 0, 0);
    EXPECT_EQ(dst.Pixel(1, 1), RGB(100, 100, 100)) << "alpha 0 leaves the destination";
    BlendBitmaps(&src, &dst, TRect{0, 0, 4, 4}, {0, 0}, bmConstantAlpha, 0, -150);
    EXPECT_EQ(dst.Pixel(1, 1), RGB(0, 0, 0)) << "a bias never goes below 0";
    fill(dst, RGB(100, 100, 100));
    BlendBitmaps(&src, &dst, TRect{0, 0, 2, 2}, {2, 2}, bmConstantAlpha, 255, 0);
    EXPECT_EQ(dst.Pixel(3, 3), RGB(199, 199, 199)) << "(s * 255 + d) shr 8";
    EXPECT_EQ(dst.Pixel(1, 1), RGB(100, 100, 100)) << "outside the target";
    BlendBitmaps(nullptr, &dst, TRect{0, 0, 1, 1}, {}, bmConstantAlphaAndColor, 255, int(RGB(0, 0, 255)));
    EXPECT_EQ(dst.Pixel(0, 0), RGB(0, 0, 254)) << "mode 3 with alpha 255 gives almost the colour";
}

TEST(TreePaint, EachRowIsCopiedOnceToItsPlaceAndTheRestIsFilledBelow) {
    struct TCase {
        const char* Name;
        TRect Window; // tree coordinates
        TPoint Target;
        std::vector<AnsiString> Calls;
    } cases[] = {
        {"all of it",
         {0, 0, 200, 100},
         {0, 0},
         {"Bitmap 0,0-200,18 from 0,0-200,18 of 200x18", "Bitmap 0,18-200,36 from 0,0-200,18 of 200x18",
          "Bitmap 0,36-200,54 from 0,0-200,18 of 200x18", "Bitmap 0,54-200,100 from 0,0-200,46 of 201x47"}},
        {"from the middle of the first row",
         {0, 9, 200, 100},
         {0, 0},
         {"Bitmap 0,-9-200,9 from 0,0-200,18 of 200x18", "Bitmap 0,9-200,27 from 0,0-200,18 of 200x18",
          "Bitmap 0,27-200,45 from 0,0-200,18 of 200x18", "Bitmap 0,45-200,91 from 0,0-200,46 of 201x47"}},
        {"at a target point",
         {0, 0, 200, 100},
         {10, 20},
         {"Bitmap 10,20-210,38 from 0,0-200,18 of 200x18", "Bitmap 10,38-210,56 from 0,0-200,18 of 200x18",
          "Bitmap 10,56-210,74 from 0,0-200,18 of 200x18", "Bitmap 10,74-210,120 from 0,0-200,46 of 201x47"}},
    };
    for (const TCase& c : cases) {
        TPaintFixture f(200, 100);
        f.Tree.SetRootNodeCount(3);
        TRecordingCanvas canvas;
        f.Tree.PaintTree(&canvas, c.Window, c.Target, WindowPaintOptions);
        EXPECT_EQ(canvas.Log, c.Calls) << c.Name;
    }
}
