// The picture radio group: its items, the buttons it makes of them, their
// columns, the choice, and the arrow keys that move between them.
#include <algorithm>

#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"
#include "richtext/print/control/RVOfficeRadioBtn.h"

namespace {
constexpr int DefaultGroupSize = 200;
constexpr int MaxColumns = 16;

bool CanTakeFocus(const TWinControl* Button) {
    return Button->Visible() && Button->Enabled();
}
} // namespace

// TOfficeGroupItem

TOfficeGroupItem::TOfficeGroupItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TOfficeGroupItem::Changed() {
    if (auto* items = dynamic_cast<TOfficeGroupItems*>(Collection())) items->Update(this);
}

void TOfficeGroupItem::SetFillColor(TColor Value) {
    if (Value == FFillColor) return;
    FFillColor = Value;
    Changed();
}

void TOfficeGroupItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TOfficeGroupItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed();
}

void TOfficeGroupItem::SetHint(const AnsiString& Value) {
    if (Value == FHint) return;
    FHint = Value;
    Changed();
}

void TOfficeGroupItem::SetHelpContext(int Value) {
    if (Value == FHelpContext) return;
    FHelpContext = Value;
    Changed();
}

void TOfficeGroupItem::SetHelpKeyword(const AnsiString& Value) {
    if (Value == FHelpKeyword) return;
    FHelpKeyword = Value;
    Changed();
}

void TOfficeGroupItem::SetHelpType(THelpType Value) {
    if (Value == FHelpType) return;
    FHelpType = Value;
    Changed();
}

void TOfficeGroupItem::SetCaption(const AnsiString& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed();
}

void TOfficeGroupItem::Assign(TPersistent* Source) {
    auto* item = dynamic_cast<TOfficeGroupItem*>(Source);
    if (!item) {
        TCollectionItem::Assign(Source);
        return;
    }
    FFillColor = item->FFillColor;
    FImageIndex = item->FImageIndex;
    FEnabled = item->FEnabled;
    FHint = item->FHint;
    FHelpContext = item->FHelpContext;
    FHelpKeyword = item->FHelpKeyword;
    FHelpType = item->FHelpType;
    FCaption = item->FCaption;
    Changed();
}

void TOfficeGroupItem::AssignTo(TPersistent* Dest) {
    auto* button = dynamic_cast<TRVOfficeRadioButton*>(Dest);
    if (!button) {
        TCollectionItem::AssignTo(Dest);
        return;
    }
    button->FFillColor = FFillColor;
    button->FImageIndex = FImageIndex;
    button->SetEnabled(FEnabled);
    button->SetHint(FHint);
    // The layer has no context help: the item keeps its help settings.
    button->SetCaption(FCaption);
}

// TOfficeGroupItems

TOfficeGroupItems::TOfficeGroupItems(TRVOfficeRadioGroup* AGroup)
    : TCollection([](TCollection* Items) { return new TOfficeGroupItem(Items); }), FGroup(AGroup) {}

TOfficeGroupItems::~TOfficeGroupItems() {
    FGroup = nullptr;
    TCollection::Clear();
}

TPersistent* TOfficeGroupItems::GetOwner() const {
    return FGroup;
}

TOfficeGroupItem* TOfficeGroupItems::Add() {
    auto* item = static_cast<TOfficeGroupItem*>(TCollection::Add());
    Update(nullptr);
    return item;
}

void TOfficeGroupItems::Delete(int Index) {
    TCollection::Delete(Index);
    Update(nullptr);
}

void TOfficeGroupItems::Clear() {
    TCollection::Clear();
    Update(nullptr);
}

void TOfficeGroupItems::Update(TOfficeGroupItem* Item) {
    if (!FGroup) return;
    if (Item)
        FGroup->ItemChanged(Item);
    else
        FGroup->UpdateButtons();
}

// TOfficeGroupButton

TOfficeGroupButton::TOfficeGroupButton(TRVOfficeRadioGroup* AGroup)
    : TRVOfficeRadioButton(AGroup), FGroup(AGroup) {
    FGroup->FButtons.push_back(this);
    SetVisible(false);
    SetEnabled(FGroup->Enabled());
    OnClick = [this](TObject*) { FGroup->ButtonClick(this); };
    SetParent(FGroup);
}

TOfficeGroupButton::~TOfficeGroupButton() {
    auto& buttons = FGroup->FButtons;
    buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
}

void TOfficeGroupButton::Command(const std::function<void()>& Run) {
    if (!FGroup->CanModify() || FInClick) return;
    FInClick = true;
    TScopeGuard done([this] { FInClick = false; });
    try {
        Run();
    } catch (...) {
        if (!Application) throw;
        Application->HandleException(this);
    }
}

