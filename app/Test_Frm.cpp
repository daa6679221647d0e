// The questionnaire's entry function over its stand-in.
#include "app/Test_Frm.h"

#include <memory>

TTest_Form::TTest_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "Тестирование"_cp) {
    SetName("Test_Form");
}

bool RunTest(const TTestData& TestData) {
    auto form = std::make_unique<TTest_Form>(nullptr);
    form->TestData = TestData;
    return form->ShowModal() == mrOk;
}
