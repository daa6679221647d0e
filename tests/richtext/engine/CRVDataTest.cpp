// Appending items, text and paragraphs to a document, reaching its items, and its checkpoints.
#include <gtest/gtest.h>

#include "RVTestData.h"

namespace {

AnsiString Raw(std::u16string_view Wide) {
    return WideToRawUnicode(Wide);
}

// One appended item of a paragraph test.
struct TAdd {
    enum Kind { Text, Break, Marker, LineBreakText } What;
    int ParaNo;
};
// What an item ends up as: its option bits and paragraph style.
struct TItemShape {
    int StyleNo;
    TRVItemOptions Options;
    int ParaNo;
};

TEST(RVDataAddTest, AppendedItemsFormParagraphs) {
    using A = TAdd;
    constexpr auto C = ioContinuesParagraph;
    constexpr auto L = ioLineBreakBefore;
    struct Case {
        const char* Name;
        bool NewParaAllowed;
        std::vector<TAdd> Adds;
        std::vector<TItemShape> Items;
    } cases[] = {
        {"continuing an empty document starts paragraph 0", true, {{A::Text, -1}}, {{0, 0, 0}}},
        {"continuing text joins its paragraph", true, {{A::Text, 1}, {A::Text, -1}}, {{0, 0, 1}, {0, C, 1}}},
        {"nothing continues a break",
         true,
         {{A::Text, 1}, {A::Break, -1}, {A::Text, -1}},
         {{0, 0, 1}, {rvsBreak, 0, 0}, {0, 0, 0}}},
        {"a new paragraph never leaves a list marker alone",
         true,
         {{A::Marker, 1}, {A::Text, 0}},
         {{rvsListMarker, 0, 1}, {0, C, 1}, {0, 0, 0}}},
        {"text continuing a marker needs no filler",
         true,
         {{A::Marker, 1}, {A::Text, -1}},
         {{rvsListMarker, 0, 1}, {0, C, 1}}},
        {"a line break keeps its flag and takes the paragraph's style",
         true,
         {{A::Text, 1}, {A::LineBreakText, 0}},
         {{0, 0, 1}, {0, L, 1}}},
        {"the first item never breaks a line", true, {{A::LineBreakText, 1}}, {{0, 0, 1}}},
        {"no new paragraphs: all text lines of the first paragraph but after breaks",
         false,
         {{A::Text, 0}, {A::Text, 1}, {A::Break, 0}, {A::Text, 1}, {A::Text, 0}},
         {{0, 0, 0}, {0, L, 0}, {rvsBreak, 0, 0}, {0, 0, 1}, {0, L, 1}}},
    };
    for (const Case& c : cases) {
        TTestRVData data;
        data.NewParaAllowed = c.NewParaAllowed;
        for (const TAdd& add : c.Adds) {
            switch (add.What) {
            case A::Text:
                data.AddTextItem("t", 0, add.ParaNo);
                break;
            case A::Break: {
                auto item = std::make_unique<TRVBreakItemInfo>(&data);
                item->ParaNo = add.ParaNo;
                data.AddItem("", std::move(item));
                break;
            }
            case A::Marker:
                data.AddItem("", MakeRectItem(rvsListMarker, add.ParaNo));
                break;
            case A::LineBreakText: {
                auto item = std::make_unique<TRVTextItemInfo>(&data);
                item->ParaNo = add.ParaNo;
                item->ItemOptions = ioLineBreakBefore;
                data.AddItem("t", std::move(item));
                break;
            }
            }
        }
        ASSERT_EQ(data.ItemCount(), int(c.Items.size())) << c.Name;
        for (int i = 0; i < data.ItemCount(); ++i) {
            EXPECT_EQ(data.GetItem(i)->StyleNo, c.Items[i].StyleNo) << c.Name << " item " << i;
            EXPECT_EQ(data.GetItemOptions(i), c.Items[i].Options) << c.Name << " item " << i;
            EXPECT_EQ(data.GetItemPara(i), c.Items[i].ParaNo) << c.Name << " item " << i;
        }
        EXPECT_EQ(CheckRVDataInvariants(data), "") << c.Name;
    }
}

TEST(RVDataAddTest, ItemsAreToldAboutInsertion) {
    TTestRVData data;
    data.AddTextItem("a", 0, 0);
    data.AddBreak();
    EXPECT_EQ(data.Actions, (std::vector<AnsiString>{"inserting a", "inserted ", "inserting ", "inserted "}));
    EXPECT_EQ(data.GetItem(1)->ParaNo, 0);
    EXPECT_EQ(dynamic_cast<TRVBreakItemInfo&>(*data.GetItem(1)).LineWidth, 1);
    EXPECT_EQ(dynamic_cast<TRVBreakItemInfo&>(*data.GetItem(1)).Color, clNone);
}

// A style sheet whose text style 1 is Unicode and 2 Greek; paragraph style 1
// defaults to text style 1.
class RVDataTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        Style.TextStyles().GetItem(1)->Unicode = true;
        Style.TextStyles().GetItem(2)->Charset = 161;
        Style.ParaStyles().GetItem(1)->DefStyleNo = 1;
        Style.SpacesInTab = 2;
    }
    TRVStyle Style{nullptr};
    TTestRVData Data{&Style};
};

