// Items: the class registry, paragraph flags, queries, extra properties, copies and spelling marks.
#include <gtest/gtest.h>

#include "RVTestData.h"

namespace {

class TTestOtherItem : public TRVRectItemInfo {
public:
    using TRVRectItemInfo::TRVRectItemInfo;
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TTestOtherItem>(); }
};

// The message an EZoroZudoError carries, or empty when F raises nothing.
template <class F> AnsiString ErrorOf(F Call) {
    try {
        Call();
    } catch (const EZoroZudoError& e) {
        return e.Message;
    }
    return {};
}

TEST(RVItemRegistryTest, AcceptsOnlyNumbersBelowMinusNineOncePerClass) {
    const TRVItemClass rect = TRVItemClass::Of<TTestRectItem>();
    const TRVItemClass other = TRVItemClass::Of<TTestOtherItem>();
    struct Case {
        int StyleNo;
        TRVItemClass Class;
        bool Accepted;
    } cases[] = {
        {0, rect, false},  {-1, rect, false},  {-5, rect, false},   {-9, rect, false},
        {-60, rect, true}, {-60, rect, true},  {-60, other, false}, {-10, rect, true},
        {-11, rect, true}, {-12, other, true}, {-300, other, true},
    };
    for (const Case& c : cases) {
        AnsiString error = ErrorOf([&] { RegisterItemTypeClass(c.StyleNo, c.Class); });
        EXPECT_EQ(error, c.Accepted ? "" : errRVItemRangeError) << c.StyleNo;
    }
}

TEST(RVItemRegistryTest, FactoryMakesBuiltInKindsItselfAndAsksTheRegistryForOthers) {
    RegisterItemTypeClass(-310, TRVItemClass::Of<TTestOtherItem>());
    // Registering built-in numbers changes nothing the factory makes.
    RegisterItemTypeClass(-10, TRVItemClass::Of<TTestRectItem>());
    RegisterItemTypeClass(-12, TRVItemClass::Of<TTestOtherItem>());
    struct Case {
        int StyleNo;
        const std::type_info* Type; // nil: no item
    } cases[] = {
        {0, &typeid(TRVTextItemInfo)},
        {7, &typeid(TRVTextItemInfo)},
        {rvsDefStyle, &typeid(TRVTextItemInfo)},
        {rvsBreak, &typeid(TRVBreakItemInfo)},
        {rvsTab, &typeid(TRVTabItemInfo)},
        {rvsCheckpoint, nullptr},
        {rvsBack, nullptr},
        {rvsVersionInfo, nullptr},
        {rvsDocProperty, nullptr},
        {-311, nullptr},
        {-310, &typeid(TTestOtherItem)},
    };
    TTestRVData data;
    for (const Case& c : cases) {
        std::unique_ptr<TCustomRVItemInfo> item = CreateItemForStyleNo(c.StyleNo, &data);
        if (!c.Type) {
            EXPECT_EQ(item, nullptr) << c.StyleNo;
            continue;
        }
        ASSERT_NE(item, nullptr) << c.StyleNo;
        EXPECT_EQ(typeid(*item), *c.Type) << c.StyleNo;
        EXPECT_EQ(item->StyleNo, c.StyleNo);
        EXPECT_EQ(item->DrawItemNo, -1);
    }
    std::unique_ptr<TCustomRVItemInfo> hot = CreateItemForStyleNo(rvsHotPicture, &data);
    EXPECT_EQ(dynamic_cast<TTestRectItem*>(hot.get()), nullptr);
}

