// The instruction window's entry function over its stand-in.
#include "app/Instr_Frm.h"

#include <memory>

TInstr_Form::TInstr_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "Инструкция"_cp, mrOk) {
    SetName("Instr_Form");
    // Enter and Escape both press the one button.
    Close_But->Cancel = true;
}

int ShowInstruction(const AnsiString& ButtonCaption) {
    auto form = std::make_unique<TInstr_Form>(nullptr);
    form->Close_But->SetCaption(ButtonCaption);
    return form->ShowModal();
}
