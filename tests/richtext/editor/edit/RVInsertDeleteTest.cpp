// Inserting items at the caret and deleting the selection: the documents
// and carets they leave, the refusals that change nothing, and undo and
// redo back to the exact documents.
#include "RVEditOpsFixture.h"

namespace {

using RVInsertTest = RVEditOpsTest;
using RVDeleteSelectionTest = RVEditOpsTest;

enum class TNew { Picture, Break, Marker };

struct TInsertCase {
    const char* Name;
    std::vector<std::string> Items;
    int CaretItem, CaretOffs;
    TNew What;
    int ParaStyle; // the current paragraph style
    bool Result;
    const char* Doc;
    const char* Caret;
};

TEST_F(RVInsertTest, ItemsGoIntoTheDocumentAtTheCaret) {
    const TInsertCase cases[] = {
        {"picture inside a word splits it",
         {"abcdef"},
         0,
         4,
         TNew::Picture,
         0,
         true,
         R"("abc" +[pic] +"def")",
         "1:1"},
        {"picture into an empty paragraph replaces its item",
         {"abc", ""},
         1,
         1,
         TNew::Picture,
         1,
         true,
         R"("abc" [pic]^1)",
         "1:1"},
        {"break after a picture starts paragraphs",
         {"ab", "+[pic]", "+cd"},
         1,
         1,
         TNew::Break,
         0,
         true,
         R"("ab" +[pic] [br] "cd")",
         "2:1"},
        {"picture before the first character starts the paragraph",
         {"abc"},
         0,
         1,
         TNew::Picture,
         0,
         true,
         R"([pic] +"abc")",
         "0:1"},
        {"a persistent checkpoint stays at the paragraph start",
         {"abc@"},
         0,
         1,
         TNew::Picture,
         0,
         true,
         R"([pic]@ +"abc")",
         "0:1"},
        {"picture at the end of a text item",
         {"ab", "+cd#1"},
         0,
         3,
         TNew::Picture,
         0,
         true,
         R"("ab" +[pic] +"cd"#1)",
         "1:1"},
        {"a marker on text is consumed", {"abc"}, 0, 2, TNew::Marker, 0, true, R"("abc")", "0:2"},
        {"items that stick together refuse",
         {"ab#5", "+cd#5"},
         0,
         3,
         TNew::Picture,
         0,
         false,
         R"("ab"#5 +"cd"#5)",
         "0:3"},
        {"a read-only paragraph refuses", {"~abc"}, 0, 2, TNew::Picture, 3, false, R"("abc"^3)", "0:2"},
    };
    for (const TInsertCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetCaretAt(c.CaretItem, c.CaretOffs);
        Data->CurrentParaStyle = c.ParaStyle;
        std::unique_ptr<TCustomRVItemInfo> item;
        AnsiString text;
        if (c.What == TNew::Picture) {
            auto picture = std::make_unique<TRVGraphicItemInfo>(Data.get());
            picture->ImageWidth = 20;
            picture->ImageHeight = 10;
            picture->Spacing = 0;
            item = std::move(picture);
        } else if (c.What == TNew::Break) {
            item = std::make_unique<TRVBreakItemInfo>(Data.get());
        } else {
            item = std::make_unique<TRVMarkerItemInfo>(Data.get(), 0, 0, 1, false);
        }
        int beeps = Editor.Beeps;
        Data->BeginUndoGroup(rvutInsert);
        AnsiString split;
        EXPECT_EQ(Data->InsertItemAtCaret(std::move(item), text, false, false, false, split), c.Result);
        EXPECT_EQ(Doc(), c.Doc);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Editor.Beeps > beeps, !c.Result);
        Check();
        RoundTrip();
    }
}

TEST_F(RVInsertTest, ASplitReportsTheTextBeforeItUnlessTheEditIsAnnounced) {
    Build({"abcdef"});
    Data->SetCaretAt(0, 3);
    Data->BeginUndoGroup(rvutInsert);
    AnsiString text, split;
    EXPECT_TRUE(Data->InsertItemAtCaret(Data->CreateTextItem(0, 0, false, false, 1), text = "X", false, true,
                                        false, split));
    EXPECT_EQ(split, "abcdef");
    EXPECT_EQ(Doc(), R"("ab" +"X"#1 +"cdef")");
    // Before the item: the caret stays in front of it.
    EXPECT_EQ(Caret(), "0:3");
    Check();
    RoundTrip();
}

struct TDeleteCase {
    const char* Name;
    std::vector<std::string> Items;
    int StartItem, StartOffs, EndItem, EndOffs;
    bool Result;
    const char* Doc;
    const char* Caret;
};

