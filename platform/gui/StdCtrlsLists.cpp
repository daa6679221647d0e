// Combo boxes on Qt's combo box and list boxes on Qt's list widget: their
// items, the chosen item, the text, and the user's choices.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <functional>

#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdCtrls_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultComboWidth = 145;
constexpr int DefaultComboHeight = 21;
constexpr int DefaultListWidth = 121;
constexpr int DefaultListHeight = 97;

// Tells its control when the list drops down and closes up.
class TQtComboBox : public QComboBox {
public:
    std::function<void()> OnDropDown;
    std::function<void()> OnCloseUp;
    void showPopup() override {
        if (OnDropDown) OnDropDown();
        QComboBox::showPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        if (OnCloseUp) OnCloseUp();
    }
};

TQtComboBox* ComboOf(const TCustomComboBox* Combo) {
    return static_cast<TQtComboBox*>(Combo->Widget());
}

QListWidget* ListOf(const TCustomListBox* List) {
    return static_cast<QListWidget*>(List->Widget());
}

// The chosen item after a change of the items.
int FollowChange(int ItemIndex, TControlStrings::TChange Change, int Index) {
    switch (Change) {
    case TControlStrings::TChange::Inserted:
        return Index <= ItemIndex ? ItemIndex + 1 : ItemIndex;
    case TControlStrings::TChange::Deleted:
        return Index == ItemIndex ? -1 : Index < ItemIndex ? ItemIndex - 1 : ItemIndex;
    case TControlStrings::TChange::Cleared:
        return -1;
    default:
        return ItemIndex;
    }
}
} // namespace

// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TControlStrings>(
                               [this](TControlStrings::TChange C, int I) { ItemsChanged(C, I); })) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, DefaultComboWidth, DefaultComboHeight);
}

TCustomComboBox::~TCustomComboBox() = default;

QWidget* TCustomComboBox::CreateWidget() {
    auto* combo = new TQtComboBox();
    combo->OnDropDown = [this] {
        CallAtEventBoundary(this, [this] {
            if (OnDropDown) OnDropDown(this);
        });
    };
    combo->OnCloseUp = [this] {
        CallAtEventBoundary(this, [this] {
            if (OnCloseUp) OnCloseUp(this);
        });
    };
    QObject::connect(combo, &QComboBox::currentIndexChanged, [this](int Index) {
        if (FSyncing) return;
        CallAtEventBoundary(this, [&] { UserChose(Index); });
    });
    QObject::connect(combo, &QComboBox::editTextChanged, [this](const QString& Text) {
        if (FSyncing || FStyle == TComboBoxStyle::csDropDownList) return;
        CallAtEventBoundary(this, [&] { UserTyped(FromQtString(Text)); });
    });
    return combo;
}

void TCustomComboBox::WidgetCreated() {
    FillWidget();
}

void TCustomComboBox::FillWidget() {
    if (!HandleAllocated()) return;
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    TQtComboBox* combo = ComboOf(this);
    bool editable = FStyle != TComboBoxStyle::csDropDownList;
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        if (FMaxLength) combo->lineEdit()->setMaxLength(FMaxLength);
    }
    combo->setMaxVisibleItems(std::max(1, DropDownCount));
    combo->clear();
    for (int i = 0; i < FItems->Count(); ++i)
        combo->addItem(QtString(FItems->Strings(i)));
    combo->setCurrentIndex(FItemIndex);
    if (editable) combo->setEditText(QtString(Text()));
    ApplyControlColors(combo, this, true);
}

void TCustomComboBox::ItemsChanged(TControlStrings::TChange Change, int Index) {
    int newIndex = FollowChange(FItemIndex, Change, Index);
    bool chosenChanged =
        newIndex != FItemIndex || (Change == TControlStrings::TChange::Changed && Index == FItemIndex);
    FItemIndex = newIndex;
    if (HandleAllocated()) {
        FSyncing = true;
        TScopeGuard end([this] { FSyncing = false; });
        TQtComboBox* combo = ComboOf(this);
        switch (Change) {
        case TControlStrings::TChange::Inserted:
            combo->insertItem(Index, QtString(FItems->Strings(Index)));
            break;
        case TControlStrings::TChange::Deleted:
            combo->removeItem(Index);
            break;
        case TControlStrings::TChange::Changed:
            combo->setItemText(Index, QtString(FItems->Strings(Index)));
            break;
        case TControlStrings::TChange::Cleared:
            combo->clear();
            break;
        }
        combo->setCurrentIndex(FItemIndex);
    }
    // Emptying the list empties the text; the text of a list without an
    // edit is its chosen item's. That text must not choose again: an empty
    // item would take the place of a choice that went.
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    if (Change == TControlStrings::TChange::Cleared)
        SetText("");
    else if (FStyle == TComboBoxStyle::csDropDownList && chosenChanged)
        SetText(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : AnsiString());
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    if (Value == FItemIndex) return;
    FItemIndex = Value;
    if (HandleAllocated()) {
        FSyncing = true;
        TScopeGuard end([this] { FSyncing = false; });
        ComboOf(this)->setCurrentIndex(Value);
    }
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    if (Value >= 0)
        SetText(FItems->Strings(Value));
    else if (FStyle == TComboBoxStyle::csDropDownList)
        SetText("");
}

