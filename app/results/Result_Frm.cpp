// The results window's entry functions over its stand-in.
#include "app/results/Result_Frm.h"

#include <memory>

TResult_Form::TResult_Form(TComponent* AOwner) : TStandIn_Form(AOwner, "Результаты тестирования"_cp) {
    SetName("Result_Form");
}

bool ShowTestResults(const TUser& User) {
    auto form = std::make_unique<TResult_Form>(nullptr);
    form->User = User;
    form->ShowModal();
    return form->FDataChanged;
}

void ShowTeamResults(const TTeam& Team) {
    auto form = std::make_unique<TResult_Form>(nullptr);
    form->Team = Team;
    form->ShowModal();
}
