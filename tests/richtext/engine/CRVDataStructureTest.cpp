// The document's structure: paragraph and line ranges, joining and moving
// items, positions, tree walks, used styles and picture file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "RVTestData.h"
#include "richtext/engine/items/RVStyleUsage.h"

namespace {

AnsiString Raw(std::u16string_view Wide) {
    return WideToRawUnicode(Wide);
}

// Items by a short notation: "P" paragraph start, "L" line start, "C"
// continuing, each with its text.
void Build(TCustomRVData& Data, std::initializer_list<std::pair<char, const char*>> Items) {
    for (auto [kind, text] : Items) {
        auto item = std::make_unique<TRVTextItemInfo>(&Data);
        item->ParaNo = kind == 'C' ? -1 : 0;
        if (kind == 'L') item->ItemOptions = ioLineBreakBefore;
        Data.AddItem(text, std::move(item));
    }
}

TEST(RVDataStructureTest, ParagraphAndLineRanges) {
    TTestRVData data;
    Build(data, {{'P', "0"}, {'C', "1"}, {'L', "2"}, {'C', "3"}, {'P', "4"}, {'C', "5"}, {'L', "6"}});
    struct Case {
        int Start, End;
        int ParaFirst, ParaLast, LineFirst, LineLast;
    } cases[] = {
        {0, 0, 0, 3, 0, 1}, {3, 3, 0, 3, 2, 3}, {1, 4, 0, 6, 0, 5}, {6, 6, 4, 6, 6, 6}, {5, 5, 4, 6, 4, 5},
    };
    for (const Case& c : cases) {
        int first, last;
        data.ExpandToParas(c.Start, c.End, first, last);
        EXPECT_EQ(first, c.ParaFirst) << c.Start;
        EXPECT_EQ(last, c.ParaLast) << c.Start;
        data.ExpandToLines(c.Start, c.End, first, last);
        EXPECT_EQ(first, c.LineFirst) << c.Start;
        EXPECT_EQ(last, c.LineLast) << c.Start;
    }
    TTestRVData odd;
    odd.AddItemAsIs("x", std::make_unique<TRVTextItemInfo>(&odd));
    odd.GetItem(0)->ItemOptions = ioContinuesParagraph;
    EXPECT_EQ(odd.GetFirstParaItem(0), 0);
    EXPECT_EQ(odd.GetFirstLineItem(0), 0);
}

TEST(RVDataStructureTest, NormalisingParagraphStyles) {
    TTestRVData data;
    auto add = [&](int ParaNo, TRVItemOptions Options) {
        auto item = std::make_unique<TRVTextItemInfo>(&data);
        item->ParaNo = ParaNo;
        item->ItemOptions = Options;
        data.AddItemAsIs("x", std::move(item));
    };
    add(2, 0);
    add(5, ioContinuesParagraph);
    add(6, ioLineBreakBefore);
    add(7, 0);
    add(8, ioContinuesParagraph);
    data.NormalizeParaNos(2);
    EXPECT_EQ(std::vector<int>({data.GetItemPara(0), data.GetItemPara(1), data.GetItemPara(2),
                                data.GetItemPara(3), data.GetItemPara(4)}),
              std::vector<int>({2, 2, 2, 7, 8}));
    data.NormalizeParaNos(99); // cut to the last item
    EXPECT_EQ(data.GetItemPara(4), 7);
    EXPECT_EQ(CheckRVDataInvariants(data), "");
    TTestRVData empty;
    empty.NormalizeParaNos(0);
}

TEST(RVDataStructureTest, CharacterStepsInUnicodeText) {
    TTestRVData data;
    // e + combining acute, a surrogate pair, x
    AnsiString text = Raw(u"e\u0301\U0001F600x");
    data.AddRawUnicodeTextTag(text, 0, 0, 0);
    data.AddTextItem("abc", 0, 0);
    data.AddRawUnicodeTextTag("", 0, 0, 0);
    struct Case {
        int ItemNo, Offs, Next, Prev;
    } cases[] = {
        {0, 1, 3, 1}, {0, 3, 5, 1}, {0, 5, 6, 3}, {0, 6, 7, 5}, {1, 2, 3, 1}, {1, 1, 2, 0}, {2, 2, 3, 1},
    };
    for (const Case& c : cases) {
        const AnsiString& t = data.GetItemText(c.ItemNo);
        EXPECT_EQ(data.NextCharOffset(t, c.ItemNo, c.Offs), c.Next) << c.ItemNo << ":" << c.Offs;
        EXPECT_EQ(data.PrevCharOffset(t, c.ItemNo, c.Offs), c.Prev) << c.ItemNo << ":" << c.Offs;
    }
}

// ---------------------------------------------------------------- merging

class RVDataMergeTest : public ::testing::Test {
public:
    void SetUp() override {
        Style.TextStyles().GetItem(2)->Protection = rvprConcateProtect;
        Style.TextStyles().GetItem(3)->Unicode = true;
    }
    // Appends a text item; Continue says it continues the line.
    TRVTextItemInfo& Add(const AnsiString& Text, int StyleNo, bool Continue = true) {
        auto item = std::make_unique<TRVTextItemInfo>(&Data);
        item->StyleNo = StyleNo;
        item->ParaNo = Continue ? -1 : 0;
        if (Style.TextStyles().GetItem(StyleNo)->Unicode) item->ItemOptions = ioUnicodeText;
        TRVTextItemInfo& result = *item;
        Data.AddItem(Text, std::move(item));
        return result;
    }
    TRVStyle Style{nullptr};
    TTestRVData Data{&Style};
};

TEST_F(RVDataMergeTest, NeighbouringTextJoins) {
    struct Case {
        const char* Name;
        std::function<void(RVDataMergeTest&)> Setup;
        const char* Texts;
    } cases[] = {
        {"same style on one line", [](auto& t) { t.Add("ab", 0), t.Add("cd", 0); }, "abcd"},
        {"a new line", [](auto& t) { t.Add("ab", 0), t.Add("cd", 0, false); }, "ab|cd"},
        {"other styles", [](auto& t) { t.Add("ab", 0), t.Add("cd", 1); }, "ab|cd"},
        {"concatenation protected", [](auto& t) { t.Add("ab", 2), t.Add("cd", 2); }, "ab|cd"},
        {"protected but one empty", [](auto& t) { t.Add("ab", 2), t.Add("", 2); }, "ab"},
        {"other tags", [](auto& t) { t.Add("ab", 0), t.Add("cd", 0).Tag = 4; }, "ab|cd"},
        {"other hints", [](auto& t) { t.Add("ab", 0), t.Add("cd", 0).Hint = "h"; }, "ab|cd"},
        {"three into one", [](auto& t) { t.Add("a", 1), t.Add("b", 1), t.Add("c", 1); }, "abc"},
        {"a break between", [](auto& t) { t.Add("a", 1), t.Data.AddBreak(), t.Add("c", 1); }, "a||c"},
    };
    for (const Case& c : cases) {
        Data.Clear();
        c.Setup(*this);
        Data.MergeAdjacentItems(0, Data.ItemCount() - 1);
        EXPECT_EQ(ItemTexts(Data), c.Texts) << c.Name;
        EXPECT_EQ(CheckRVDataInvariants(Data), "") << c.Name;
    }
}

TEST_F(RVDataMergeTest, AnEmptyItemTakesTheStyleAndEncodingOfTheText) {
    Add("", 0, false);
    Add(Raw(u"Да"), 3);
    Data.MergeAdjacentItems(-5, 50);
    ASSERT_EQ(Data.ItemCount(), 1);
    EXPECT_EQ(Data.GetItem(0)->StyleNo, 3);
    EXPECT_TRUE(Data.GetItem(0)->IsUnicode());
    EXPECT_EQ(Data.GetItemTextAnsi(0), "Да"_cp);
}

TEST_F(RVDataMergeTest, CheckpointsSurviveJoining) {
    Add("ab", 0, false);
    Data.AddCheckpoint("kept apart", false, 0);
    Add("cd", 0);
    Data.MergeAdjacentItems(0, 1);
    EXPECT_EQ(ItemTexts(Data), "ab|cd");

    Data.Clear();
    Add("", 0, false);
    Data.AddCheckpoint("moves", false, 0);
    Add("cd", 0);
    Data.MergeAdjacentItems(0, 1);
    EXPECT_EQ(ItemTexts(Data), "cd");
    ASSERT_NE(Data.GetItemCheckpoint(0), nullptr);
    EXPECT_EQ(Data.GetItemCheckpoint(0)->Name, "moves");
    EXPECT_EQ(CheckRVDataInvariants(Data), "");

    Data.Clear();
    Add("ab", 0, false);
    Data.AddCheckpoint("on empty text", false, 0);
    Add("", 0);
    Data.MergeAdjacentItems(0, 1);
    EXPECT_EQ(Data.ItemCount(), 2);
}

TEST_F(RVDataMergeTest, JoiningReachesIntoSubDocuments) {
    Add("a", 0, false);
    TTestBoxItem& box = AddBox(Data, 2);
    TTestBoxItem& inner = AddBox(*box.Cells[1], 1);
    Build(*inner.Cells[0], {{'P', "x"}, {'C', "y"}});
    Build(*box.Cells[0], {{'P', "p"}, {'C', "q"}, {'P', "r"}});
    Data.MergeAdjacentItems(0, Data.ItemCount() - 1);
    EXPECT_EQ(ItemTexts(*box.Cells[0]), "pq|r");
    EXPECT_EQ(ItemTexts(*inner.Cells[0]), "xy");
}

// ---------------------------------------------------------------- moving

TEST(RVDataMoveTest, ItemsMoveWithTheirCheckpoints) {
    TTestRVData target, source;
    Build(target, {{'P', "t"}});
    Build(source, {{'P', "s"}});
    source.AddCheckpoint("first", false, 0);
    auto joining = std::make_unique<TRVTextItemInfo>(&source);
    joining->ItemOptions = ioContinuesParagraph;
    source.AddItemAsIs("joins", std::move(joining));
    Build(source, {{'P', "new"}, {'L', "line"}});
    source.AddCheckpoint("pending", true, 0);
    source.Actions.clear();
    target.MoveItemsFrom(&source);
    EXPECT_EQ(ItemTexts(target), "t|s|joins|new|line");
    EXPECT_EQ(target.GetItemOptions(2), ioContinuesParagraph);
    EXPECT_EQ(target.GetItemOptions(4), ioLineBreakBefore);
    EXPECT_EQ(target.GetItemCheckpoint(2)->Name, "first");
    EXPECT_EQ(target.PendingCheckpoint->Name, "pending");
    EXPECT_EQ(target.CheckpointCount, 2);
    EXPECT_EQ(source.ItemCount(), 0);
    EXPECT_EQ(source.CheckpointCount, 0);
    EXPECT_EQ(source.CheckpointHead, nullptr);
    EXPECT_EQ(source.StateBits, 0u);
    EXPECT_TRUE(source.Actions.empty()); // nothing was destroyed
    EXPECT_EQ(CheckRVDataInvariants(target), "");
    EXPECT_EQ(CheckRVDataInvariants(source), "");

    // The target's own pending checkpoint stays; the source's is dropped.
    source.AddCheckpoint("dropped", false, 0);
    target.MoveItemsFrom(&source);
    EXPECT_EQ(target.PendingCheckpoint->Name, "pending");
    EXPECT_EQ(source.PendingCheckpoint, nullptr);
    EXPECT_EQ(CheckRVDataInvariants(target), "");
    target.MoveItemsFrom(nullptr);
    target.MoveItemsFrom(&target);
    EXPECT_EQ(target.ItemCount(), 5);
}

TEST(RVDataMoveTest, AnItemThatRefusesToComeStaysBehindWithTheRest) {
    TTestRVData source;
    for (const char* name : {"a", "b", "c"}) {
        source.AddCheckpoint(name, false, 0);
        source.AddTextItem(name, 0, 0);
    }
    int inserting = 0;
    struct TRefusing : TTestRVData {
        int* Count;
        void DoItemAction(TRVItemAction Action, TCustomRVItemInfo* Item, AnsiString& Text,
                          TCustomRVData* Data) override {
            if (Action == rviaInserting && ++*Count == 2) throw Exception("refused");
            TTestRVData::DoItemAction(Action, Item, Text, Data);
        }
    } refusing;
    refusing.Count = &inserting;
    EXPECT_THROW(refusing.MoveItemsFrom(&source), Exception);
    EXPECT_EQ(ItemTexts(refusing), "a");
    EXPECT_EQ(ItemTexts(source), "c");
    EXPECT_EQ(CheckRVDataInvariants(refusing), "");
    EXPECT_EQ(CheckRVDataInvariants(source), "");
    EXPECT_EQ(source.GetItemCheckpoint(0)->Name, "c");
}

// ---------------------------------------------------------------- the document tree

// main: "m0", box(cell0: "c00" "c01"; cell1: "c10", box(cell0: "d")), tab, "m3"
class RVDataTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Build(Main, {{'P', "m0"}});
        Box = &AddBox(Main, 2);
        Build(*Box->Cells[0], {{'P', "c00"}, {'C', "c01"}});
        Build(*Box->Cells[1], {{'P', "c10"}});
        Inner = &AddBox(*Box->Cells[1], 1);
        Build(*Inner->Cells[0], {{'P', "d"}});
        Main.AddItem("", std::make_unique<TRVTabItemInfo>(&Main));
        Build(Main, {{'C', "m3"}});
    }
    TTestRVData Main;
    TTestBoxItem* Box = nullptr;
    TTestBoxItem* Inner = nullptr;
    TCustomRVData& Cell(int i) { return *Box->Cells[std::size_t(i)]; }
    TCustomRVData& Deep() { return *Inner->Cells[0]; }
};

