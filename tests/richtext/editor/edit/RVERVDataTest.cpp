// The editing data's life cycle, caret line, caret display and the caret and
// selection queries, on the fixed-metrics canvas (8 pixels a character,
// lines 14 high).
#include <gtest/gtest.h>

#include "RVEditTestData.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVStyleUsage.h"

namespace {

class RVERVDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        Style = MakeEditStyle();
        Data = std::make_unique<TTestEditData>(Style.get(), &Canvas, &Editor);
        Editor.Data = Data.get();
    }

    void Check() { EXPECT_EQ(CheckEditInvariants(*Data), ""); }

    // Caret positions of the caret's line as "drawitem:offset@x".
    std::vector<std::string> Positions() const {
        std::vector<std::string> out;
        for (int i = 0; i < Data->CharPositions.Count(); ++i) {
            const TRVCharPos& p = Data->CharPositions.GetItem(i);
            out.push_back(std::to_string(p.DrawItem) + ":" + std::to_string(p.DrawItemOffset) + "@" +
                          std::to_string(p.Left + p.CaretShift - 1));
        }
        return out;
    }

    std::unique_ptr<TRVStyle> Style;
    TFixedMetricsCanvas Canvas;
    TFakeEditor Editor;
    std::unique_ptr<TTestEditData> Data;
};

TEST_F(RVERVDataTest, ANewFormattedDocumentHoldsOneEmptyItemWithTheCaret) {
    Data->Format();
    ASSERT_EQ(Data->ItemCount(), 1);
    EXPECT_EQ(Data->GetItemText(0), "");
    EXPECT_EQ(Data->GetItemStyle(0), 0);
    EXPECT_EQ(Data->GetItemPara(0), 0);
    EXPECT_EQ(Data->GetCaretItemNo(), 0);
    EXPECT_EQ(Data->GetCaretItemOffset(), 1);
    // One position, and a caret two pixels taller than the line.
    EXPECT_EQ(Positions(), (std::vector<std::string>{"0:1@0"}));
    EXPECT_EQ(Data->CaretHeight, 14 + 2);
    EXPECT_TRUE(Editor.CaretShown);
    Check();
}

TEST_F(RVERVDataTest, AskingTheCaretOfAnEmptyDocumentCreatesItsItem) {
    Data->Format();
    Data->TCustomRVFormattedData::Clear();
    EXPECT_EQ(Data->GetCaretItemNo(), 0);
    EXPECT_EQ(Data->GetCaretItemOffset(), 1);
    EXPECT_EQ(Data->ItemCount(), 1);
}

TEST_F(RVERVDataTest, ClearEmptiesUndoAndTakesTheStylesFromTheNextFormat) {
    Data->AddTextItem("abc", 1, 1);
    Data->Format();
    Data->SetCaretAt(0, 2);
    EXPECT_EQ(Data->CurrentTextStyle, 1);
    EXPECT_EQ(Data->CurrentParaStyle, 1);
    Data->BeginUndoGroup(rvutInsert);
    Data->UndoableInsertSubstring(0, 1, "x");
    Data->Changed();
    EXPECT_TRUE(Editor.Modified);
    ASSERT_EQ(Data->UndoList->Count(), 1);

    int textEvents = Editor.TextStyleEvents;
    Data->Clear();
    EXPECT_FALSE(Editor.Modified);
    EXPECT_EQ(Data->UndoList->Count(), 0);
    EXPECT_EQ(Data->RedoList->Count(), 0);
    EXPECT_EQ(Data->CurrentTextStyle, 0);
    EXPECT_EQ(Data->CurrentParaStyle, 0);
    EXPECT_GT(Editor.TextStyleEvents, textEvents);
    Data->Format();
    EXPECT_EQ(Data->ItemCount(), 1);
    EXPECT_EQ(Data->GetCaretItemOffset(), 1);
    Check();
}

TEST_F(RVERVDataTest, FormattingKeepsTheCaretOnItsItemOrPutsItAtTheStart) {
    Data->AddTextItem("aaaa bbbb cccc dddd", 0, 0);
    Data->AddTextItem("eeee", 0, 0);
    Data->Width = 200;
    Data->Format();
    Data->SetCaretAt(0, 13);
    // Narrower: the line breaks move, the caret stays before the 13th character.
    Data->Width = 48;
    Data->FormatDocument(true, true, false, 0, nullptr, false, true, false);
    EXPECT_EQ(Data->GetCaretItemNo(), 0);
    EXPECT_EQ(Data->GetCaretItemOffset(), 13);
    Check();
    // A nested call leaves the caret alone.
    int drawItem = Data->CaretDrawItem, index = Data->CaretPosIndex;
    Data->FormatDocument(true, true, false, 1, nullptr, false, true, false);
    EXPECT_EQ(Data->CaretDrawItem, drawItem);
    EXPECT_EQ(Data->CaretPosIndex, index);
    Data->Format();
    EXPECT_EQ(Data->GetCaretItemNo(), 0);
    EXPECT_EQ(Data->GetCaretItemOffset(), 1);
    Check();
}

