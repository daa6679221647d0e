// Menus and actions on Qt: pop-up menus and the main menu's bar built from
// menu items, the key filter that gives keys to the forms' shortcuts before
// their controls see them, and the idle hook that updates actions.
#include "platform/gui/QtMenus_p.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <memory>

#include "platform/gui/ActnList.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
using TChosen = std::function<void(TMenuItem* Item)>;
using TItemWatch = std::shared_ptr<TComponentWatch>;

TMenuItem* Alive(const TItemWatch& Watch) {
    return static_cast<TMenuItem*>(Watch->Target());
}

// A menu item's text: the caption, then the shortcut in Qt's shortcut
// column. Qt knows no shortcut of ours: keys reach the forms instead, so
// two items or actions with one shortcut never make Qt refuse both.
QString ItemText(const TMenuItem* Item) {
    QString text = QtString(Item->Caption());
    AnsiString keys = ShortCutToText(Item->ShortCut());
    if (!keys.empty()) text += '\t' + QtString(keys);
    return text;
}

void FillMenu(QMenu* Menu, TMenuItem* Parent, const TChosen& Chosen);

// A sub-menu updates its items' actions and is filled again each time it
// opens, so that it shows their state then.
QMenu* AddSubMenu(QMenu* Menu, QMenuBar* Bar, TMenuItem* Item, const TChosen& Chosen) {
    QString title = QtString(Item->Caption());
    QMenu* sub = Menu ? Menu->addMenu(title) : Bar->addMenu(title);
    sub->setEnabled(Item->Enabled());
    FillMenu(sub, Item, Chosen);
    auto watch = std::make_shared<TComponentWatch>(Item);
    QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, watch, Chosen] {
        if (TMenuItem* item = Alive(watch)) CallAtEventBoundary(item, [&] { item->InitiateAction(); });
        if (TMenuItem* item = Alive(watch)) FillMenu(sub, item, Chosen);
    });
    return sub;
}

QAction* AddCommand(QMenu* Menu, QMenuBar* Bar, TMenuItem* Item, const TChosen& Chosen) {
    QAction* action = Menu ? Menu->addAction(ItemText(Item)) : Bar->addAction(QtString(Item->Caption()));
    action->setEnabled(Item->Enabled());
    if (Item->Checked() || Item->AutoCheck() || Item->RadioItem()) {
        action->setCheckable(true);
        action->setChecked(Item->Checked());
    }
    if (Item->Default()) {
        QFont font = action->font();
        font.setBold(true);
        action->setFont(font);
    }
    if (!Item->Hint().empty()) action->setStatusTip(QtString(Item->Hint()));
    auto watch = std::make_shared<TComponentWatch>(Item);
    QObject::connect(action, &QAction::triggered, action, [watch, Chosen] {
        if (TMenuItem* item = Alive(watch)) Chosen(item);
    });
    return action;
}

void FillMenu(QMenu* Menu, TMenuItem* Parent, const TChosen& Chosen) {
    // The sub-menus of the last filling may be showing: they go once the
    // event that refills is over.
    for (QMenu* old : Menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    Menu->clear();
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine())
            Menu->addSeparator();
        else if (item->Count() > 0)
            AddSubMenu(Menu, nullptr, item, Chosen);
        else
            AddCommand(Menu, nullptr, item, Chosen);
    }
}

void ClickChosen(TMenuItem* Item) {
    CallAtEventBoundary(Item, [&] { Item->Click(); });
}

// The bar of a form's main menu, across the top of the form's window.
class TMainMenuBar : public QMenuBar {
public:
    TMainMenuBar(TCustomForm* Form, QWidget* Window) : QMenuBar(Window), FForm(Form) {
        Window->installEventFilter(this);
    }
    bool Retired() const { return FRetired; }
    int BarHeight() const { return FHeight; }

    void Build() {
        for (QMenu* old : findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
            old->deleteLater();
        clear();
        if (TMainMenu* menu = FForm->Menu()) {
            TMenuItem* items = menu->Items();
            for (int i = 0; i < items->Count(); ++i) {
                TMenuItem* item = items->Items(i);
                if (!item->Visible() || item->IsLine()) continue;
                if (item->Count() > 0)
                    AddSubMenu(nullptr, this, item, ClickChosen);
                else
                    AddCommand(nullptr, this, item, ClickChosen);
            }
        }
        int height = sizeHint().height();
        bool resized = height != FHeight;
        FHeight = height;
        Place();
        if (resized) CallAtEventBoundary(FForm, [this] { FForm->Realign(); });
    }
    // Changes come in bursts (an update of many items): one rebuild, after
    // the event that made them.
    void Schedule() {
        if (FPending) return;
        FPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                FPending = false;
                if (!FRetired) Build();
            },
            Qt::QueuedConnection);
    }
    void Retire() {
        FRetired = true;
        parentWidget()->removeEventFilter(this);
        hide();
        deleteLater();
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Watched == parentWidget() && Event->type() == QEvent::Resize) Place();
        return false;
    }

