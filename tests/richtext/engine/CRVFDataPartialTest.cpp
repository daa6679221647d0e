// Partial re-formatting after edits, minimum widths, hyperlink areas, the
// font cache of a formatting run and documents laid out by their items.
#include <gtest/gtest.h>

#include "RVLayoutTestData.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/layout/RVDataList.h"
#include "richtext/engine/layout/RVFontCache.h"

namespace {

using TLines = std::vector<std::string>;

class RVPartialFormatTest : public ::testing::Test {
protected:
    std::unique_ptr<TRVStyle> Style = MakeLayoutStyle();
    TFixedMetricsCanvas Canvas;
    TTestFormattedData Data{Style.get(), &Canvas};

    void SetUp() override {
        Data.Width = 80;
        for (const char* text : {"aaaa bbbb cccc", "dddd eeee", "ffff gggg hhhh"})
            Data.AddTextItem(text, 0, 0);
        Data.Format();
    }
    // The drawing items an item had before an edit.
    std::pair<int, int> DrawItemsOf(int ItemNo) {
        int first = -1, last = -1;
        for (int i = 0; i < Data.DrawItems.Count(); ++i)
            if (Data.DrawItems[i]->ItemNo == ItemNo) {
                if (first < 0) first = i;
                last = i;
            }
        return {first, last};
    }
    // What a full format makes of the same document.
    TLines FullFormat() {
        TTestFormattedData copy(Style.get(), &Canvas);
        copy.Width = Data.Width;
        for (int i = 0; i < Data.ItemCount(); ++i)
            copy.AddItemAsIs(Data.GetItemText(i), CreateItemCopy(Data.LiveItem(i), &copy, false));
        copy.Format();
        FullHeight = copy.DocumentHeight;
        return DrawItemTexts(copy);
    }
    int FullHeight = 0;
};

TEST_F(RVPartialFormatTest, TypingInAParagraphMovesNothingBelowWhileItsHeightStays) {
    Data.AddTextItem("iiii", 0, 0);
    Data.AddTextItem("jjjj", 0, 0);
    Data.Format();
    auto [first, last] = DrawItemsOf(1);
    const TRVDrawLineInfo* below = Data.DrawItems[Data.DrawItems.Count() - 1];
    Data.ItemList->SetString(1, "ddxdd eeee");
    Data.Invalidated.clear();
    Data.FormatParasOfDrawItems(first, last, false, 0);
    EXPECT_EQ(DrawItemTexts(Data), FullFormat());
    EXPECT_EQ(Data.DocumentHeight, FullHeight);
    // The lines below are the same objects, where they were.
    EXPECT_EQ(Data.DrawItems[Data.DrawItems.Count() - 1], below);
    ASSERT_EQ(Data.Invalidated.size(), 1u);
    EXPECT_LT(Data.Invalidated[0].Bottom, Data.DocumentHeight);
    EXPECT_EQ(CheckFormattedInvariants(Data), "");
}

TEST_F(RVPartialFormatTest, AParagraphThatGrowsMovesTheRestDown) {
    auto [first, last] = DrawItemsOf(1);
    Data.ItemList->SetString(1, "dddd eeee iiii jjjj");
    Data.FormatParasOfDrawItems(first, last, false, 0);
    EXPECT_EQ(DrawItemTexts(Data), FullFormat());
    EXPECT_EQ(Data.DocumentHeight, FullHeight);
    EXPECT_EQ(Data.AreaHeight, FullHeight);
}

TEST_F(RVPartialFormatTest, InsertedItemsRenumberTheItemsBelow) {
    auto [first, last] = DrawItemsOf(0);
    for (int i = 1; i <= 2; ++i) {
        auto item = std::make_unique<TRVTextItemInfo>(&Data);
        Data.ItemList->InsertObject(i, "new", std::move(item));
    }
    Data.FormatParasOfDrawItems(first, last, false, 2);
    EXPECT_EQ(DrawItemTexts(Data), FullFormat());
    for (int i = 0; i < Data.ItemCount(); ++i) {
        int d;
        ASSERT_TRUE(Data.GetItemFirstDrawItem(i, d));
        EXPECT_EQ(Data.LiveItem(i).DrawItemNo, d);
    }
    EXPECT_EQ(CheckFormattedInvariants(Data), "");
}

TEST_F(RVPartialFormatTest, DeletingTheLastParagraphShrinksTheDocument) {
    int oldHeight = Data.DocumentHeight;
    auto [first, unused] = DrawItemsOf(1);
    int last = Data.DrawItems.Count() - 1;
    (void)unused;
    Data.DeleteItems(2, 1);
    Data.Invalidated.clear();
    Data.FormatParasOfDrawItems(first, last, false, -1);
    EXPECT_EQ(DrawItemTexts(Data), FullFormat());
    EXPECT_EQ(Data.DocumentHeight, FullHeight);
    EXPECT_LT(Data.DocumentHeight, oldHeight);
    ASSERT_FALSE(Data.Invalidated.empty());
    EXPECT_GE(Data.Invalidated.back().Bottom, oldHeight);
}

TEST_F(RVPartialFormatTest, ARangeAtTheStartBeginsAtTheTopMargin) {
    Data.TopMargin = 9;
    Data.Format();
    auto [first, last] = DrawItemsOf(0);
    Data.ItemList->SetString(0, "a");
    Data.FormatDrawItemRange(first, last, false, false, 0);
    EXPECT_EQ(Data.DrawItems[0]->Top, 9);
    EXPECT_EQ(DrawItemText(*Data.DrawItems[0]), "0:1+1 0,9 8x14 N");
}

TEST_F(RVPartialFormatTest, ParagraphBoundsReachOneParagraphEachWay) {
    // Drawing items: 0-1 paragraph 0, 2 paragraph 1, 3-4 paragraph 2.
    int newLast = -1, newFirst = -1;
    Data.GetParaBoundsOfDrawItems(2, 2, newLast, newFirst);
    EXPECT_EQ(newFirst, 0);
    EXPECT_EQ(newLast, 4);
    Data.GetParaBoundsOfDrawItems(0, 1, newLast, newFirst);
    EXPECT_EQ(newFirst, 0);
    EXPECT_EQ(newLast, 2);
}

TEST_F(RVPartialFormatTest, HyperlinkAreasFollowAnEdit) {
    Style->TextStyles().Add()->Jump = true; // style 2
    Data.Clear();
    Data.AddTextItem("link", 2, 0);
    Data.AddTextItem("plain text here", 0, 0);
    Data.AddTextItem("second link", 2, 0);
    Data.Format();
    ASSERT_EQ(Data.Jumps.size(), 3u); // "second link" takes two lines
    EXPECT_EQ(Data.LiveItem(2).JumpID, 1);
    EXPECT_EQ(Data.JumpCount, 2);
    // A new hyperlink before the others numbers them on.
    auto [first, last] = DrawItemsOf(1);
    auto item = std::make_unique<TRVTextItemInfo>(&Data);
    item->StyleNo = 2;
    item->ParaNo = 0;
    Data.ItemList->InsertObject(2, "new", std::move(item));
    Data.FormatParasOfDrawItems(first, last, false, 1);
    EXPECT_EQ(Data.LiveItem(2).JumpID, 1);
    EXPECT_EQ(Data.LiveItem(3).JumpID, 2);
    EXPECT_EQ(Data.JumpCount, 3);
    ASSERT_EQ(Data.Jumps.size(), 4u);
    std::vector<int> numbers, drawItems;
    for (auto& jump : Data.Jumps) {
        numbers.push_back(jump->JumpNo);
        drawItems.push_back(jump->DrawItemNo);
        EXPECT_EQ(jump->Top, Data.DrawItems[jump->DrawItemNo]->Top);
    }
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 2}));
    EXPECT_EQ(CheckFormattedInvariants(Data), "");
    // An empty hyperlink takes no number and no area.
    Data.AddTextItem("", 2, 0);
    Data.Format();
    EXPECT_EQ(Data.LiveItem(Data.ItemCount() - 1).JumpID, -3);
    EXPECT_EQ(Data.Jumps.size(), 4u);
}

