// The group data entry's entry functions over its stand-in.
#include "app/TeamBlank_Frm.h"

TTeamBlnk_Form::TTeamBlnk_Form(TComponent* AOwner)
    : TStandIn_Form(AOwner, "Данные группового тестирования"_cp) {
    SetName("TeamBlnk_Form");
}

namespace {
bool RunTeamBlank(TStrings* List, TTeam& Team) {
    auto form = std::make_unique<TTeamBlnk_Form>(nullptr);
    form->Team = Team;
    if (List) {
        form->Testees.Assign(List);
        form->Team.TEAM_ID = -1;
    }
    if (form->ShowModal() != mrOk) return false;
    Team = form->Team;
    return true;
}
} // namespace

bool EditTeamBlank(TTeam& Team) {
    return RunTeamBlank(nullptr, Team);
}

bool NewTeamFromTestees(TStrings* List, TTeam& Team) {
    return RunTeamBlank(List, Team);
}
