// The About box's entry function over its stand-in.
#include "app/About_Frm.h"

#include <memory>

TAbout_Form::TAbout_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "О программе"_cp) {
    SetName("About_Form");
}

void ShowAbout() {
    auto form = std::make_unique<TAbout_Form>(nullptr);
    form->ShowModal();
}
