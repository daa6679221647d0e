// The string tree's own editor in a real (offscreen) window: its bounds over
// narrow and wide cells, Enter and Escape, the loss of focus, an edit whose
// node is deleted, and a text the tree refuses.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "controls/vtree/VirtualStringTreeEditor.h"
#include "platform/gui/Forms.h"

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

struct TEditorFixture {
    TForm Form{nullptr};
    TVirtualStringTree* Tree;
    std::map<std::pair<PVirtualNode, TColumnIndex>, WideString> Texts;
    std::vector<std::string> NewTexts;

    explicit TEditorFixture(std::vector<int> Widths = {}) {
        Form.SetBounds(40, 40, 320, 220);
        Tree = new TVirtualStringTree(&Form);
        Tree->SetParent(&Form);
        Tree->SetAlign(TAlign::alClient);
        for (int width : Widths)
            Tree->Header()->Columns()->Add()->SetWidth(width);
        TVTMiscOptions misc = Tree->TreeOptions()->MiscOptions();
        misc.Include(toEditable);
        Tree->TreeOptions()->SetMiscOptions(misc);
        Tree->SetRootNodeCount(3);
        Tree->OnGetText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column, TVSTTextType,
                                 WideString& Text) {
            auto it = Texts.find({Node, Column});
            Text = it == Texts.end() ? WideString(u"abc") : it->second;
        };
        Tree->OnNewText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column,
                                 const WideString& Text) {
            Texts[{Node, Column}] = Text;
            NewTexts.push_back(WideToAnsi(Text));
        };
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pump();
    }
    TStringEditLink* Link() { return dynamic_cast<TStringEditLink*>(Tree->EditLink()); }
    TVTEdit* Edit() { return Link() ? Link()->Edit() : nullptr; }
    PVirtualNode Node(int Index) {
        PVirtualNode n = Tree->GetFirstNoInit();
        while (Index-- > 0)
            n = Tree->GetNextNoInit(n);
        return n;
    }
    void Key(int QtKey, Qt::KeyboardModifiers Keys = Qt::NoModifier) {
        ASSERT_TRUE(Edit() && Edit()->Widget());
        QTest::keyClick(Edit()->Widget(), Qt::Key(QtKey), Keys);
        Pump();
    }
};

} // namespace

TEST(StringTreeEditor, TheEditorIsAtLeastThirtyPixelsWideAndStaysInTheClientArea) {
    struct TCase {
        const char* Name;
        std::vector<int> Widths;
        TColumnIndex Column;
        TAlignment Alignment;
    };
    const std::vector<TCase> cases = {
        {"narrow, left-justified", {100, 12, 100}, 1, taLeftJustify},
        {"narrow, right-justified", {100, 12, 100}, 1, taRightJustify},
        {"past the right edge", {100, 100, 600}, 2, taLeftJustify},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEditorFixture f(c.Widths);
        f.Texts[{f.Node(0), c.Column}] = WideString(c.Column == 2 ? 200 : 1, u'x');
        f.Tree->Header()->Columns()->GetItem(c.Column)->SetAlignment(c.Alignment);
        ASSERT_TRUE(f.Tree->EditNode(f.Node(0), c.Column));
        const TRect r = f.Link()->GetBounds();
        const TRect text = f.Tree->GetDisplayRect(f.Node(0), c.Column, true, true);
        EXPECT_LE(r.Right, f.Tree->ClientRect().Width());
        if (c.Column == 2) {
            EXPECT_EQ(f.Tree->ClientRect().Width(), r.Right);
        } else {
            EXPECT_EQ(30, r.Width());
            if (c.Alignment == taRightJustify)
                EXPECT_EQ(text.Right, r.Right);
            else
                EXPECT_EQ(std::max(text.Left, 0), r.Left);
        }
        f.Tree->CancelEditNode();
    }
}

