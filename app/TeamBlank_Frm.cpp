// The group entry's window, its filling from the record or from testees,
// the checks and record of OK, and the entry functions.
#include "app/TeamBlank_Frm.h"

#include <algorithm>

#include <memory>

#include "app/DialogParts.h"
#include "core/Calc_Unit.h"
#include "platform/win/MessageBox.h"

namespace {
constexpr int kClientWidth = 589;
constexpr int kClientHeight = 464;
constexpr int kMargin = 8;
constexpr int kInner = 12;
constexpr int kMaxTextLength = 200;
constexpr int kMinCount = 2;
constexpr int kMaxEmployees = 1000;
constexpr char kLabelEnd = '#';
constexpr char kScoreEnd = '/';

AnsiString EntryCaption() {
    return "Ошибка ввода данных"_cp;
}

void Refuse(const AnsiString& Text) {
    MessageBox(Text, EntryCaption(), MB_OK | MB_ICONINFORMATION);
}

// The texts before each Separator; text after the last one is no piece.
std::vector<AnsiString> Pieces(const AnsiString& Text, char Separator) {
    std::vector<AnsiString> pieces;
    std::size_t from = 0;
    for (std::size_t at = Text.find(Separator); at != AnsiString::npos; at = Text.find(Separator, from)) {
        pieces.push_back(Text.substr(from, at - from));
        from = at + 1;
    }
    return pieces;
}

TJvSpinEdit* NewCount(TForm* Owner, TWinControl* Parent, const char* Name, int Max, int Left, int Top) {
    auto* spin = new TJvSpinEdit(Owner);
    spin->SetName(Name);
    spin->SetParent(Parent);
    spin->SetBounds(Left, Top, 70, 21);
    spin->SetMinValue(kMinCount);
    spin->SetMaxValue(Max);
    spin->SetValue(kMinCount);
    // A count set in code tells its change too, as the user's does.
    spin->HandleNeeded();
    return spin;
}
} // namespace

AnsiString CleanRespondentLabel(const AnsiString& Label) {
    AnsiString clean = Label;
    for (char& c : clean)
        if (c == kLabelEnd) c = "№"_cp[0];
    return clean;
}

