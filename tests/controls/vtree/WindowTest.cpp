// The tree in a real (offscreen) window: synthetic mouse, wheel and keyboard
// input through the widget, the header's resize, reorder and pop-up menu,
// the one pop-up menu a right click or the menu key shows, check boxes
// pressed and released, new system colours, sliding animations and fading
// tooltips on the clock, what screen readers see and hear, owners' failures
// during input, and a window of a million rows that initialises only what
// it shows.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "controls/vtree/VTAccessibilityFactory.h"
#include "controls/vtree/VTHeaderPopup.h"
#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesHintWindow.h"
#include "platform/gui/Cursors.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ScrollBars.h"
#include "platform/testing/ManualTimers.h"
#include "platform/testing/ScriptedDrag.h"
#include "platform/testing/ScriptedMenus.h"

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

constexpr int HeaderHeight = 17;
constexpr int RowHeight = 18;

// A form with a string tree of three 100-pixel columns filling it.
struct TWindowFixture {
    TForm Form{nullptr};
    TVirtualStringTree* Tree;
    int Inits = 0;

    explicit TWindowFixture(uint32_t Rows = 5) {
        Form.SetBounds(40, 40, 320, 220);
        Tree = new TVirtualStringTree(&Form);
        Tree->SetParent(&Form);
        Tree->SetAlign(TAlign::alClient);
        for (int i = 0; i < 3; ++i) {
            TVirtualTreeColumn* column = Tree->Header()->Columns()->Add();
            column->SetWidth(100);
            column->SetText(i == 0 ? u"Name" : i == 1 ? u"Age" : u"City");
        }
        Tree->Header()->SetOptions(Tree->Header()->Options() + TVTHeaderOptions{hoVisible});
        Tree->TreeOptions()->SetSelectionOptions({toMultiSelect});
        Tree->OnInitNode = [this](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates&) {
            ++Inits;
        };
        Tree->SetRootNodeCount(Rows);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pump();
    }
    QWidget* W() const { return Tree->Widget(); }
    // A point of row Row (client coordinates below the header).
    static QPoint Row(int Row, int X = 35) {
        return QPoint(X, HeaderHeight + Row * RowHeight + RowHeight / 2);
    }
    PVirtualNode Node(int Index) {
        PVirtualNode n = Tree->GetFirstNoInit();
        while (Index-- > 0)
            n = Tree->GetNextNoInit(n);
        return n;
    }
    void Click(QPoint P, Qt::KeyboardModifiers Keys = Qt::NoModifier) {
        QTest::mouseClick(W(), Qt::LeftButton, Keys, P);
        Pump();
    }
};

// Holds the thumb at Position and lets it go, as a drag with the mouse does.
void DragThumb(QScrollBar* Bar, int Position) {
    Bar->setSliderDown(true);
    Bar->setSliderPosition(Position);
    QTest::mouseRelease(Bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    Bar->setSliderDown(false); // no press reached Qt's own bar
    Pump();
}

QScrollBar* VerticalBar(TWinControl* Control) {
    for (QScrollBar* bar : Control->Widget()->findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Vertical && bar->isVisible()) return bar;
    return nullptr;
}

} // namespace

TEST(TreeWindow, ClicksSelectWithControlAndShift) {
    TWindowFixture f;
    f.Click(TWindowFixture::Row(1));
    EXPECT_EQ(f.Tree->FocusedNode(), f.Node(1));
    EXPECT_EQ(f.Tree->SelectedCount(), 1);
    f.Click(TWindowFixture::Row(3), Qt::ControlModifier);
    EXPECT_EQ(f.Tree->SelectedCount(), 2);
    EXPECT_TRUE(f.Tree->Selected(f.Node(1)) && f.Tree->Selected(f.Node(3)));
    f.Click(TWindowFixture::Row(4), Qt::ShiftModifier);
    EXPECT_EQ(f.Tree->SelectedCount(), 2) << "the range runs from the anchor (row 3) to row 4";
    EXPECT_TRUE(f.Tree->Selected(f.Node(3)) && f.Tree->Selected(f.Node(4)));
    f.Click(TWindowFixture::Row(0));
    EXPECT_EQ(f.Tree->SelectedCount(), 1);
    EXPECT_TRUE(f.Tree->Selected(f.Node(0)));

    QImage shot = f.W()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, TWindowFixture::Row(3).y()), QColor(255, 255, 255))
        << "unselected rows are white";
}

TEST(TreeWindow, TheAreaUnderTheHeaderIsPaintedDownToTheBottomEdge) {
    TWindowFixture f;
    const QImage shot = f.W()->grab().toImage();
    for (int y : {shot.height() - HeaderHeight - 1, shot.height() - 2})
        EXPECT_EQ(shot.pixelColor(35, y), QColor(255, 255, 255)) << y;
}