TEST_F(RVDeleteSelectionTest, TheSelectionGoesAndTheParagraphsJoin) {
    const TDeleteCase cases[] = {
        {"a whole document leaves one empty item", {"abc"}, 0, 1, 0, 4, true, R"("")", "0:1"},
        {"the middle of one item goes in place", {"abcdef"}, 0, 2, 0, 5, true, R"("aef")", "0:2"},
        {"backwards the same", {"abcdef"}, 0, 5, 0, 2, true, R"("aef")", "0:2"},
        {"two half paragraphs become one item in the first one's style",
         {"^abc", "def"},
         0,
         2,
         1,
         3,
         true,
         R"("af"^1)",
         "0:2"},
        {"a following paragraph stays apart", {"abc", "def", "ghi"}, 0, 2, 1, 4, true, R"("a" "ghi")", "0:2"},
        {"a list item keeps an empty item after its marker",
         {"[*]", "+abc"},
         1,
         1,
         1,
         4,
         true,
         R"([*] +"")",
         "1:1"},
        {"a start at a continuation's start is the end of the item before",
         {"ab", "+cd#1", "+ef"},
         1,
         1,
         1,
         3,
         true,
         R"("abef")",
         "0:3"},
        {"modify-protected text goes whole", {"ab", "+cd#6", "+ef"}, 0, 2, 2, 2, true, R"("af")", "0:2"},
        {"modify-protected text cannot shrink",
         {"ab", "+cd#6", "+ef"},
         1,
         2,
         1,
         3,
         false,
         R"("ab" +"cd"#6 +"ef")",
         "1:3"},
        {"delete-protected text cannot go whole",
         {"ab", "+cd#9", "+ef"},
         0,
         2,
         2,
         2,
         false,
         R"("ab" +"cd"#9 +"ef")",
         "2:2"},
        {"delete-protected text can shrink",
         {"ab", "+cd#9", "+ef"},
         1,
         2,
         1,
         3,
         true,
         R"("ab" +"c"#9 +"ef")",
         "1:2"},
        {"inside a read-only paragraph is refused",
         {"~abc", "def"},
         0,
         2,
         1,
         2,
         false,
         R"("abc"^3 "def")",
         "1:2"},
        {"a read-only paragraph from its start goes", {"~abc", "def"}, 0, 1, 1, 2, true, R"("ef")", "0:1"},
        {"a persistent checkpoint in the second paragraph refuses",
         {"abc", "de", "+f@"},
         0,
         2,
         1,
         2,
         false,
         R"("abc" "de" +"f"@)",
         "1:2"},
        {"a persistent checkpoint of the first paragraph is rescued",
         {"ab", "+cd@", "+ef"},
         0,
         3,
         2,
         2,
         true,
         R"("abf"@)",
         "0:3"},
    };
    for (const TDeleteCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetSelectionBounds(c.StartItem, c.StartOffs, c.EndItem, c.EndOffs);
        int beeps = Editor.Beeps;
        EXPECT_TRUE(c.Result == Data->CanDeleteSelection());
        EXPECT_EQ(Data->DeleteSelection(), c.Result);
        EXPECT_EQ(Doc(), c.Doc);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Editor.Beeps > beeps, !c.Result);
        if (c.Result) {
            EXPECT_FALSE(Data->SelectionExists());
            ASSERT_EQ(Data->UndoList->Count(), 1);
            EXPECT_EQ(Data->UndoList->CurrentUndoType(), rvutDelete);
        } else {
            EXPECT_EQ(Data->UndoList->Count(), 0);
        }
        Check();
        RoundTrip();
    }
}

TEST_F(RVDeleteSelectionTest, NothingSelectedIsNothingToDo) {
    Build({"abc"});
    Data->SetCaretAt(0, 2);
    EXPECT_TRUE(Data->DeleteSelection());
    EXPECT_EQ(Doc(), Start);
    EXPECT_EQ(Data->UndoList->Count(), 0);
    Check();
}

TEST_F(RVDeleteSelectionTest, TheKeptEmptyItemTakesTheCaretSideTag) {
    Build({"abc"});
    Data->LiveItem(0).Tag = 7;
    Data->SetSelectionBounds(0, 1, 0, 4);
    EXPECT_TRUE(Data->DeleteSelection());
    EXPECT_EQ(std::get<int32_t>(Data->LiveItem(0).Tag), 7);
    Data->Undo();
    EXPECT_EQ(Data->GetItemText(0), "abc");
    Check();
}

} // namespace
