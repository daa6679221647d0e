// The answer sheet's entry function over its stand-in.
#include "app/Blank_Frm.h"

#include <memory>

TBlank_Form::TBlank_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "Ввод с бланка"_cp) {
    SetName("Blank_Form");
}

bool EnterFromBlank(TTestData& TestData) {
    auto form = std::make_unique<TBlank_Form>(nullptr);
    form->TestData = TestData;
    if (form->ShowModal() != mrOk) return false;
    TestData = form->TestData;
    return true;
}
