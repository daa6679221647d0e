// The testee card: its pages and controls, filling them from the record,
// the seniority coupling, the check and the write on OK, and its entry
// function.
#include "app/AddTester_Frm.h"

#include <memory>

#include "app/DialogParts.h"
#include "platform/win/MessageBox.h"

namespace {
// The longest texts the testee's columns hold.
constexpr int kFioMaxLength = 200;
constexpr int kJobMaxLength = 200;
constexpr int kPositionMaxLength = 150;
constexpr int kSpecMaxLength = 200;
constexpr int kFieldWidth = 365;
constexpr int kDefaultAge = 20;

const char* const kEducationItems[] = {
    "Незаконченное среднее", "Среднее", "Среднее специальное",
    "Незаконченное высшее",  "Высшее",  "Наличие ученых степеней (канд. наук, доктор наук)",
};

TJvSpinEdit* NewSpinEdit(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top) {
    auto* spin = new TJvSpinEdit(Form);
    spin->SetName(Name);
    spin->SetParent(Parent);
    spin->SetBounds(Left, Top, 80, 21);
    spin->SetAlignment(taRightJustify);
    return spin;
}

TJvSpinEdit* NewSeniorityEdit(TForm* Form, TWinControl* Parent, const char* Name, int Top) {
    TJvSpinEdit* spin = NewSpinEdit(Form, Parent, Name, 200, Top);
    spin->SetValueType(TValueType::vtFloat);
    spin->SetDecimal(1);
    spin->SetThousands(true);
    spin->SetMaxValue(100);
    spin->SetValue(0);
    NewLabel(Form, Parent, "лет"_cp, 286, Top + 4);
    return spin;
}

TComboBox* NewDropDownList(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, int Width) {
    auto* combo = new TComboBox(Form);
    combo->SetName(Name);
    combo->SetParent(Parent);
    combo->SetBounds(Left, Top, Width, 21);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    return combo;
}

TTabSheet* NewPage(TForm* Form, TPageControl* Pages, const char* Name, const AnsiString& Caption) {
    auto* page = new TTabSheet(Form);
    page->SetName(Name);
    page->SetPageControl(Pages);
    page->SetCaption(Caption);
    return page;
}

// The number a seniority field shows; false while it shows none.
bool ReadSeniority(TJvSpinEdit* Edit, double& Value) {
    AnsiString text = Trim(Edit->Text());
    if (FormatSettings.ThousandSeparator != FormatSettings.DecimalSeparator) {
        AnsiString digits;
        for (char c : text)
            if (c != FormatSettings.ThousandSeparator) digits += c;
        text = digits;
    }
    return !text.empty() && TryStrToFloat(text, Value);
}
} // namespace

TAddTester_Form::TAddTester_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "AddTester_Form", "", 413, 297, false);
    AddTester_PageControl = new TPageControl(this);
    AddTester_PageControl->SetName("AddTester_PageControl");
    AddTester_PageControl->SetParent(this);
    AddTester_PageControl->SetBounds(8, 8, 397, 244);
    CreateGeneralPage();
    CreateWorkPage();
    CreateEducationPage();
    OK_But = NewButton(this, this, "OK_But", "OK", 245, 264, true, false);
    OK_But->OnClick = [this](TObject* Sender) { OK_ButClick(Sender); };
    Cancel_But = NewButton(this, this, "Cancel_But", "Отмена"_cp, 330, 264, false, true);
    Cancel_But->OnClick = [this](TObject* Sender) { Cancel_ButClick(Sender); };
}

void TAddTester_Form::CreateGeneralPage() {
    General_TabSheet = NewPage(this, AddTester_PageControl, "General_TabSheet", "Общая информация"_cp);
    NewLabel(this, General_TabSheet, "Фамилия, имя, отчество:"_cp, 12, 12);
    FIO_Edit = NewEdit(this, General_TabSheet, "FIO_Edit", 12, 30, kFieldWidth, kFioMaxLength);
    NewLabel(this, General_TabSheet, "Пол:"_cp, 12, 64);
    Sex_ComboBox = NewDropDownList(this, General_TabSheet, "Sex_ComboBox", 12, 82, 150);
    Sex_ComboBox->Items()->Add("Мужской"_cp);
    Sex_ComboBox->Items()->Add("Женский"_cp);
    NewLabel(this, General_TabSheet, "Возраст:"_cp, 200, 64);
    Age_Edit = NewSpinEdit(this, General_TabSheet, "Age_Edit", 200, 82);
    Age_Edit->SetMaxValue(120);
    Age_Edit->SetMinValue(12);
    Age_Edit->SetValue(kDefaultAge);
    // A testee without an age keeps none.
    Age_Edit->SetAllowEmpty(true);
    Sex_ComboBox->SetTabOrder(0);
    FIO_Edit->SetTabOrder(1);
    Age_Edit->SetTabOrder(2);
}

void TAddTester_Form::CreateWorkPage() {
    Work_TabSheet = NewPage(this, AddTester_PageControl, "Work_TabSheet", "Сведения о работе"_cp);
    NewLabel(this, Work_TabSheet, "Место работы:"_cp, 12, 12);
    Job_Edit = NewEdit(this, Work_TabSheet, "Job_Edit", 12, 30, kFieldWidth, kJobMaxLength);
    NewLabel(this, Work_TabSheet, "Должность:"_cp, 12, 62);
    Position_Edit = NewEdit(this, Work_TabSheet, "Position_Edit", 12, 80, kFieldWidth, kPositionMaxLength);
    NewLabel(this, Work_TabSheet, "Общий стаж работы:"_cp, 12, 118);
    Seniority_Edit = NewSeniorityEdit(this, Work_TabSheet, "Seniority_Edit", 114);
    NewLabel(this, Work_TabSheet, "Период работы  в организации:"_cp, 12, 150);
    OrgSeniority_Edit = NewSeniorityEdit(this, Work_TabSheet, "OrgSeniority_Edit", 146);
    OrgSeniority_Edit->OnChange = [this](TObject* Sender) { OrgSeniority_EditChange(Sender); };
}