TEST(TreeWindow, KeysAndTheWheelMoveThroughTheRows) {
    TWindowFixture f(200);
    f.Click(TWindowFixture::Row(0));
    QTest::keyClick(f.W(), Qt::Key_Down);
    Pump();
    EXPECT_EQ(f.Tree->FocusedNode(), f.Node(1));
    // One notch down, through the widget, scrolls three rows.
    const QPoint at = TWindowFixture::Row(2);
    QWheelEvent wheel(at, f.W()->mapToGlobal(at), QPoint(), QPoint(0, -WHEEL_DELTA), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.W(), &wheel);
    Pump();
    EXPECT_EQ(f.Tree->OffsetY(), -3 * RowHeight);
}

TEST(TreeWindow, TheHeaderResizesAndReordersColumnsUnderTheMouse) {
    TWindowFixture f;
    TVirtualTreeColumns* columns = f.Tree->Header()->Columns();
    QTest::mousePress(f.W(), Qt::LeftButton, Qt::NoModifier, QPoint(99, 8));
    QTest::mouseMove(f.W(), QPoint(120, 8));
    QTest::mouseMove(f.W(), QPoint(149, 8));
    QTest::mouseRelease(f.W(), Qt::LeftButton, Qt::NoModifier, QPoint(149, 8));
    Pump();
    EXPECT_EQ(columns->GetItem(0)->Width(), 149) << "the column's edge follows the mouse";

    f.Tree->Header()->SetOptions(f.Tree->Header()->Options() + TVTHeaderOptions{hoDrag});
    QTest::mousePress(f.W(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 8));
    QTest::mouseMove(f.W(), QPoint(60, 8));
    QTest::mouseMove(f.W(), QPoint(230, 8));
    QTest::mouseRelease(f.W(), Qt::LeftButton, Qt::NoModifier, QPoint(230, 8));
    Pump();
    EXPECT_NE(columns->GetItem(0)->Position(), 0u) << "the first column was dropped further right";
}

TEST(TreeWindow, ADraggedColumnsPictureFollowsTheMouseAlongTheHeader) {
    for (bool restricted : {false, true}) {
        SCOPED_TRACE(restricted ? "restricted" : "free");
        TWindowFixture f;
        TScriptedDrag seam;
        TVTHeaderOptions options = f.Tree->Header()->Options() + TVTHeaderOptions{hoDrag};
        if (restricted) options.Include(hoRestrictDrag);
        f.Tree->Header()->SetOptions(options);
        QTest::mousePress(f.W(), Qt::LeftButton, Qt::NoModifier, QPoint(140, 8));
        QTest::mouseMove(f.W(), QPoint(160, 8));
        QTest::mouseMove(f.W(), QPoint(200, 38));
        Pump();
        EXPECT_TRUE(seam.PictureShown);
        ASSERT_FALSE(seam.PicturePositions.empty());
        // The second column's button, where it lies on the screen.
        const TPoint origin = f.Tree->ClientToScreen(TPoint{100, 0});
        EXPECT_EQ(origin, seam.PicturePositions.front());
        EXPECT_EQ(100, seam.ShownPicture->Width());
        EXPECT_EQ(HeaderHeight, seam.ShownPicture->Height());
        EXPECT_EQ((TPoint{origin.X + 60, origin.Y + (restricted ? 0 : 30)}), seam.PicturePositions.back());
        QTest::mouseRelease(f.W(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 38));
        Pump();
        EXPECT_FALSE(seam.PictureShown);
    }
}

TEST(TreeWindow, ACheckBoxChangesOnlyWhenReleasedOverItsRow) {
    TWindowFixture f;
    f.Tree->TreeOptions()->SetMiscOptions(f.Tree->TreeOptions()->MiscOptions() +
                                          TVTMiscOptions{toCheckSupport});
    for (int i = 0; i < 2; ++i)
        f.Tree->SetCheckType(f.Node(i), ctCheckBox);
    int checked = 0;
    f.Tree->OnChecked = [&](TBaseVirtualTree*, PVirtualNode) { ++checked; };
    const QPoint box = TWindowFixture::Row(0, 30);
    QTest::mousePress(f.W(), Qt::LeftButton, Qt::NoModifier, box);
    Pump();
    EXPECT_EQ(f.Tree->CheckState(f.Node(0)), csUncheckedPressed);
    QTest::mouseRelease(f.W(), Qt::LeftButton, Qt::NoModifier, box);
    Pump();
    EXPECT_EQ(f.Tree->CheckState(f.Node(0)), csCheckedNormal);
    EXPECT_EQ(checked, 1);

    QTest::mousePress(f.W(), Qt::LeftButton, Qt::NoModifier, TWindowFixture::Row(1, 30));
    QTest::mouseMove(f.W(), TWindowFixture::Row(4, 30));
    QTest::mouseRelease(f.W(), Qt::LeftButton, Qt::NoModifier, TWindowFixture::Row(4, 30));
    Pump();
    EXPECT_EQ(f.Tree->CheckState(f.Node(1)), csUncheckedNormal) << "released elsewhere: back as it was";
    EXPECT_EQ(checked, 1);
}

