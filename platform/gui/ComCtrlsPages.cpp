// The page control on the tab strip: its sheets, the active page, the tabs
// the sheets show, and switching pages by tab, key or code.
#include <algorithm>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"

// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle |= csAcceptsControls;
    SetAlign(TAlign::alClient);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::Dispatch(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == FPageControl) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    auto& pages = FPageControl->FPages;
    pages.erase(std::find(pages.begin(), pages.end(), this));
    Value = std::clamp(Value, 0, int(pages.size()));
    pages.insert(pages.begin() + Value, this);
    FPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible) return;
    FTabVisible = Value;
    if (!FPageControl) return;
    // A page whose tab goes stops being the active one.
    if (!Value && FPageControl->FActivePage == this)
        FPageControl->ChangeActivePage(FPageControl->FindNextPage(this, true));
    FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (FPageControl) FPageControl->Invalidate();
}

// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {
    FControlStyle |= csAcceptsControls;
}

TPageControl::~TPageControl() {
    // The sheets are children: they go with the control and must not call
    // back into it.
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true) : FActivePage;
    if (next == Page) next = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    Page->FPageControl = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        ChangeActivePage(next);
    }
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    while (TabCount() > 0)
        DeleteTab(TabCount() - 1);
    for (TTabSheet* p : FPages)
        if (p->FTabVisible) InsertTab(TabCount(), p->Caption(), p);
    SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
}

int TPageControl::GetImageIndex(int TabIndex) {
    auto* page =
        TabIndex >= 0 && TabIndex < TabCount() ? dynamic_cast<TTabSheet*>(TabObject(TabIndex)) : nullptr;
    int index = page ? page->ImageIndex() : -1;
    if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
    return index;
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Index) {
    SetActivePage(Index >= 0 && Index < PageCount() ? FPages[std::size_t(Index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    ChangeActivePage(Page);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
    if (Page == FActivePage) return;
    TCustomForm* form = GetParentForm(this);
    // The focus leaves a page that goes: to the new page, or to the control.
    bool focusInside =
        form && FActivePage && form->ActiveControl() && FActivePage->ContainsControl(form->ActiveControl());
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (old) old->SetVisible(false);
    SetTabIndex(Page ? Page->TabIndex() : -1);
    if (focusInside) {
        TWinControl* target = this;
        if (Page)
            for (TWinControl* c : Page->TabOrderList())
                if (c->TabStop() && c->CanFocus()) {
                    target = c;
                    break;
                }
        if (target->CanFocus()) form->SetActiveControl(target);
    }
    Realign();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Page, bool GoForward) const {
    int n = PageCount();
    if (n == 0) return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    int start = it == FPages.end() ? (GoForward ? n - 1 : 0) : int(it - FPages.begin());
    for (int step = 1; step <= n; ++step) {
        int i = GoForward ? (start + step) % n : (start - step + n) % n;
        if (FPages[std::size_t(i)]->FTabVisible) return FPages[std::size_t(i)];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
    TTabSheet* page = FindNextPage(FActivePage, GoForward);
    if (page && page != FActivePage) SelectTabByUser(page->TabIndex());
}

void TPageControl::TabChanged() {
    int index = TabIndex();
    auto* page = index >= 0 ? dynamic_cast<TTabSheet*>(TabObject(index)) : nullptr;
    ChangeActivePage(page);
    if (OnChange) OnChange(this);
}

void TPageControl::ShowControl(TControl* AControl) {
    if (auto* page = dynamic_cast<TTabSheet*>(AControl); page && page->FPageControl == this)
        SetActivePage(page);
    TCustomTabControl::ShowControl(AControl);
}

void TPageControl::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && (GetShiftState() & ssCtrl)) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() && ContainsControl(form->ActiveControl())) {
            SelectNextPage(!(GetShiftState() & ssShift));
            Message.Result = 1;
            return;
        }
    }
    TCustomTabControl::Dispatch(Message);
}