TTeamBlnk_Form::TTeamBlnk_Form(TComponent* AOwner) : TForm(AOwner) {
    SetName("TeamBlnk_Form");
    SetCaption("Данные группового тестирования"_cp);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    // Sizes here leave the frame out: the smallest window is the one laid out.
    Constraints()->SetMinWidth(kClientWidth);
    Constraints()->SetMinHeight(kClientHeight);
    Font()->SetName("Tahoma");
    Font()->SetSize(8);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnResize = [this](TObject* Sender) { FormResize(Sender); };

    Info_GroupBox = new TGroupBox(this);
    Info_GroupBox->SetName("Info_GroupBox");
    Info_GroupBox->SetParent(this);
    Info_GroupBox->SetCaption("Информация о группе"_cp);
    Info_GroupBox->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin, 164);
    Info_GroupBox->SetAnchors(akLeft | akTop | akRight);
    const int editWidth = Info_GroupBox->Width() - 2 * kInner;

    Job_Label = NewLabel(this, Info_GroupBox, "Место работы:"_cp, kInner, 20, "Job_Label");
    Job_Edit = NewEdit(this, Info_GroupBox, "Job_Edit", kInner, 36, editWidth, kMaxTextLength);
    Job_Edit->SetAnchors(akLeft | akTop | akRight);
    Department_Label = NewLabel(this, Info_GroupBox, "Отдел:"_cp, kInner, 62, "Department_Label");
    Department_Edit = NewEdit(this, Info_GroupBox, "Department_Edit", kInner, 78, editWidth, kMaxTextLength);
    Department_Edit->SetAnchors(akLeft | akTop | akRight);

    NumberofEmployes_Label = NewLabel(this, Info_GroupBox, "Общее количество работников отдела:"_cp, kInner,
                                      112, "NumberofEmployes_Label");
    NumberofTested_Label =
        NewLabel(this, Info_GroupBox, "Количество респондентов:"_cp, kInner, 138, "NumberofTested_Label");
    // Both counts in one column, after the longer of their labels.
    const int countLeft = BesideLabel(NumberofTested_Label, BesideLabel(NumberofEmployes_Label, 230));
    NumberofEmployes_Edit =
        NewCount(this, Info_GroupBox, "NumberofEmployes_Edit", kMaxEmployees, countLeft, 108);
    NumberofTested_Edit =
        NewCount(this, Info_GroupBox, "NumberofTested_Edit", MaxRespondents, countLeft, 134);
    // Only the buttons and the arrow keys change it.
    NumberofTested_Edit->SetEditorEnabled(false);
    NumberofTested_Edit->OnChange = [this](TObject* Sender) { NumberofTested_EditChange(Sender); };
    // The date after the counts, as far right as the box lets it.
    DateTest_Label =
        NewLabel(this, Info_GroupBox, "Дата тестирования:"_cp,
                 std::max(330, NumberofEmployes_Edit->Left() + NumberofEmployes_Edit->Width() + 16), 112,
                 "DateTest_Label");
    DateTest_Edit = new TDateTimePicker(this);
    DateTest_Edit->SetName("DateTest_Edit");
    DateTest_Edit->SetParent(Info_GroupBox);
    DateTest_Edit->SetBounds(BesideLabel(DateTest_Label, 440), 108, 121, 21);
    DateTest_Edit->SetWidth(std::min(121, Info_GroupBox->Width() - kInner - DateTest_Edit->Left()));

    Scores_Label = NewLabel(this, this, "Сырые баллы:"_cp, kMargin, 180, "Scores_Label");
    CreateGrid();

    const TDialogButtons buttons = NewDialogButtons(
        this, kMargin, [this](TObject* Sender) { OK_ButtonClick(Sender); },
        [this](TObject* Sender) { Cancel_ButtonClick(Sender); });
    OK_Button = buttons.OK;
    Cancel_Button = buttons.Cancel;
}

void TTeamBlnk_Form::FillForm() {
    if (Testees.Count() > 0) FillFromTestees();
    DateTest_Edit->SetDateTime(Now());
    if (Team.TEAM_ID != -1) {
        NumberofTested_Edit->SetEnabled(false);
        Job_Edit->SetText(Team.JOB);
        Department_Edit->SetText(Team.DEPARTMENT);
        if (Team.NUMBEROFEMPLOYES != -1) NumberofEmployes_Edit->SetValue(Team.NUMBEROFEMPLOYES);
        if (Team.NUMBEROFTESTED != -1) NumberofTested_Edit->SetValue(Team.NUMBEROFTESTED);
        DateTest_Edit->SetDateTime(Team.DATETEST);
        FillStoredCells();
    }
    InitGrid();
}

void TTeamBlnk_Form::FillFromTestees() {
    NumberofTested_Edit->SetValue(Testees.Count());
    bool cleaned = false;
    const int rows = std::min(Testees.Count(), Respondents());
    for (int k = 0; k < rows; ++k) {
        TUser user;
        user.USER_ID = StrToInt(Testees.Strings(k));
        if (!Main_DataModule->ReadUser(user)) continue;
        const AnsiString label = CleanRespondentLabel(user.FIO);
        cleaned = cleaned || label != user.FIO;
        Blank_StringGrid->SetCells(1, k + 1, label);
        TTestData test;
        if (!Main_DataModule->ReadLastTest(user, test)) continue;
        TTestResult result;
        result.SetAnswers(test.ANSWERS);
        for (int scale = 0; scale < ScaleCount; ++scale)
            Blank_StringGrid->SetCells(2 + scale, k + 1, IntToStr(result.GetRawScore(scale)));
    }
    if (cleaned)
        MessageBox("В обозначениях респондентов знак \"#\" заменен на \"№\": этим знаком разделяются "
                   "сохраняемые обозначения."_cp,
                   "Информация"_cp, MB_OK | MB_ICONWARNING);
}

