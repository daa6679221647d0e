// Random sequences of typing, Enter, Backspace, Delete, caret moves,
// selections, style changes, undo and redo: after every step the document,
// layout and caret invariants hold and the partial re-formats equal a whole
// format; undoing everything gives the starting document, redoing it all
// the last one.
#include <random>

#include "RVEditOpsFixture.h"

namespace {

class RVEditRandomTest : public RVEditOpsTest {
protected:
    int Random(int N) { return std::uniform_int_distribution<int>(0, N - 1)(Rng); }

    void RandomCaret() {
        int item = Random(Data->ItemCount());
        int offs =
            Data->ItemStartOffset(item) + Random(Data->ItemEndOffset(item) - Data->ItemStartOffset(item) + 1);
        Data->SetCaretAt(item, offs);
    }

    void RandomSelection() {
        int a = Random(Data->ItemCount()), b = Random(Data->ItemCount());
        auto offs = [&](int Item) {
            return Data->ItemStartOffset(Item) +
                   Random(Data->ItemEndOffset(Item) - Data->ItemStartOffset(Item) + 1);
        };
        int ao = offs(a), bo = offs(b);
        Data->SetSelectionBounds(a, ao, b, bo);
    }

    // One step; its name for the trace. Keys go as the control sends them:
    // a selection is deleted first, or dropped before a caret move.
    std::string Step() {
        int kind = Random(14);
        bool editKey = kind >= 1 && kind <= 5;
        if (editKey && Data->SelectionExists()) {
            Data->DeleteSelection();
            if (kind == 4 || kind == 5) return "delete the selection by a key";
        } else if (kind == 0 || kind == 6 || kind == 13) {
            Data->Deselect(false);
        }
        switch (kind) {
        case 0:
            RandomCaret();
            return "caret";
        case 1:
        case 2: {
            Data->CurrentTextStyle = Random(2);
            const char* chars = "abc de";
            char ch = chars[Random(6)];
            Data->TypeText(AnsiString(1, ch), ch);
            return "type";
        }
        case 3:
            if (Data->PressEnter(Random(3) == 0, false)) Data->Changed();
            return "enter";
        case 4:
            Data->PressBackspace(Random(3) == 0, false, false);
            Data->Changed();
            return "backspace";
        case 5:
            Data->PressDelete(false, false);
            Data->Changed();
            return "delete";
        case 6:
            switch (Random(6)) {
            case 0:
                Data->MoveCaretLeft(false, Random(2));
                break;
            case 1:
                Data->MoveCaretRight(false, Random(2));
                break;
            case 2:
                Data->MoveCaretUp(false, false);
                break;
            case 3:
                Data->MoveCaretDown(false, false);
                break;
            case 4:
                Data->MoveCaretHome(Random(2));
                break;
            default:
                Data->MoveCaretEnd(Random(2));
                break;
            }
            return "move";
        case 7:
            RandomSelection();
            Data->DeleteSelection();
            return "delete selection";
        case 8:
            RandomSelection();
            Data->ApplyTextStyleToSelection(Random(3) == 0 ? 8 : Random(2), 1, Random(4) == 0);
            return "text style";
        case 9:
            RandomSelection();
            Data->BeginUndoGroup(rvutPara);
            Data->ApplyParaStyleToSelection(Random(3), 0);
            return "paragraph style";
        case 10:
        case 11:
            if (Data->CanUndo()) Data->Undo();
            return "undo";
        case 12:
            if (Data->CanRedo()) Data->Redo();
            return "redo";
        default: {
            // A picture at the caret, as the control's insertion does.
            auto picture = std::make_unique<TRVGraphicItemInfo>(Data.get());
            picture->ImageWidth = 8 + Random(30);
            picture->ImageHeight = 5 + Random(20);
            picture->Spacing = 0;
            Data->BeginUndoGroup(rvutInsert);
            AnsiString text, split;
            Data->InsertItemAtCaret(std::move(picture), text, false, false, false, split);
            Data->Changed();
            return "picture";
        }
        }
    }

    std::mt19937 Rng;
};

TEST_F(RVEditRandomTest, EverySequenceKeepsTheDocumentSoundAndUndoesToTheStart) {
    // RV_SEEDS runs more sequences by hand.
    unsigned seeds = getenv("RV_SEEDS") ? unsigned(atoi(getenv("RV_SEEDS"))) : 40;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        SetUp();
        Rng.seed(seed);
        Build({"The first paragraph of some words", "+bold#1", "second", "[*]", "+listed", "^third one",
               "+[pic]", "+tail", "[br]", "[*]", "+more"});
        std::string trace;
        for (int step = 0; step < 80; ++step) {
            trace = "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": ";
            try {
                trace += Step();
            } catch (...) {
                ADD_FAILURE() << trace << " raised\n" << Doc();
                return;
            }
            SCOPED_TRACE(trace);
            std::string faults = std::string(CheckEditInvariants(*Data));
            if (!faults.empty()) {
                ADD_FAILURE() << trace << " " << faults << "\n" << Doc();
                return;
            }
            try {
                Check();
            } catch (...) {
                ADD_FAILURE() << trace << " raised in the check\n" << Doc();
                return;
            }
            if (HasFailure()) {
                ADD_FAILURE() << trace << "\n" << Doc();
                return;
            }
        }
        SCOPED_TRACE("seed " + std::to_string(seed));
        Data->Deselect(false);
        // Steps undone last are no part of the end document.
        Data->RedoList->Clear();
        RoundTrip();
        if (HasFailure()) return;
    }
}

} // namespace