TEST_F(RVDataTreeTest, ComparingPositions) {
    TTestRVData other;
    other.AddTextItem("x", 0, 0);
    struct Case {
        const char* Name;
        TCustomRVData* Data1;
        int ItemNo1;
        TCustomRVData* Data2;
        int ItemNo2;
        int Sign;
    } cases[] = {
        {"the same position", &Cell(0), 1, &Cell(0), 1, 0},
        {"earlier in one document", &Main, 0, &Main, 2, -1},
        {"inside an item after the item", &Cell(0), 0, &Main, 1, 1},
        {"the item before what is inside it", &Main, 1, &Cell(0), 1, -1},
        {"inside an item before the next item", &Cell(1), 0, &Main, 2, -1},
        {"inside an item after the previous item", &Cell(0), 0, &Main, 0, 1},
        {"cells in order", &Cell(0), 1, &Cell(1), 0, -1},
        {"cells in reverse order", &Cell(1), 0, &Cell(0), 1, 1},
        {"a nested cell after an outer cell", &Deep(), 0, &Cell(0), 1, 1},
        {"a nested cell after its box", &Deep(), 0, &Cell(1), 1, 1},
        {"a nested cell before a later item", &Deep(), 0, &Main, 3, -1},
    };
    for (const Case& c : cases) {
        int result = c.Data1->ComparePositions(c.ItemNo1, c.Data2, c.ItemNo2);
        EXPECT_EQ((result > 0) - (result < 0), c.Sign) << c.Name;
    }
    EXPECT_THROW(Cell(0).ComparePositions(0, &other, 0), EZoroZudoError);
    EXPECT_THROW(Main.ComparePositions(0, &other, 0), EZoroZudoError);
    EXPECT_THROW(Main.ComparePositions(0, nullptr, 0), EZoroZudoError);
}

