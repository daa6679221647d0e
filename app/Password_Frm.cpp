// The password prompt: its window, the check on OK and its entry function.
#include "app/Password_Frm.h"

#include <memory>

#include "app/DialogParts.h"
#include "platform/win/MessageBox.h"

TInputPassword_Form::TInputPassword_Form(TComponent* AOwner, const AnsiString& ACaption) : TForm(AOwner) {
    SetUpDialog(this, "InputPassword_Form", ACaption, 312, 137, false);
    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetParent(this);
    GroupBox1->SetBounds(8, 8, 296, 81);
    GroupBox1->SetCaption("Введите пароль"_cp);
    Label1 = NewLabel(this, GroupBox1, "Пароль:"_cp, 16, 34);
    Password_Edit = NewPasswordEdit(this, GroupBox1, "Password_Edit", 72, 30, 208, kPasswordMaxLength);
    Label1->SetFocusControl(Password_Edit);
    Ok_But = NewButton(this, this, "Ok_But", "OK", 144, 102, true, false);
    Ok_But->OnClick = [this](TObject* Sender) { Ok_ButClick(Sender); };
    Cancel_But = NewButton(this, this, "Cancel_But", "Отмена"_cp, 229, 102, false, true);
    Cancel_But->OnClick = [this](TObject* Sender) { Cancel_ButClick(Sender); };
    SetActiveControl(Password_Edit);
}

void TInputPassword_Form::Ok_ButClick(TObject*) {
    if (Password_Edit->Text() != Password) {
        MessageBox(Confirm ? "Пароли не совпадают! Повторите ввод."_cp
                           : "Неверный пароль! Повторите ввод."_cp,
                   "Ошибка ввода пароля"_cp, MB_OK | MB_ICONINFORMATION);
        SetActiveControl(Password_Edit);
        return;
    }
    Password = Password_Edit->Text();
    SetModalResult(mrOk);
}

void TInputPassword_Form::Cancel_ButClick(TObject*) {
    SetModalResult(mrCancel);
}

bool InputPassword(const AnsiString& Caption, AnsiString& Password, bool Confirm) {
    auto prompt = std::make_unique<TInputPassword_Form>(nullptr, Caption);
    prompt->Password = Password;
    prompt->Confirm = Confirm;
    if (prompt->ShowModal() != mrOk) return false;
    Password = prompt->Password;
    return true;
}
