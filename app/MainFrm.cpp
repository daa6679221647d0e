// The main window's life: creation and the message loop, the title, the
// page in view with its tool bar, menus and actions, and closing.
#include "app/MainFrm.h"

#include "app/MainFrm_p.h"
#include "platform/rtl/ScopeGuard.h"
#include "util/JvGradient.h"

TTarvikApplication* TarvikApplication = nullptr;

AnsiString MainCaption() {
    return "Севрола (Методика Ф. Герцберга)"_cp;
}

TControl* NewCaptionStrip(TComponent* Owner, TWinControl* Sheet, int Height) {
    auto* strip = new TJvGradient(Owner);
    strip->SetParent(Sheet);
    strip->SetStyle(TJvGradientStyle::grVertical);
    strip->SetStartColor(clBtnShadow);
    strip->SetEndColor(clBtnFace);
    strip->SetEnabled(false);
    strip->SetAlign(TAlign::alTop);
    strip->SetHeight(Height);
    return strip;
}

std::unique_ptr<TMain_Form> CreateMainForm(TTarvikApplication* AppObject, const TDatabase& Database) {
    auto form = std::make_unique<TMain_Form>(nullptr);
    Application->SetMainForm(form.get());
    form->ShowFirstPage();
    form->BuildGridColumns();
    LoadTreeLayout(form->Users_Grid);
    LoadTreeLayout(form->Teams_Grid);
    TarvikApplication = AppObject;
    form->CurrentDatabase = Database;
    form->RefreshTestees(0);
    form->RefreshTeams(0);
    form->UpdateTitle();
    form->FocusGrid();
    return form;
}

void RunMainForm(TTarvikApplication* AppObject, const TDatabase& Database) {
    std::unique_ptr<TMain_Form> form = CreateMainForm(AppObject, Database);
    Application->Run();
}

void TMain_Form::ShowFirstPage() {
    Main_PageControl->SetActivePageIndex(0);
    UpdatePageActions();
}

void TMain_Form::FocusGrid() {
    TWinControl* grid = TesteePageActive() ? static_cast<TWinControl*>(Users_Grid) : Teams_Grid;
    if (Visible() && grid->CanFocus())
        grid->SetFocus();
    else
        SetActiveControl(grid);
}

void TMain_Form::UpdateTitle() {
    SetCaption(MainCaption() + " - " + CurrentDatabase.DB_NAME);
    Main_StatusBar->Panels()->Items(0)->SetText("Текущая база данных - "_cp + CurrentDatabase.DB_NAME);
}

void TMain_Form::Main_PageControlChange(TObject*) {
    UpdatePageActions();
}

void TMain_Form::UpdatePageActions() {
    const bool testees = TesteePageActive();
    Teams_ToolBar->SetVisible(!testees);
    Users_ToolBar->SetVisible(!Teams_ToolBar->Visible());
    const bool usersBar = Users_ToolBar->Visible();
    Users_MenuItem->SetVisible(usersBar);
    Testing_MenuItem->SetVisible(usersBar);
    for (int i = 1; i < Teams_MenuItem->Count(); ++i)
        Teams_MenuItem->Items(i)->SetVisible(!usersBar);

    EditUser_SmallAction->SetEnabled(Users_Grid->GetRootNodeCount() > 0 && usersBar);
    for (TAction* action : {DelUser_SmallAction, Blank_Action, StartTest_SmallAction})
        action->SetEnabled(EditUser_SmallAction->Enabled());
    TeamEditBl_Action->SetEnabled(Teams_Grid->GetRootNodeCount() > 0 && !usersBar);
    for (TAction* action : {TeamDelTest_Action, TeamRes_Action})
        action->SetEnabled(TeamEditBl_Action->Enabled());
    FindUser_SmallAction->SetEnabled(EditUser_SmallAction->Enabled() || TeamEditBl_Action->Enabled());
    // The testee-only actions and their shortcuts are off on the group page,
    // so a shortcut both pages share reaches the page in view.
    NewUser_SmallAction->SetEnabled(usersBar);
    UpdateTesteeResultActions();
}

void TMain_Form::FormClose(TObject*, TCloseAction&) {
    // Closing is never refused: a layout that cannot be stored is reported,
    // after the other grid's has been tried too.
    TFirstError errors;
    errors.Run([&] { SaveTreeLayout(Users_Grid); });
    errors.Run([&] { SaveTreeLayout(Teams_Grid); });
    try {
        errors.RaiseIfAny();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TMain_Form::FormDestroy(TObject*) {
    FUsers.Columns.reset();
    FTeams.Columns.reset();
}
