// Hit testing and the selection: the position under a point, word,
// paragraph and line selection driven by mouse events, hyperlink clicks and
// hover, and the protection tests.
#include <gtest/gtest.h>

#include "RVPaintTestData.h"
#include "richtext/engine/items/RVPictures.h"

namespace {

// Every character 8 pixels wide, lines 14 high. Line 0 (0..16): "abc def"
// (0..56) and a 20 x 12 picture with spacing 1 (56..78); line 1 (16..30): a
// list marker and "xy"; line 2 (30..44): "gh ij kl".
class RVHitTest : public ::testing::Test {
protected:
    void SetUp() override {
        TRVListLevel& level = *Style->ListStyles().Add()->Levels().Add();
        level.LeftIndent = 24;
        Data.AddTextItem("abc def", 0, 0);
        auto picture =
            std::make_unique<TRVGraphicItemInfo>(&Data, std::make_unique<TRVBitmapImage>(20, 12), vaBaseline);
        picture->ParaNo = -1;
        Data.AddItem("", std::move(picture));
        Data.ApplyListMarker(-1, 0, 0, 1, false, 0);
        Data.AddTextItem("xy", 0, -1);
        Data.AddTextItem("gh ij kl", 0, 0);
        Data.Options |= rvoAllowSelection;
        Data.Format();
    }
    std::string Hit(int X, int Y, bool Strict) {
        int offs, d;
        Data.FindDrawItemAtPos(X, Y, Strict, offs, d);
        return std::to_string(d) + ":" + std::to_string(offs);
    }
    std::string Selection() {
        return std::to_string(Data.SelStartDrawItem) + ":" + std::to_string(Data.SelStartDrawOffs) + "-" +
               std::to_string(Data.SelEndDrawItem) + ":" + std::to_string(Data.SelEndDrawOffs);
    }
    void Drag(int X1, int Y1, int X2, int Y2) {
        Data.MouseDown(rvmbLeft, rvshift::Left, X1, Y1);
        Data.MouseMove(rvshift::Left, X2, Y2);
        Data.MouseUp(rvmbLeft, 0, X2, Y2);
    }
    std::unique_ptr<TRVStyle> Style = MakeLayoutStyle();
    TFixedMetricsCanvas Canvas;
    TPaintTestData Data{Style.get(), &Canvas};
};

TEST_F(RVHitTest, Layout) {
    EXPECT_EQ(DrawItemTexts(Data),
              (std::vector<std::string>{"0:1+7 0,2 56x14 N", "1:0+0 56,0 22x14", "2:0+0 0,16 34x14 N",
                                        "3:1+2 34,16 16x14", "4:1+8 0,30 64x14 N"}));
}

TEST_F(RVHitTest, PointToPosition) {
    struct TCase {
        const char* Name;
        int X, Y;
        bool Strict;
        const char* Expected;
    } cases[] = {
        {"left of a line: before its first character", -5, 3, false, "0:1"},
        {"midway between two boundaries: the earlier one", 12, 3, false, "0:2"},
        {"a pixel right of the middle: the later one", 13, 3, false, "0:3"},
        {"the left half of a picture: before it", 60, 3, false, "1:0"},
        {"the right half of a picture: after it", 70, 3, false, "1:1"},
        {"right of a line: the end of its last item", 150, 3, false, "1:1"},
        {"on a list marker: the start of the text after it", 5, 20, false, "3:1"},
        {"below the last line: the last line", 20, 500, false, "4:3"},
        {"strict: beside every item hits nothing", 150, 3, true, "-1:0"},
        {"strict: on a character", 21, 30, true, "4:4"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Hit(c.X, c.Y, c.Strict), c.Expected) << c.Name;
}

TEST_F(RVHitTest, ItemAndDrawItemPositions) {
    int d, o;
    Data.ItemToDrawItem(4, 4, d, o);
    EXPECT_EQ(std::to_string(d) + ":" + std::to_string(o), "4:4");
    EXPECT_TRUE(Data.IsDrawItemLastOfItem(1));
    EXPECT_TRUE(Data.IsDrawItemParaEnd(1));
    EXPECT_FALSE(Data.IsDrawItemParaEnd(2));
    // Text after a list marker starts the line for selecting by lines.
    EXPECT_TRUE(Data.IsDrawItemLineStart(3));
    EXPECT_FALSE(Data.IsDrawItemLineStart(1));
}

TEST_F(RVHitTest, SelectingByCharactersWordsLinesAndParagraphs) {
    Style->SelectionMode = rvsmChar;
    Drag(12, 3, 36, 3);
    EXPECT_EQ(Selection(), "0:2-0:5");
    // Words: from the middle of "gh" to the middle of "kl" selects both.
    Style->SelectionMode = rvsmWord;
    Drag(12, 31, 60, 31);
    EXPECT_EQ(Selection(), "4:1-4:9");
    // Back into the start word: from the exact click position again (a
    // press inside a selection would start dragging it).
    Data.Deselect(nullptr, false);
    Data.MouseDown(rvmbLeft, rvshift::Left, 12, 31);
    Data.MouseMove(rvshift::Left, 60, 31);
    Data.MouseMove(rvshift::Left, 20, 31);
    Data.MouseUp(rvmbLeft, 0, 20, 31);
    EXPECT_EQ(Selection(), "4:2-4:3");
    // Paragraphs.
    Style->SelectionMode = rvsmParagraph;
    Drag(12, 3, 12, 17);
    EXPECT_EQ(Selection(), "0:1-3:3");
    // Lines from the left margin.
    Style->SelectionMode = rvsmChar;
    Data.LeftMargin = 10;
    Data.Format();
    Drag(2, 17, 2, 31);
    EXPECT_EQ(Selection(), "2:0-4:9");
}

TEST_F(RVHitTest, SelectionExistsDropsAnEmptyOne) {
    Data.SelStartDrawItem = Data.SelEndDrawItem = 0;
    Data.SelStartDrawOffs = Data.SelEndDrawOffs = 2;
    Data.StateBits |= rvstMouseSelecting;
    EXPECT_FALSE(Data.SelectionExists(true, false));
    EXPECT_EQ(Data.SelStartDrawItem, 0);
    Data.StateBits &= ~TRVDataStates(rvstMouseSelecting);
    EXPECT_FALSE(Data.SelectionExists(true, false));
    EXPECT_EQ(Data.SelStartDrawItem, -1);
}

TEST_F(RVHitTest, SelectionBoundsOnAMarkerStartAtTheNextItem) {
    Data.SetSelectionBounds(2, 0, 3, 2);
    EXPECT_EQ(Selection(), "3:1-3:2");
}

TEST_F(RVHitTest, DoubleClickSelectsAWordOrAPicture) {
    Data.Options |= rvoDblClickSelectsWord;
    Data.DblClick(28, 31);
    EXPECT_EQ(Selection(), "4:4-4:6");
    Data.DblClick(60, 3);
    EXPECT_EQ(Selection(), "1:0-1:1");
}

// A hyperlink jumps only when pressed and released over the same link.
TEST(RVHyperlinkTest, JumpsAndHover) {
    auto style = MakeLayoutStyle();
    TFontInfo& link = *style->TextStyles().Add();
    link.Jump = true;
    link.HoverColor = clRed;
    TFixedMetricsCanvas canvas;
    TPaintTestData data(style.get(), &canvas);
    data.Options |= rvoAllowSelection;
    data.AddTextItem("one", 2, 0);
    data.AddTextItem(" ", 0, -1);
    data.AddTextItem("two", 2, -1);
    data.Format();
    ASSERT_EQ(data.Jumps.size(), 2u);

    // Pressed and released on the link; released on another link (the
    // press drops the empty selection: "select" twice); pressed inside a
    // selection, which starts dragging it.
    data.MouseDown(rvmbLeft, rvshift::Left, 4, 4);
    data.MouseUp(rvmbLeft, 0, 4, 4);
    data.MouseDown(rvmbLeft, rvshift::Left, 4, 4);
    data.MouseUp(rvmbLeft, 0, 44, 4);
    data.MouseDown(rvmbLeft, rvshift::Left, 4, 4);
    data.MouseUp(rvmbLeft, 0, 4, 4);
    EXPECT_EQ(data.Events, (std::vector<AnsiString>{"select", "jump 0", "select", "select"}));
    data.Deselect(nullptr, false);

    data.Events.clear();
    data.MouseMove(0, 4, 4);
    EXPECT_EQ(data.Cursor, crJump);
    EXPECT_EQ(data.HoverJumpNo, 0);
    EXPECT_TRUE(data.StateBits & rvstDrawHover);
    EXPECT_NE(PaintLog(data)[0].find("color=0000FF"), AnsiString::npos);
    data.MouseMove(0, 36, 4);
    data.MouseMove(0, 100, 4);
    EXPECT_EQ(data.Events, (std::vector<AnsiString>{"move 0", "move 1", "move -1"}));
    EXPECT_EQ(data.HoverJumpNo, -1);
}

TEST(RVProtectionTest, StickingAndReadOnly) {
    auto style = MakeLayoutStyle();
    style->TextStyles().Add()->Protection = rvprSticking | rvprStickToTop;
    style->ParaStyles().Add()->Options = rvpaoReadOnly;
    TFixedMetricsCanvas canvas;
    TPaintTestData data(style.get(), &canvas);
    data.AddTextItem("ab", 2, 0);
    data.AddTextItem("cd", 2, -1);
    data.AddTextItem("ef", 0, 1);
    EXPECT_FALSE(data.CanInsertAt(0, 1)); // stuck to the top
    EXPECT_FALSE(data.CanInsertAt(1, 1)); // between two sticking items
    EXPECT_TRUE(data.CanInsertAt(1, 2));
    EXPECT_TRUE(data.CanInsertAt(1, 3));
    EXPECT_FALSE(data.CanInsertAt(2, 2)); // a read-only paragraph
}

} // namespace
