// The header's pop-up menu: one item per column, checked when the column
// is visible; choosing one shows or hides its column.
#pragma once

#include "controls/vtree/VirtualTrees.h"
#include "platform/gui/Menus.h"

enum TVTHeaderPopupOption { poOriginalOrder, poAllowHideAll };
using TVTHeaderPopupOptions = TSet<TVTHeaderPopupOption, uint8_t>;

enum TAddPopupItemType { apNormal, apDisabled, apHidden };

using TAddHeaderPopupItemEvent =
    std::function<void(TBaseVirtualTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)>;
using TColumnChangeEvent = std::function<void(TBaseVirtualTree* Sender, TColumnIndex Column, bool Visible)>;

class TVTHeaderPopupMenu : public TPopupMenu {
public:
    explicit TVTHeaderPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
    // Rebuilds the items when the pop-up component is a tree, then pops up.
    void Popup(int X, int Y) override;

    TVTHeaderPopupOptions Options;
    TAddHeaderPopupItemEvent OnAddHeaderPopupItem;
    TColumnChangeEvent OnColumnChange;

protected:
    virtual void DoAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd);
    virtual void DoColumnChange(TColumnIndex Column, bool Visible);

private:
    void OnMenuItemClick(TObject* Sender);
};