TEST_F(RVDataTextTest, TextIsStoredInTheEncodingOfItsTextStyle) {
    enum Kind { Ansi, Wide, RawUnicode, AsIs };
    struct Case {
        const char* Name;
        Kind How;
        AnsiString Text;
        int StyleNo, ParaNo;
        AnsiString Stored;
        bool Unicode;
    } cases[] = {
        {"8-bit into an 8-bit style", Ansi, "Привет"_cp, 0, 0, "Привет"_cp, false},
        {"8-bit into a Unicode style", Ansi, "Привет"_cp, 1, 0, Raw(u"Привет"), true},
        {"wide into an 8-bit style", Wide, "", 0, 0, "Привет?"_cp, false},
        {"wide into a Greek style", Wide, "", 2, 0, "???????", false},
        {"wide into a Unicode style", Wide, "", 1, 0, Raw(u"Привет中"), true},
        {"raw UTF-16 into an 8-bit style", RawUnicode, Raw(u"Да"), 0, 0, "Да"_cp, false},
        {"the paragraph's default style decides", Ansi, "Да"_cp, -1, 1, Raw(u"Да"), true},
        {"tabs become the style sheet's spaces", AsIs, "a\tb", 0, 0, "a  b", false},
        {"tabs in Unicode text count units", AsIs, Raw(u"a\tb"), 1, 0, Raw(u"a  b"), true},
    };
    for (const Case& c : cases) {
        Data.Clear();
        switch (c.How) {
        case Ansi:
            Data.AddAnsiTextTag(c.Text, c.StyleNo, c.ParaNo, 0);
            break;
        case Wide:
            Data.AddWideTextTag(u"Привет中", c.StyleNo, c.ParaNo, 0);
            break;
        case RawUnicode:
            Data.AddRawUnicodeTextTag(c.Text, c.StyleNo, c.ParaNo, 0);
            break;
        case AsIs:
            Data.AddTextItem(c.Text, c.StyleNo, c.ParaNo);
            break;
        }
        EXPECT_EQ(Data.GetItemText(0), c.Stored) << c.Name;
        EXPECT_EQ(Data.GetItem(0)->IsUnicode(), c.Unicode) << c.Name;
    }
    // A negative style number means the paragraph's default text style.
    Data.Clear();
    Data.AddTextItem(Raw(u"x"), -1, 1);
    EXPECT_EQ(Data.GetItem(0)->StyleNo, rvsDefStyle);
    EXPECT_EQ(Data.GetItemStyle(0), 1);
    EXPECT_EQ(Data.GetItemTextAnsi(0), "x");
}

TEST_F(RVDataTextTest, BrokenUnicodeTextIsRefused) {
    EXPECT_THROW(Data.AddRawUnicodeTextTag("abc", 0, 0, 0), EZoroZudoError);
    EXPECT_THROW(Data.AddTextItem("abc", 1, 0), EZoroZudoError);
    EXPECT_EQ(Data.ItemCount(), 0);
}

