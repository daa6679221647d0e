// The search's entry function over its stand-in.
#include "app/Sour_Frm.h"

#include <memory>

TSearch_Form::TSearch_Form(TComponent* AOwner, TBaseVirtualTree* ATree)
    : TStandIn_Form(AOwner, "Поиск тестируемого"_cp), Tree(ATree) {
    SetName("Search_Form");
}

void SearchInGrid(TBaseVirtualTree* Tree) {
    auto form = std::make_unique<TSearch_Form>(nullptr, Tree);
    form->ShowModal();
}
