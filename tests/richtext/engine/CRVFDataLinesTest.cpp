// Formatting into drawing lines on the fixed-metrics canvas: exact pieces
// for wrapping, long words, soft hyphens, maximum length, breaks,
// justification, tabs, line spacing, items aligned to the line, list
// indents and the document's size.
#include <gtest/gtest.h>

#include "RVLayoutTestData.h"
#include "richtext/engine/items/RVPictures.h"

namespace {

using TLines = std::vector<std::string>;

struct TLayoutCase {
    const char* Name;
    // Builds the document; may change the style sheet and the data.
    std::function<void(TTestFormattedData&, TRVStyle&)> Build;
    TLines Lines;
};

void RunCases(const std::vector<TLayoutCase>& Cases) {
    for (const TLayoutCase& c : Cases) {
        auto style = MakeLayoutStyle();
        TFixedMetricsCanvas canvas;
        TTestFormattedData data(style.get(), &canvas);
        c.Build(data, *style);
        data.Format();
        EXPECT_EQ(DrawItemTexts(data), c.Lines) << c.Name;
        EXPECT_EQ(CheckFormattedInvariants(data), "") << c.Name;
    }
}

TEST(RVLineBuildingTest, WrappingTrailingSpacesAndLongWords) {
    RunCases({
        {"a space at the wrap point goes to neither line",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 64;
             D.AddTextItem("aaa bbb ccc", 0, 0);
         },
         {"0:1+7 0,0 56x14 N", "0:9+3 0,14 24x14 N"}},
        {"without trimming it stays with the line's first piece",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 64;
             D.Flags = 0;
             D.AddTextItem("aaa bbb ccc", 0, 0);
         },
         {"0:1+8 0,0 64x14 N", "0:9+3 0,14 24x14 N"}},
        {"and is cut off a piece that other pieces stand before",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 64;
             D.Flags = 0;
             D.AddTextItem("ab", 0, 0);
             D.AddTextItem("cd ef gh", 0, -1);
         },
         {"0:1+2 0,0 16x14 N", "1:1+5 16,0 40x14", "1:7+2 0,14 16x14 N"}},
        {"a word wider than the line is cut where it stops fitting",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 48;
             D.AddTextItem("abcdefghij", 0, 0);
         },
         {"0:1+6 0,0 48x14 N", "0:7+4 0,14 32x14 N"}},
        {"a long word moves down whole, then is cut",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 48;
             D.AddTextItem("xx abcdefghij", 0, 0);
         },
         {"0:1+2 0,0 16x14 N", "0:4+6 0,14 48x14 N", "0:10+4 0,28 32x14 N"}},
        {"one character stays on a line too narrow for it",
         [](TTestFormattedData& D, TRVStyle&) {
             D.MaxTextWidth = 5;
             D.AddTextItem("ab", 0, 0);
         },
         {"0:1+1 0,0 8x14 N", "0:2+1 0,14 8x14 N"}},
        {"text after a full line moves to the next",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 40;
             D.AddTextItem("abcde", 0, 0);
             D.AddTextItem("fg", 0, -1);
         },
         {"0:1+5 0,0 40x14 N", "1:1+2 0,14 16x14 N"}},
    });
}