void TAddTester_Form::CreateEducationPage() {
    Education_TabSheet = NewPage(this, AddTester_PageControl, "Education_TabSheet", "Образование"_cp);
    NewLabel(this, Education_TabSheet, "Образование:"_cp, 12, 12);
    Education_Edit = NewDropDownList(this, Education_TabSheet, "Education_Edit", 12, 30, kFieldWidth);
    for (const char* item : kEducationItems)
        Education_Edit->Items()->Add(Utf8ToAnsi(item));
    NewLabel(this, Education_TabSheet, "Специальность по образованию:"_cp, 12, 62);
    Spec_Edit = NewEdit(this, Education_TabSheet, "Spec_Edit", 12, 80, kFieldWidth, kSpecMaxLength);
    IsWorkForSpec = new TCheckBox(this);
    IsWorkForSpec->SetName("IsWorkForSpec");
    IsWorkForSpec->SetParent(Education_TabSheet);
    IsWorkForSpec->SetBounds(12, 116, 250, 17);
    IsWorkForSpec->SetCaption("Работа по специальности"_cp);
}

void TAddTester_Form::FillCard() {
    if (User.USER_ID == -1) {
        SetCaption("Добавление нового тестируемого"_cp);
    } else {
        SetCaption("Корректировка данных тестируемого"_cp);
        FIO_Edit->SetText(User.FIO);
        if (User.AGE != -1)
            Age_Edit->SetText(IntToStr(User.AGE));
        else
            Age_Edit->SetText("");
        Sex_ComboBox->SetItemIndex(User.SEX == "М"_cp ? 0 : User.SEX == "Ж"_cp ? 1 : -1);
        Position_Edit->SetText(User.POSIT);
        if (User.Seniority != 0) Seniority_Edit->SetValue(User.Seniority);
        if (User.OrgSeniority != 0) OrgSeniority_Edit->SetValue(User.OrgSeniority);
        Job_Edit->SetText(User.Job);
        int education = -1;
        for (int i = 0; i < Education_Edit->Items()->Count(); ++i)
            if (Education_Edit->Items()->Strings(i) == User.Education) education = i;
        Education_Edit->SetItemIndex(education);
        Spec_Edit->SetText(User.Spec);
        IsWorkForSpec->SetChecked(User.isworkforspec != 0);
    }
    AddTester_PageControl->SetActivePage(General_TabSheet);
    // The name comes first: typing it never opens the sex list.
    SetActiveControl(FIO_Edit);
}

void TAddTester_Form::OrgSeniority_EditChange(TObject*) {
    // A field that shows no number yet (empty, or half typed) is left alone.
    double total = 0;
    double inOrganisation = 0;
    if (!ReadSeniority(Seniority_Edit, total) || !ReadSeniority(OrgSeniority_Edit, inOrganisation)) return;
    if (total < inOrganisation) Seniority_Edit->SetText(OrgSeniority_Edit->Text());
}

void TAddTester_Form::OK_ButClick(TObject*) {
    if (FIO_Edit->Text().empty()) {
        MessageBox("Не заполнено обязательное для заполнения поле "_cp + "\"" + "Ф.И.О."_cp + "\"" +
                       "! Повторите ввод."_cp,
                   "Ошибка ввода данных"_cp, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Numbers typed but not yet brought into range count as the field shows
    // them once it is left.
    for (TJvSpinEdit* spin : {Age_Edit, Seniority_Edit, OrgSeniority_Edit})
        if (!Trim(spin->Text()).empty()) spin->CommitValue();
    TUser typed = User;
    typed.FIO = FIO_Edit->Text();
    typed.SEX = Sex_ComboBox->ItemIndex() == 0 ? "М"_cp : Sex_ComboBox->ItemIndex() == 1 ? "Ж"_cp : "";
    typed.AGE = Trim(Age_Edit->Text()).empty() ? -1 : int32_t(Age_Edit->GetValueAsInteger());
    typed.POSIT = Position_Edit->Text();
    if (!Trim(Seniority_Edit->Text()).empty()) typed.Seniority = Seniority_Edit->Value();
    if (!Trim(OrgSeniority_Edit->Text()).empty()) typed.OrgSeniority = OrgSeniority_Edit->Value();
    typed.Job = Job_Edit->Text();
    typed.Education = Education_Edit->ItemIndex() >= 0 ? Education_Edit->Text() : AnsiString();
    typed.Spec = Spec_Edit->Text();
    typed.isworkforspec = IsWorkForSpec->Checked() ? 1 : 0;
    if (Write && !Write(typed)) return;
    User = typed;
    SetModalResult(mrOk);
}

void TAddTester_Form::Cancel_ButClick(TObject*) {
    SetModalResult(mrCancel);
}

bool EditTesteeCard(TTarvikApplication* TarvikApplication, TUser& User, const TTesteeWrite& Write) {
    auto card = std::make_unique<TAddTester_Form>(nullptr);
    card->TarvikApplication = TarvikApplication;
    card->User = User;
    card->Write = Write;
    card->FillCard();
    if (card->ShowModal() != mrOk) return false;
    User = card->User;
    return true;
}