TEST_F(RVDataTreeTest, WalkingAndSearchingTheTree) {
    AnsiString visited;
    EXPECT_TRUE(Main.EnumItems([&](TCustomRVData& Data, int ItemNo, bool&) {
        visited += (visited.empty() ? "" : " ") +
                   (Data.GetItemText(ItemNo).empty() ? "#" : Data.GetItemText(ItemNo));
    }));
    EXPECT_EQ(visited, "m0 # c00 c01 c10 # d # m3");
    int seen = 0;
    EXPECT_FALSE(Main.EnumItems([&](TCustomRVData&, int, bool& Continue) { Continue = ++seen < 4; }));
    EXPECT_EQ(seen, 4);

    EXPECT_EQ(Main.FindItemContaining(0, Deep().GetItem(0)), 1);
    EXPECT_EQ(Main.FindItemContaining(2, Deep().GetItem(0)), -1);
    EXPECT_EQ(Main.FindItemContaining(0, Main.GetItem(3)), 3);
    TRVTextItemInfo stray(nullptr);
    EXPECT_EQ(Main.FindItemContaining(0, &stray), -1);
}

TEST_F(RVDataTreeTest, FindingThePreviousItemOfAClass) {
    auto named = [](const char* Text) {
        return [Text](const TCustomRVItemInfo& Item) { return Item.Hint == Text; };
    };
    Main.GetItem(0)->Hint = "m0";
    Cell(0).GetItem(1)->Hint = "c01";
    Deep().GetItem(0)->Hint = "d";
    EXPECT_EQ(Main.FindPrevItemOfClass<TRVTabItemInfo>(3), Main.GetItem(2));
    EXPECT_EQ(Main.FindPrevItemOfClass<TRVTabItemInfo>(1), nullptr);
    // From a nested cell: earlier sibling cells, then the main document.
    EXPECT_EQ(Deep().FindPrevItemOfClass(0, named("c01")), Cell(0).GetItem(1));
    EXPECT_EQ(Deep().FindPrevItemOfClass(-1, named("m0")), Main.GetItem(0));
    EXPECT_EQ(Cell(0).FindPrevItemOfClass(1, named("d")), nullptr);
    // Looking back from after the box finds the last match inside it.
    EXPECT_EQ(Main.FindPrevItemOfClass(3, named("d")), Deep().GetItem(0));
    EXPECT_EQ(Main.FindPrevItemOfClass<TTestBoxItem>(3), Box);
}

