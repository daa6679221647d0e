// The header's pop-up menu, rebuilt from the tree's columns at every pop-up.
#include "controls/vtree/VTHeaderPopup.h"

#include "platform/gui/ImgList.h"

void TVTHeaderPopupMenu::DoAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd) {
    Cmd = apNormal;
    if (OnAddHeaderPopupItem)
        OnAddHeaderPopupItem(dynamic_cast<TBaseVirtualTree*>(PopupComponent()), Column, Cmd);
}

void TVTHeaderPopupMenu::DoColumnChange(TColumnIndex Column, bool Visible) {
    if (OnColumnChange) OnColumnChange(dynamic_cast<TBaseVirtualTree*>(PopupComponent()), Column, Visible);
}

void TVTHeaderPopupMenu::Popup(int X, int Y) {
    if (auto* tree = dynamic_cast<TBaseVirtualTree*>(PopupComponent())) {
        TMenuItem* items = Items();
        for (int i = items->Count() - 1; i >= 0; --i) {
            TMenuItem* item = items->Items(i);
            items->Delete(i);
            delete item;
        }
        TVTHeader* header = tree->Header();
        SetImages(header->Options().Contains(hoShowImages) ? header->Images() : nullptr);
        TVirtualTreeColumns* columns = header->Columns();
        int visibleCount = 0;
        TMenuItem* lastVisible = nullptr;
        for (int position = 0; position < columns->Count(); ++position) {
            const TColumnIndex column = Options.Contains(poOriginalOrder)
                                            ? position
                                            : columns->ColumnAtPosition(TColumnPosition(position));
            if (column < 0) continue;
            TVirtualTreeColumn* c = columns->GetItem(column);
            const bool visible = c->Options().Contains(coVisible);
            if (visible) ++visibleCount;
            TAddPopupItemType cmd = apNormal;
            DoAddHeaderPopupItem(column, cmd);
            if (cmd == apHidden) continue;
            auto* item = new TMenuItem(this);
            item->Tag = column;
            item->SetCaption(WideToAnsi(c->Text()));
            item->SetHint(WideToAnsi(c->Hint));
            item->SetImageIndex(c->ImageIndex());
            item->SetChecked(visible);
            item->OnClick = [this](TObject* Sender) { OnMenuItemClick(Sender); };
            if (cmd == apDisabled)
                item->SetEnabled(false);
            else if (visible)
                lastVisible = item;
            items->Add(item);
        }
        if (visibleCount == 1 && lastVisible && !Options.Contains(poAllowHideAll))
            lastVisible->SetEnabled(false);
    }
    TPopupMenu::Popup(X, Y);
}

void TVTHeaderPopupMenu::OnMenuItemClick(TObject* Sender) {
    auto* tree = dynamic_cast<TBaseVirtualTree*>(PopupComponent());
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!tree || !item) return;
    TVirtualTreeColumns* columns = tree->Header()->Columns();
    const TColumnIndex index = TColumnIndex(item->Tag);
    if (!columns->IsValidIndex(index)) return;
    TVirtualTreeColumn* column = columns->GetItem(index);
    if (item->Checked())
        column->SetOptions(column->Options() - TVTColumnOptions{coVisible});
    else
        column->SetOptions(column->Options() + TVTColumnOptions{coVisible});
    DoColumnChange(index, !item->Checked());
}