private:
    void Place() {
        setGeometry(0, 0, parentWidget()->width(), FHeight);
        raise();
    }

    TCustomForm* FForm;
    int FHeight = 0;
    bool FPending = false;
    bool FRetired = false;
};

TMainMenuBar* BarOf(const TCustomForm* Form) {
    if (!Form->HandleAllocated()) return nullptr;
    for (auto* bar : Form->Widget()->findChildren<TMainMenuBar*>(Qt::FindDirectChildrenOnly))
        if (!bar->Retired()) return bar;
    return nullptr;
}

class TQtPopupMenus : public IPopupMenuService {
public:
    TMenuItem* Track(TPopupMenu* Menu, const TPoint& At) override {
        EnsureQtApplication();
        QMenu menu;
        TMenuItem* chosen = nullptr;
        FillMenu(&menu, Menu->Items(), [&chosen](TMenuItem* Item) { chosen = Item; });
        menu.exec(QPoint(At.X, At.Y));
        return chosen;
    }
};

uint16_t VirtualKeyOf(int Key) {
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z) return uint16_t('A' + (Key - Qt::Key_A));
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9) return uint16_t('0' + (Key - Qt::Key_0));
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24) return uint16_t(VK_F1 + (Key - Qt::Key_F1));
    struct TKey {
        int Qt;
        uint16_t Vk;
    };
    static const TKey keys[] = {
        {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},
    };
    for (const TKey& k : keys)
        if (k.Qt == Key) return k.Vk;
    return 0;
}

TCustomForm* FormOfWindow(const QWidget* Window) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form->HandleAllocated() && form->Widget() == Window) return form;
    }
    return nullptr;
}

// Offers each key pressed in a form's window to the form's shortcuts
// first, as the platform did; a shortcut that runs takes the key.
class TShortCutFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() != QEvent::KeyPress || !Watched->isWidgetType()) return false;
        auto* key = static_cast<QKeyEvent*>(Event);
        auto* widget = static_cast<QWidget*>(Watched);
        if (Propagated(key, widget)) return false;
        uint16_t vk = VirtualKeyOf(key->key());
        TCustomForm* form = vk ? FormOfWindow(widget->window()) : nullptr;
        if (!form) return false;
        TShiftState shift = 0;
        if (key->modifiers() & Qt::ShiftModifier) shift |= ssShift;
        if (key->modifiers() & Qt::ControlModifier) shift |= ssCtrl;
        if (key->modifiers() & Qt::AltModifier) shift |= ssAlt;
        bool handled = false;
        CallAtEventBoundary(form, [&] { handled = form->IsShortCut(vk, shift); });
        if (handled) key->accept();
        return handled;
    }

private:
    // A key the widget leaves goes on to its parents, through this filter
    // again: it was offered to the shortcuts once already.
    bool Propagated(QKeyEvent* Key, QWidget* Widget) {
        bool again = Key == FLastKey && Key->timestamp() == FLastTime && FLastWidget &&
                     FLastWidget != Widget && Widget->isAncestorOf(FLastWidget);
        FLastKey = Key;
        FLastTime = Key->timestamp();
        FLastWidget = Widget;
        return again;
    }

    const QKeyEvent* FLastKey = nullptr;
    quint64 FLastTime = 0;
    QPointer<QWidget> FLastWidget;
};

void RunIdle() {
    static bool running = false;
    if (running) return;
    running = true;
    TScopeGuard done([] { running = false; });
    CallAtEventBoundary(nullptr, [] { DoActionIdle(); });
}
} // namespace

IPopupMenuService* QtPopupMenuService() {
    static TQtPopupMenus menus;
    return &menus;
}

void UpdateMainMenuBar(TCustomForm* Form) {
    TMainMenuBar* bar = BarOf(Form);
    if (!Form->Menu()) {
        if (bar) bar->Retire();
        return;
    }
    if (bar) {
        bar->Schedule();
        return;
    }
    bar = new TMainMenuBar(Form, Form->Widget());
    bar->Build();
    bar->show();
}

int MainMenuBarHeight(const TCustomForm* Form) {
    TMainMenuBar* bar = BarOf(Form);
    return bar ? bar->BarHeight() : 0;
}

void InstallActionHooks() {
    static bool installed = false;
    if (installed) return;
    EnsureQtApplication();
    installed = true;
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new TShortCutFilter(app));
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, app, &RunIdle);
}