// ---------------------------------------------------------------- styles in use

TEST(RVDataStylesTest, UsedStylesAndTheStylesTheyReferTo) {
    TRVStyle style(nullptr);
    for (int i = 0; i < 4; ++i) {
        style.TextStyles().Add();
        style.ParaStyles().Add();
    }
    // 10 text styles, 6 paragraph styles, 2 list styles; none standard.
    for (int i = 0; i < style.TextStyles().Count(); ++i)
        style.TextStyles().GetItem(i)->Standard = false;
    for (int i = 0; i < style.ParaStyles().Count(); ++i)
        style.ParaStyles().GetItem(i)->Standard = false;
    style.ListStyles().Add()->Standard = false;
    style.ListStyles().Add()->Standard = false;
    style.ListStyles().GetItem(1)->BaseStyleNo = 0;
    style.TextStyles().GetItem(9)->Standard = true;
    style.ParaStyles().GetItem(1)->NextParaNo = 3;
    style.ParaStyles().GetItem(3)->DefStyleNo = 6;
    style.ParaStyles().GetItem(3)->BaseStyleNo = 42; // outside: cleared
    style.TextStyles().GetItem(6)->BaseStyleNo = 7;
    style.TextStyles().GetItem(7)->NextStyleNo = 6; // a loop
    style.TextStyles().GetItem(2)->NextStyleNo = 99;
    style.DefUnicodeStyle = 50;

    TTestRVData data(&style);
    data.AddTextItem("a", 2, 1);
    auto tab = std::make_unique<TRVTabItemInfo>(&data);
    tab->TextStyleNo = 4;
    tab->ParaNo = 4;
    data.AddItem("", std::move(tab));
    data.AddTextItem("b", rvsDefStyle, 4);

    TRVStyleUsageInfo usage;
    usage.ExamineListStyles = false;
    data.MarkUsedStyles(usage);
    EXPECT_EQ(usage.TextStyles.Values(), (std::vector<int32_t>{0, 0, 1, 0, 1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(usage.ParaStyles.Values(), (std::vector<int32_t>{0, 1, 0, 1, 1, 0}));
    EXPECT_EQ(usage.ListStyles.Values(), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(style.ParaStyles().GetItem(3)->BaseStyleNo, -1);
    EXPECT_EQ(style.TextStyles().GetItem(2)->NextStyleNo, -1);
    EXPECT_EQ(style.DefUnicodeStyle, -1);

    // After deleting the unused styles the items follow their styles.
    auto renumbering = [](const TRVIntegerList& Marks) {
        TRVIntegerList out;
        int deleted = 0;
        for (int i = 0; i < Marks.Count(); ++i) {
            out.Add(Marks[i] ? 1 + deleted : 0);
            if (!Marks[i]) ++deleted;
        }
        return out.Values();
    };
    TRVStyleUsageInfo renumber;
    for (int v : renumbering(usage.TextStyles))
        renumber.TextStyles.Add(v);
    for (int v : renumbering(usage.ParaStyles))
        renumber.ParaStyles.Add(v);
    data.RenumberItemsStyles(renumber);
    EXPECT_EQ(data.GetItem(0)->StyleNo, 0);
    EXPECT_EQ(data.GetItem(0)->ParaNo, 0);
    EXPECT_EQ(dynamic_cast<TRVTabItemInfo&>(*data.GetItem(1)).TextStyleNo, 1);
    EXPECT_EQ(data.GetItem(2)->StyleNo, rvsDefStyle);
    EXPECT_EQ(data.GetItem(2)->ParaNo, 2);
}

// ---------------------------------------------------------------- picture file names

TEST(RVDataFilesTest, NextFreePictureFileName) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("rvdata_files_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    AnsiString path = dir.string() + "/";
    TTestRVData data;
    int counter = 0;
    AnsiString name;
    data.GetNextFileName("img", path, ".jpg", counter, false, name);
    EXPECT_EQ(name, path + "img1.jpg");
    EXPECT_EQ(counter, 1);

    std::ofstream(path + "img2.jpg") << "x";
    std::ofstream(path + "img3.jpg") << "x";
    fs::permissions(path + "img3.jpg", fs::perms::owner_write, fs::perm_options::remove);
    data.GetNextFileName("img", path, ".jpg", counter, false, name);
    EXPECT_EQ(name, path + "img4.jpg");
    counter = 1;
    data.GetNextFileName("img", path, ".jpg", counter, true, name);
    EXPECT_EQ(name, path + "img2.jpg");
    data.GetNextFileName("img", path, ".jpg", counter, true, name);
    EXPECT_EQ(name, path + "img4.jpg"); // the read-only one is skipped

    counter = 0;
    data.GetNextFileName(path + "abs", "/elsewhere/", ".bmp", counter, false, name);
    EXPECT_EQ(name, path + "abs1.bmp");
    fs::permissions(path + "img3.jpg", fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(dir);
}

} // namespace
