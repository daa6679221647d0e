// The options' entry function over its stand-in.
#include "app/Option_Frm.h"

#include <memory>

TOptions_Form::TOptions_Form(TComponent* AOwner, TTarvikApplication* ATarvikApplication)
    : TStandIn_Form(AOwner, "Настройка"_cp), TarvikApplication(ATarvikApplication) {
    SetName("Options_Form");
}

bool ShowOptions(TTarvikApplication* TarvikApplication) {
    auto form = std::make_unique<TOptions_Form>(nullptr, TarvikApplication);
    return form->ShowModal() == mrOk;
}