void TCustomComboBox::UserChose(int Index) {
    FItemIndex = Index;
    {
        FSyncing = true;
        TScopeGuard end([this] { FSyncing = false; });
        SetText(Index >= 0 ? FItems->Strings(Index) : AnsiString());
    }
    Click();
    Select();
}

void TCustomComboBox::UserTyped(const AnsiString& Value) {
    {
        FSyncing = true;
        TScopeGuard end([this] { FSyncing = false; });
        SetText(Value);
        // The typed text chooses the item that it names exactly.
        FItemIndex = -1;
        for (int i = 0; i < FItems->Count(); ++i)
            if (FItems->Strings(i) == Value) {
                FItemIndex = i;
                break;
            }
    }
    Change();
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (FSyncing) break;
        if (FStyle == TComboBoxStyle::csDropDownList) {
            // The text chooses the item of that name, or none.
            int index = FItems->IndexOf(Text());
            if (index != FItemIndex) {
                FSyncing = true;
                TScopeGuard end([this] { FSyncing = false; });
                FItemIndex = index;
                if (HandleAllocated()) ComboOf(this)->setCurrentIndex(index);
            }
            if (index < 0 && !Text().empty()) {
                FSyncing = true;
                TScopeGuard end([this] { FSyncing = false; });
                SetText("");
            }
        } else if (HandleAllocated()) {
            FSyncing = true;
            TScopeGuard end([this] { FSyncing = false; });
            ComboOf(this)->setEditText(QtString(Text()));
        }
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | (FStyle == TComboBoxStyle::csDropDownList ? 0 : DLGC_WANTCHARS);
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, true);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    FStyle = Value;
    if (FStyle == TComboBoxStyle::csDropDownList) {
        FSyncing = true;
        TScopeGuard end([this] { FSyncing = false; });
        SetText(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : AnsiString());
    }
    FillWidget();
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (HandleAllocated() && ComboOf(this)->lineEdit())
        ComboOf(this)->lineEdit()->setMaxLength(FMaxLength ? FMaxLength : 32767);
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() && ComboOf(this)->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value)
        ComboOf(this)->showPopup();
    else if (HandleAllocated())
        ComboOf(this)->hidePopup();
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetText("");
}

// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TControlStrings>(
                               [this](TControlStrings::TChange C, int I) { ItemsChanged(C, I); })) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, DefaultListWidth, DefaultListHeight);
}

TCustomListBox::~TCustomListBox() = default;

QWidget* TCustomListBox::CreateWidget() {
    auto* list = new QListWidget();
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list, &QListWidget::currentRowChanged, [this](int Row) {
        if (FSyncing) return;
        CallAtEventBoundary(this, [&] {
            FItemIndex = Row;
            Click();
        });
    });
    return list;
}

void TCustomListBox::WidgetCreated() {
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    QListWidget* list = ListOf(this);
    for (int i = 0; i < FItems->Count(); ++i)
        list->addItem(QtString(FItems->Strings(i)));
    list->setCurrentRow(FItemIndex);
    ApplyControlColors(list, this, true);
}

void TCustomListBox::ItemsChanged(TControlStrings::TChange Change, int Index) {
    FItemIndex = FollowChange(FItemIndex, Change, Index);
    if (!HandleAllocated()) return;
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    QListWidget* list = ListOf(this);
    switch (Change) {
    case TControlStrings::TChange::Inserted:
        list->insertItem(Index, QtString(FItems->Strings(Index)));
        break;
    case TControlStrings::TChange::Deleted:
        delete list->takeItem(Index);
        break;
    case TControlStrings::TChange::Changed:
        list->item(Index)->setText(QtString(FItems->Strings(Index)));
        break;
    case TControlStrings::TChange::Cleared:
        list->clear();
        break;
    }
    list->setCurrentRow(FItemIndex);
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FItemIndex = Value;
    if (!HandleAllocated()) return;
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    ListOf(this)->setCurrentRow(Value);
}

void TCustomListBox::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, true);
}