TEST(TreeWindow, CheckBoxesAndTreeLinesTakeNewSystemColoursWithoutANewTree) {
    TWindowFixture f;
    f.Tree->TreeOptions()->SetMiscOptions(f.Tree->TreeOptions()->MiscOptions() +
                                          TVTMiscOptions{toCheckSupport});
    f.Tree->SetCheckType(f.Node(0), ctCheckBox);
    Pump();
    // The box's frame and the tree lines are drawn in the shadow colour.
    auto framePixels = [&](QColor C) {
        QImage shot = f.W()->grab().toImage();
        int n = 0;
        for (int y = HeaderHeight; y < HeaderHeight + RowHeight; ++y)
            for (int x = 0; x < 60; ++x)
                n += shot.pixelColor(x, y) == C;
        return n;
    };
    const TColor shadow = ColorToRGB(clBtnShadow);
    const QColor old(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow));
    ASSERT_GT(framePixels(old), 10);
    SetSysColors({{int(clBtnShadow & 0xFF), RGB(200, 0, 0)}});
    Pump();
    const int now = framePixels(QColor(200, 0, 0));
    const int left = framePixels(old);
    SetSysColors({{int(clBtnShadow & 0xFF), shadow}});
    EXPECT_GT(now, 10);
    EXPECT_EQ(left, 0);
}

namespace {
bool IsColour(const QImage& Shot, int X, int Y, TColor C) {
    const TColor rgb = ColorToRGB(C);
    return Shot.pixelColor(X, Y) == QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
} // namespace

TEST(TreeWindow, ATogglingNodeSlidesTheRowsBelowItOnTheClock) {
    const int slide = 3 * RowHeight;
    for (bool expanding : {true, false}) {
        TManualTimers clock;
        TWindowFixture f;
        f.Tree->TreeOptions()->SetAnimationOptions({toAnimatedToggle});
        f.Tree->TreeOptions()->SetSelectionOptions({toFullRowSelect});
        f.Tree->SetChildCount(f.Node(0), 3);
        if (!expanding) f.Tree->FullExpand(f.Node(0));
        PVirtualNode second = f.Node(0)->NextSibling;
        f.Tree->SetSelected(second, true);
        f.Tree->SetFocus();
        Pump();
        // The selected row as a band: where its middle shows.
        auto bandAt = [&](int Y) { return IsColour(f.W()->grab().toImage(), 250, Y, clHighlight); };
        const int from = TWindowFixture::Row(expanding ? 1 : 4).y();
        const int to = TWindowFixture::Row(expanding ? 4 : 1).y();
        ASSERT_TRUE(bandAt(from));

        const int64_t start = GetTickCount();
        f.Tree->ToggleNode(f.Node(0));
        const char* name = expanding ? "expanding" : "collapsing";
        EXPECT_EQ(f.Node(0)->States.Contains(vsExpanded), expanding) << name << ": the tree changes at once";
        EXPECT_TRUE(f.Tree->TreeStates().Contains(tsInAnimation)) << name;
        EXPECT_EQ(GetTickCount(), start) << name << ": nothing waited";
        EXPECT_TRUE(bandAt(from + (expanding ? 1 : -1)))
            << name << ": the first step moved the picture by a pixel";

        clock.Advance(f.Tree->AnimationDuration() / 2);
        EXPECT_FALSE(bandAt(from)) << name;
        EXPECT_TRUE(bandAt((from + to) / 2)) << name << ": half the time, half the way";
        EXPECT_FALSE(bandAt(to)) << name;

        clock.Advance(f.Tree->AnimationDuration());
        EXPECT_FALSE(f.Tree->TreeStates().Contains(tsInAnimation)) << name;
        EXPECT_TRUE(bandAt(to)) << name << ": the tree's own picture again";
        EXPECT_FALSE(bandAt((from + to) / 2)) << name;
        EXPECT_EQ(std::abs(to - from), slide);
    }
}

TEST(TreeWindow, AFittedColumnSlidesWhatLiesRightOfItOnTheClock) {
    TManualTimers clock;
    TWindowFixture f;
    TVirtualTreeColumn* name = f.Tree->Header()->Columns()->GetItem(0);
    TVirtualTreeColumn* age = f.Tree->Header()->Columns()->GetItem(1);
    age->SetOptions(age->Options() - TVTColumnOptions{coParentColor});
    age->SetColor(clYellow);
    name->SetWidth(196);
    Pump();
    // Where the yellow column starts, in a row below the nodes.
    auto ageStarts = [&] {
        QImage shot = f.W()->grab().toImage();
        for (int x = 0; x < shot.width(); ++x)
            if (IsColour(shot, x, 180, clYellow)) return x;
        return -1;
    };
    ASSERT_EQ(ageStarts(), 196);

    name->RestorePreviousWidth();
    EXPECT_EQ(name->Width(), 100) << "the width changes at once";
    EXPECT_EQ(ageStarts(), 193) << "the first of 32 steps of 3 pixels";
    clock.Advance(16);
    const int half = ageStarts();
    EXPECT_GT(half, 120);
    EXPECT_LT(half, 176);
    clock.Advance(32);
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsInAnimation));
    EXPECT_EQ(ageStarts(), 100);
}

