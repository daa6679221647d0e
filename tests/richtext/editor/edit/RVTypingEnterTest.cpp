// Typing a character and pressing Enter: which item takes the character,
// where the new paragraph or line goes and which styles it gets, list items
// continued and left, the refusals, and undo and redo back to the exact
// documents.
#include "RVEditOpsFixture.h"

namespace {

using RVTypingTest = RVEditOpsTest;
using RVEnterTest = RVEditOpsTest;

struct TTypingCase {
    const char* Name;
    std::vector<std::string> Items;
    int CaretItem, CaretOffs;
    int TextStyle, ParaStyle; // the current styles when typing
    bool Accepted;
    const char* Doc;
    const char* Caret;
};

TEST_F(RVTypingTest, TheCharacterGoesIntoAnItemOfTheCurrentStyle) {
    const TTypingCase cases[] = {
        {"the end of a word extends it", {"abc"}, 0, 4, 0, 0, true, R"("abcx")", "0:5"},
        {"inside a word", {"abc"}, 0, 2, 0, 0, true, R"("axbc")", "0:3"},
        {"the next item in the current style takes it",
         {"ab", "+cd#1"},
         0,
         3,
         1,
         0,
         true,
         R"("ab" +"xcd"#1)",
         "1:2"},
        {"after the last item in another style a new item",
         {"ab"},
         0,
         3,
         1,
         0,
         true,
         R"("ab" +"x"#1)",
         "1:2"},
        {"before an item of another style a new item", {"ab"}, 0, 1, 1, 0, true, R"("x"#1 +"ab")", "0:2"},
        {"an empty paragraph takes the current paragraph style",
         {"ab", ""},
         1,
         1,
         0,
         1,
         true,
         R"("ab" "x"^1)",
         "1:2"},
        {"text that must not grow gets a neighbour", {"ab#7"}, 0, 3, 7, 0, true, R"("ab"#7 +"x"#7)", "1:2"},
        {"modify-protected text refuses inside", {"abc#6"}, 0, 2, 6, 0, false, R"("abc"#6)", "0:2"},
        {"modify-protected text gets a neighbour at its end",
         {"abc#6"},
         0,
         4,
         6,
         0,
         true,
         R"("abc"#6 +"x"#6)",
         "1:2"},
        {"a read-only paragraph refuses", {"~abc"}, 0, 2, 0, 3, false, R"("abc"^3)", "0:2"},
        {"after a list marker the marker stays first",
         {"[*]", "+abc"},
         1,
         1,
         1,
         0,
         true,
         R"([*] +"x"#1 +"abc")",
         "1:2"},
    };
    for (const TTypingCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetCaretAt(c.CaretItem, c.CaretOffs);
        Data->CurrentTextStyle = c.TextStyle;
        Data->CurrentParaStyle = c.ParaStyle;
        int beeps = Editor.Beeps;
        Data->TypeText("x", 'x');
        EXPECT_EQ(Doc(), c.Doc);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Editor.Beeps > beeps, !c.Accepted);
        EXPECT_EQ(Data->UndoList->Count(), c.Accepted ? 1 : 0);
        Check();
        RoundTrip();
    }
}

TEST_F(RVTypingTest, AWordTypedIntoOneItemIsOneUndoStep) {
    Build({"ab", "+cd#1"});
    Data->SetCaretAt(0, 3);
    for (char ch : std::string("xyz"))
        Data->TypeText(AnsiString(1, ch), ch);
    EXPECT_EQ(Doc(), R"("abxyz" +"cd"#1)");
    EXPECT_EQ(Caret(), "0:6");
    ASSERT_EQ(Data->UndoList->Count(), 1);
    EXPECT_EQ(Data->UndoList->CurrentUndoType(), rvutTyping);
    EXPECT_EQ(Data->UndoList->Last()->Count(), 1);
    // A caret move between keystrokes starts another step.
    Data->SetCaretAt(0, 2);
    Data->TypeText("q", 'q');
    EXPECT_EQ(Data->UndoList->Count(), 2);
    Check();
    RoundTrip();
}

TEST_F(RVTypingTest, TypingPastTheLineWrapsAndStaysPartial) {
    Build({"abc", "def"});
    Data->SetCaretAt(0, 4);
    for (int i = 0; i < 30; ++i) {
        Data->TypeText(i % 6 == 5 ? " " : "w", 'w');
        Check();
    }
    // The first paragraph wrapped onto a second line.
    EXPECT_EQ(Data->DrawItems.Count(), 3);
    EXPECT_EQ(Caret(), "0:34");
    RoundTrip();
}