TEST(RVItemTest, ParagraphFlagsExcludeEachOther) {
    enum Flag { Continues, PageBreak, LineBreak };
    struct Case {
        bool FullLine;
        TRVItemOptions Before;
        Flag Set;
        bool Value;
        TRVItemOptions After;
    } cases[] = {
        {false, ioContinuesParagraph, PageBreak, true, ioPageBreakBefore},
        {false, ioPageBreakBefore | ioLineBreakBefore, Continues, true, ioContinuesParagraph},
        {false, ioContinuesParagraph, LineBreak, true, ioLineBreakBefore},
        {false, ioPageBreakBefore, LineBreak, true, ioPageBreakBefore | ioLineBreakBefore},
        {false, ioPageBreakBefore | ioLineBreakBefore | ioUnicodeText, PageBreak, false,
         ioLineBreakBefore | ioUnicodeText},
        {true, 0, LineBreak, true, 0},
        {true, ioLineBreakBefore, LineBreak, true, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCustomRVItemInfo> item;
        if (c.FullLine)
            item = std::make_unique<TRVBreakItemInfo>(nullptr);
        else
            item = std::make_unique<TRVTextItemInfo>(nullptr);
        item->ItemOptions = c.Before;
        if (c.Set == Continues) item->SetContinuesParagraph(c.Value);
        if (c.Set == PageBreak) item->SetPageBreakBefore(c.Value);
        if (c.Set == LineBreak) item->SetLineBreakBefore(c.Value);
        EXPECT_EQ(item->ItemOptions, c.After) << int(c.Before) << " " << c.Set;
        EXPECT_EQ(item->StartsParagraph(), !(c.After & (ioContinuesParagraph | ioLineBreakBefore)));
    }
}

class RVItemStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Style.TextStyles().GetItem(4)->HoverColor = clRed;
        Style.TextStyles().GetItem(5)->HoverColor = clNone;
        Style.ParaStyles().GetItem(1)->DefStyleNo = 4;
    }
    TRVStyle Style{nullptr};
};

TEST_F(RVItemStyleTest, KindsAnswerTheirQueries) {
    TRVTextItemInfo plain(nullptr), jump(nullptr), jumpNoHover(nullptr), defaultJump(nullptr);
    jump.StyleNo = 4;
    jumpNoHover.StyleNo = 5;
    defaultJump.StyleNo = rvsDefStyle;
    defaultJump.ParaNo = 1;
    TRVBreakItemInfo breakItem(nullptr);
    TRVTabItemInfo tab(nullptr);
    struct Case {
        const TCustomRVItemInfo* Item;
        const char* Name;
        std::vector<int> TrueQueries;   // codes 0..13
        std::vector<int> TrueQueriesEx; // codes 0..6
    } cases[] = {
        {&plain, "text", {iqValid, iqHasRVFLines, iqActsAsText, 13}, {iqxPrintViaBitmap}},
        {&jump,
         "jump text",
         {iqValid, iqHasRVFLines, iqActsAsText, 13},
         {iqxPrintViaBitmap, iqxHyperlink, iqxFocusable, iqxHoverSensitive, iqxFocusRectangle}},
        {&jumpNoHover,
         "jump text without hover effects",
         {iqValid, iqHasRVFLines, iqActsAsText, 13},
         {iqxPrintViaBitmap, iqxHyperlink, iqxFocusable, iqxFocusRectangle}},
        {&defaultJump,
         "text in its paragraph's jump style",
         {iqValid, iqHasRVFLines, iqActsAsText, 13},
         {iqxPrintViaBitmap, iqxHyperlink, iqxFocusable, iqxHoverSensitive, iqxFocusRectangle}},
        {&breakItem, "break", {iqFullLine, iqValid, iqHasRVFLines, iqActsAsText, 13}, {}},
        {&tab,
         "tab",
         {iqValid, iqHasRVFLines, iqPaintChangesFont, iqInTextOnlyOutput, iqActsAsText, 13},
         {iqxDeviceSized}},
    };
    for (const Case& c : cases) {
        for (int q = 0; q <= 13; ++q) {
            bool expected = std::find(c.TrueQueries.begin(), c.TrueQueries.end(), q) != c.TrueQueries.end();
            EXPECT_EQ(c.Item->GetBoolValue(TRVItemBoolQuery(q)), expected) << c.Name << " query " << q;
        }
        for (int q = 0; q <= 6; ++q) {
            bool expected =
                std::find(c.TrueQueriesEx.begin(), c.TrueQueriesEx.end(), q) != c.TrueQueriesEx.end();
            EXPECT_EQ(c.Item->GetBoolValueEx(TRVItemBoolQueryEx(q), &Style), expected)
                << c.Name << " query " << q;
        }
    }
}

