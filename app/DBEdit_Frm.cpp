// The database card: its window, the checks and the write on OK, and its
// entry function.
#include "app/DBEdit_Frm.h"

#include <memory>

#include "app/DialogParts.h"
#include "app/Password_Frm.h"
#include "platform/win/MessageBox.h"

namespace {
constexpr int kNameMaxLength = 100;
} // namespace

TDBEdit_Form::TDBEdit_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "DBEdit_Form", "", 313, 168, false);
    Label1 = NewLabel(this, this, "Название базы данных:"_cp, 16, 12);
    DB_Edit = NewEdit(this, this, "DB_Edit", 16, 30, 281, kNameMaxLength);
    Label1->SetFocusControl(DB_Edit);
    Label2 = NewLabel(this, this, "Пароль:"_cp, 16, 74);
    Password_Edit = NewPasswordEdit(this, this, "Password_Edit", 72, 70, 225, kPasswordMaxLength);
    Label2->SetFocusControl(Password_Edit);
    Password_Edit->OnChange = [this](TObject* Sender) { Password_EditChange(Sender); };
    Ok_But = NewButton(this, this, "Ok_But", "OK", 137, 130, true, false);
    Ok_But->OnClick = [this](TObject* Sender) { Ok_ButClick(Sender); };
    Cancel_But = NewButton(this, this, "Cancel_But", "Отмена"_cp, 222, 130, false, true);
    Cancel_But->OnClick = [this](TObject* Sender) { Cancel_ButClick(Sender); };
    SetActiveControl(DB_Edit);
}

void TDBEdit_Form::FillFields() {
    if (!Database.DB_NAME.empty()) {
        SetCaption("Изменение данных базы данных"_cp);
        DB_Edit->SetText(Database.DB_NAME);
        Password_Edit->SetText(Database.DB_PASSWORD);
    } else {
        SetCaption("Создание базы данных"_cp);
    }
    PasswordChanged = false;
}

void TDBEdit_Form::Password_EditChange(TObject*) {
    PasswordChanged = true;
}

void TDBEdit_Form::Ok_ButClick(TObject*) {
    if (DB_Edit->Text().empty()) {
        MessageBox("Не заполнено обязательное поле "_cp + "\"" + "Название базы данных"_cp + "\"" +
                       "! Повторите ввод."_cp,
                   "Ошибка ввода данных"_cp, MB_OK | MB_ICONWARNING);
        SetActiveControl(DB_Edit);
        return;
    }
    if (PasswordChanged) {
        AnsiString password = Password_Edit->Text();
        if (!InputPassword("Подтверждение пароля"_cp, password, true)) return;
        // Confirmed once: a write that fails does not ask again.
        Database.DB_PASSWORD = password;
        PasswordChanged = false;
    }
    TDatabase typed = Database;
    typed.DB_NAME = DB_Edit->Text();
    if (Write && !Write(typed)) return;
    Database = typed;
    SetModalResult(mrOk);
}

void TDBEdit_Form::Cancel_ButClick(TObject*) {
    SetModalResult(mrCancel);
}

bool EditDatabaseCard(TDatabase& Database, const TDatabaseWrite& Write) {
    auto card = std::make_unique<TDBEdit_Form>(nullptr);
    card->Database = Database;
    card->Write = Write;
    card->FillFields();
    if (card->ShowModal() != mrOk) return false;
    Database = card->Database;
    return true;
}