void TTeamBlnk_Form::FillStoredCells() {
    // Pieces beyond the respondent rows have no cell: they are left out.
    const int n = Respondents();
    const std::vector<AnsiString> labels = Pieces(Team.EMPNAMES, kLabelEnd);
    for (int r = 1; r <= n && r <= int(labels.size()); ++r)
        Blank_StringGrid->SetCells(1, r, labels[std::size_t(r - 1)]);
    const std::vector<AnsiString> scores = Pieces(Team.DATA, kScoreEnd);
    for (int k = 0; k < int(scores.size()) && 1 + k / ScaleCount <= n; ++k)
        Blank_StringGrid->SetCells(2 + k % ScaleCount, 1 + k / ScaleCount, scores[std::size_t(k)]);
}

void TTeamBlnk_Form::FormShow(TObject*) {
    Shown = true;
    FocusCell(Blank_StringGrid, 1, 1);
}

void TTeamBlnk_Form::OK_ButtonClick(TObject*) {
    if (Job_Edit->Text().empty()) {
        Refuse("Не заполнено обязательное для заполнения поле \"Место работы\"! Повторите ввод."_cp);
        return;
    }
    const int employees = int(NumberofEmployes_Edit->GetValueAsInteger());
    const int tested = int(NumberofTested_Edit->GetValueAsInteger());
    if (employees < tested) {
        Refuse("Количество респондентов превышает общее количество сотрудников отдела. Повторите ввод."_cp);
        return;
    }
    const int n = Respondents();
    AnsiString names;
    for (int r = 1; r <= n; ++r) {
        const AnsiString label = Blank_StringGrid->Cells(1, r);
        if (label.empty()) {
            Refuse("Не заполнены обозначения респондентов.Повторите ввод."_cp);
            return;
        }
        names += label + kLabelEnd;
    }
    AnsiString data;
    for (int r = 1; r <= n; ++r)
        for (int scale = 0; scale < ScaleCount; ++scale) {
            const AnsiString text = Blank_StringGrid->Cells(2 + scale, r);
            int value = 0;
            // Group scoring reads whole numbers: a cell holding anything
            // else is refused as a score above the range is.
            if (!text.empty() && (!ReadScore(text, value) || value > MaxRawScore)) {
                Refuse("Неверное значение сырого балла в  строке №"_cp + IntToStr(r) + " в шкале "_cp +
                       ScaleLetters[std::size_t(scale)] + ". Повторите ввод."_cp);
                return;
            }
            data += text + kScoreEnd;
        }
    Team.EMPNAMES = names;
    Team.DATA = data;
    Team.JOB = Job_Edit->Text();
    Team.DEPARTMENT = Department_Edit->Text();
    Team.NUMBEROFEMPLOYES = employees;
    Team.NUMBEROFTESTED = tested;
    Team.DATETEST = DateTest_Edit->DateTime();
    SetModalResult(mrOk);
}

void TTeamBlnk_Form::Cancel_ButtonClick(TObject*) {
    SetModalResult(mrCancel);
}

namespace {
bool RunTeamBlank(TStrings* List, TTeam& Team) {
    auto form = std::make_unique<TTeamBlnk_Form>(nullptr);
    form->Team = Team;
    if (List) {
        form->Testees.Assign(List);
        form->Team.TEAM_ID = -1;
    }
    form->FillForm();
    if (form->ShowModal() != mrOk) return false;
    Team = form->Team;
    return true;
}
} // namespace

bool EditTeamBlank(TTeam& Team) {
    return RunTeamBlank(nullptr, Team);
}

bool NewTeamFromTestees(TStrings* List, TTeam& Team) {
    if (List->Count() > MaxRespondents) {
        MessageBox(Format("Выбрано тестируемых: %d. В одну групповую обработку входит не более %d "
                          "респондентов: выберите меньше тестируемых."_cp,
                          {List->Count(), MaxRespondents}),
                   EntryCaption(), MB_OK | MB_ICONWARNING);
        return false;
    }
    return RunTeamBlank(List, Team);
}