TEST(RVLineBuildingTest, SoftHyphensAndMaximumLength) {
    RunCases({
        {"a soft hyphen is a wrap point that shows a hyphen",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 40;
             D.AddWideTextTag(u"abcd\u00ADef", 1, 0, 0);
         },
         {"0:1+5 0,0 40x14 N", "0:6+2 0,14 16x14 N"}},
        {"a line never ends before a soft hyphen whose hyphen would not fit",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 40;
             D.AddWideTextTag(u"abcde\u00ADf", 1, 0, 0);
         },
         {"0:1+4 0,0 32x14 N", "0:5+3 0,14 16x14 N"}},
        {"maximum length breaks long lines",
         [](TTestFormattedData& D, TRVStyle&) {
             D.MaxLength = 10;
             D.AddTextItem(AnsiString(23, 'a'), 0, 0);
         },
         {"0:1+10 0,0 80x14 N", "0:11+10 0,14 80x14 N", "0:21+3 0,28 24x14 N"}},
        {"maximum length wraps at spaces",
         [](TTestFormattedData& D, TRVStyle&) {
             D.MaxLength = 10;
             D.AddTextItem("aaaa bbbb cccc", 0, 0);
         },
         {"0:1+9 0,0 72x14 N", "0:11+4 0,14 32x14 N"}},
        {"maximum length does not break a paragraph that does not wrap",
         [](TTestFormattedData& D, TRVStyle& S) {
             D.MaxLength = 10;
             S.ParaStyles().GetItem(0)->Options = rvpaoNoWrap;
             D.AddTextItem(AnsiString(23, 'a'), 0, 0);
         },
         {"0:1+23 0,0 184x14 N"}},
        {"without word wrap lines are as long as their text",
         [](TTestFormattedData& D, TRVStyle&) {
             D.WordWrap = false;
             D.Width = 40;
             D.AddTextItem("aaa bbb ccc", 0, 0);
         },
         {"0:1+11 0,0 88x14 N"}},
    });
}

TEST(RVLineBuildingTest, BreaksParagraphsAndSpacing) {
    RunCases({
        {"a break fills a line of its own",
         [](TTestFormattedData& D, TRVStyle&) {
             D.AddTextItem("a", 0, 0);
             D.AddBreak();
             D.AddTextItem("b", 0, 0);
         },
         {"0:1+1 0,0 8x14 N", "1:0+0 0,14 200x11 N", "2:1+1 0,25 8x14 N"}},
        {"paragraph spacing and indents",
         [](TTestFormattedData& D, TRVStyle& S) {
             TParaInfo& p = *S.ParaStyles().Add();
             p.SpaceBefore = 6;
             p.SpaceAfter = 4;
             p.LeftIndent = 10;
             p.FirstIndent = 16;
             p.RightIndent = 20;
             D.Width = 100;
             D.AddTextItem("x", 0, 0);
             D.AddTextItem("aaaa bbbb", 0, 1);
             D.AddTextItem("y", 0, 0);
         },
         {"0:1+1 0,0 8x14 N", "1:1+4 26,20 32x14 N", "1:6+4 10,34 32x14 N", "2:1+1 0,52 8x14 N"}},
        {"a line break starts a line of the same paragraph",
         [](TTestFormattedData& D, TRVStyle&) {
             D.AddTextItem("a", 0, 0);
             auto item = std::make_unique<TRVTextItemInfo>(&D);
             item->ItemOptions = ioLineBreakBefore;
             D.AddItem("b", std::move(item));
         },
         {"0:1+1 0,0 8x14 N", "1:1+1 0,14 8x14 N"}},
        {"percentage line spacing adds below each line",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->LineSpacing = 150;
             D.Width = 40;
             D.AddTextItem("aaaa bbbb", 0, 0);
         },
         {"0:1+4 0,0 32x14 N +7", "0:6+4 0,21 32x14 N +7"}},
        {"half spacing pulls the next line up",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->LineSpacing = 50;
             D.Width = 40;
             D.AddTextItem("aaaa bbbb", 0, 0);
         },
         {"0:1+4 0,0 32x14 N +-7", "0:6+4 0,7 32x14 N +-7"}},
        {"spacing below 50 per cent is ignored",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->LineSpacing = 40;
             D.Width = 40;
             D.AddTextItem("aaaa bbbb", 0, 0);
         },
         {"0:1+4 0,0 32x14 N", "0:6+4 0,14 32x14 N"}},
        {"space between lines",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->LineSpacingType = rvlsSpaceBetween;
             S.ParaStyles().GetItem(0)->LineSpacing = 5;
             D.Width = 40;
             D.AddTextItem("aaaa bbbb", 0, 0);
         },
         {"0:1+4 0,0 32x14 N +5", "0:6+4 0,19 32x14 N +5"}},
    });
}