namespace {
// A tree in tooltip mode whose first row has a text cut off in the second
// column, and the clock its hints' animations run on.
struct TTooltipFixture {
    TManualTimers Clock;
    std::unique_ptr<TWindowFixture> Window = std::make_unique<TWindowFixture>();
    TVirtualStringTree* Tree = Window->Tree;
    PVirtualNode First = Window->Node(0);

    explicit TTooltipFixture(THintAnimationType Animation) {
        Application->SetActive(true);
        Tree->HintMode = hmTooltip;
        Tree->HintAnimation = Animation;
        Tree->SetShowHint(true);
        Tree->OnGetText = [this](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex Column, TVSTTextType,
                                 WideString& Text) {
            Text = Node == First && Column == 1 ? u"a text far too wide for its column" : u"ok";
        };
        Tree->Invalidate();
        Pump();
    }
    ~TTooltipFixture() { Application->CancelHint(); }
    static TVirtualTreeHintWindow* Shown() {
        THintWindow* w = Application->HintWindow();
        return w && w->Showing() ? dynamic_cast<TVirtualTreeHintWindow*>(w) : nullptr;
    }
    TVirtualTreeHintWindow* HoverRow(int Row) {
        QTest::mouseMove(Window->W(), TWindowFixture::Row(Row, 150));
        Pump();
        return Shown();
    }
    // Pixels near the hint's right end, away from the text, in its top and
    // bottom row inside the frame.
    static QColor Top(TVirtualTreeHintWindow* W) {
        QImage shot = W->Widget()->grab().toImage();
        return shot.pixelColor(shot.width() - 3, 1);
    }
    static QColor Bottom(TVirtualTreeHintWindow* W) {
        QImage shot = W->Widget()->grab().toImage();
        return shot.pixelColor(shot.width() - 3, shot.height() - 2);
    }
};
const QColor White(255, 255, 255), InfoBk(0xFF, 0xFF, 0xE1);
} // namespace

TEST(TreeWindow, ATooltipShowsAtOnceExactlyOverACutOffTextAndFadesIn) {
    TTooltipFixture f(hatFade);
    TVirtualTreeHintWindow* hint = f.HoverRow(0);
    ASSERT_NE(hint, nullptr) << "a tooltip needs no pause";
    TRect text = f.Tree->GetDisplayRect(f.First, 1, true, true);
    const TPoint origin = f.Tree->TControl::ClientToScreen({text.Left, text.Top + HeaderHeight});
    EXPECT_EQ(hint->BoundsRect(),
              (TRect{origin.X - 1, origin.Y - 1, origin.X + text.Width() + 1, origin.Y + text.Height() + 1}))
        << "over the text, a pixel larger on every side";
    EXPECT_EQ(f.Top(hint), White) << "the fade starts from what lies below";
    f.Clock.Advance(f.Tree->AnimationDuration());
    const QColor half = f.Top(hint);
    EXPECT_GT(half.blue(), 0xE1);
    EXPECT_LT(half.blue(), 0xFF) << "half way between the cell and the hint colour";
    f.Clock.Advance(2 * f.Tree->AnimationDuration());
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsInAnimation));
    EXPECT_EQ(f.Top(hint), InfoBk) << "the hint colour at the end";

    QTest::keyClick(f.Window->W(), Qt::Key_Shift);
    Pump();
    EXPECT_EQ(f.Shown(), hint) << "typing leaves it";
    EXPECT_EQ(f.HoverRow(1), nullptr) << "a text that fits shows none";
}

