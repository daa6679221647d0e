// The dynamics window's entry function over its stand-in.
#include "app/results/Dinamics_Frm.h"

#include <memory>

TDinamics_Form::TDinamics_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "Динамика"_cp) {
    SetName("Dinamics_Form");
}

void ShowDynamics(const TUser& User) {
    auto form = std::make_unique<TDinamics_Form>(nullptr);
    form->User = User;
    form->ShowModal();
}
