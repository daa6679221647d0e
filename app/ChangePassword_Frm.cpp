// The password change dialog: its window, the checks on OK and its entry
// function.
#include "app/ChangePassword_Frm.h"

#include <memory>

#include "app/DialogParts.h"
#include "app/Password_Frm.h"
#include "platform/win/MessageBox.h"

TChangePassword_Form::TChangePassword_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "ChangePassword_Form", "Смена пароля"_cp, 312, 177, false);
    Label1 = NewLabel(this, this, "Новый пароль:"_cp, 16, 12);
    // No longer than the prompt takes, or the password could never be typed
    // again.
    NewPassword_Edit = NewPasswordEdit(this, this, "NewPassword_Edit", 16, 30, 280, kPasswordMaxLength);
    Label1->SetFocusControl(NewPassword_Edit);
    Label2 = NewLabel(this, this, "Подтверждение:"_cp, 16, 64);
    ConfirmPassword_Edit =
        NewPasswordEdit(this, this, "ConfirmPassword_Edit", 16, 82, 280, kPasswordMaxLength);
    Label2->SetFocusControl(ConfirmPassword_Edit);
    OK_But = NewButton(this, this, "OK_But", "&OK", 136, 140, true, false);
    OK_But->OnClick = [this](TObject* Sender) { Ok_ButClick(Sender); };
    Cancel_But = NewButton(this, this, "Cancel_But", "&Отмена"_cp, 221, 140, false, true);
    Cancel_But->OnClick = [this](TObject* Sender) { Cancel_ButClick(Sender); };
    SetActiveControl(NewPassword_Edit);
}

void TChangePassword_Form::Ok_ButClick(TObject*) {
    AnsiString refusal;
    if (NewPassword_Edit->Text() != ConfirmPassword_Edit->Text())
        refusal = "Пароли не совпадают! Повторите ввод пароля!"_cp;
    else if (!AllowEmpty && NewPassword_Edit->Text().empty())
        refusal = "Пароль не может быть пустым! Повторите ввод пароля!"_cp;
    if (!refusal.empty()) {
        MessageBox(refusal, "Ошибка"_cp, MB_OK | MB_ICONERROR);
        SetActiveControl(NewPassword_Edit);
        return;
    }
    SetModalResult(mrOk);
}

void TChangePassword_Form::Cancel_ButClick(TObject*) {
    SetModalResult(mrCancel);
}

bool ChangePasswordDialog(AnsiString& NewPassword, bool AllowEmpty) {
    auto dialog = std::make_unique<TChangePassword_Form>(nullptr);
    dialog->AllowEmpty = AllowEmpty;
    if (dialog->ShowModal() != mrOk) return false;
    NewPassword = dialog->NewPassword_Edit->Text();
    return true;
}