TEST(StringTreeEditor, TheEditorFollowsItsCell) {
    struct TCase {
        const char* Name;
        std::vector<int> Widths;
        int Node;
        TColumnIndex Column;
        bool GridExtensions;
        std::function<void(TEditorFixture&)> Change;
        TRect Moved; // by how much each edge moves
    };
    const std::vector<TCase> cases = {
        {"a wider column before it",
         {100, 100},
         0,
         1,
         false,
         [](TEditorFixture& f) { f.Tree->Header()->Columns()->GetItem(0)->SetWidth(150); },
         TRect{50, 0, 50, 0}},
        {"a taller node above it",
         {},
         1,
         NoColumn,
         false,
         [](TEditorFixture& f) { f.Tree->SetNodeHeight(f.Node(0), 40); },
         TRect{0, 22, 0, 22}},
        {"a wider control",
         {},
         0,
         NoColumn,
         true,
         [](TEditorFixture& f) {
             f.Form.SetWidth(f.Form.Width() + 60);
             Pump();
         },
         TRect{0, 0, 60, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEditorFixture f(c.Widths);
        if (c.GridExtensions) {
            TVTMiscOptions misc = f.Tree->TreeOptions()->MiscOptions();
            f.Tree->TreeOptions()->SetMiscOptions(misc + TVTMiscOptions{toGridExtensions});
        }
        ASSERT_TRUE(f.Tree->EditNode(f.Node(c.Node), c.Column));
        Pump();
        const TRect before = f.Edit()->BoundsRect();
        c.Change(f);
        ASSERT_TRUE(f.Tree->IsEditing());
        const TRect after = f.Edit()->BoundsRect();
        EXPECT_EQ(before.Left + c.Moved.Left, after.Left);
        EXPECT_EQ(before.Top + c.Moved.Top, after.Top);
        EXPECT_EQ(before.Right + c.Moved.Right, after.Right);
        EXPECT_EQ(before.Bottom + c.Moved.Bottom, after.Bottom);
        f.Tree->CancelEditNode();
    }
}

TEST(StringTreeEditor, EnterStoresAModifiedTextAndEscapeDropsIt) {
    TEditorFixture f;
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    f.Key(Qt::Key_Return);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_TRUE(f.NewTexts.empty()) << "an unchanged text is not stored";

    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    f.Edit()->SetText("changed");
    f.Key(Qt::Key_Escape);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_TRUE(f.NewTexts.empty());

    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    f.Edit()->SetText("changed");
    f.Key(Qt::Key_Return);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ((std::vector<std::string>{"changed"}), f.NewTexts);
    EXPECT_EQ(u"changed", f.Tree->GetCellText(f.Node(1), NoColumn));
}

TEST(StringTreeEditor, AMultiLineNodeIsEditedInLinesThatCtrlEnterEnds) {
    TEditorFixture f;
    f.Node(1)->States.Include(vsMultiline);
    f.Texts[{f.Node(1), NoColumn}] = u"one\r\ntwo";
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    auto* memo = qobject_cast<QPlainTextEdit*>(f.Edit()->Widget());
    ASSERT_NE(nullptr, memo) << "an edit of several lines";
    EXPECT_EQ(Qt::ScrollBarAlwaysOn, memo->verticalScrollBarPolicy());
    EXPECT_EQ(QPlainTextEdit::WidgetWidth, memo->lineWrapMode());
    EXPECT_EQ("one\r\ntwo", f.Edit()->Text());

    // Down moves to the next line; Enter adds one.
    f.Edit()->SetSelStart(0);
    f.Key(Qt::Key_Down);
    EXPECT_EQ(5, f.Edit()->SelStart()) << "the start of the second line";
    f.Key(Qt::Key_End);
    f.Key(Qt::Key_Return);
    f.Key(Qt::Key_X);
    EXPECT_TRUE(f.Tree->IsEditing());
    EXPECT_EQ("one\r\ntwo\r\nx", f.Edit()->Text());
    f.Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ((std::vector<std::string>{"one\r\ntwo\r\nx"}), f.NewTexts);

    // Escape drops the lines typed.
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    f.Key(Qt::Key_Return);
    f.Key(Qt::Key_Escape);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(1u, f.NewTexts.size());
}

TEST(StringTreeEditor, AOneLineNodeIsEditedInOneLineWhereDownMovesRight) {
    TEditorFixture f;
    ASSERT_TRUE(f.Tree->EditNode(f.Node(0), NoColumn));
    ASSERT_NE(nullptr, qobject_cast<QLineEdit*>(f.Edit()->Widget()));
    f.Edit()->SetSelStart(0);
    f.Key(Qt::Key_Down);
    EXPECT_EQ(1, f.Edit()->SelStart());
    f.Key(Qt::Key_Up);
    EXPECT_EQ(0, f.Edit()->SelStart());
    EXPECT_TRUE(f.Tree->IsEditing());
}

TEST(StringTreeEditor, LosingTheFocusKeepsOrDropsTheTextByTheOption) {
    for (bool accept : {true, false}) {
        SCOPED_TRACE(accept ? "accepting" : "not accepting");
        TEditorFixture f;
        TVTStringOptions options = f.Tree->StringTreeOptions()->StringOptions();
        if (accept)
            options.Include(toAutoAcceptEditChange);
        else
            options.Exclude(toAutoAcceptEditChange);
        f.Tree->StringTreeOptions()->SetStringOptions(options);
        ASSERT_TRUE(f.Tree->EditNode(f.Node(0), NoColumn));
        Pump();
        f.Edit()->SetText("typed");
        f.Tree->SetFocus();
        Pump();
        EXPECT_FALSE(f.Tree->IsEditing());
        EXPECT_EQ(accept ? std::vector<std::string>{"typed"} : std::vector<std::string>{}, f.NewTexts);
    }
}

TEST(StringTreeEditor, DeletingTheEditedNodeStoresNothing) {
    TEditorFixture f;
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    f.Edit()->SetText("typed");
    f.Tree->DeleteNode(f.Node(1));
    Pump();
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_TRUE(f.NewTexts.empty());
    EXPECT_EQ(2u, f.Tree->GetRootNodeCount());
}

TEST(StringTreeEditor, ATextTheTreeRefusesLeavesTheEditRunning) {
    TEditorFixture f;
    bool refuse = true;
    f.Tree->OnNewText = [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, const WideString& Text) {
        if (refuse) throw Exception("refused");
        f.NewTexts.push_back(WideToAnsi(Text));
    };
    ASSERT_TRUE(f.Tree->EditNode(f.Node(0), NoColumn));
    f.Edit()->SetText("typed");
    EXPECT_THROW(f.Tree->EndEditNode(), Exception);
    EXPECT_TRUE(f.Tree->IsEditing());
    refuse = false;
    EXPECT_TRUE(f.Tree->EndEditNode());
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ((std::vector<std::string>{"typed"}), f.NewTexts);
}
