// Drag and drop of nodes played through the scripted drag between real
// (offscreen) windows: within a tree and between two, moves with automatic
// deletion, refused drops, the proposed effects, the drop modes and the
// picture of the dragged nodes.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "TreeHarness.h"
#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesClipboard.h"
#include "controls/vtree/VirtualTreesDragImage.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/Forms.h"
#include "platform/testing/ScriptedDrag.h"

namespace {

constexpr int RowHeight = 18;

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A string tree whose nodes carry a key, shown as their text and saved as
// their user chunk.
class TDragTree : public TVirtualStringTree {
public:
    TDragTree(TForm* Form, int Left, int FirstKey) : TVirtualStringTree(Form) {
        SetParent(Form);
        SetBounds(Left, 0, 150, 200);
        SetNodeDataSize(sizeof(int));
        TreeOptions()->SetSelectionOptions({toMultiSelect});
        ClipboardFormats()->Add(CFSTR_VIRTUALTREE);
        OnGetText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex, TVSTTextType,
                           WideString& Text) { Text = AnsiToWide(std::to_string(Key(Node))); };
        OnSaveNode = [this](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
            Stream.WriteBuffer(&Key(Node), sizeof(int));
        };
        OnLoadNode = [this](TBaseVirtualTree*, PVirtualNode Node, TStream& Stream) {
            Stream.ReadBuffer(&Key(Node), sizeof(int));
        };
        SetRootNodeCount(4);
        int key = FirstKey;
        for (PVirtualNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
            Key(n) = key++;
    }
    using TBaseVirtualTree::DoDragging;
    int& Key(PVirtualNode Node) { return *GetNodeData<int>(Node); }
    std::string Keys() {
        std::string text;
        for (PVirtualNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
            text += (text.empty() ? "" : " ") + std::to_string(Key(n));
        return text;
    }
    PVirtualNode Row(int Index) {
        PVirtualNode n = GetFirstNoInit();
        while (Index-- > 0)
            n = GetNextNoInit(n);
        return n;
    }
    // The left part of a row, right of any text.
    static TPoint Point(int Row, int Y = RowHeight / 2) { return TPoint{120, Row * RowHeight + Y}; }
};

struct TDragFixture {
    TForm Form{nullptr};
    TDragTree* Left;
    TDragTree* Right;
    TScriptedDrag Drag;
    std::vector<TDropMode> Modes;

