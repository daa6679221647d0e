// Applying text and paragraph styles to the selection: items cut around
// the selected characters, converted, joined with alike neighbours, the
// selection kept on the same characters, and undo and redo back to the
// exact documents.
#include "RVEditOpsFixture.h"

namespace {

using RVApplyStyleTest = RVEditOpsTest;

std::string Selection(TRVEditRVData& Data) {
    int s, so, e, eo;
    Data.GetSelectionItemBounds(s, e, so, eo, false);
    return std::to_string(s) + ":" + std::to_string(so) + "-" + std::to_string(e) + ":" + std::to_string(eo);
}

struct TTextStyleCase {
    const char* Name;
    std::vector<std::string> Items;
    int StartItem, StartOffs, EndItem, EndOffs;
    bool WholeParagraphs;
    const char* Doc;
    const char* Selected;
};

TEST_F(RVApplyStyleTest, TheSelectedCharactersTakeTheStyle) {
    const TTextStyleCase cases[] = {
        {"the middle of an item", {"abcdef"}, 0, 2, 0, 5, false, R"("a" +"bcd"#1 +"ef")", "1:1-1:4"},
        {"the middle, selected backwards", {"abcdef"}, 0, 5, 0, 2, false, R"("a" +"bcd"#1 +"ef")", "1:4-1:1"},
        {"the head of an item", {"abcdef"}, 0, 1, 0, 3, false, R"("ab"#1 +"cdef")", "0:1-0:3"},
        {"the tail of an item", {"abcdef"}, 0, 4, 0, 7, false, R"("abc" +"def"#1)", "1:1-1:4"},
        {"a whole item in place", {"abc"}, 0, 1, 0, 4, false, R"("abc"#1)", "0:1-0:4"},
        {"text converted only whole", {"abcdef#10"}, 0, 2, 0, 4, false, R"("abcdef"#1)", "0:2-0:4"},
        {"a piece joins its alike neighbour",
         {"ab#1", "+cdef"},
         1,
         1,
         1,
         3,
         false,
         R"("abcd"#1 +"ef")",
         "0:3-0:5"},
        {"across paragraphs", {"abc", "def"}, 0, 2, 1, 3, false, R"("a" +"bc"#1 "de"#1 +"f")", "1:1-2:3"},
        {"whole paragraphs", {"abc", "+de#1", "fgh"}, 0, 2, 0, 3, true, R"("abcde"#1 "fgh")", "0:2-0:3"},
    };
    for (const TTextStyleCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetSelectionBounds(c.StartItem, c.StartOffs, c.EndItem, c.EndOffs);
        Data->ApplyTextStyleToSelection(1, 1, c.WholeParagraphs);
        EXPECT_EQ(Doc(), c.Doc);
        EXPECT_EQ(Selection(*Data), c.Selected);
        EXPECT_EQ(Data->CurrentTextStyle, 1);
        ASSERT_EQ(Data->UndoList->Count(), 1);
        EXPECT_EQ(Data->UndoList->CurrentUndoType(), rvutStyleNo);
        Check();
        RoundTrip();
    }
}

TEST_F(RVApplyStyleTest, TheSameStyleAgainRecordsNothing) {
    Build({"abc#1"});
    Data->SetSelectionBounds(0, 2, 0, 3);
    Data->ApplyTextStyleToSelection(1, 1, false);
    EXPECT_EQ(Doc(), Start);
    EXPECT_FALSE(Data->CanUndo());
    Check();
}

TEST_F(RVApplyStyleTest, TheMiddleLosesItsTagWhenTheEditorSaysSo) {
    Build({"abcdef"});
    Data->LiveItem(0).Tag = 3;
    StartStates = ItemStates(*Data);
    Editor.Options |= rvoClearTagOnStyleApp;
    Data->SetSelectionBounds(0, 2, 0, 5);
    Data->ApplyTextStyleToSelection(1, 1, false);
    ASSERT_EQ(Data->ItemCount(), 3);
    EXPECT_EQ(std::get<int32_t>(Data->LiveItem(0).Tag), 3);
    EXPECT_EQ(std::get<int32_t>(Data->LiveItem(1).Tag), 0);
    EXPECT_EQ(std::get<int32_t>(Data->LiveItem(2).Tag), 3);
    Check();
    RoundTrip();
}

TEST_F(RVApplyStyleTest, WithoutASelectionOnlyTheTypingStyleChanges) {
    Build({"abc", ""});
    Data->SetCaretAt(0, 2);
    Data->ApplyTextStyleToSelection(1, 1, false);
    EXPECT_EQ(Doc(), Start);
    EXPECT_EQ(Data->CurrentTextStyle, 1);
    // An empty item at the caret is converted too.
    Data->SetCaretAt(1, 1);
    Data->ApplyTextStyleToSelection(2, 1, false);
    EXPECT_EQ(Doc(), R"("abc" ""#2)");
    EXPECT_EQ(Data->CurrentTextStyle, 2);
    Check();
    RoundTrip();
}

TEST_F(RVApplyStyleTest, AnsiTextBecomesUtf16InAUnicodeStyleAndBack) {
    Build({"ab"});
    Data->SetSelectionBounds(0, 1, 0, 3);
    Data->ApplyTextStyleToSelection(4, 1, false);
    EXPECT_EQ(Data->GetItemText(0), AnsiString("a\0b\0", 4));
    EXPECT_TRUE(Data->LiveItem(0).IsUnicode());
    Check();
    Data->SetSelectionBounds(0, 1, 0, 3);
    Data->ApplyTextStyleToSelection(0, 1, false);
    EXPECT_EQ(Data->GetItemText(0), "ab");
    EXPECT_FALSE(Data->LiveItem(0).IsUnicode());
    Check();
    RoundTrip();
}

TEST_F(RVApplyStyleTest, EveryTouchedParagraphTakesTheParagraphStyle) {
    Build({"ab", "+cd", "ef", "gh"});
    // Into the second paragraph by one character.
    Data->SetSelectionBounds(0, 2, 2, 2);
    Data->BeginUndoGroup(rvutPara);
    Data->ApplyParaStyleToSelection(1, 0);
    EXPECT_EQ(Doc(), R"("ab"^1 +"cd"^1 "ef"^1 "gh")");
    EXPECT_EQ(Selection(*Data), "0:2-2:2");
    Check();
    RoundTrip();
}

TEST_F(RVApplyStyleTest, AParagraphConversionAsksOncePerItem) {
    Build({"ab", "+cd", "ef"});
    int calls = 0;
    Data->CurStyleConversion = [&](int StyleNo, int, int UserData, bool AppliedToText, int& NewStyleNo,
                                   bool ToWholeParagraphs) {
        ++calls;
        EXPECT_FALSE(AppliedToText);
        EXPECT_TRUE(ToWholeParagraphs);
        NewStyleNo = StyleNo + UserData;
    };
    Data->SetCaretAt(1, 2);
    Data->BeginUndoGroup(rvutPara);
    Data->ApplyParaStyleToSelection(2, 2);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Doc(), R"("ab"^2 +"cd"^2 "ef")");
    Check();
    RoundTrip();
}

} // namespace
