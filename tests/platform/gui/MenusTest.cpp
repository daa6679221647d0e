// Menus through the layer: shortcut texts, items and their checks, pop-up
// menus answered by the scripted seam, and a form's main menu with its bar
// and shortcuts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/testing/ScriptedMenus.h"

namespace {
TMenuItem* AddItem(TMenuItem* Parent, const AnsiString& Caption, std::vector<AnsiString>* Clicks = nullptr) {
    auto* item = new TMenuItem(Parent->Owner() ? Parent->Owner() : nullptr);
    item->SetCaption(Caption);
    if (Clicks) item->OnClick = [Clicks, Caption](TObject*) { Clicks->push_back(Caption); };
    Parent->Add(item);
    return item;
}

// Runs what the events left for later, deferred deletions included.
void Pump() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

TEST(ShortCutTest, TextsNameKeysWithTheirModifiers) {
    struct {
        TShortCut ShortCut;
        const char* Text;
    } cases[] = {
        {ShortCut('P', ssCtrl), "Ctrl+P"},
        {24616, "Shift+Ctrl+Down"},
        {ShortCut(VK_HOME, ssCtrl), "Ctrl+Home"},
        {ShortCut(VK_PRIOR, 0), "Page Up"},
        {ShortCut(VK_NEXT, 0), "Page Down"},
        {ShortCut(VK_INSERT, 0), "Ins"},
        {ShortCut(VK_INSERT, ssCtrl), "Ctrl+Ins"},
        {ShortCut(VK_DELETE, 0), "Del"},
        {ShortCut(VK_F1, 0), "F1"},
        {ShortCut(VK_F1 + 3, ssAlt), "Alt+F4"},
        {ShortCut(VK_F1 + 11, ssShift | ssCtrl | ssAlt), "Shift+Ctrl+Alt+F12"},
        {ShortCut('7', ssShift), "Shift+7"},
        {ShortCut(VK_RETURN, 0), "Enter"},
        {ShortCut(VK_ESCAPE, 0), "Esc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut) << c.Text;
    }
    EXPECT_EQ(ShortCut('P', ssCtrl), 0x4050);
    EXPECT_EQ(TextToShortCut("ctrl+ins"), ShortCut(VK_INSERT, ssCtrl)) << "words in any letter case";
    EXPECT_EQ(TextToShortCut("Ctrl+Shift+Down"), 24616) << "modifiers in any order";
    for (const char* none : {"", "Ctrl+", "Ctrl+Ctrl+P", "Hyper+P", "Ctrl+PP", "P+Ctrl"})
        EXPECT_EQ(TextToShortCut(none), scNone) << none;
    EXPECT_EQ(ShortCutToText(scNone), "");
    uint16_t key = 0;
    TShiftState shift = 0;
    ShortCutToKey(24616, key, shift);
    EXPECT_EQ(key, VK_DOWN);
    EXPECT_EQ(shift, ssShift | ssCtrl);
}

TEST(MenuItemTest, RadioItemsOfAGroupExcludeEachOtherAndOnlyLeavesCanBeChosen) {
    TPopupMenu menu(nullptr);
    TMenuItem* root = menu.Items();
    TMenuItem* small = AddItem(root, "Small");
    TMenuItem* large = AddItem(root, "Large");
    TMenuItem* other = AddItem(root, "Other");
    for (TMenuItem* item : {small, large, other})
        item->SetRadioItem(true);
    other->SetGroupIndex(1);
    small->SetChecked(true);
    other->SetChecked(true);
    large->SetChecked(true);
    EXPECT_FALSE(small->Checked());
    EXPECT_TRUE(large->Checked());
    EXPECT_TRUE(other->Checked()) << "another group";
    TMenuItem* line = AddItem(root, "-");
    TMenuItem* sub = AddItem(root, "Columns");
    TMenuItem* name = AddItem(sub, "Name");
    EXPECT_EQ(name->GetParentMenu(), &menu);
    EXPECT_TRUE(CanChooseMenuItem(&menu, name));
    EXPECT_FALSE(CanChooseMenuItem(&menu, sub)) << "a sub-menu";
    EXPECT_FALSE(CanChooseMenuItem(&menu, line)) << "a separator";
    sub->SetEnabled(false);
    EXPECT_FALSE(CanChooseMenuItem(&menu, name)) << "under a disabled item";
    TPopupMenu another(nullptr);
    EXPECT_FALSE(CanChooseMenuItem(&another, large)) << "not an item of that menu";
    EXPECT_THROW(sub->Add(name), EMenuError) << "an item sits in one menu";
    root->Remove(sub);
    EXPECT_THROW(name->Add(sub), EMenuError) << "nor inside itself";

    delete sub;
    EXPECT_EQ(root->Count(), 4) << "an item frees its sub-items and leaves its parent";
}

TEST(PopupMenuTest, TheScriptedSeamChoosesItemsWithoutADisplay) {
    TScriptedMenus menus;
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    popup->SetName("Users_PopupMenu");
    std::vector<AnsiString> clicks;
    AddItem(popup->Items(), "&Добавить..."_cp, &clicks);
    TMenuItem* edit = AddItem(popup->Items(), "&Изменить..."_cp, &clicks);
    AddItem(popup->Items(), "-");
    AddItem(popup->Items(), "&Удалить..."_cp, &clicks);
    TMenuItem* hidden = AddItem(popup->Items(), "Hidden", &clicks);
    hidden->SetVisible(false);
    int popups = 0;
    popup->OnPopup = [&](TObject*) {
        ++popups;
        edit->SetEnabled(false); // the handler updates the items first
    };
    popup->SetPopupComponent(&form);

    menus.Answers.push_back(TScriptedMenus::Choose("Удалить..."_cp));
    menus.Answers.push_back(TScriptedMenus::Choose("Изменить..."_cp));
    menus.Answers.push_back([](TPopupMenu*) { return nullptr; });
    for (int i = 0; i < 4; ++i)
        popup->Popup(100 + i, 50);
    EXPECT_EQ(popups, 4);
    EXPECT_EQ(clicks, (std::vector<AnsiString>{"&Удалить..."_cp})) << "a disabled item is not clicked";
    ASSERT_EQ(menus.Log.size(), 4u);
    EXPECT_EQ(menus.Log[0].MenuName, "Users_PopupMenu");
    EXPECT_EQ(menus.Log[0].At, (TPoint{100, 50}));
    EXPECT_EQ(menus.Log[0].Shown,
              (std::vector<AnsiString>{"Добавить..."_cp, "Изменить..."_cp, "-", "Удалить..."_cp}));
    EXPECT_EQ(menus.Log[0].Chosen, "Удалить..."_cp);
    EXPECT_EQ(menus.Log[2].Chosen, "");
    EXPECT_EQ(menus.Log[3].Chosen, "") << "no answer left: dismissed";
    EXPECT_EQ(popup->PopupPoint(), (TPoint{103, 50}));
    EXPECT_EQ(popup->PopupComponent(), &form);

    // Sub-menus are reached by their path.
    TMenuItem* columns = AddItem(popup->Items(), "Столбцы"_cp);
    AddItem(columns, "Фамилия"_cp, &clicks);
    menus.Answers.push_back(TScriptedMenus::Choose("Столбцы|Фамилия"_cp));
    popup->Popup(0, 0);
    EXPECT_EQ(clicks.back(), "Фамилия"_cp);
}

TEST(MainMenuTest, TheBarSitsAboveTheAlignedControlsAndItsShortcutsRun) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* pane = new TCustomControl(&form);
    pane->SetParent(&form);
    pane->SetAlign(TAlign::alClient);
    auto* menu = new TMainMenu(&form);
    TMenuItem* file = AddItem(menu->Items(), "База данных"_cp);
    std::vector<AnsiString> clicks;
    TMenuItem* open = AddItem(file, "&Открыть..."_cp, &clicks);
    open->SetShortCut(ShortCut('O', ssCtrl));
    TMenuItem* exit = AddItem(file, "&Выход"_cp, &clicks);
    exit->SetShortCut(ShortCut(VK_F1 + 3, ssAlt));

    form.SetMenu(menu);
    ASSERT_TRUE(form.HandleAllocated()) << "a form with a menu has its window";
    auto* bar = form.Widget()->findChild<QMenuBar*>();
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text(), QString::fromUtf8("База данных"));
    EXPECT_GT(bar->height(), 0);
    EXPECT_EQ(pane->Top(), bar->height()) << "the aligned control starts below the bar";
    EXPECT_EQ(pane->Height(), 200 - bar->height());
    EXPECT_EQ(bar->width(), 300);