    TDragFixture() {
        Form.SetBounds(40, 40, 320, 220);
        Left = new TDragTree(&Form, 0, 0);
        Right = new TDragTree(&Form, 160, 10);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pump();
        for (TDragTree* tree : {Left, Right}) {
            tree->OnDragOver = [this](TBaseVirtualTree*, TObject*, TShiftState, TDragState State, TPoint,
                                      TDropMode Mode, uint32_t&, bool& Accept) {
                if (State != dsDragLeave) Modes.push_back(Mode);
                Accept = true;
            };
            // Inserts after the node dropped on; a move between trees of
            // this process takes the nodes over instead of copying them.
            tree->OnDragDrop = [this, tree](TBaseVirtualTree*, TObject* Source, IDataObject* Data,
                                            const TFormatArray&, TShiftState, TPoint, uint32_t& Effect,
                                            TDropMode) {
                auto* source = dynamic_cast<TBaseVirtualTree*>(Source);
                tree->InsertOLEData(source, Data, tree->DropTargetNode(), amInsertAfter,
                                    OptimizedMoves && Effect == DROPEFFECT_MOVE && source);
            };
        }
    }
    bool OptimizedMoves = true;
};

} // namespace

TEST(VirtualTreeDragDrop, AMoveWithinATreeMovesTheNodesAndDeletesNothing) {
    TDragFixture f;
    f.Left->TreeOptions()->SetAutoOptions(f.Left->TreeOptions()->AutoOptions() +
                                          TVTAutoOptions{toAutoDeleteMovedNodes});
    f.Left->SetSelected(f.Left->Row(0), true);
    f.Drag.MoveTo(f.Left, TDragTree::Point(1))
        .MoveTo(f.Left, TDragTree::Point(2))
        .ReleaseAt(f.Left, TDragTree::Point(2));
    f.Left->DoDragging(TDragTree::Point(0));
    ASSERT_EQ(1, f.Drag.Drags);
    ASSERT_FALSE(f.Drag.Calls.empty());
    EXPECT_EQ("drop", f.Drag.Calls.back().Name);
    EXPECT_EQ(DROPEFFECT_MOVE, f.Drag.Calls.back().Effect);
    EXPECT_EQ("1 2 0 3", f.Left->Keys());
    EXPECT_FALSE(f.Left->TreeStates().Contains(tsOLEDragging));
    EXPECT_TRUE(f.Left->DragSelection().empty());
    EXPECT_EQ(nullptr, f.Left->DropTargetNode());
}

TEST(VirtualTreeDragDrop, AMoveToAnotherTreeRemovesTheNodesFromTheSourceOnce) {
    for (bool optimized : {true, false}) {
        SCOPED_TRACE(optimized ? "the target takes the nodes over" : "the target copies them");
        TDragFixture f;
        f.OptimizedMoves = optimized;
        f.Left->TreeOptions()->SetAutoOptions(f.Left->TreeOptions()->AutoOptions() +
                                              TVTAutoOptions{toAutoDeleteMovedNodes});
        f.Left->SetSelected(f.Left->Row(1), true);
        f.Left->SetSelected(f.Left->Row(3), true);
        // Shift proposes a move from another tree.
        f.Drag.MoveTo(f.Right, TDragTree::Point(0), MK_LBUTTON | MK_SHIFT)
            .ReleaseAt(f.Right, TDragTree::Point(0), MK_SHIFT);
        f.Left->DoDragging(TDragTree::Point(1));
        EXPECT_EQ(DROPEFFECT_MOVE, f.Drag.Calls.back().Effect);
        EXPECT_EQ("10 1 3 11 12 13", f.Right->Keys());
        EXPECT_EQ("0 2", f.Left->Keys());
        EXPECT_EQ("", CheckTreeInvariants(*f.Left));
        EXPECT_EQ("", CheckTreeInvariants(*f.Right));
    }
}

TEST(VirtualTreeDragDrop, ACopyToAnotherTreeKeepsTheSource) {
    TDragFixture f;
    f.Left->TreeOptions()->SetAutoOptions(f.Left->TreeOptions()->AutoOptions() +
                                          TVTAutoOptions{toAutoDeleteMovedNodes});
    f.Left->SetSelected(f.Left->Row(2), true);
    f.Drag.MoveTo(f.Right, TDragTree::Point(3)).ReleaseAt(f.Right, TDragTree::Point(3));
    f.Left->DoDragging(TDragTree::Point(2));
    EXPECT_EQ(DROPEFFECT_COPY, f.Drag.Calls.back().Effect);
    EXPECT_EQ("10 11 12 13 2", f.Right->Keys());
    EXPECT_EQ("0 1 2 3", f.Left->Keys());
}

TEST(VirtualTreeDragDrop, WithoutAnOnDragOverHandlerNothingIsDropped) {
    TDragFixture f;
    f.Right->OnDragOver = nullptr;
    f.Left->SetSelected(f.Left->Row(0), true);
    f.Drag.MoveTo(f.Right, TDragTree::Point(0)).ReleaseAt(f.Right, TDragTree::Point(0));
    f.Left->DoDragging(TDragTree::Point(0));
    EXPECT_EQ("leave", f.Drag.Calls.back().Name);
    EXPECT_EQ("10 11 12 13", f.Right->Keys());
    EXPECT_EQ("0 1 2 3", f.Left->Keys());
}

TEST(VirtualTreeDragDrop, EscapeCancelsTheDrag) {
    TDragFixture f;
    f.Left->SetSelected(f.Left->Row(0), true);
    f.Drag.MoveTo(f.Right, TDragTree::Point(0)).PressEscape();
    f.Left->DoDragging(TDragTree::Point(0));
    EXPECT_EQ("leave", f.Drag.Calls.back().Name);
    EXPECT_EQ("10 11 12 13", f.Right->Keys());
    EXPECT_FALSE(f.Left->TreeStates().Contains(tsOLEDragging));
}

TEST(VirtualTreeDragDrop, TheDropModeFollowsTheRowHalfWithTheDropMark) {
    for (bool dropMark : {false, true}) {
        SCOPED_TRACE(dropMark ? "drop mark" : "no drop mark");
        TDragFixture f;
        TVTPaintOptions paint = f.Right->TreeOptions()->PaintOptions();
        if (dropMark)
            paint.Include(toShowDropmark);
        else
            paint.Exclude(toShowDropmark);
        f.Right->TreeOptions()->SetPaintOptions(paint);
        f.Left->SetSelected(f.Left->Row(0), true);
        f.Drag.MoveTo(f.Right, TDragTree::Point(1, 2))
            .MoveTo(f.Right, TDragTree::Point(1, 16))
            .MoveTo(f.Right, TDragTree::Point(9))
            .PressEscape();
        f.Modes.clear();
        f.Left->DoDragging(TDragTree::Point(0));
        // The enter, then each move.
        ASSERT_EQ(3u, f.Modes.size());
        EXPECT_EQ(dropMark ? dmBelow : dmOnNode, f.Modes[1]);
        EXPECT_EQ(dmNowhere, f.Modes[2]);
    }
}

TEST(VirtualTreeDragDrop, TheProposedEffectFollowsTheSourceAndTheKeys) {
    TTestTree tree, other;
    constexpr uint32_t all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    constexpr uint32_t copyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    struct TCase {
        const char* Name;
        TBaseVirtualTree* Source;
        TShiftState Shift;
        uint32_t Allowed;
        uint32_t Effect;
    };
    const std::vector<TCase> cases = {
        {"same tree", &tree, 0, all, DROPEFFECT_MOVE},
        {"other tree", &other, 0, all, DROPEFFECT_COPY},
        {"another program", nullptr, 0, all, DROPEFFECT_COPY},
        {"same tree, copy not allowed", &other, 0, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {"ctrl", &tree, ssCtrl, all, DROPEFFECT_COPY},
        {"shift", &other, ssShift, all, DROPEFFECT_MOVE},
        {"ctrl and shift", &tree, ssCtrl | ssShift, all, DROPEFFECT_LINK},
        {"ctrl and shift, no link", &tree, ssCtrl | ssShift, copyMove, DROPEFFECT_MOVE},
        {"alt", &other, ssAlt, all, DROPEFFECT_LINK},
        {"alt, no link", &other, ssAlt, copyMove, DROPEFFECT_COPY},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Effect, tree.ProposeDropEffect(c.Source, c.Shift, c.Allowed, TPoint{0, 0}));
    }
}

TEST(VirtualTreeDragDrop, RestingOnACollapsedParentExpandsIt) {
    TDragFixture f;
    f.Right->SetChildCount(f.Right->Row(1), 2);
    f.Right->AutoExpandDelay = 5;
    f.Right->TreeOptions()->SetAutoOptions(f.Right->TreeOptions()->AutoOptions() +
                                           TVTAutoOptions{toAutoDropExpand});
    int moves = 0;
    auto accept = f.Right->OnDragOver;
    f.Right->OnDragOver = [&](TBaseVirtualTree* Sender, TObject* Source, TShiftState Shift, TDragState State,
                              TPoint Pt, TDropMode Mode, uint32_t& Effect, bool& Accept) {
        accept(Sender, Source, Shift, State, Pt, Mode, Effect, Accept);
        // The expand timer falls due while the mouse rests on row 1.
        if (State == dsDragMove && ++moves == 2) f.Right->WMTimer(ExpandTimer);
    };
    f.Left->SetSelected(f.Left->Row(0), true);
    f.Drag.MoveTo(f.Right, TDragTree::Point(1))
        .MoveTo(f.Right, TDragTree::Point(1))
        .MoveTo(f.Right, TDragTree::Point(1))
        .PressEscape();
    f.Left->DoDragging(TDragTree::Point(0));
    EXPECT_TRUE(f.Right->Row(1)->States.Contains(vsExpanded));
}

TEST(VirtualTreeDragDrop, NearTheTopEdgeTheViewScrollsUpAStepPerMove) {
    TDragFixture f;
    f.Right->SetRootNodeCount(40);
    f.Right->TreeOptions()->SetAutoOptions(f.Right->TreeOptions()->AutoOptions() +
                                           TVTAutoOptions{toAutoScroll});
    f.Right->SetOffsetY(-100);
    const int64_t step = f.Right->ScrollBarOptions()->VerticalIncrement;
    f.Left->SetSelected(f.Left->Row(0), true);
    f.Drag.MoveTo(f.Right, TPoint{120, 1})
        .MoveTo(f.Right, TPoint{120, 1})
        .MoveTo(f.Right, TPoint{120, 100})
        .PressEscape();
    f.Left->DoDragging(TDragTree::Point(0));
    EXPECT_EQ(-100 + step, f.Right->OffsetY());
    ASSERT_GE(f.Drag.Calls.size(), 3u);
    EXPECT_EQ("over", f.Drag.Calls[1].Name);
    EXPECT_EQ(DROPEFFECT_COPY | DROPEFFECT_SCROLL, f.Drag.Calls[1].Effect);
    EXPECT_EQ(DROPEFFECT_COPY, f.Drag.Calls[2].Effect);

    // At the top nothing scrolls.
    f.Right->SetOffsetY(0);
    f.Drag.MoveTo(f.Right, TPoint{120, 1}).MoveTo(f.Right, TPoint{120, 1}).PressEscape();
    f.Left->DoDragging(TDragTree::Point(0));
    EXPECT_EQ(0, f.Right->OffsetY());
}

TEST(VirtualTreeDragDrop, TheDragDrawsThePictureOfTheSelectedNodesAroundTheMouse) {
    TDragFixture f;
    f.Left->SetSelected(f.Left->Row(1), true);
    f.Drag.ReleaseAt(f.Left, TDragTree::Point(3));
    // Half the drag width to the left of the mouse lies outside the tree.
    const TPoint hot{30, RowHeight + 9};
    f.Left->DoDragging(hot);
    ASSERT_EQ(1u, f.Drag.Pictures.size());
    const TDragPicture& picture = f.Drag.Pictures[0];
    EXPECT_EQ(hot, picture.HotSpot) << "the picture starts at the tree's left and top";
    EXPECT_EQ(30 + f.Left->DragWidth / 2, picture.Image->Width());
    EXPECT_EQ(hot.Y + f.Left->DragHeight / 2, picture.Image->Height());
    // Only the selected row shows; the tree's background is transparent.
    auto shows = [&](int Row) {
        for (int y = Row * RowHeight; y < (Row + 1) * RowHeight; ++y)
            for (int x = 0; x < picture.Image->Width(); ++x)
                if (picture.Image->ScanLine(y)[x] >> 24) return true;
        return false;
    };
    EXPECT_FALSE(shows(0));
    EXPECT_TRUE(shows(1));
    EXPECT_FALSE(shows(2));
    EXPECT_TRUE(f.Left->DragImage()->States().Empty()) << "finished with the drag";

    f.Left->DragImageKind = diNoImage;
    f.Drag.ReleaseAt(f.Left, TDragTree::Point(3));
    f.Left->DoDragging(hot);
    EXPECT_EQ(1u, f.Drag.Pictures.size());
}

TEST(VirtualTreeDragDrop, WhenTheDragDrawsNoPictureTheTreesShowTheirSourcesOwn) {
    TDragFixture f;
    f.Drag.TakesPictures = false;
    f.Left->SetSelected(f.Left->Row(0), true);
    f.Drag.MoveTo(f.Left, TDragTree::Point(1))
        .MoveTo(f.Left, TDragTree::Point(2))
        .MoveTo(f.Right, TDragTree::Point(2))
        .MoveTo(f.Right, TDragTree::Point(3))
        .PressEscape();
    bool shownOverRight = false;
    f.Right->OnDragOver = [&](TBaseVirtualTree*, TObject*, TShiftState, TDragState State, TPoint, TDropMode,
                              uint32_t&, bool& Accept) {
        if (State == dsDragMove) shownOverRight = f.Drag.PictureShown;
        Accept = true;
    };
    f.Left->DoDragging(TDragTree::Point(0));
    ASSERT_EQ(4u, f.Drag.PicturePositions.size());
    const std::vector<TPoint>& at = f.Drag.PicturePositions;
    // Shown where the nodes were when the mouse enters, then moved with it.
    EXPECT_EQ(f.Left->ClientToScreen(TPoint{TDragTree::Point(0).X - f.Left->DragWidth / 2, 0}), at[0]);
    EXPECT_EQ((TPoint{at[0].X, at[0].Y + 2 * RowHeight}), at[1]);
    EXPECT_EQ(at[1], at[2]) << "shown again over the other tree";
    // The right tree lies 160 pixels further right.
    EXPECT_EQ((TPoint{at[0].X + 160, at[0].Y + 3 * RowHeight}), at[3]);
    EXPECT_TRUE(shownOverRight);
    EXPECT_FALSE(f.Drag.PictureShown) << "hidden when the drag ends";
}