TEST_F(RVERVDataTest, TheCaretLineListsEachBoundaryOnce) {
    // "ab" and "cd" on one line, then a picture.
    Data->AddTextItem("ab", 0, 0);
    Data->AddTextItem("cd", 1, -1);
    auto picture = std::make_unique<TRVGraphicItemInfo>(Data.get());
    picture->ImageWidth = 20;
    picture->ImageHeight = 10;
    picture->Spacing = 0;
    picture->SetContinuesParagraph(true);
    Data->AddItemAsIs("", std::move(picture));
    Data->Format();
    Data->SetCaretAt(1, 1);
    // Start of "ab", inside it, its end (= start of "cd"), inside "cd", its
    // end (= before the picture), after the picture one pixel right.
    EXPECT_EQ(Positions(),
              (std::vector<std::string>{"0:1@0", "0:2@8", "0:3@16", "1:2@24", "1:3@32", "2:1@53"}));
    EXPECT_EQ(Data->CaretPosIndex, 2);
    EXPECT_EQ(Data->GetCaretItemNo(), 0);
    EXPECT_EQ(Data->GetCaretItemOffset(), 3);
    Data->SetCaretAt(2, 1);
    EXPECT_EQ(Data->CaretPosIndex, 5);
    EXPECT_TRUE(Data->IsCaretAtLineEnd());
    EXPECT_TRUE(Data->IsCaretAtParaEnd(false));
    Data->SetCaretAt(0, 1);
    EXPECT_TRUE(Data->IsCaretAtLineStart());
    EXPECT_TRUE(Data->IsCaretAtParaStart(false));
    Check();
}

TEST_F(RVERVDataTest, TheCaretNeverRestsOnAListMarker) {
    Style->ListStyles().Add()->Levels().Add();
    Data->ApplyListMarker(-1, 0, 0, 1, false, 0);
    Data->AddTextItem("xy", 0, -1);
    Data->Format();
    ASSERT_EQ(Data->LiveItem(0).StyleNo, rvsListMarker);
    Data->CaretDrawItem = 0;
    Data->BuildCaretLine(-2);
    EXPECT_EQ(Data->CaretDrawItem, 1);
    Data->UpdateCaret(false, false, false);
    EXPECT_EQ(Data->GetCaretItemNo(), 1);
    EXPECT_EQ(Data->GetCaretItemOffset(), 1);
    EXPECT_TRUE(Data->IsCaretAtParaStart(true));
    // The marker has no position of its own.
    for (int i = 0; i < Data->CharPositions.Count(); ++i)
        EXPECT_NE(Data->CharPositions.GetItem(i).DrawItem, 0);
    int item = 0, offset = 0;
    Data->SkipMarkerAtBound(item, offset, false);
    EXPECT_EQ(item, 1);
    EXPECT_EQ(offset, 1);
    Check();
}

TEST_F(RVERVDataTest, ALineBreakStartIsNoParagraphStartWithParaOnly) {
    Data->AddTextItem("ab", 0, 0);
    auto item = Data->CreateTextItem(0, 0, true, false, 0);
    Data->AddItemAsIs("cd", std::move(item));
    Data->Format();
    Data->SetCaretAt(1, 1);
    EXPECT_TRUE(Data->IsCaretAtLineStart());
    EXPECT_FALSE(Data->IsCaretAtParaStart(true));
    Data->SetCaretAt(0, 3);
    EXPECT_TRUE(Data->IsCaretAtParaEnd(false));
    EXPECT_FALSE(Data->IsCaretAtParaEnd(true));
    EXPECT_FALSE(Data->IsCaretOnLastLine());
}

TEST_F(RVERVDataTest, AnInvalidCaretIsResetBeforeTheErrorIsRaised) {
    Data->AddTextItem("abc", 0, 0);
    Data->Format();
    Data->CaretPosIndex = 100000;
    EXPECT_THROW(Data->UpdateCaret(false, false, false), EZoroZudoError);
    // The next update finds a sound caret.
    EXPECT_NO_THROW(Data->UpdateCaret(false, false, false));
    EXPECT_EQ(Data->GetCaretItemOffset(), 1);
    Check();
}