TEST(TreeWindow, ASlidingTooltipComesDownFromTheTopAndGoesWithItsTree) {
    TTooltipFixture f(hatSlide);
    TVirtualTreeHintWindow* hint = f.HoverRow(0);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(f.Top(hint), White);
    f.Clock.Advance(f.Tree->AnimationDuration() / 2);
    EXPECT_EQ(f.Top(hint), InfoBk) << "the hint's lower half shows at the top";
    EXPECT_EQ(f.Bottom(hint), White) << "what lies below still shows under it";

    delete f.Tree;
    EXPECT_EQ(f.Shown(), nullptr) << "the hint goes with its tree, in the middle of its animation";
    f.Clock.Advance(1000);
}

TEST(TreeWindow, TheHeaderPopUpListsTheColumnsAndHidesOne) {
    TWindowFixture f;
    TScriptedMenus menus;
    auto* popup = new TVTHeaderPopupMenu(&f.Form);
    popup->OnAddHeaderPopupItem = [](TBaseVirtualTree*, TColumnIndex Column, TAddPopupItemType& Cmd) {
        if (Column == 1) Cmd = apDisabled;
    };
    f.Tree->Header()->PopupMenu = popup;
    f.Tree->Header()->Columns()->GetItem(2)->SetPosition(0);
    menus.Answers.push_back(TScriptedMenus::Choose("Name"));
    QTest::mouseClick(f.W(), Qt::RightButton, Qt::NoModifier, QPoint(150, 8));
    Pump();
    ASSERT_EQ(menus.Log.size(), 1u);
    EXPECT_EQ(menus.Log[0].Shown, (std::vector<AnsiString>{"City", "Name", "Age"})) << "in position order";
    EXPECT_FALSE(f.Tree->Header()->Columns()->GetItem(0)->Options().Contains(coVisible));
    EXPECT_FALSE(popup->Items()->Items(2)->Enabled()) << "apDisabled greys the item";

    // With one column left visible its item cannot hide it.
    TVirtualTreeColumn* city = f.Tree->Header()->Columns()->GetItem(2);
    f.Tree->Header()->Columns()->GetItem(1)->SetOptions(f.Tree->Header()->Columns()->GetItem(1)->Options() -
                                                        TVTColumnOptions{coVisible});
    menus.Answers.push_back([](TPopupMenu*) { return nullptr; });
    popup->SetPopupComponent(f.Tree);
    popup->Popup(0, 0);
    EXPECT_TRUE(city->Options().Contains(coVisible));
    EXPECT_FALSE(popup->Items()->Items(0)->Enabled());
}

TEST(TreeWindow, OneRightClickOrMenuKeyShowsOneMenuTheRightOne) {
    struct TCase {
        const char* Name;
        bool TreeMenu, OwnersMenu, HeaderMenu, FormMenu;
        bool Key;          // the menu key, else a right click
        int Y;             // of the click, in the widget
        const char* Shown; // the menu that shows, or nothing
    };
    const int row = TWindowFixture::Row(1).y();
    const TCase cases[] = {
        {"assigned", true, false, false, false, false, row, "TreeMenu"},
        {"the owner's", false, true, false, false, false, row, "OwnersMenu"},
        {"assigned wins", true, true, false, false, false, row, "TreeMenu"},
        {"the form's", false, false, false, true, false, row, "FormMenu"},
        {"the owner's before the form's", false, true, false, true, false, row, "OwnersMenu"},
        {"the header's", true, false, true, false, false, 8, "HeaderMenu"},
        {"menu key, assigned", true, false, false, false, true, 0, "TreeMenu"},
        {"menu key, the owner's", true, true, false, false, true, 0, "OwnersMenu"},
        {"none", false, false, false, false, false, row, nullptr},
    };
    for (const TCase& c : cases) {
        TWindowFixture f;
        TScriptedMenus menus;
        auto menu = [&](const char* Name) {
            auto* m = new TPopupMenu(&f.Form);
            m->SetName(Name);
            return m;
        };
        if (c.TreeMenu) f.Tree->SetPopupMenu(menu("TreeMenu"));
        if (c.HeaderMenu) f.Tree->Header()->PopupMenu = menu("HeaderMenu");
        if (c.FormMenu) f.Form.SetPopupMenu(menu("FormMenu"));
        if (c.OwnersMenu) {
            TPopupMenu* owners = menu("OwnersMenu");
            f.Tree->OnGetPopupMenu = [owners](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TPoint, bool&,
                                              TPopupMenu*& Menu) { Menu = owners; };
        }
        f.Click(TWindowFixture::Row(1));
        if (c.Key)
            QTest::keyClick(f.W(), Qt::Key_Menu);
        else
            QTest::mouseClick(f.W(), Qt::RightButton, Qt::NoModifier, QPoint(35, c.Y));
        Pump();
        if (!c.Shown) {
            EXPECT_TRUE(menus.Log.empty()) << c.Name;
            continue;
        }
        ASSERT_EQ(menus.Log.size(), 1u) << c.Name;
        EXPECT_EQ(menus.Log[0].MenuName, c.Shown) << c.Name;
        EXPECT_FALSE(f.Tree->TreeStates().Contains(tsPopupMenuShown)) << c.Name;
    }
}

