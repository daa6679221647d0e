// The options window: its pages, the colours, the password change and its
// entry function.
#include "app/Option_Frm.h"

#include <memory>

#include "app/ChangePassword_Frm.h"
#include "app/DialogParts.h"
#include "platform/win/MessageBox.h"

namespace {
TJvColorButton* NewColorButton(TForm* Form, TWinControl* Parent, const char* Name, int Top) {
    auto* button = new TJvColorButton(Form);
    button->SetName(Name);
    button->SetParent(Parent);
    button->SetBounds(160, Top, 80, 25);
    button->SetOtherCaption("&Другой..."_cp);
    return button;
}
} // namespace

TOptions_Form::TOptions_Form(TComponent* AOwner, TTarvikApplication* ATarvikApplication)
    : TForm(AOwner), TarvikApplication(ATarvikApplication) {
    SetUpDialog(this, "Options_Form", "Настройка"_cp, 362, 361, false);
    Options_PageControl = new TPageControl(this);
    Options_PageControl->SetName("Options_PageControl");
    Options_PageControl->SetParent(this);
    Options_PageControl->SetBounds(8, 8, 346, 312);

    Interface_Tab = new TTabSheet(this);
    Interface_Tab->SetName("Interface_Tab");
    Interface_Tab->SetPageControl(Options_PageControl);
    Interface_Tab->SetCaption("Интерфейс"_cp);
    Colors_GroupBox = new TGroupBox(this);
    Colors_GroupBox->SetName("Colors_GroupBox");
    Colors_GroupBox->SetParent(Interface_Tab);
    Colors_GroupBox->SetBounds(8, 8, 322, 96);
    Colors_GroupBox->SetCaption("Цвет строк таблицы "_cp);
    NewLabel(this, Colors_GroupBox, "Нечетные строки:"_cp, 16, 30);
    FirstColor_Edit = NewColorButton(this, Colors_GroupBox, "FirstColor_Edit", 24);
    NewLabel(this, Colors_GroupBox, "Четные строки:"_cp, 16, 62);
    SecondColor_Edit = NewColorButton(this, Colors_GroupBox, "SecondColor_Edit", 56);
    FirstColor_Edit->OnChange = [this](TObject* Sender) { FirstColor_EditChange(Sender); };
    SecondColor_Edit->OnChange = [this](TObject* Sender) { FirstColor_EditChange(Sender); };

    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetPageControl(Options_PageControl);
    TabSheet1->SetCaption("Безопасность"_cp);
    NewLabel(this, TabSheet1, "Пароль психолога:"_cp, 16, 22);
    ChangePsyPassword_But = NewButton(this, TabSheet1, "ChangePsyPassword_But", "Изменить..."_cp, 160, 16);
    ChangePsyPassword_But->OnClick = [this](TObject* Sender) { ChangePsyPassword_ButClick(Sender); };

    OK_But = NewButton(this, this, "OK_But", "OK", 194, 328, true, false);
    OK_But->OnClick = [this](TObject* Sender) { OK_ButClick(Sender); };
    Cancel_But = NewButton(this, this, "Cancel_But", "Отмена"_cp, 279, 328, false, true);
    Cancel_But->OnClick = [this](TObject* Sender) { Cancel_ButClick(Sender); };
}

void TOptions_Form::FirstColor_EditChange(TObject*) {
    SettingsChanged = true;
}

void TOptions_Form::ApplyColors() {
    TApplicationOptions* options = TarvikApplication->Options.get();
    options->FirstGridRowColor = FirstColor_Edit->Color();
    options->SecondGridRowColor = SecondColor_Edit->Color();
    if (!options->Save())
        MessageBox("Не удалось сохранить настройки программы: они действуют до ее закрытия."_cp, "Ошибка"_cp,
                   MB_OK | MB_ICONERROR);
}

bool TOptions_Form::AskNewPassword(AnsiString& NewPassword) {
    if (SettingsChanged) {
        if (MessageBox("Настройки программы были изменены. Сохранить изменения?"_cp,
                       "Подтверждение сохранения"_cp, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        ApplyColors();
        SettingsChanged = false;
    }
    return ChangePasswordDialog(NewPassword, true);
}

void TOptions_Form::ChangePsyPassword_ButClick(TObject*) {
    AnsiString password;
    if (!AskNewPassword(password)) return;
    TAdminsSecurity* security = TarvikApplication->Security.get();
    security->SetPassword(password);
    // A password that could not be stored is not in force: the stored one is.
    if (!security->SavePassword()) {
        MessageBox("Пароль не изменен: его не удалось сохранить. Действует прежний пароль."_cp, "Ошибка"_cp,
                   MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox("Пароль успешно изменен!"_cp, "Пароль изменен"_cp, MB_OK | MB_ICONINFORMATION);
}

void TOptions_Form::OK_ButClick(TObject*) {
    ApplyColors();
    SetModalResult(mrOk);
}

void TOptions_Form::Cancel_ButClick(TObject*) {
    SetModalResult(mrCancel);
}

bool ShowOptions(TTarvikApplication* TarvikApplication) {
    auto form = std::make_unique<TOptions_Form>(nullptr, TarvikApplication);
    form->FirstColor_Edit->SetColor(TColor(TarvikApplication->Options->FirstGridRowColor));
    form->FirstColor_Edit->GetCustomColors()->Add(IntToStr(int32_t(clInfoBk)));
    form->SecondColor_Edit->SetColor(TColor(TarvikApplication->Options->SecondGridRowColor));
    form->SecondColor_Edit->GetCustomColors()->Add(IntToStr(int32_t(clWhite)));
    form->Options_PageControl->SetActivePage(form->Interface_Tab);
    form->SettingsChanged = false;
    return form->ShowModal() == mrOk;
}
