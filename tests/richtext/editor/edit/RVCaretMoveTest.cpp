// Caret movement keys: by characters, words, lines, pages and paragraphs,
// the answers at the document's edges, and list markers stepped over.
#include "RVEditOpsFixture.h"

namespace {

using RVCaretMoveTest = RVEditOpsTest;

enum class TMove { Left, Right, CtrlLeft, CtrlRight, Up, Down, ShiftUp, Home, End, CtrlHome, CtrlEnd };

struct TMoveCase {
    const char* Name;
    std::vector<std::string> Items;
    int CaretItem, CaretOffs;
    TMove Move;
    bool Edge;
    const char* Caret;
};

TEST_F(RVCaretMoveTest, TheCaretMovesAndAnswersAtTheEdges) {
    const TMoveCase cases[] = {
        {"left at the start", {"abc"}, 0, 1, TMove::Left, true, "0:1"},
        {"right at the end", {"abc"}, 0, 4, TMove::Right, true, "0:4"},
        {"left by a character", {"abc"}, 0, 3, TMove::Left, false, "0:2"},
        {"left from a line start to the line above", {"abc", "def"}, 1, 1, TMove::Left, false, "0:4"},
        {"right from a line end to the line below", {"abc", "def"}, 0, 4, TMove::Right, false, "1:1"},
        {"ctrl+left in a word to its start", {"abc defg"}, 0, 7, TMove::CtrlLeft, false, "0:5"},
        {"ctrl+left over spaces to the word before", {"abc def  "}, 0, 10, TMove::CtrlLeft, false, "0:5"},
        {"ctrl+left stays in its item", {"ab", "+cd#1"}, 1, 2, TMove::CtrlLeft, false, "0:3"},
        {"ctrl+right to the next word", {"abc def"}, 0, 1, TMove::CtrlRight, false, "0:5"},
        {"ctrl+right at the end", {"abc"}, 0, 4, TMove::CtrlRight, true, "0:4"},
        {"down keeps x, or the line's end", {"abcdefgh", "xy", "abcdefgh"}, 0, 5, TMove::Down, false, "1:3"},
        {"up keeps x", {"abcdefgh", "abcdefgh"}, 1, 4, TMove::Up, false, "0:4"},
        {"up on the first line", {"abc", "def"}, 0, 3, TMove::Up, true, "0:3"},
        {"shift+up on the first line goes to its start", {"abc", "def"}, 0, 3, TMove::ShiftUp, true, "0:1"},
        {"down on the last line", {"abc", "def"}, 1, 2, TMove::Down, true, "1:2"},
        {"down onto a list item lands after its marker",
         {"abcd", "[*]", "+xy"},
         0,
         1,
         TMove::Down,
         false,
         "2:1"},
        {"home", {"abc"}, 0, 3, TMove::Home, false, "0:1"},
        {"end", {"abc"}, 0, 2, TMove::End, false, "0:4"},
        {"ctrl+home", {"abc", "def"}, 1, 3, TMove::CtrlHome, true, "0:1"},
        {"ctrl+end", {"abc", "def"}, 0, 2, TMove::CtrlEnd, true, "1:4"},
    };
    for (const TMoveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Build(c.Items);
        Data->SetCaretAt(c.CaretItem, c.CaretOffs);
        bool edge = false;
        switch (c.Move) {
        case TMove::Left:
            edge = Data->MoveCaretLeft(false, false);
            break;
        case TMove::Right:
            edge = Data->MoveCaretRight(false, false);
            break;
        case TMove::CtrlLeft:
            edge = Data->MoveCaretLeft(false, true);
            break;
        case TMove::CtrlRight:
            edge = Data->MoveCaretRight(false, true);
            break;
        case TMove::Up:
            edge = Data->MoveCaretUp(false, false);
            break;
        case TMove::Down:
            edge = Data->MoveCaretDown(false, false);
            break;
        case TMove::ShiftUp:
            edge = Data->MoveCaretUp(true, false);
            break;
        case TMove::Home:
            edge = Data->MoveCaretHome(false);
            break;
        case TMove::End:
            edge = Data->MoveCaretEnd(false);
            break;
        case TMove::CtrlHome:
            edge = Data->MoveCaretHome(true);
            break;
        case TMove::CtrlEnd:
            edge = Data->MoveCaretEnd(true);
            break;
        }
        EXPECT_EQ(edge, c.Edge);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Doc(), Start);
        Check();
    }
}

TEST_F(RVCaretMoveTest, PagesMoveByThreeQuartersOfTheView) {
    std::vector<std::string> items;
    for (int i = 0; i < 20; ++i)
        items.push_back("line" + std::to_string(i));
    Build(items);
    Data->SetCaretAt(0, 1);
    // 100 pixels high: the line 75 pixels down, of 14 pixels each.
    EXPECT_FALSE(Data->MoveCaretPageDown());
    EXPECT_EQ(Caret(), "5:1");
    EXPECT_FALSE(Data->MoveCaretPageUp());
    EXPECT_EQ(Caret(), "0:1");
    Check();
}

TEST_F(RVCaretMoveTest, AParagraphSelectionGrowsByParagraphs) {
    Style->SelectionMode = rvsmParagraph;
    Build({"ab", "cd", "ef"});
    Data->SetSelectionBounds(0, 2, 1, 2);
    EXPECT_FALSE(Data->MoveCaretDown(true, false));
    EXPECT_EQ(Caret(), "2:3");
    EXPECT_FALSE(Data->MoveCaretLeft(true, false));
    EXPECT_EQ(Caret(), "1:1");
    Check();
}

} // namespace
