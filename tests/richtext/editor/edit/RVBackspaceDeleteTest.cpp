// Backspace and Delete without a selection: characters and words, items,
// list markers, page breaks, paragraph joins, the moves beside breaks, the
// refusals, and undo and redo back to the exact documents.
#include "RVEditOpsFixture.h"

namespace {

using RVBackspaceDeleteTest = RVEditOpsTest;

enum class TKey { Back, CtrlBack, Del, CtrlDel };

struct TKeyCase {
    const char* Name;
    std::vector<std::string> Items;
    int CaretItem, CaretOffs;
    TKey Key;
    int Presses;
    bool Beeps;
    const char* Doc;
    const char* Caret;
};

TEST_F(RVBackspaceDeleteTest, TheKeysRemoveWhatStandsBesideTheCaret) {
    const std::string wrapped(20, 'a');
    const std::string tail(20, 'b');
    const std::string joined = "\"" + wrapped + tail + "\"";
    const TKeyCase cases[] = {
        {"the only character of a paragraph leaves an empty item",
         {"ab", "x@"},
         1,
         2,
         TKey::Back,
         1,
         false,
         R"("ab" ""@)",
         "1:1"},
        {"the only character of an item joins its neighbours",
         {"ab", "+x#1", "+cd"},
         1,
         2,
         TKey::Back,
         1,
         false,
         R"("abcd")",
         "0:3"},
        {"a word with the spaces after it",
         {"abc def  "},
         0,
         10,
         TKey::CtrlBack,
         1,
         false,
         R"("abc ")",
         "0:5"},
        {"a full stop by itself", {"abc."}, 0, 5, TKey::CtrlBack, 1, false, R"("abc")", "0:4"},
        {"a list marker, then the join",
         {"x", "[*]", "+abc"},
         2,
         1,
         TKey::Back,
         1,
         false,
         R"("x" "abc")",
         "1:1"},
        {"a list marker, then the join",
         {"x", "[*]", "+abc"},
         2,
         1,
         TKey::Back,
         2,
         false,
         R"("xabc")",
         "0:2"},
        {"a page break alone", {"ab", "|cd"}, 1, 1, TKey::Back, 1, false, R"("ab" "cd")", "1:1"},
        {"paragraphs join into one item in the first one's style",
         {"ab", "^cd"},
         1,
         1,
         TKey::Back,
         1,
         false,
         R"("abcd")",
         "0:3"},
        {"paragraphs of other styles join as items",
         {"^ab", "cd#1"},
         1,
         1,
         TKey::Back,
         1,
         false,
         R"("ab"^1 +"cd"#1^1)",
         "0:3"},
        {"beside a break the caret only moves",
         {"ab", "[br]", "cd"},
         2,
         1,
         TKey::Back,
         1,
         false,
         R"("ab" [br] "cd")",
         "1:1"},
        {"an empty paragraph goes", {"ab", "", "cd"}, 1, 1, TKey::Back, 1, false, R"("ab" "cd")", "0:3"},
        {"the empty paragraph before goes",
         {"ab", "", "cd"},
         2,
         1,
         TKey::Back,
         1,
         false,
         R"("ab" "cd")",
         "1:1"},
        {"nothing before the document's start", {"abc"}, 0, 1, TKey::Back, 1, false, R"("abc")", "0:1"},
        {"a read-only paragraph refuses", {"~abc"}, 0, 2, TKey::Back, 1, true, R"("abc"^3)", "0:2"},
        {"modify-protected text refuses", {"abc#6"}, 0, 2, TKey::Back, 1, true, R"("abc"#6)", "0:2"},
        {"a paragraph with a persistent checkpoint is not joined",
         {"ab", "cd", "+e@"},
         1,
         1,
         TKey::Back,
         1,
         true,
         R"("ab" "cd" +"e"@)",
         "1:1"},
        {"delete inside text", {"abc"}, 0, 2, TKey::Del, 1, false, R"("ac")", "0:2"},
        {"ctrl+delete removes one character",
         {"abc def"},
         0,
         1,
         TKey::CtrlDel,
         1,
         false,
         R"("bc def")",
         "0:1"},
        {"delete after a picture",
         {"[pic]", "+ab", "+[pic]"},
         1,
         3,
         TKey::Del,
         1,
         false,
         R"([pic] +"ab")",
         "1:3"},
        {"delete joins the next paragraph", {"ab", "cd"}, 0, 3, TKey::Del, 1, false, R"("abcd")", "0:3"},
        {"delete removes an empty next paragraph",
         {"ab", "", "cd"},
         0,
         3,
         TKey::Del,
         1,
         false,
         R"("ab" "cd")",
         "0:3"},
        {"delete on an empty paragraph removes it",
         {"ab", "", "cd"},
         1,
         1,
         TKey::Del,
         1,
         false,
         R"("ab" "cd")",
         "1:1"},
        {"delete takes a list marker into the paragraph",
         {"ab", "[*]", "+cd"},
         0,
         3,
         TKey::Del,
         1,
         false,
         R"("abcd")",
         "0:3"},
        {"nothing after the document's end", {"ab"}, 0, 3, TKey::Del, 1, false, R"("ab")", "0:3"},
        {"an empty last paragraph goes", {"ab", ""}, 1, 1, TKey::Del, 1, false, R"("ab")", "0:3"},
        {"the space at a wrap point goes",
         {wrapped + " " + tail},
         0,
         21,
         TKey::Del,
         1,
         false,
         joined.c_str(),
         "0:21"},
    };
    for (const TKeyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetCaretAt(c.CaretItem, c.CaretOffs);
        int beeps = Editor.Beeps;
        for (int i = 0; i < c.Presses; ++i) {
            if (c.Key == TKey::Back || c.Key == TKey::CtrlBack)
                Data->PressBackspace(c.Key == TKey::CtrlBack, false, false);
            else
                Data->PressDelete(c.Key == TKey::CtrlDel, false);
            Check();
        }
        EXPECT_EQ(Doc(), c.Doc);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Editor.Beeps > beeps, c.Beeps);
        RoundTrip();
    }
}

} // namespace
