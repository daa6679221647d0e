// The editor control in an offscreen window: its defaults, the read-only
// report editor that shows a document, refuses every change and follows
// its hyperlinks, and the caret it shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/gui/Forms.h"
#include "richtext/editor/control/RVEdit.h"
#include "richtext/editor/edit/RVERVDataCheck.h"
#include "richtext/engine/RVWriterTestData.h"

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A form of 600 x 400 with an editor filling it: a paragraph of text, a
// hyperlink, and a second paragraph.
struct TEditorFixture {
    std::unique_ptr<TRVStyle> Style = MakePlainStyle();
    TForm Form{nullptr};
    TZoroZudoEdit* Editor;

    TEditorFixture() {
        TFontInfo* link = Style->TextStyles().Add();
        link->Jump = true;
        Form.SetBounds(40, 40, 600, 400);
        Editor = new TZoroZudoEdit(&Form);
        Editor->SetParent(&Form);
        Editor->SetAlign(TAlign::alClient);
        Editor->SetStyle(Style.get());
        Data().AddTextItem("Report of the test ", 0, 0);
        Data().AddTextItem("details", 1, -1);
        Data().AddTextItem("Second paragraph", 0, 0);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Editor->FormatDocument();
        Pump();
    }
    TRVEditRVData& Data() const { return *Editor->EditData(); }
};

TEST(Editor, StartsWithItsDefaults) {
    TZoroZudoEdit editor(nullptr);
    EXPECT_EQ(editor.GetUndoLimit(), -1);
    EXPECT_EQ(editor.EditorOptions, rvoCtrlJumps | rvoWantTabs);
    EXPECT_EQ(editor.AcceptDragDropFormats, 191);
    EXPECT_EQ(editor.Settings().Cursor, crIBeam);
    EXPECT_EQ(editor.Settings().LiveSpellingMode, rvlspOnChange);
    EXPECT_EQ(editor.TabNavigation(), rvtnNone);
    EXPECT_FALSE(editor.GetReadOnly());
    EXPECT_TRUE(editor.Settings().Flags & rvflEdited);
    EXPECT_FALSE(editor.Settings().Flags & rvflUseJumps);
    EXPECT_THROW(editor.SetTabNavigation(rvtnTab), EZoroZudoError);
    EXPECT_EQ(editor.TabNavigation(), rvtnNone);
}

TEST(Editor, AReadOnlyEditorShowsItsDocumentAndRefusesEveryChange) {
    TEditorFixture f;
    f.Editor->SetReadOnly(true);
    int changes = 0;
    f.Editor->OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(f.Data().ItemCount(), 3);
    EXPECT_GT(f.Data().DrawItems.Count(), 0);
    EXPECT_EQ(CheckEditInvariants(f.Data()), "");
    // Refused with the style sheet's beep, only when it has sound.
    EXPECT_FALSE(f.Editor->CanChange());
    EXPECT_EQ(f.Editor->BeepCount, 1);
    f.Style->UseSound = false;
    EXPECT_FALSE(f.Editor->CanChange());
    EXPECT_EQ(f.Editor->BeepCount, 1);
    // Undo beeps always and does nothing.
    f.Editor->Undo();
    EXPECT_EQ(f.Editor->BeepCount, 2);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(f.Editor->Modified);
    // Editable again, a change is allowed and OnChanging may still refuse it.
    f.Editor->SetReadOnly(false);
    EXPECT_TRUE(f.Editor->CanChange());
    f.Editor->OnChanging = [](TObject*, bool& CanEdit) { CanEdit = false; };
    EXPECT_FALSE(f.Editor->CanChange());
}