struct TEnterCase {
    const char* Name;
    std::vector<std::string> Items;
    int CaretItem, CaretOffs;
    bool LineBreak;
    bool Result;
    const char* Doc;
    const char* Caret;
};

TEST_F(RVEnterTest, EnterStartsAParagraphAndShiftEnterALine) {
    const TEnterCase cases[] = {
        {"at a paragraph's end", {"abc"}, 0, 4, false, true, R"("abc" "")", "1:1"},
        {"the next text style", {"abc#8"}, 0, 4, false, true, R"("abc"#8 ""#1)", "1:1"},
        {"the next paragraph style", {"!abc"}, 0, 4, false, true, R"("abc"^4 ""^1)", "1:1"},
        {"at a paragraph's start the checkpoint moves on",
         {"abc@"},
         0,
         1,
         false,
         true,
         R"(""@ "abc")",
         "1:1"},
        {"on an empty paragraph", {""}, 0, 1, false, true, R"("" "")", "1:1"},
        {"inside a word", {"abcd"}, 0, 3, false, true, R"("ab" "cd")", "1:1"},
        {"a line break inside a word", {"abcd"}, 0, 3, true, true, R"("ab" /"cd")", "1:1"},
        {"a line break at the end", {"abc"}, 0, 4, true, true, R"("abc" /"")", "1:1"},
        {"before a picture", {"ab", "+[pic]"}, 1, 0, false, true, R"("ab" [pic])", "1:0"},
        {"after a picture", {"[pic]", "+ab"}, 0, 1, false, true, R"([pic] "ab")", "1:1"},
        {"a list item continues", {"[*]", "+abc"}, 1, 4, false, true, R"([*] +"abc" [*] +"")", "3:1"},
        {"the text of a list item moves on",
         {"[*]", "+abc"},
         1,
         1,
         false,
         true,
         R"([*] +"" [*] +"abc")",
         "3:1"},
        {"a list item split", {"[*]", "+abcd"}, 1, 3, false, true, R"([*] +"ab" [*] +"cd")", "3:1"},
        {"inside a read-only paragraph refused", {"~abc"}, 0, 2, false, false, R"("abc"^3)", "0:2"},
        {"at a read-only paragraph's end accepted", {"~abc"}, 0, 4, false, true, R"("abc"^3 "")", "1:1"},
        {"a line break in a read-only paragraph refused", {"~abc"}, 0, 4, true, false, R"("abc"^3)", "0:4"},
        {"inside modify-protected text refused", {"abc#6"}, 0, 2, false, false, R"("abc"#6)", "0:2"},
    };
    for (const TEnterCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetCaretAt(c.CaretItem, c.CaretOffs);
        int beeps = Editor.Beeps;
        EXPECT_EQ(Data->PressEnter(c.LineBreak, false), c.Result);
        EXPECT_EQ(Doc(), c.Doc);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Editor.Beeps > beeps, !c.Result);
        Check();
        RoundTrip();
    }
}

TEST_F(RVEnterTest, EnterInAnEmptyListItemLeavesTheList) {
    Build({"[*]", "+abc", "[*]", "+x"});
    Data->SetCaretAt(3, 2);
    Data->BeginUndoGroup(rvutDelete);
    Data->UndoableDeleteSubstring(3, 1, 1);
    Data->Format();
    Start = Doc();
    StartStates = ItemStates(*Data);
    Data->SetCaretAt(3, 1);
    EXPECT_TRUE(Data->PressEnter(false, false));
    EXPECT_EQ(Doc(), R"([*] +"abc" "" "")");
    EXPECT_EQ(Caret(), "3:1");
    Check();
    // Back to the empty list item, the deletion before it kept.
    while (Data->UndoList->Count() > 1)
        Data->Undo();
    EXPECT_EQ(Doc(), Start);
    Check();
}

TEST_F(RVEnterTest, TheTagOfASplitItemGoesWithBothHalves) {
    Build({"abcd"});
    Data->LiveItem(0).Tag = 5;
    Data->SetCaretAt(0, 3);
    EXPECT_TRUE(Data->PressEnter(false, false));
    EXPECT_EQ(std::get<int32_t>(Data->LiveItem(1).Tag), 5);
    Check();
}

} // namespace