TEST_F(RVItemStyleTest, DefaultTextStyleComesFromTheParagraphStyle) {
    TRVTabItemInfo tab(nullptr);
    tab.TextStyleNo = rvsDefStyle;
    tab.ParaNo = 1;
    EXPECT_EQ(tab.GetActualTextStyleNo(&Style), 4);
    tab.ParaNo = 0; // DefStyleNo -1
    EXPECT_EQ(tab.GetActualTextStyleNo(&Style), 0);
    tab.ParaNo = 99; // the fallback paragraph style has none either
    EXPECT_EQ(tab.GetActualTextStyleNo(&Style), 0);
    EXPECT_EQ(tab.GetActualTextStyleNo(nullptr), 0);
    tab.TextStyleNo = 3;
    EXPECT_EQ(tab.GetActualTextStyleNo(&Style), 3);
    EXPECT_EQ(tab.GetAssociatedTextStyleNo(), 3);

    TRVTextItemInfo text(nullptr);
    text.StyleNo = rvsDefStyle;
    text.ParaNo = 1;
    EXPECT_EQ(text.GetActualStyleNo(&Style), 4);
    EXPECT_EQ(TRVBreakItemInfo(nullptr).GetAssociatedTextStyleNo(), -1);
}

TEST(RVItemTest, ExtraPropertyLines) {
    struct Case {
        const char* Line;
        int VShift, Spacing;
        bool VShiftAbs, Unremovable;
        const char* Hint;
    } cases[] = {
        {"vshift=12", 12, 1, false, false, ""},   {"vshift=abc", 0, 1, false, false, ""},
        {"vshiftabs=1", 5, 1, true, false, ""},   {"spacing=-3", 5, 0, false, false, ""},
        {"unremovable=1", 5, 1, false, true, ""}, {"hint=a=b", 5, 1, false, false, "a=b"},
        {"Hint=x", 5, 1, false, false, ""},       {"width=40", 5, 1, false, false, ""},
        {"vshift", 5, 1, false, false, ""},       {"=3", 5, 1, false, false, ""},
    };
    for (const Case& c : cases) {
        TRVTabItemInfo tab(nullptr);
        tab.VShift = 5;
        tab.ReadRVFExtraProperty(c.Line);
        EXPECT_EQ(tab.VShift, c.VShift) << c.Line;
        EXPECT_EQ(tab.Spacing, c.Spacing) << c.Line;
        EXPECT_EQ(tab.VShiftAbs, c.VShiftAbs) << c.Line;
        EXPECT_EQ(tab.Unremovable, c.Unremovable) << c.Line;
        EXPECT_EQ(tab.Hint, c.Hint) << c.Line;
    }
    int value = -1;
    AnsiString text;
    TRVTextItemInfo item(nullptr);
    EXPECT_FALSE(item.GetExtraIntProperty(rvepUnremovable, value));
    EXPECT_FALSE(item.SetExtraStrProperty(rvespAlt, "x"));
    EXPECT_TRUE(item.SetExtraStrProperty(rvespHint, "tip"));
    EXPECT_TRUE(item.GetExtraStrProperty(rvespHint, text));
    EXPECT_EQ(text, "tip");
    EXPECT_EQ(ExtraItemPropertyKey(rvepMinHeightOnPage), "minheightonpage");
    EXPECT_EQ(ExtraItemPropertyKey(15), "");
    EXPECT_EQ(ExtraItemStrPropertyKey(rvespFileName), "filename");
}