TEST(Editor, AReadOnlyEditorFollowsItsHyperlinksWithoutCtrl) {
    TEditorFixture f;
    std::vector<int> jumps;
    f.Editor->OnJump = [&](TObject*, int Id) { jumps.push_back(Id); };
    // Editable: the link is plain text.
    TRVEditRVData& data = f.Data();
    int d;
    ASSERT_TRUE(data.GetItemFirstDrawItem(1, d));
    int x = data.DrawItems[d]->Left + 2 - data.GetHOffs(), y = data.DrawItems[d]->Top + 2 - data.GetVOffs();
    QTest::mouseClick(f.Editor->Widget(), Qt::LeftButton, {}, QPoint(x, y));
    Pump();
    EXPECT_TRUE(jumps.empty());
    f.Editor->SetReadOnly(true);
    EXPECT_TRUE(data.GetFlags() & rvflUseJumps);
    QTest::mouseClick(f.Editor->Widget(), Qt::LeftButton, {}, QPoint(x, y));
    Pump();
    EXPECT_EQ(jumps, std::vector<int>({data.LiveItem(1).JumpID}));
    f.Editor->SetReadOnly(false);
    EXPECT_FALSE(data.GetFlags() & rvflUseJumps);
}

TEST(Editor, TheFocusedEditorShowsItsCaretAndReportsItsMoves) {
    TEditorFixture f;
    int moves = 0;
    f.Editor->OnCaretMove = [&](TObject*) { ++moves; };
    f.Editor->SetFocus();
    Pump();
    ASSERT_TRUE(f.Editor->Focused());
    TRVEditRVData& data = f.Data();
    data.SetCaretAt(2, 4);
    EXPECT_GT(moves, 0);
    EXPECT_EQ(data.GetCaretItemNo(), 2);
    EXPECT_EQ(data.GetCaretItemOffset(), 4);
    TRect caret = f.Editor->ShownCaret();
    EXPECT_EQ(caret.Width(), 1);
    EXPECT_EQ(caret.Height(), data.CaretHeight);
    // Hidden in a read-only editor that asks for it.
    f.Editor->EditorOptions |= rvoHideReadOnlyCaret;
    f.Editor->SetReadOnly(true);
    EXPECT_EQ(f.Editor->ShownCaret().Width(), 0);
}

TEST(Editor, ChangesSetModifiedAndUndoGoesBack) {
    TEditorFixture f;
    int changes = 0;
    f.Editor->OnChange = [&](TObject*) { ++changes; };
    TRVEditRVData& data = f.Data();
    ASSERT_TRUE(f.Editor->CanChange());
    data.BeginUndoGroup(rvutInsert);
    data.UndoableInsertSubstring(2, 1, "The ");
    data.Changed();
    f.Editor->FormatDocument();
    EXPECT_TRUE(f.Editor->Modified);
    EXPECT_EQ(changes, 1);
    f.Editor->Undo();
    EXPECT_EQ(data.GetItemText(2), "Second paragraph");
    EXPECT_TRUE(f.Editor->CanRedo());
    f.Editor->Redo();
    EXPECT_EQ(data.GetItemText(2), "The Second paragraph");
    EXPECT_EQ(CheckEditInvariants(data), "");
    // Clearing forgets the changes and the steps.
    f.Editor->ClearDocument();
    EXPECT_FALSE(f.Editor->Modified);
    EXPECT_FALSE(f.Editor->CanUndo());
}

TEST(Editor, KeysEditTheDocument) {
    TEditorFixture f;
    f.Editor->SetFocus();
    Pump();
    ASSERT_TRUE(f.Editor->Focused());
    TRVEditRVData& data = f.Data();
    data.SetCaretAt(2, 1);
    QWidget* w = f.Editor->Widget();
    QTest::keyClicks(w, "New ");
    Pump();
    EXPECT_EQ(data.GetItemText(2), "New Second paragraph");
    QTest::keyClick(w, Qt::Key_Return);
    QTest::keyClick(w, Qt::Key_Backspace);
    Pump();
    EXPECT_EQ(data.GetItemText(2), "New Second paragraph");
    // Shift+Right selects a character; typing replaces it.
    QTest::keyClick(w, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(w, "s");
    Pump();
    EXPECT_EQ(data.GetItemText(2), "New second paragraph");
    // The character, then the deletion.
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(data.GetItemText(2), "New Second paragraph");
    EXPECT_TRUE(f.Editor->Modified);
    EXPECT_EQ(CheckEditInvariants(data), "");
}

} // namespace