TEST(RVLineFinishingTest, AlignmentAndJustification) {
    auto aligned = [](TRVAlignment Align) {
        return [Align](TTestFormattedData& D, TRVStyle& S) {
            S.ParaStyles().GetItem(0)->Alignment = Align;
            D.Width = 80;
            D.AddTextItem("aa bb cc dd", 0, 0);
        };
    };
    RunCases({
        {"right", aligned(rvaRight), {"0:1+8 16,0 64x14 N", "0:10+2 64,14 16x14 N"}},
        {"centre", aligned(rvaCenter), {"0:1+8 8,0 64x14 N", "0:10+2 32,14 16x14 N"}},
        {"justified: the gaps between words grow, the last line stays",
         aligned(rvaJustify),
         {"0:1+2 0,0 16x14 N", "0:3+3 16,0 32x14 sb8", "0:6+3 48,0 32x14 sb8", "0:10+2 0,14 16x14 N"}},
        {"seven pixels over three gaps",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->Alignment = rvaJustify;
             D.Width = 63;
             D.AddTextItem("a b c d eeeeeee", 0, 0);
         },
         {"0:1+1 0,0 8x14 N", "0:2+2 8,0 18x14 sb2", "0:4+2 26,0 18x14 sb2", "0:6+2 44,0 19x14 sb3",
          "0:9+7 0,14 56x14 N"}},
        {"right to left: runs go from the right, left-to-right words keep their order",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->BiDiMode = rvbdRightToLeft;
             D.AddWideTextTag(u"AB", 1, 0, 0);
             D.AddWideTextTag(u"CD", 1, -1, 0);
             D.AddWideTextTag(u"\u05D0", 1, -1, 0);
         },
         {"0:1+2 8,0 16x14 N", "1:1+2 24,0 16x14", "2:1+1 0,0 8x14"}},
        {"a line of one piece is not reordered",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->BiDiMode = rvbdRightToLeft;
             D.AddWideTextTag(u"\u05D0\u05D1", 1, 0, 0);
         },
         {"0:1+2 0,0 16x14 N"}},
        {"a centred line wider than the page stays at the left",
         [](TTestFormattedData& D, TRVStyle& S) {
             S.ParaStyles().GetItem(0)->Alignment = rvaCenter;
             S.ParaStyles().GetItem(0)->Options = rvpaoNoWrap;
             D.Width = 40;
             D.AddTextItem("abcdefgh", 0, 0);
         },
         {"0:1+8 0,0 64x14 N"}},
    });
}

TEST(RVLineFinishingTest, RightAndCentreTabs) {
    auto tab = [](TRVTabAlign Align, int Position) {
        return [Align, Position](TTestFormattedData& D, TRVStyle& S) {
            TRVTabInfo& t = *S.ParaStyles().GetItem(0)->Tabs().Add();
            t.SetPosition(Position);
            t.Align = Align;
            D.AddTextItem("x", 0, 0);
            auto item = std::make_unique<TRVTabItemInfo>(&D);
            item->ParaNo = -1;
            D.AddItem("", std::move(item));
            D.AddTextItem("ab", 0, -1);
        };
    };
    RunCases({
        {"left", tab(rvtaLeft, 120), {"0:1+1 0,0 8x14 N", "1:0+0 8,0 112x14", "2:1+2 120,0 16x14"}},
        {"right", tab(rvtaRight, 120), {"0:1+1 0,0 8x14 N", "1:0+0 8,0 96x14", "2:1+2 104,0 16x14"}},
        {"centre", tab(rvtaCenter, 120), {"0:1+1 0,0 8x14 N", "1:0+0 8,0 104x14", "2:1+2 112,0 16x14"}},
        {"a tab beyond the line opens the next and is cut to its end",
         tab(rvtaRight, 500),
         {"0:1+1 0,0 8x14 N", "1:0+0 0,14 184x14 N", "2:1+2 184,14 16x14"}},
        {"default tab stops",
         [](TTestFormattedData& D, TRVStyle&) {
             D.AddTextItem("abcdefg", 0, 0);
             auto item = std::make_unique<TRVTabItemInfo>(&D);
             item->ParaNo = -1;
             D.AddItem("", std::move(item));
             D.AddTextItem("z", 0, -1);
         },
         {"0:1+7 0,0 56x14 N", "1:0+0 56,0 40x14", "2:1+1 96,0 8x14"}},
    });
}