TEST(RVItemTest, CopiesKeepClassPropertiesTagAndOptionallyTheCheckpoint) {
    TTestRVData data;
    auto source = TRVBreakItemInfo::CreateEx(&data, 3, brkDashed, clRed);
    source->ParaNo = 2;
    source->ItemOptions = ioPageBreakBefore;
    source->Hint = "line";
    source->Unremovable = true;
    source->Tag = AnsiString("tag text");
    source->Checkpoint = std::make_unique<TRVCPInfo>();
    source->Checkpoint->Name = "here";
    source->Checkpoint->Persistent = true;
    source->Checkpoint->Tag = 7;

    for (bool withCheckpoint : {false, true}) {
        std::unique_ptr<TCustomRVItemInfo> copy = CreateItemCopy(*source, &data, withCheckpoint);
        auto& b = dynamic_cast<TRVBreakItemInfo&>(*copy);
        EXPECT_EQ(b.StyleNo, rvsBreak);
        EXPECT_EQ(b.ParaNo, 2);
        EXPECT_EQ(b.ItemOptions, ioPageBreakBefore);
        EXPECT_EQ(b.Hint, "line");
        EXPECT_TRUE(b.Unremovable);
        EXPECT_EQ(b.LineWidth, 3);
        EXPECT_EQ(b.BreakStyle, brkDashed);
        EXPECT_EQ(b.Color, clRed);
        EXPECT_TRUE(TagsAreEqual(b.Tag, AnsiString("tag text")));
        ASSERT_EQ(b.Checkpoint != nullptr, withCheckpoint);
        if (withCheckpoint) {
            EXPECT_EQ(b.Checkpoint->Name, "here");
            EXPECT_TRUE(b.Checkpoint->Persistent);
            EXPECT_TRUE(TagsAreEqual(b.Checkpoint->Tag, 7));
            EXPECT_EQ(b.Checkpoint->Item, nullptr);
        }
    }

    // A tab copy is measured in the same text style.
    TRVTabItemInfo tab(&data);
    tab.TextStyleNo = 3;
    tab.Spacing = 4;
    auto tabCopy = CreateItemCopy(tab, &data, false);
    EXPECT_EQ(dynamic_cast<TRVTabItemInfo&>(*tabCopy).TextStyleNo, 3);
    EXPECT_EQ(dynamic_cast<TRVTabItemInfo&>(*tabCopy).Spacing, 4);

    // Between classes only the common part is copied, never the kind.
    TRVTabItemInfo target(&data);
    target.AssignProperties(*source);
    EXPECT_EQ(target.StyleNo, rvsTab);
    EXPECT_EQ(target.ParaNo, 2);
    EXPECT_TRUE(target.Unremovable);
    EXPECT_EQ(target.Spacing, 1);
}

TEST(RVItemTest, BreakAndTabAsPlainText) {
    struct Case {
        int Width;
        int LineLength;
        const char* Text;
    } cases[] = {{1, 5, "-----"}, {0, 2, "--"}, {3, 3, "==="}, {2, 0, "="}, {1, -4, "-"}};
    for (const Case& c : cases) {
        auto item = TRVBreakItemInfo::CreateEx(nullptr, uint8_t(c.Width), brkLine, clNone);
        EXPECT_EQ(item->AsText(c.LineLength, nullptr, "", "", false, false), c.Text) << c.Width;
    }
    EXPECT_EQ(TRVTabItemInfo(nullptr).AsText(80, nullptr, "", "", true, false), "\t");
    EXPECT_EQ(TRVTextItemInfo(nullptr).AsText(80, nullptr, "abc", "", false, false), "");
}

TEST(RVItemTest, MinimumWidthScalesToTheDevice) {
    TRVTabItemInfo item(nullptr);
    EXPECT_EQ(item.GetMinWidth(nullptr, nullptr, nullptr), 20);
    TRVScreenDeviceResolution printer;
    printer.DevicePpiX = 600;
    EXPECT_EQ(item.GetMinWidth(&printer, nullptr, nullptr), 125);
    EXPECT_EQ(item.GetHorzSpacing(), 1);
    EXPECT_EQ(TRVBreakItemInfo(nullptr).GetHorzSpacing(), 0);
}

// Marks as "start:length" joined by blanks.
AnsiString Marks(const TCustomRVItemInfo& Item) {
    AnsiString out;
    if (!Item.WordPainters) return "none";
    for (int i = 0; i < Item.WordPainters->Count(); ++i) {
        TRVWordPainter* p = Item.WordPainters->Get(i);
        out += (i ? " " : "") + IntToStr(p->WordStart) + ":" + IntToStr(p->WordLength);
    }
    return out;
}