TEST(RVDataTextNoStyleTest, WithoutAStyleSheetTextKeepsTheEncodingGiven) {
    TTestRVData data;
    data.AddWideTextTag(u"Да\t", 3, 0, 0);
    data.AddAnsiTextTag("a\tb", -1, -1, 0);
    EXPECT_TRUE(data.GetItem(0)->IsUnicode());
    EXPECT_EQ(data.GetItemText(0), Raw(u"Да        "));
    EXPECT_EQ(data.GetItemTextAnsi(0), "Да        "_cp);
    EXPECT_FALSE(data.GetItem(1)->IsUnicode());
    EXPECT_EQ(data.GetItemText(1), "a        b");
    EXPECT_EQ(data.GetItemStyle(1), 0);
}

TEST_F(RVDataTextTest, StyleSheetAsksForNoSpacesInATab) {
    Style.SpacesInTab = 0;
    Data.AddTextItem("a\tb", 0, 0);
    EXPECT_EQ(Data.GetItemText(0), "a        b");
}

TEST_F(RVDataTextTest, OffsetsAndLengths) {
    Data.AddTextItem("", 0, 0);
    Data.AddTextItem("abc", 0, -1);
    Data.AddTextItem(Raw(u"Да"), 1, -1);
    Data.AddBreak();
    struct Case {
        int Length, Start, End;
    } cases[] = {{0, 1, 1}, {3, 1, 4}, {2, 1, 3}, {1, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Data.ItemLength(i), cases[i].Length) << i;
        EXPECT_EQ(Data.ItemStartOffset(i), cases[i].Start) << i;
        EXPECT_EQ(Data.ItemEndOffset(i), cases[i].End) << i;
    }
    EXPECT_EQ(Data.GetItemTextAnsi(2), "Да"_cp);
}

TEST_F(RVDataTextTest, StyleQuestions) {
    Style.DefCodePage = 1252;
    Style.ParaStyles().GetItem(0)->BiDiMode = rvbdRightToLeft;
    Style.TextStyles().GetItem(3)->BiDiMode = rvbdLeftToRight;
    Data.AddTextItem("a", 0, 0);
    Data.AddTextItem("b", 3, -1);
    Data.AddBreak();
    EXPECT_EQ(Data.GetStyleCodePage(0), 1252); // the default charset
    EXPECT_EQ(Data.GetStyleCodePage(2), 1253);
    EXPECT_EQ(Data.GetStyleCodePage(-1), 1252);
    EXPECT_EQ(Data.GetDefCodePage(), 1252);
    EXPECT_EQ(Data.GetItemBiDiMode(0), rvbdRightToLeft);
    EXPECT_EQ(Data.GetItemBiDiMode(1), rvbdLeftToRight);
    EXPECT_EQ(Data.GetItemBiDiMode(2), rvbdRightToLeft);
    EXPECT_EQ(Data.GetParaBiDiMode(1), rvbdUnspecified);
    EXPECT_EQ(Data.ResolveStyleNo(rvsDefStyle, 0), 0); // DefStyleNo -1
    EXPECT_EQ(Data.ResolveStyleNo(rvsDefStyle, 1), 1);
    EXPECT_EQ(Data.ResolveStyleNo(rvsDefStyle, 500), 0);

    TTestRVData bare;
    EXPECT_EQ(bare.GetStyleCodePage(0), 0);
    EXPECT_EQ(bare.GetDefCodePage(), 0);
}