TEST(TreeWindow, AccessibilityEventsReachTheProvidersObject) {
    struct TRecorder : IAccessible {
        std::vector<unsigned> Events;
        void NotifyEvent(unsigned Event) override { Events.push_back(Event); }
    };
    struct TProvider : IAccessibleProvider {
        std::shared_ptr<TRecorder> Object = std::make_shared<TRecorder>();
        std::shared_ptr<IAccessible> CreateIAccessible(TBaseVirtualTree*) override { return Object; }
    };
    TWindowFixture f;
    EXPECT_EQ(f.Tree->Perform(WM_GETOBJECT, 0, OBJID_CLIENT), 0) << "no provider, no object";
    auto provider = std::make_shared<TProvider>();
    GetAccessibilityFactory()->RegisterAccessibleProvider(provider);
    EXPECT_NE(f.Tree->Perform(WM_GETOBJECT, 0, OBJID_CLIENT), 0);
    EXPECT_EQ(f.Tree->Perform(WM_GETOBJECT, 0, -1), 0) << "only the client object is answered";
    f.Click(TWindowFixture::Row(2));
    GetAccessibilityFactory()->UnRegisterAccessibleProvider(provider);
    const std::vector<unsigned> focus{VTAccessibleEvent::LocationChange, VTAccessibleEvent::NameChange,
                                      VTAccessibleEvent::ValueChange,    VTAccessibleEvent::StateChange,
                                      VTAccessibleEvent::Selection,      VTAccessibleEvent::Focus};
    EXPECT_EQ(provider->Object->Events, focus);
}

namespace {
// A provider's object of a tree: its rows are its children, named by their
// text in the first column.
struct TRowsObject : IAccessible {
    TVirtualStringTree* Tree;
    explicit TRowsObject(TVirtualStringTree* T) : Tree(T) {}
    std::vector<PVirtualNode> Rows() {
        std::vector<PVirtualNode> rows;
        for (PVirtualNode n = Tree->GetFirstVisible(); n; n = Tree->GetNextVisible(n))
            rows.push_back(n);
        return rows;
    }
    int ChildCount() override { return int(Rows().size()); }
    AnsiString Name(int Child) override {
        return Child == CHILDID_SELF ? AnsiString("Testees")
                                     : WideToAnsi(Tree->GetCellText(Rows()[Child - 1], 0));
    }
    unsigned Role(int Child) override {
        return Child == CHILDID_SELF ? ROLE_SYSTEM_OUTLINE : ROLE_SYSTEM_OUTLINEITEM;
    }
    unsigned State(int Child) override {
        if (Child == CHILDID_SELF) return STATE_SYSTEM_FOCUSABLE;
        return Rows()[Child - 1] == Tree->FocusedNode() ? STATE_SYSTEM_FOCUSED : 0;
    }
    int FocusChild() override {
        std::vector<PVirtualNode> rows = Rows();
        auto it = std::find(rows.begin(), rows.end(), Tree->FocusedNode());
        return it == rows.end() ? CHILDID_SELF : int(it - rows.begin()) + 1;
    }
};

} // namespace