void TOfficeGroupButton::CommandClicked() {
    Command([this] { TRVOfficeRadioButton::CommandClicked(); });
}

void TOfficeGroupButton::CommandDoubleClicked() {
    Command([this] { TRVOfficeRadioButton::CommandDoubleClicked(); });
}

void TOfficeGroupButton::CommandSetFocus() {
    Command([this] { TRVOfficeRadioButton::CommandSetFocus(); });
}

void TOfficeGroupButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TRVOfficeRadioButton::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS;
        return;
    case WM_LBUTTONDBLCLK:
        TRVOfficeRadioButton::Dispatch(Message);
        if (FGroup->OnDblClickItem) FGroup->OnDblClickItem(FGroup);
        return;
    default:
        break;
    }
    TRVOfficeRadioButton::Dispatch(Message);
}

void TOfficeGroupButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key >= VK_LEFT && Key <= VK_DOWN) {
        auto& buttons = FGroup->FButtons;
        int here = int(std::find(buttons.begin(), buttons.end(), this) - buttons.begin());
        // The focus moves; the button that takes it is chosen.
        if (int next = FGroup->FindNextButton(here, Key); next >= 0 && next != here)
            buttons[next]->SetFocus();
        Key = 0;
        return;
    }
    TRVOfficeRadioButton::KeyDown(Key, Shift);
    if (Key && FGroup->OnKeyDown) FGroup->OnKeyDown(FGroup, Key, Shift);
}

void TOfficeGroupButton::KeyPress(char& Key) {
    if ((Key == '\b' || Key == ' ') && !FGroup->CanModify()) {
        Key = 0;
        return;
    }
    TRVOfficeRadioButton::KeyPress(Key);
    if (Key && FGroup->OnKeyPress) FGroup->OnKeyPress(FGroup, Key);
}

// TRVOfficeRadioGroup

TRVOfficeRadioGroup::TRVOfficeRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner) {
    FItems = new TOfficeGroupItems(this);
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetTabStop(true);
    SetBounds(0, 0, DefaultGroupSize, DefaultGroupSize);
}

TRVOfficeRadioGroup::~TRVOfficeRadioGroup() {
    // The buttons go before the list they are in.
    while (!FButtons.empty())
        delete FButtons.back();
    delete FItems;
}

int TRVOfficeRadioGroup::PerColumn() const {
    return (ButtonCount() + FColumns - 1) / FColumns;
}

void TRVOfficeRadioGroup::UpdateButtons() {
    FItemIndex = std::clamp(FItemIndex, -1, FItems->Count() - 1);
    while (ButtonCount() < FItems->Count())
        new TOfficeGroupButton(this);
    while (ButtonCount() > FItems->Count())
        delete FButtons.back();
    UpdateButtonsProps();
    for (int i = 0; i < ButtonCount(); ++i)
        FButtons[std::size_t(i)]->Assign(FItems->Items(i));
    {
        // The group checks the chosen button itself: no click is reported.
        FUpdating = true;
        TScopeGuard done([this] { FUpdating = false; });
        for (int i = 0; i < ButtonCount(); ++i)
            FButtons[std::size_t(i)]->SetChecked(i == FItemIndex);
    }
    ArrangeButtons();
    Invalidate();
}

void TRVOfficeRadioGroup::UpdateButtonsProps() {
    for (std::size_t i = 0; i < FButtons.size(); ++i) {
        TOfficeGroupButton* b = FButtons[i];
        b->SetImages(FImages);
        b->SetSelColor(FSelColor);
        b->SetSelWidth(FSelWidth);
        b->SetTextAreaHeight(FTextAreaHeight);
        b->SetDisabled3D(FDisabled3D);
        b->SetTextPosition(FTextPosition);
        b->SetSquare(FSquare);
        b->SetUseXPThemes(FUseXPThemes);
        if (FOnCustomDraw)
            b->OnCustomDraw = [this, b](TRVOfficeRadioButton*, TCanvas* Canvas, const TRect& R,
                                        bool& DoDefault) {
                auto found = std::find(FButtons.begin(), FButtons.end(), b);
                FOnCustomDraw(this, int(found - FButtons.begin()), Canvas, R, DoDefault);
            };
        else
            b->OnCustomDraw = nullptr;
    }
}

void TRVOfficeRadioGroup::LookChanged() {
    UpdateButtonsProps();
    for (TOfficeGroupButton* b : FButtons)
        b->Invalidate();
}

void TRVOfficeRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) return;
    TBitmap measure(1, 1);
    measure.Canvas()->SetFont(Font());
    const int h = measure.Canvas()->TextMetrics().tmHeight;
    const int perColumn = PerColumn();
    const int w = (Width() - 2 * FMargin) / FColumns;
    const int top0 = h + 1;
    const int rowH = (Height() - top0 - 2 * FMargin) / perColumn;
    for (int i = 0; i < ButtonCount(); ++i) {
        TOfficeGroupButton* b = FButtons[std::size_t(i)];
        int left = (i / perColumn) * w + FMargin + FMargin / 2;
        int top = (i % perColumn) * rowH + top0 + FMargin;
        b->SetBounds(left, top, w - FMargin, rowH);
        b->SetVisible(true);
    }
}

int TRVOfficeRadioGroup::FindNextButton(int Index, uint16_t Key) const {
    if (std::none_of(FButtons.begin(), FButtons.end(), [](TOfficeGroupButton* b) { return CanTakeFocus(b); }))
        return -1;
    const int perColumn = PerColumn(), cells = FColumns * perColumn;
    int index = Index;
    do {
        switch (Key) {
        case VK_UP:
            --index;
            break;
        case VK_DOWN:
            ++index;
            break;
        case VK_LEFT:
            if (index == 0)
                index = cells - 1;
            else
                index -= perColumn + (index < perColumn ? 1 : 0);
            break;
        case VK_RIGHT:
            if (index == cells - 1)
                index = 0;
            else
                index += perColumn + (index >= cells - perColumn ? 1 : 0);
            break;
        default:
            return Index;
        }
        if (index < 0) index += cells;
        index %= cells;
    } while (index >= ButtonCount() || !CanTakeFocus(FButtons[std::size_t(index)]));
    return index;
}

void TRVOfficeRadioGroup::ButtonClick(TOfficeGroupButton* Button) {
    if (FUpdating) return;
    auto found = std::find(FButtons.begin(), FButtons.end(), Button);
    if (found == FButtons.end()) return;
    SetItemIndex(int(found - FButtons.begin()));
    Click();
}

void TRVOfficeRadioGroup::ItemChanged(TOfficeGroupItem* Item) {
    int i = Item->Index();
    if (i < 0 || i >= ButtonCount()) return;
    FButtons[std::size_t(i)]->Assign(Item);
    FButtons[std::size_t(i)]->Invalidate();
}

void TRVOfficeRadioGroup::SetItemIndex(int Value) {
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (Value == FItemIndex) return;
    if (FItemIndex >= 0) FButtons[std::size_t(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    // Checking the button clicks it, and the group hears of it.
    if (FItemIndex >= 0) FButtons[std::size_t(FItemIndex)]->SetChecked(true);
}

void TRVOfficeRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, MaxColumns);
    if (Value == FColumns) return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TRVOfficeRadioGroup::SetMargin(int Value) {
    if (Value == FMargin) return;
    FMargin = Value;
    ArrangeButtons();
    Invalidate();
}

void TRVOfficeRadioGroup::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    LookChanged();
}

void TRVOfficeRadioGroup::SetSelColor(TColor Value) {
    FSelColor = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetSelWidth(int Value) {
    FSelWidth = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetTextAreaHeight(int Value) {
    FTextAreaHeight = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetDisabled3D(bool Value) {
    FDisabled3D = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetTextPosition(TORBTextPosition Value) {
    FTextPosition = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetSquare(bool Value) {
    FSquare = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetUseXPThemes(bool Value) {
    FUseXPThemes = Value;
    LookChanged();
}

void TRVOfficeRadioGroup::SetOnCustomDraw(TORGCustomDrawEvent Value) {
    FOnCustomDraw = std::move(Value);
    LookChanged();
}

void TRVOfficeRadioGroup::SetEnabled(bool Value) {
    TCustomGroupBox::SetEnabled(Value);
    for (TOfficeGroupButton* b : FButtons)
        b->SetEnabled(Value);
}

void TRVOfficeRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGroupBox::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        LookChanged();
    }
}

void TRVOfficeRadioGroup::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
    case CM_FONTCHANGED:
        TCustomGroupBox::Dispatch(Message);
        ArrangeButtons();
        return;
    case WM_SETFOCUS:
        TCustomGroupBox::Dispatch(Message);
        // The focus goes on to the chosen button.
        if (FItemIndex >= 0 && FButtons[std::size_t(FItemIndex)]->CanFocus())
            FButtons[std::size_t(FItemIndex)]->SetFocus();
        return;
    default:
        break;
    }
    TCustomGroupBox::Dispatch(Message);
}