TEST(RVLineBuildingTest, PicturesOnTheLine) {
    auto picture = [](TRVVAlign Align, int Height) {
        return [Align, Height](TTestFormattedData& D, TRVStyle&) {
            D.AddTextItem("ab", 0, 0);
            auto item = std::make_unique<TRVGraphicItemInfo>(
                &D, std::make_unique<TRVBitmapImage>(20, Height - 2), Align);
            item->ParaNo = -1;
            D.AddItem("", std::move(item));
            D.AddTextItem("c", 0, 0);
        };
    };
    RunCases({
        {"on the baseline: the line is as high as the picture above it",
         picture(vaBaseline, 30),
         {"0:1+2 0,18 16x14 N", "1:0+0 16,0 22x30", "2:1+1 0,32 8x14 N"}},
        {"at the line's bottom: the line moves down below it",
         picture(vaAbsBottom, 30),
         {"0:1+2 0,16 16x14 N", "1:0+0 16,0 22x30", "2:1+1 0,30 8x14 N"}},
        {"at the line's top",
         picture(vaAbsTop, 30),
         {"0:1+2 0,0 16x14 N", "1:0+0 16,0 22x30", "2:1+1 0,30 8x14 N"}},
        {"in the line's middle",
         picture(vaAbsMiddle, 10),
         {"0:1+2 0,0 16x14 N", "1:0+0 16,2 22x10", "2:1+1 0,14 8x14 N"}},
        {"a picture that does not fit opens a line",
         [](TTestFormattedData& D, TRVStyle&) {
             D.Width = 40;
             D.AddTextItem("abc", 0, 0);
             auto item = std::make_unique<TRVGraphicItemInfo>(&D, std::make_unique<TRVBitmapImage>(20, 12),
                                                              vaBaseline);
             item->ParaNo = -1;
             D.AddItem("", std::move(item));
         },
         {"0:1+3 0,0 24x14 N", "1:0+0 0,14 22x14 N"}},
    });
}

TEST(RVLineBuildingTest, ListIndents) {
    auto list = [](TRVStyle& S, int MarkerIndent, int LeftIndent, int FirstIndent) {
        TRVListLevel& level = *S.ListStyles().Add()->Levels().Add();
        level.MarkerIndent = MarkerIndent;
        level.LeftIndent = LeftIndent;
        level.FirstIndent = FirstIndent;
    };
    RunCases({
        {"the marker at its indent, the text at the left indent",
         [&](TTestFormattedData& D, TRVStyle& S) {
             list(S, 0, 24, 0);
             D.Width = 64;
             D.ApplyListMarker(-1, 0, 0, 1, false, 0);
             D.AddTextItem("aaaa bbbb cccc", 0, -1);
         },
         {"0:0+0 0,0 24x14 N", "1:1+4 24,0 32x14", "1:6+4 24,14 32x14 N", "1:11+4 24,28 32x14 N"}},
        {"a marker indented further than the room it leaves",
         [&](TTestFormattedData& D, TRVStyle& S) {
             list(S, 16, 20, 0);
             D.ApplyListMarker(-1, 0, 0, 1, false, 0);
             D.AddTextItem("x", 0, -1);
         },
         {"0:0+0 16,0 8x14 N", "1:1+1 24,0 8x14"}},
        {"text too long after a marker keeps a character on its line",
         [&](TTestFormattedData& D, TRVStyle& S) {
             list(S, 0, 24, 0);
             D.MaxTextWidth = 28;
             D.ApplyListMarker(-1, 0, 0, 1, false, 0);
             D.AddTextItem("ab", 0, -1);
         },
         {"0:0+0 0,0 24x14 N", "1:1+1 24,0 8x14", "1:2+1 24,14 8x14 N"}},
    });
}