TEST(TreeWindow, AScreenReaderNamesTheFocusedRowAndFollowsTheFocus) {
    struct TProvider : IAccessibleProvider {
        std::shared_ptr<IAccessible> CreateIAccessible(TBaseVirtualTree* Tree) override {
            return std::make_shared<TRowsObject>(static_cast<TVirtualStringTree*>(Tree));
        }
    };
    TWindowFixture f;
    f.Tree->OnGetText = [](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex, TVSTTextType,
                           WideString& Text) { Text = u"Row " + AnsiToWide(std::to_string(Node->Index)); };
    auto provider = std::make_shared<TProvider>();
    GetAccessibilityFactory()->RegisterAccessibleProvider(provider);
    std::vector<AnsiString> focusNames;
    SetAccessibleEventListener([&](const TAccessibleEventRecord& R) {
        if (R.Event == EVENT_OBJECT_FOCUS && R.Control == f.Tree) focusNames.push_back(R.Name);
    });

    f.Click(TWindowFixture::Row(2));
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(f.W());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->role(), QAccessible::Tree);
    EXPECT_EQ(tree->text(QAccessible::Name), "Testees");
    ASSERT_NE(tree->focusChild(), nullptr);
    EXPECT_EQ(tree->focusChild()->text(QAccessible::Name), "Row 2");
    EXPECT_TRUE(tree->focusChild()->state().focused);
    EXPECT_EQ(tree->focusChild()->role(), QAccessible::TreeItem);
    EXPECT_EQ(tree->indexOfChild(tree->focusChild()), tree->childCount() - 5 + 2)
        << "the rows come after the bars";

    QTest::keyClick(f.W(), Qt::Key_Down);
    Pump();
    EXPECT_EQ(tree->focusChild()->text(QAccessible::Name), "Row 3");

    SetAccessibleEventListener(nullptr);
    GetAccessibilityFactory()->UnRegisterAccessibleProvider(provider);
    EXPECT_EQ(focusNames, (std::vector<AnsiString>{"Row 2", "Row 3"}))
        << "each focus change told, naming the row";
}

TEST(TreeWindow, AMillionRowsOpenScrollAndCloseInitialisingOnlyWhatShows) {
    auto f = std::make_unique<TWindowFixture>(1000000);
    const int shown = 220 / RowHeight + 2;
    EXPECT_GT(f->Inits, 0);
    EXPECT_LE(f->Inits, shown);
    f->Tree->SetOffsetY(-(f->Tree->RangeY() - f->Tree->ClientHeight()));
    f->Tree->Invalidate();
    Pump();
    EXPECT_LE(f->Inits, 2 * shown);
    EXPECT_TRUE(f->Tree->Selected(f->Tree->GetLastNoInit()) == false);
    f.reset();
}

TEST(TreeWindow, AnOwnersFailureWhilePaintingLeavesTheTreeUsable) {
    TWindowFixture f;
    int failures = 0;
    f.Tree->OnGetText = [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVSTTextType, WideString&) {
        if (failures++ == 0) throw Exception("owner");
    };
    Application->OnException = [](TObject*, const Exception&) {};
    f.Tree->Invalidate();
    Pump();
    f.Click(TWindowFixture::Row(1));
    Application->OnException = nullptr;
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsPainting));
    EXPECT_EQ(f.Tree->FocusedNode(), f.Node(1));
}

TEST(TreeWindow, AnOwnersFailureDuringInputReachesTheTopHandlerAndLeavesTheTreeUsable) {
    struct TCase {
        const char* Name;
        std::function<void(TWindowFixture&, std::function<void()>)> Arm; // sets the failing handler
        std::function<void(TWindowFixture&)> Input;
    };
    const QPoint box = TWindowFixture::Row(0, 30);
    const TCase cases[] = {
        {"a click's focus change",
         [](TWindowFixture& F, std::function<void()> Fail) {
             F.Tree->OnFocusChanged = [Fail](TBaseVirtualTree*, PVirtualNode, TColumnIndex) { Fail(); };
         },
         [](TWindowFixture& F) { F.Click(TWindowFixture::Row(1)); }},
        {"a check box released",
         [](TWindowFixture& F, std::function<void()> Fail) {
             F.Tree->OnChecked = [Fail](TBaseVirtualTree*, PVirtualNode) { Fail(); };
         },
         [box](TWindowFixture& F) { F.Click(box); }},
        {"a right click's menu",
         [](TWindowFixture& F, std::function<void()> Fail) {
             F.Tree->OnGetPopupMenu = [Fail](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TPoint, bool&,
                                             TPopupMenu*&) { Fail(); };
         },
         [](TWindowFixture& F) {
             QTest::mouseClick(F.W(), Qt::RightButton, Qt::NoModifier, TWindowFixture::Row(2));
             Pump();
         }},
        {"a key's expansion",
         [](TWindowFixture& F, std::function<void()> Fail) {
             F.Tree->OnExpanding = [Fail](TBaseVirtualTree*, PVirtualNode, bool&) { Fail(); };
         },
         [](TWindowFixture& F) {
             F.Tree->SetFocusedNode(F.Node(0));
             QTest::keyClick(F.W(), Qt::Key_Right);
             Pump();
         }},
        {"a key's action",
         [](TWindowFixture& F, std::function<void()> Fail) {
             F.Tree->OnKeyAction = [Fail](TBaseVirtualTree*, uint16_t&, TShiftState&, bool&) { Fail(); };
         },
         [](TWindowFixture& F) {
             QTest::keyClick(F.W(), Qt::Key_Down);
             Pump();
         }},
    };
    for (const TCase& c : cases) {
        TWindowFixture f;
        f.Tree->TreeOptions()->SetMiscOptions(f.Tree->TreeOptions()->MiscOptions() +
                                              TVTMiscOptions{toCheckSupport});
        f.Tree->SetCheckType(f.Node(0), ctCheckBox);
        f.Tree->SetChildCount(f.Node(0), 2);
        std::vector<AnsiString> reported;
        Application->OnException = [&](TObject*, const Exception& E) { reported.push_back(E.Message); };
        c.Arm(f, [] { throw Exception("owner"); });
        c.Input(f);
        EXPECT_EQ(reported, std::vector<AnsiString>{"owner"}) << c.Name;
        const TVirtualTreeStates pending{tsLeftButtonDown,  tsRightButtonDown, tsMouseCheckPending,
                                         tsKeyCheckPending, tsDrawSelPending,  tsOLEDragPending,
                                         tsPopupMenuShown};
        EXPECT_TRUE((f.Tree->TreeStates() * pending).Empty()) << c.Name << ": nothing left pending";
        EXPECT_EQ(GetCapture(), nullptr) << c.Name;
        EXPECT_NE(f.Tree->CheckState(f.Node(0)), csUncheckedPressed)
            << c.Name << ": the box is not left pressed";

        // The tree goes on as before.
        c.Arm(f, [] {});
        f.Click(TWindowFixture::Row(4));
        EXPECT_EQ(f.Tree->FocusedNode(), f.Tree->GetLastChild(nullptr)) << c.Name;
        EXPECT_EQ(f.Tree->SelectedCount(), 1) << c.Name;
        Application->OnException = nullptr;
    }
}