TEST(RVItemTest, SpellingMarksFollowTyping) {
    struct Case {
        const char* Name;
        const char* Text;
        std::vector<std::pair<int, int>> Marks;
        int Pos;
        char Ch;
        const char* After;
        bool Recheck;
    } cases[] = {
        {"letter after an apostrophe inside a marked word", "ab'", {{1, 2}}, 4, 'c', "none", true},
        {"letter after a plain end of a marked word", "ab ", {{1, 2}}, 4, 'c', "1:2", false},
        {"letter at the end of a marked word", "ab", {{1, 2}}, 3, 'c', "none", true},
        {"delimiter right after a marked word", "ab", {{1, 2}}, 3, ' ', "1:2", true},
        {"delimiter inside a marked word", "abc", {{1, 3}}, 2, ' ', "none", true},
        {"letter before a later word", "x abc", {{3, 3}}, 1, 'y', "4:3", false},
        {"letter after a typographic apostrophe", "ab\x92", {{1, 2}}, 4, 'c', "none", true},
    };
    for (const Case& c : cases) {
        TTestRVData data;
        TRVTextItemInfo item(&data);
        for (auto [start, length] : c.Marks)
            item.AddMisspelling(start, length);
        EXPECT_EQ(item.AdjustWordPaintersOnInsert(c.Pos, c.Text, char16_t(uint8_t(c.Ch)), &data), c.Recheck)
            << c.Name;
        EXPECT_EQ(Marks(item), c.After) << c.Name;
    }
}

TEST(RVItemTest, SpellingMarksFollowDeletion) {
    struct Case {
        int Pos, Count;
        const char* After;
        bool Recheck;
    } cases[] = {
        {2, 2, "2:3 8:3", true}, // touches the first word
        {20, 1, "1:2 4:3 10:3", false},
        {5, 1, "1:2 9:3", true},
        {7, 2, "1:2 4:3 8:3", false},
    };
    for (const Case& c : cases) {
        TRVTextItemInfo item(nullptr);
        item.AddMisspelling(1, 2);
        item.AddMisspelling(4, 3);
        item.AddMisspelling(10, 3);
        EXPECT_EQ(item.AdjustWordPaintersOnDelete(c.Pos, c.Count), c.Recheck) << c.Pos;
        EXPECT_EQ(Marks(item), c.After) << c.Pos;
    }
}

TEST(RVItemTest, SpellingMarksAreFoundAndCleared) {
    TRVTextItemInfo item(nullptr);
    item.AddMisspelling(1, 2);
    item.AddMisspelling(4, 3);
    item.AddMisspelling(9, 1);
    int start = 0, length = 0;
    EXPECT_TRUE(item.FindMisspellingAt(3, start, length));
    EXPECT_EQ(start, 1);
    EXPECT_FALSE(item.IsMisspelledAt(3));
    EXPECT_TRUE(item.IsMisspelledAt(4));
    EXPECT_FALSE(item.FindMisspellingAt(8, start, length));

    item.ItemState = rvisSpellChecked;
    item.ClearWordPaintersFrom(5);
    EXPECT_EQ(Marks(item), "1:2");
    EXPECT_EQ(item.ItemState, 0);
    item.ClearMisspellings();
    EXPECT_EQ(Marks(item), "none");

    item.AddMisspelling(4, 3);
    item.ClearWordPaintersFrom(1);
    EXPECT_EQ(Marks(item), "none");
    item.AddMisspelling(4, 3);
    TTestRVData data;
    data.AddItem("abcdef", std::make_unique<TRVTextItemInfo>(&data));
    data.GetItem(0)->AddMisspelling(2, 2);
    data.GetItem(0)->MovingToUndoList(0, &data, nullptr);
    EXPECT_EQ(Marks(*data.GetItem(0)), "none");
    EXPECT_EQ(data.Actions.back(), "undo abcdef");
}

} // namespace