TEST(RVFormatDocumentTest, HugeStyleLengthsAreCutNotWrappedAround) {
    auto style = MakeLayoutStyle();
    TParaInfo& para = *style->ParaStyles().GetItem(0);
    para.LeftIndent = para.FirstIndent = para.RightIndent = INT32_MAX;
    para.SpaceBefore = para.SpaceAfter = INT32_MAX;
    para.LineSpacing = INT32_MAX;
    style->TextStyles().GetItem(0)->VShift = INT32_MAX;
    TFixedMetricsCanvas canvas;
    TTestFormattedData data(style.get(), &canvas);
    for (int i = 0; i < 4; ++i)
        data.AddTextItem("aaaa bbbb", 0, 0);
    data.Format();
    EXPECT_EQ(CheckFormattedInvariants(data), "");
    // Everything lies below and right of where it began, within a coordinate.
    for (int i = 0; i < data.DrawItems.Count(); ++i) {
        EXPECT_GT(data.DrawItems[i]->Left, 0);
        EXPECT_GT(data.DrawItems[i]->Top, 0);
    }
    EXPECT_GT(data.DocumentHeight, 4 * (1 << 20));
}

TEST(RVFormatDocumentTest, SizesAndWidths) {
    auto style = MakeLayoutStyle();
    TFixedMetricsCanvas canvas;
    TTestFormattedData data(style.get(), &canvas);
    data.TopMargin = 5;
    data.BottomMargin = 7;
    data.LeftMargin = data.RightMargin = 10;
    // An empty document is as high as its margins, and still says so.
    data.Format();
    EXPECT_EQ(data.DrawItems.Count(), 0);
    EXPECT_EQ(data.DocumentHeight, 12);
    EXPECT_EQ(data.AreaHeight, 12);

    style->ParaStyles().GetItem(0)->SpaceAfter = 3;
    data.AddTextItem("aaaa bbbb", 0, 0);
    data.Format();
    EXPECT_EQ(data.DocumentWidth, 180);
    EXPECT_EQ(data.TextWidth, 180);
    EXPECT_EQ(DrawItemTexts(data), (TLines{"0:1+9 10,5 72x14 N"}));
    EXPECT_EQ(data.DocumentHeight, 5 + 14 + 3 + 7);
    EXPECT_EQ(data.AreaWidth, 10 + 180 + 10);

    // Text wider than MaxTextWidth wraps there; the document keeps its width.
    data.MaxTextWidth = 40;
    data.Format();
    EXPECT_EQ(data.TextWidth, 40);
    EXPECT_EQ(data.DocumentWidth, 180);
    EXPECT_EQ(DrawItemTexts(data), (TLines{"0:1+4 10,5 32x14 N", "0:6+4 10,19 32x14 N"}));

    // Unbreakable content wider than the client makes the document wider.
    data.MaxTextWidth = 0;
    data.Width = 50;
    style->ParaStyles().GetItem(0)->Options = rvpaoNoWrap;
    data.Format();
    EXPECT_EQ(data.DocumentWidth, 72);

    // Items appended later are formatted where a full format would put them.
    style->ParaStyles().GetItem(0)->Options = 0;
    data.Width = 200;
    data.Format();
    data.AddTextItem("cc", 0, 0);
    data.FormatDocument(false, false, false, 0, nullptr, true, true, false);
    TLines tail = DrawItemTexts(data);
    int tailHeight = data.DocumentHeight;
    data.Format();
    EXPECT_EQ(tail, DrawItemTexts(data));
    EXPECT_EQ(tailHeight, data.DocumentHeight);
}

} // namespace