TEST_F(RVPartialFormatTest, PositionsBetweenItemsAndDrawingItems) {
    // Item 0 "aaaa bbbb cccc" shows as "aaaa bbbb" (1+9) and "cccc" (11+4).
    int d = -1, offs = -1;
    Data.ItemToDrawItem(0, 12, d, offs);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(offs, 2);
    int itemNo = -1, itemOffs = -1;
    Data.DrawItemToItem(1, 2, itemNo, itemOffs);
    EXPECT_EQ(itemNo, 0);
    EXPECT_EQ(itemOffs, 12);
    Data.DrawItemToItem(99, 1, itemNo, itemOffs);
    EXPECT_EQ(itemNo, -1);
    EXPECT_EQ(Data.DrawItemEndOffset(1), 5);
    EXPECT_TRUE(Data.IsDrawItemParaStart(2));
    EXPECT_FALSE(Data.IsDrawItemParaStart(1));
    int first, last;
    Data.GetLineDrawItemRange(1, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(Data.FindDrawItemByY(15), 1);
    EXPECT_EQ(Data.FindDrawItemByY(1000), 4);
    // The selection survives a format that keeps the position.
    Data.StoreSelectionBounds(0, 12, 2, 3);
    Data.FormatDocument(true, true, false, 0, nullptr, false, true, true);
    int startNo, endNo, startOffs, endOffs;
    Data.GetSelectionItemBounds(startNo, endNo, startOffs, endOffs, true);
    EXPECT_EQ(std::vector<int>({startNo, startOffs, endNo, endOffs}), std::vector<int>({0, 12, 2, 3}));
}

TEST(RVChangeDrawItemWidthTest, TheLineMovesAsItsAlignmentWants) {
    struct Case {
        TRVAlignment Align;
        TLines Lines;
    } cases[] = {
        {rvaLeft, {"0:1+2 0,0 16x14 N", "1:0+0 16,0 30x12", "2:1+2 46,0 16x14"}},
        {rvaRight, {"0:1+2 138,0 16x14 N", "1:0+0 154,0 30x12", "2:1+2 184,0 16x14"}},
    };
    for (const Case& c : cases) {
        auto style = MakeLayoutStyle();
        style->ParaStyles().GetItem(0)->Alignment = c.Align;
        TFixedMetricsCanvas canvas;
        TTestFormattedData data(style.get(), &canvas);
        data.AddTextItem("ab", 0, 0);
        auto picture =
            std::make_unique<TRVGraphicItemInfo>(&data, std::make_unique<TRVBitmapImage>(8, 10), vaBaseline);
        picture->ParaNo = -1;
        data.AddItem("", std::move(picture));
        data.AddTextItem("cd", 0, -1);
        data.Format();
        data.ChangeDrawItemWidth(1, 30);
        EXPECT_EQ(DrawItemTexts(data), c.Lines) << int(c.Align);
    }
}

// ---------------------------------------------------------------- minimum widths

TEST(RVMinWidthTest, WhatParagraphsAndDocumentsNeed) {
    auto style = MakeLayoutStyle();
    TFixedMetricsCanvas canvas;
    TTestFormattedData data(style.get(), &canvas);
    TParaInfo& noWrap = *style->ParaStyles().Add();
    noWrap.Options = rvpaoNoWrap;
    noWrap.LeftIndent = 5;
    noWrap.RightIndent = 7;
    TParaInfo& indented = *style->ParaStyles().Add();
    indented.LeftIndent = 10;
    indented.FirstIndent = 4;
    TRVListLevel& level = *style->ListStyles().Add()->Levels().Add();
    level.LeftIndent = 30;
    level.FirstIndent = 6;
    data.AddTextItem("aaaa", 0, 1);                      // 0: no wrap
    data.AddTextItem("bb", 0, -1);                       // 1
    data.AddTextItem("a long wrapping paragraph", 0, 2); // 2: widest item 20
    auto picture =
        std::make_unique<TRVGraphicItemInfo>(&data, std::make_unique<TRVBitmapImage>(48, 10), vaBaseline);
    picture->ParaNo = -1;
    data.AddItem("", std::move(picture));        // 3: 50 wide
    data.ApplyListMarker(-1, 0, 0, 1, false, 0); // 4: marker room 36
    data.AddTextItem("listed", 0, -1);           // 5
    EXPECT_EQ(data.CalculateMinParaWidth(0), 5 + 32 + 16 + 7);
    EXPECT_EQ(data.CalculateMinParaWidth(2), 10 + 4 + 50);
    // Level indents (30 + 6) and the marker before the text (36).
    EXPECT_EQ(data.CalculateMinParaWidth(5), 36 + 20 + 36);
    EXPECT_EQ(data.CalculateMinParasWidth(2, 5), 92);
    EXPECT_EQ(data.CalculateMinDocumentWidth(0, nullptr, nullptr), 92);
    TRVScreenDeviceResolution same;
    EXPECT_EQ(data.CalculateMinDocumentWidth(0, &same, &canvas), 92);
    EXPECT_EQ(data.CalculateMinRangeWidth(3, 2), 0);
    EXPECT_EQ(data.CalculateMinRangeWidth(0, 1), 60);
}

// ---------------------------------------------------------------- the font cache

TEST(RVFontCacheTest, TheFastCacheAppliesEachStyleOnce) {
    struct Case {
        TRVOptions Options;
        int Applied;
    } cases[] = {{rvoFastFormatting, 2}, {0, 20}};
    for (const Case& c : cases) {
        auto style = MakeLayoutStyle();
        TFixedMetricsCanvas canvas;
        TTestFormattedData data(style.get(), &canvas);
        data.Options = c.Options;
        for (int i = 0; i < 10; ++i) {
            data.AddTextItem("x", 0, -1);
            data.AddWideTextTag(u"y", 1, -1, 0);
        }
        int applied = 0;
        style->OnApplyStyle = [&](TRVStyle*, TCanvas&, int, bool&) { ++applied; };
        data.Format();
        EXPECT_EQ(applied, c.Applied) << c.Options;
    }
}

TEST(RVFontCacheTest, SubAndSuperscriptsAreSmallerAndShifted) {
    auto style = MakeLayoutStyle();
    style->TextStyles().GetItem(1)->SubSuperScriptType = rvsssSuperScript;
    TFixedMetricsCanvas canvas;
    TRVFontInfoCacheFast cache(nullptr, style.get(), &canvas, false);
    TRVFontInfoCacheItem& normal = *cache.GetItem(0);
    EXPECT_EQ(normal.VerticalOffset, 0);
    EXPECT_EQ(normal.HyphenWidth, 8);
    TRVFontInfoCacheItem& super = *cache.GetItem(1);
    // 10 points at 96 pixels per inch are 13 pixels: two thirds, and 0.45 up.
    EXPECT_EQ(super.SubSuperScriptHeight, 9);
    EXPECT_EQ(super.VerticalOffset, 6);
    EXPECT_EQ(canvas.Font()->Height(), -9);
    EXPECT_EQ(cache.GetItem(0), &normal);
    EXPECT_EQ(canvas.Font()->Height(), -13);
    // Out-of-range styles measure as the fallback style.
    EXPECT_NE(cache.GetItem(40), nullptr);
}

// ---------------------------------------------------------------- item-formatted data

// A list whose documents belong to Parent.
class TTestRow : public TRVDataList {
public:
    explicit TTestRow(TCustomRVData* AParent) : Parent(AParent) {}
    TCustomRVData* Parent;
    TCustomRVData* GetParentData() const override { return Parent; }
};

TEST(RVItemFormattedDataTest, ACellAsksItsRootAndFormatsToItsWidth) {
    TRVDataList list;
    auto& cell = *list.Get(list.Add(std::make_unique<TRVItemFormattedData>(&list)));
    EXPECT_EQ(cell.GetFlags(), 0x0412);
    EXPECT_EQ(cell.GetParentData(), nullptr);
    EXPECT_EQ(cell.GetRootData(), &cell);
    EXPECT_EQ(cell.GetLastVisibleItem(), -1);
    try {
        cell.SetFlags(0);
        FAIL();
    } catch (const EZoroZudoError& e) {
        EXPECT_STREQ(e.what(), "This method is not supported for TRVItemFormattedData");
    }
    cell.ShowRectangle(0, 0, 5, 5); // a root that is no formatted data: nothing

    auto style = MakeLayoutStyle();
    TFixedMetricsCanvas canvas;
    TTestFormattedData root(style.get(), &canvas);
    TTestRow row(&root);
    auto& inRow = *row.Get(row.Add(std::make_unique<TRVItemFormattedData>(&row)));
    EXPECT_EQ(inRow.GetRootData(), &root);
    EXPECT_EQ(inRow.GetRVStyle(), style.get());
    EXPECT_EQ(inRow.GetCanvas(), &canvas);
    inRow.SetWidth(40);
    inRow.AddTextItem("aaaa bbbb", 0, 0);
    inRow.FormatOnOwnCanvas(false);
    EXPECT_EQ(DrawItemTexts(inRow), (TLines{"0:1+4 0,0 32x14 N", "0:6+4 0,14 32x14 N"}));
    EXPECT_EQ(inRow.DocumentHeight, 28);
    EXPECT_EQ(inRow.GetLastVisibleItem(), 0);
}

} // namespace