TEST_F(RVERVDataTest, TheCurrentTextStyleFollowsTheCaretUnlessItMayNotSwitch) {
    Data->AddTextItem("aa", 1, 0);
    Data->AddTextItem("bb", 3, -1);
    Data->AddTextItem("cc", 0, -1);
    Data->Format();
    Data->SetCaretAt(0, 2);
    EXPECT_EQ(Data->CurrentTextStyle, 1);
    // Style 3 is kept from automatic switching: the last style stays.
    Data->SetCaretAt(1, 2);
    EXPECT_EQ(Data->CurrentTextStyle, 1);
    Data->SetCaretAt(2, 2);
    EXPECT_EQ(Data->CurrentTextStyle, 0);
    EXPECT_EQ(Data->LastSwitchableTextStyle, 0);
}

TEST_F(RVERVDataTest, ACaretInAHyperlinkHighlightsItUnlessTheEditorSaysNo) {
    Data->AddTextItem("link", 2, 0);
    Data->AddTextItem(" text", 0, -1);
    struct TCase {
        TRVEditorOptions Options;
        bool Highlighted;
    };
    for (const TCase& c : {TCase{RVDefaultEditorOptions, true}, TCase{rvoNoCaretHighlightJumps, false}}) {
        Editor.Options = c.Options;
        Data->Format();
        Data->SetCaretAt(0, 2);
        EXPECT_EQ(bool(Data->EditStates & rvesHyperlinkHighlighted), c.Highlighted);
        EXPECT_EQ(Data->HoverJumpNo, c.Highlighted ? Data->LiveItem(0).JumpID : -1);
        Data->SetCaretAt(1, 3);
        EXPECT_FALSE(Data->EditStates & rvesHyperlinkHighlighted);
    }
}

TEST_F(RVERVDataTest, AReadOnlyEditorHasLiveHyperlinksAndCanHideItsCaret) {
    Data->AddTextItem("see ", 0, 0);
    Data->AddTextItem("link", 2, -1);
    Editor.ReadOnly = true;
    Editor.Options = RVDefaultEditorOptions | rvoHideReadOnlyCaret;
    Data->Format();
    // Only the forced call of the read-only switch builds the areas.
    EXPECT_EQ(Data->ActivateJumps(false), 0);
    EXPECT_TRUE(Data->Jumps.empty());
    EXPECT_EQ(Data->ActivateJumps(true), 1);
    ASSERT_EQ(Data->Jumps.size(), 1u);
    EXPECT_EQ(Data->Jumps[0]->Left, 32);
    EXPECT_TRUE(Data->GetFlags() & rvflUseJumps);
    // The caret is hidden; styles and caret moves still follow it.
    Editor.CaretShown = false;
    int moves = Editor.CaretMoves;
    Data->SetCaretAt(1, 2);
    EXPECT_FALSE(Editor.CaretShown);
    EXPECT_GT(Editor.CaretMoves, moves);
    EXPECT_EQ(Data->CurrentTextStyle, 2);
    // A read-only editor keeps its hyperlinks.
    Data->DeactivateJumps();
    EXPECT_TRUE(Data->GetFlags() & rvflUseJumps);
    Editor.ReadOnly = false;
    Data->DeactivateJumps();
    EXPECT_FALSE(Data->GetFlags() & rvflUseJumps);
    EXPECT_TRUE(Data->Jumps.empty());
}

TEST_F(RVERVDataTest, WithoutASelectionEveryBoundIsTheCaret) {
    Data->AddTextItem("abcdef", 0, 0);
    Data->Format();
    Data->SetCaretAt(0, 4);
    int startNo, startOffs, endNo, endOffs;
    Data->GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
    EXPECT_EQ(std::vector<int>({startNo, startOffs, endNo, endOffs}), std::vector<int>({0, 4, 0, 4}));
    int sd, so, ed, eo;
    Data->GetSelectionDrawBounds(sd, so, ed, eo, true);
    EXPECT_EQ(std::vector<int>({sd, so, ed, eo}), std::vector<int>({0, 4, 0, 4}));
    Data->GetSelectionStartDrawItem(sd, so);
    EXPECT_EQ(std::vector<int>({sd, so}), std::vector<int>({0, 4}));
    // A selection moves the caret to its end.
    Data->SetSelectionBounds(0, 2, 0, 5);
    EXPECT_EQ(Data->GetCaretItemOffset(), 5);
    Data->GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
    EXPECT_EQ(std::vector<int>({startNo, startOffs, endNo, endOffs}), std::vector<int>({0, 2, 0, 5}));
    int itemNo, offset;
    Data->Deselect(false);
    Data->GetSearchStart(true, false, itemNo, offset);
    EXPECT_EQ(std::vector<int>({itemNo, offset}), std::vector<int>({0, 5}));
    Data->GetSearchStart(false, true, itemNo, offset);
    EXPECT_EQ(std::vector<int>({itemNo, offset}), std::vector<int>({0, 8}));
}

