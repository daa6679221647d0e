// The password prompt's entry function over its stand-in.
#include "app/Password_Frm.h"

#include <memory>

TInputPassword_Form::TInputPassword_Form(TComponent* AOwner, const AnsiString& ACaption)
    : TStandIn_Form(AOwner, ACaption, mrOk) {
    SetName("InputPassword_Form");
}

bool InputPassword(const AnsiString& Caption, AnsiString& Password, bool Confirm) {
    auto prompt = std::make_unique<TInputPassword_Form>(nullptr, Caption);
    prompt->Password = Password;
    prompt->Confirm = Confirm;
    if (prompt->ShowModal() != mrOk) return false;
    Password = prompt->Password;
    return true;
}