TEST_F(RVDataTextTest, Delimiters) {
    struct Case {
        AnsiString Text;
        int Pos;
        TRVItemOptions Options;
        bool Delimiter;
    } cases[] = {
        {"a b", 2, 0, true},
        {"a b", 1, 0, false},
        {"a\x92", 2, 0, true},
        {"a b", 0, 0, false},
        {"a b", 4, 0, false},
        {Raw(u"a b"), 2, ioUnicodeText, true},
        {Raw(u"a\u2019"), 2, ioUnicodeText, true},
        {Raw(u"a\u0092"), 2, ioUnicodeText, false},
        {Raw(u"a\u00a0"), 2, ioUnicodeText, true},
        {Raw(u"ab"), 3, ioUnicodeText, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Data.IsDelimiter(c.Text, c.Pos, c.Options), c.Delimiter) << c.Text << " " << c.Pos;
    AnsiString text("a\0b", 3);
    TCustomRVData::ReplaceNulChars(text);
    EXPECT_EQ(text, "a?b");
}

TEST(RVDataItemsTest, BadIndexesRaiseAndNeverReachTheItems) {
    TTestRVData data;
    data.AddTextItem("a", 0, 0);
    data.AddItem("", MakeRectItem(rvsListMarker, 0));
    data.AddTextItem("b", 0, -1);
    data.GetItem(1)->SetPageBreakBefore(true);
    EXPECT_TRUE(data.PageBreakBefore(2)); // the marker's flag
    EXPECT_TRUE(data.PageBreakBefore(1));
    EXPECT_FALSE(data.PageBreakBefore(0));
    auto message = [&](auto Call) -> AnsiString {
        try {
            Call();
        } catch (const EZoroZudoError& e) {
            return e.Message;
        }
        return "no error";
    };
    EXPECT_EQ(message([&] { data.PageBreakBefore(3); }), errRVItemIndex);
    EXPECT_EQ(message([&] { data.PageBreakBefore(-1); }), errRVItemIndex);
    EXPECT_EQ(message([&] { data.GetItem(3); }), "List index out of bounds (3)");
    EXPECT_EQ(message([&] { data.GetItemText(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(message([&] { data.CheckItemClass<TRVBreakItemInfo>(0); }), errRVItemPropType);
    EXPECT_EQ(&data.CheckItemClass<TRVTextItemInfo>(0), data.GetItem(0));
    EXPECT_EQ(&data.CheckItemClass<TRVNonTextItemInfo>(1), data.GetItem(1));
    EXPECT_EQ(message([&] { data.DeleteItems(-1, 1); }), "List index out of bounds (-1)");

    int index = 7;
    data.ClampItemNo(index);
    EXPECT_EQ(index, 2);
    index = -3;
    data.ClampItemNo(index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(data.GetItemNo(data.GetItem(2)), 2);
    EXPECT_EQ(data.GetItemNo(nullptr), -1);
    EXPECT_EQ(CheckRVDataInvariants(data), "");
}

TEST(RVDataItemsTest, ExtraPropertiesGoThroughTheItem) {
    TTestRVData data;
    data.AddItem("tab", std::make_unique<TRVTabItemInfo>(&data));
    int value = 0;
    EXPECT_TRUE(data.SetItemExtraIntProperty(0, rvepSpacing, 6));
    EXPECT_TRUE(data.GetItemExtraIntProperty(0, rvepSpacing, value));
    EXPECT_EQ(value, 6);
    EXPECT_FALSE(data.SetItemExtraIntProperty(0, rvepWidth, 6));
    EXPECT_TRUE(data.SetItemExtraStrProperty(0, rvespHint, "h"));
    AnsiString hint;
    EXPECT_TRUE(data.GetItemExtraStrProperty(0, rvespHint, hint));
    EXPECT_EQ(hint, "h");
}

TEST(RVDataItemsTest, ADocumentThatBorrowsItemsNeverFreesThem) {
    struct TPrinting : TTestRVData {
        bool SharesItems() const override { return true; }
    };
    TTestRVData source;
    source.AddTextItem("a", 0, 0);
    source.AddTextItem("b", 0, 0);
    {
        TPrinting printing;
        printing.ShareItemsFrom(source);
        EXPECT_EQ(ItemTexts(printing), "a|b");
        printing.DeleteItems(0, 1);
        printing.Clear();
        TTestRVData cell;
        cell.UseItemsOf(&source);
        EXPECT_EQ(cell.ItemCount(), 2);
    }
    EXPECT_EQ(ItemTexts(source), "a|b");
    EXPECT_TRUE(source.Actions.size() == 4); // inserted twice, destroyed never
}

TEST(RVDataItemsTest, ClearingFinishesWhenTheOwnerFailsMidway) {
    // The owner reads the first item while later ones are destroyed, when the
    // first one is gone already.
    struct TNosy : TTestRVData {
        void DoItemAction(TRVItemAction Action, TCustomRVItemInfo* Item, AnsiString& Text,
                          TCustomRVData* Data) override {
            if (Action == rviaDestroying && Item != GetItem(0)) GetItemPara(0);
            TTestRVData::DoItemAction(Action, Item, Text, Data);
        }
    } data;
    for (const char* name : {"a", "b", "c"}) {
        data.AddCheckpoint(name, false, 0);
        data.AddTextItem(name, 0, 0);
    }
    try {
        data.Clear();
        ADD_FAILURE() << "no error";
    } catch (const EZoroZudoError& e) {
        EXPECT_EQ(e.Message, errRVItemIndex);
    }
    EXPECT_EQ(data.ItemCount(), 0);
    EXPECT_EQ(data.CheckpointCount, 0);
    EXPECT_EQ(data.StateBits, 0u);
    EXPECT_EQ(CheckRVDataInvariants(data), "");
}

// ---------------------------------------------------------------- checkpoints

// Checkpoint names in chain order, "|" between them, "+name" for the pending one.
AnsiString Chain(const TCustomRVData& Data) {
    AnsiString out;
    for (const TRVCPInfo* cp = Data.CheckpointHead; cp; cp = cp->Next)
        out += (out.empty() ? "" : "|") + cp->Name + "@" + IntToStr(Data.GetItemNo(cp->Item));
    if (Data.PendingCheckpoint) out += "+" + Data.PendingCheckpoint->Name;
    return out;
}

TEST(RVDataCheckpointTest, PendingCheckpointGoesToTheNextItem) {
    TTestRVData data;
    EXPECT_EQ(data.AddCheckpoint("a", true, 5), 0);
    EXPECT_EQ(data.AddCheckpoint("b", false, 0), 0); // one pending at a time
    EXPECT_EQ(data.CheckpointCount, 1);
    data.AddTextItem("x", 0, 0);
    data.AddTextItem("y", 0, 0);
    EXPECT_EQ(data.AddCheckpoint("c", false, 7), 1);
    data.AddBreak();
    EXPECT_EQ(data.AddCheckpoint("end", false, 0), 2);
    EXPECT_EQ(Chain(data), "a@0|c@2+end");
    EXPECT_EQ(data.CheckpointCount, 3);
    EXPECT_TRUE(data.GetItemCheckpoint(0)->RaiseEvent);
    EXPECT_TRUE(TagsAreEqual(data.GetItemCheckpoint(0)->Tag, 5));
    EXPECT_EQ(data.GetItemCheckpoint(1), nullptr);
    EXPECT_EQ(CheckRVDataInvariants(data), "");
}

TEST(RVDataCheckpointTest, AnItemsOwnCheckpointYieldsToAPendingOne) {
    TTestRVData data;
    auto carrying = [&](const char* Name) {
        auto item = std::make_unique<TRVTextItemInfo>(&data);
        item->Checkpoint = std::make_unique<TRVCPInfo>();
        item->Checkpoint->Name = Name;
        item->Checkpoint->Persistent = true;
        return item;
    };
    data.AddCheckpoint("pending", false, 0);
    data.AddItem("a", carrying("own"));
    data.AddItem("b", carrying("kept"));
    EXPECT_EQ(Chain(data), "pending@0|kept@1");
    EXPECT_TRUE(data.GetItemCheckpoint(1)->Persistent);
    EXPECT_EQ(data.CheckpointCount, 2);
    EXPECT_EQ(CheckRVDataInvariants(data), "");
}

TEST(RVDataCheckpointTest, AnItemThatRefusesInsertionLeavesItsCheckpointWaiting) {
    TTestRVData data;
    data.AddTextItem("a", 0, 0);
    data.AddCheckpoint("cp", false, 0);
    data.RefuseInserting = true;
    EXPECT_THROW(data.AddTextItem("b", 0, 0), Exception);
    data.RefuseInserting = false;
    EXPECT_EQ(data.ItemCount(), 1);
    EXPECT_EQ(Chain(data), "+cp");
    EXPECT_EQ(CheckRVDataInvariants(data), "");
    data.AddTextItem("c", 0, 0);
    EXPECT_EQ(Chain(data), "cp@1");
}

TEST(RVDataCheckpointTest, DeletingAndClearingFreeCheckpoints) {
    TTestRVData data;
    for (const char* name : {"a", "b", "c", "d"}) {
        data.AddCheckpoint(name, false, 0);
        data.AddTextItem(name, 0, 0);
    }
    data.AddCheckpoint("end", false, 0);
    data.Actions.clear();
    data.DeleteItems(1, 2);
    EXPECT_EQ(Chain(data), "a@0|d@1+end");
    EXPECT_EQ(data.CheckpointCount, 3);
    EXPECT_EQ(data.Actions, (std::vector<AnsiString>{"destroying b", "destroying c"}));
    EXPECT_EQ(CheckRVDataInvariants(data), "");
    data.DeleteItems(1, 100); // cut to the end
    data.DeleteItems(5, 1);   // beyond the end: nothing
    EXPECT_EQ(ItemTexts(data), "a");
    EXPECT_EQ(Chain(data), "a@0+end");
    data.StateBits = rvdsContinuesPrevPara | rvdsReadingBlock;
    data.ContinuedListNo = 3;
    data.Clear();
    EXPECT_EQ(data.ItemCount(), 0);
    EXPECT_EQ(data.CheckpointCount, 0);
    EXPECT_EQ(Chain(data), "");
    EXPECT_EQ(data.StateBits, TRVDataStates(rvdsReadingBlock));
    EXPECT_EQ(data.ContinuedListNo, -1);

    data.AddCheckpoint("lonely", false, 0);
    data.Clear();
    EXPECT_EQ(data.CheckpointCount, 0);
    EXPECT_EQ(data.PendingCheckpoint, nullptr);
}

TEST(RVDataCheckpointTest, ChainInItemOrder) {
    TTestRVData data;
    for (int i = 0; i < 6; ++i) {
        if (i % 2) data.AddCheckpoint(IntToStr(i), false, 0);
        data.AddTextItem("x", 0, 0);
    }
    data.UpdateCheckpointItemNos();
    EXPECT_EQ(data.FindCheckpointBefore(1), nullptr);
    EXPECT_EQ(data.FindCheckpointBefore(2)->Name, "1");
    EXPECT_EQ(data.FindCheckpointBefore(5)->Name, "3");
    EXPECT_EQ(data.FindCheckpointBefore(6)->Name, "5");

    struct Case {
        int ItemNo;
        const char* Chain;
    } cases[] = {{0, "0|1|3|5"}, {4, "1|3|4|5"}, {5, "1|3|5|5"}, {-1, "1|3|5"}};
    for (const Case& c : cases) {
        TRVCPInfo cp;
        cp.Name = IntToStr(c.ItemNo);
        data.InsertCheckpointInOrder(&cp, c.ItemNo);
        AnsiString names;
        for (const TRVCPInfo* p = data.CheckpointHead; p; p = p->Next)
            names += (names.empty() ? "" : "|") + p->Name;
        EXPECT_EQ(names, c.Chain) << c.ItemNo;
        if (c.ItemNo >= 0) data.UnlinkCheckpoint(&cp, false);
        data.UnlinkCheckpoint(&cp, false); // twice leaves the chain alone
    }
    EXPECT_EQ(CheckRVDataInvariants(data), "");
}

TEST(RVDataCheckpointTest, CheckerFindsABrokenChain) {
    TTestRVData data;
    data.AddCheckpoint("a", false, 0);
    data.AddTextItem("x", 0, 0);
    data.AddCheckpoint("b", false, 0);
    data.AddTextItem("y", 0, 0);
    ASSERT_EQ(CheckRVDataInvariants(data), "");
    data.CheckpointTail = data.CheckpointHead;
    data.CheckpointCount = 5;
    EXPECT_EQ(CheckRVDataInvariants(data), "the checkpoint tail is not the last checkpoint; "
                                           "CheckpointCount is 5, not 2");
}

} // namespace

namespace {

TEST(RVDataItemNoTest, AnItemIsFoundWhereItStoodOrNearby) {
    TTestRVData data;
    constexpr int count = 2000;
    for (int i = 0; i < count; ++i)
        data.AddTextItem("x", 0, 0);
    // Three items come in front: every other item stands three further on.
    for (int i = 0; i < 3; ++i)
        data.ItemList->InsertObject(0, "y", std::make_unique<TRVTextItemInfo>(&data));
    int64_t before = data.ItemList->SearchSteps();
    for (int i = data.ItemCount() - 1; i >= 0; --i)
        ASSERT_EQ(data.GetItemNo(data.GetItem(i)), i);
    // A few comparisons each, not a walk of the list.
    EXPECT_LT(data.ItemList->SearchSteps() - before, 8 * int64_t(data.ItemCount()));
    EXPECT_EQ(data.GetItemNo(nullptr), -1);
    TRVTextItemInfo stranger(&data);
    EXPECT_EQ(data.GetItemNo(&stranger), -1);
}

} // namespace