TEST_F(RVERVDataTest, ExtendingInParagraphModeCoversWholeParagraphs) {
    Style->SelectionMode = rvsmParagraph;
    Data->AddTextItem("one two", 0, 0);
    Data->AddTextItem("three", 0, 0);
    Data->Format();
    Data->SetCaretAt(0, 3);
    Data->CollapseSelectionToCaret();
    Data->SetCaretAt(1, 2);
    Data->ExtendSelectionToCaret();
    int startNo, startOffs, endNo, endOffs;
    Data->GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
    EXPECT_EQ(std::vector<int>({startNo, startOffs, endNo, endOffs}), std::vector<int>({0, 1, 1, 6}));
}

TEST_F(RVERVDataTest, ASingleSelectedPictureIsFoundFromItsNeighboursEnds) {
    Data->AddTextItem("ab", 0, 0);
    auto picture = std::make_unique<TRVGraphicItemInfo>(Data.get());
    picture->SetContinuesParagraph(true);
    Data->AddItemAsIs("", std::move(picture));
    Data->AddTextItem("cd", 0, -1);
    Data->Format();
    struct TCase {
        int StartNo, StartOffs, EndNo, EndOffs, Expected;
    };
    for (const TCase& c :
         {TCase{1, 0, 1, 1, 1}, TCase{0, 3, 2, 1, 1}, TCase{0, 2, 2, 1, -1}, TCase{0, 1, 0, 3, 0}}) {
        Data->StoreSelectionBounds(c.StartNo, c.StartOffs, c.EndNo, c.EndOffs);
        EXPECT_EQ(Data->GetSingleSelectedItem(), c.Expected) << c.StartNo << ":" << c.StartOffs;
    }
}

TEST_F(RVERVDataTest, TRVCharPosAssignKeepsItsOwnShift) {
    TRVCharPos source, target;
    source.Left = 7;
    source.DrawItem = 3;
    source.DrawItemOffset = 2;
    source.CaretShift = 2;
    target.CaretShift = 1;
    target.Assign(&source);
    EXPECT_EQ(std::vector<int>({target.Left, target.DrawItem, target.DrawItemOffset, target.CaretShift}),
              std::vector<int>({7, 3, 2, 1}));
    TObject other;
    target.Assign(&other);
    EXPECT_EQ(target.Left, 7);
}

TEST_F(RVERVDataTest, CurrentStylesSurviveTheDeletionOfUnusedStylesAndAreAnnouncedAgain) {
    Data->AddTextItem("aa", 3, 0);
    Data->Format();
    Data->SetCaretAt(0, 2);
    Data->CurrentTextStyle = 4;
    Data->BeginUndoGroup(rvutInsert);
    Data->UndoableInsertSubstring(0, 1, "x");
    TRVStyleUsageInfo usage;
    usage.Prepare(*Style);
    Data->MarkUsedStyles(usage);
    EXPECT_EQ(usage.TextStyles.GetItem(4), 1);
    EXPECT_EQ(usage.TextStyles.GetItem(3), 1);
    int text = Editor.TextStyleEvents, para = Editor.ParaStyleEvents;
    Data->AfterStylesDeleted(usage);
    EXPECT_EQ(Data->UndoList->Count(), 0);
    EXPECT_EQ(Editor.TextStyleEvents, text + 1);
    EXPECT_EQ(Editor.ParaStyleEvents, para + 1);
}

TEST_F(RVERVDataTest, PersistentCheckpointsMoveWithinTheirParagraphOnly) {
    Data->AddTextItem("a", 0, 0);
    Data->AddTextItem("b", 1, -1);
    Data->AddTextItem("c", 0, 0);
    Data->Format();
    for (int itemNo : {1, 2}) {
        auto cp = std::make_unique<TRVCPInfo>();
        cp->Name = "keep";
        cp->Persistent = true;
        Data->UndoableAddCheckpoint(itemNo, std::move(cp));
    }
    EXPECT_TRUE(Data->ParaHasPersistentCheckpoint(0));
    // Item 2 is alone in its paragraph: nowhere to go.
    EXPECT_FALSE(Data->MovePersistentCheckpoint(2, false));
    EXPECT_TRUE(Data->MovePersistentCheckpoint(1, false));
    EXPECT_TRUE(Data->HasPersistentCheckpoint(0));
    EXPECT_FALSE(Data->HasPersistentCheckpoint(1));
    EXPECT_TRUE(Data->MovePersistentCheckpoint(1, false));
    Check();
}

} // namespace
