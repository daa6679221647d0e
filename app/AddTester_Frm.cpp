// The testee card's entry function over its stand-in.
#include "app/AddTester_Frm.h"

#include <memory>

TAddTester_Form::TAddTester_Form(TComponent* AOwner)
    : TStandIn_Form(AOwner, "Добавление нового тестируемого"_cp) {
    SetName("AddTester_Form");
}

bool EditTesteeCard(TTarvikApplication* TarvikApplication, TUser& User) {
    auto card = std::make_unique<TAddTester_Form>(nullptr);
    card->TarvikApplication = TarvikApplication;
    card->User = User;
    if (User.USER_ID != -1) card->SetCaption("Корректировка данных тестируемого"_cp);
    if (card->ShowModal() != mrOk) return false;
    User = card->User;
    return true;
}