    EXPECT_TRUE(form.IsShortCut('O', ssCtrl));
    EXPECT_FALSE(form.IsShortCut('O', 0));
    exit->SetEnabled(false);
    EXPECT_FALSE(form.IsShortCut(VK_F1 + 3, ssAlt)) << "a disabled item takes no key";
    EXPECT_EQ(clicks, (std::vector<AnsiString>{"&Открыть..."_cp}));
    QMenu* fileMenu = bar->actions()[0]->menu();
    ASSERT_TRUE(fileMenu);
    ASSERT_EQ(fileMenu->actions().size(), 2);
    EXPECT_EQ(fileMenu->actions()[0]->text(), QString::fromUtf8("&Открыть...\tCtrl+O"))
        << "the key in the shortcut column";
    fileMenu->actions()[0]->trigger();
    EXPECT_EQ(clicks.size(), 2u) << "choosing in the bar clicks the item";

    // Changes reach the bar once the event that made them is over.
    AddItem(menu->Items(), "Тестируемые"_cp);
    Pump();
    EXPECT_EQ(form.Widget()->findChild<QMenuBar*>()->actions().size(), 2);

    delete menu;
    EXPECT_EQ(form.Menu(), nullptr);
    EXPECT_EQ(pane->Top(), 0) << "without a menu the client area has the whole window";
    Pump();
    EXPECT_FALSE(form.Widget()->findChild<QMenuBar*>());
}