TEST(TreeWindow, TheScrollBarShowsTheTreeAndScrollsIt) {
    TWindowFixture f(200);
    QScrollBar* bar = VerticalBar(f.Tree);
    ASSERT_NE(bar, nullptr);
    const int64_t end = -(f.Tree->RangeY() - f.Tree->ClientHeight());
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Pump();
    EXPECT_EQ(f.Tree->OffsetY(), -f.Tree->ClientHeight());
    EXPECT_EQ(bar->value(), f.Tree->ClientHeight()) << "the bar shows where the tree went";
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    Pump();
    EXPECT_EQ(f.Tree->OffsetY(), end);
    DragThumb(bar, 100);
    EXPECT_EQ(f.Tree->OffsetY(), -100) << "the dragged thumb";
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsThumbTracking));
    f.Tree->SetOffsetY(-180);
    Pump();
    EXPECT_EQ(bar->value(), 180) << "and the tree's own scrolling moves the thumb";
}

TEST(TreeWindow, ATreeTallerThanTheBarsCountScrollsThroughAllOfIt) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 320, 220);
    auto* tree = new TVirtualStringTree(&form);
    tree->SetParent(&form);
    tree->SetAlign(TAlign::alClient);
    tree->SetDefaultNodeHeight(3000);
    tree->SetRootNodeCount(1000000); // 3 * 10^9 pixels
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    Pump();
    QScrollBar* bar = VerticalBar(tree);
    ASSERT_NE(bar, nullptr);
    EXPECT_GT(bar->maximum(), 1000000);
    DragThumb(bar, bar->maximum() / 2);
    const double half = double(tree->RangeY()) / 2;
    EXPECT_NEAR(double(-tree->OffsetY()), half, half / 1000);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    Pump();
    EXPECT_EQ(tree->OffsetY(), -(tree->RangeY() - tree->ClientHeight()));
}

TEST(TreeWindow, TheMouseOverAColumnEdgeShowsTheSplitAndResizingHoldsTheCapture) {
    TWindowFixture f;
    const QPoint edge(100, HeaderHeight / 2);
    QTest::mouseMove(f.W(), QPoint(50, HeaderHeight / 2));
    Pump();
    EXPECT_EQ(GetCursor(), StandardCursor(crArrow));
    QTest::mouseMove(f.W(), edge);
    Pump();
    EXPECT_EQ(GetCursor(), StandardCursor(crHSplit));
    QTest::mousePress(f.W(), Qt::LeftButton, Qt::NoModifier, edge);
    Pump();
    EXPECT_EQ(GetCapture(), f.Tree);
    QTest::mouseMove(f.W(), edge + QPoint(30, 0));
    QTest::mouseRelease(f.W(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(30, 0));
    Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    QTest::mouseMove(f.W(), TWindowFixture::Row(2));
    Pump();
    EXPECT_EQ(GetCursor(), StandardCursor(crArrow));
}