TEST(PopupMenuTest, AContextRequestShowsTheNearestPopupMenuAndItsShortcutsWork) {
    TScriptedMenus menus;
    TForm form(nullptr);
    auto* grid = new TCustomControl(&form);
    grid->SetParent(&form);
    auto* cell = new TCustomControl(&form);
    cell->SetParent(grid);
    auto* popup = new TPopupMenu(&form);
    std::vector<AnsiString> clicks;
    TMenuItem* remove = AddItem(popup->Items(), "&Удалить..."_cp, &clicks);
    remove->SetShortCut(ShortCut(VK_DELETE, 0));
    grid->SetPopupMenu(popup);

    EXPECT_TRUE(PopupContextMenu(cell, {40, 30}));
    EXPECT_EQ(popup->PopupComponent(), grid) << "the parent's menu, for the parent";
    ASSERT_EQ(menus.Log.size(), 1u);
    EXPECT_EQ(menus.Log[0].At, (TPoint{40, 30}));
    popup->AutoPopup = false;
    EXPECT_FALSE(PopupContextMenu(cell, {0, 0}));
    popup->AutoPopup = true;

    // The focused control's pop-up menu takes its shortcuts.
    cell->SetTabStop(true);
    ASSERT_TRUE(form.SetActiveControl(cell));
    EXPECT_TRUE(form.IsShortCut(VK_DELETE, 0));
    EXPECT_EQ(clicks, (std::vector<AnsiString>{"&Удалить..."_cp}));

    delete popup;
    EXPECT_EQ(grid->PopupMenu(), nullptr) << "a freed menu is forgotten";
    EXPECT_FALSE(form.IsShortCut(VK_DELETE, 0));
}
