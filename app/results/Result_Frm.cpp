// The results window: its controls and actions, the test list, the chart
// and its bitmap, the report, and the commands on the chosen test.
#include "app/results/Result_Frm.h"

#include <memory>

#include "app/Blank_Frm.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MessageBox.h"

const char* const ResultChartFileName = "TmpLuvChart.bmp";

namespace {
constexpr int kClientWidth = 799;
constexpr int kClientHeight = 634;
constexpr int kMinWidth = 755;
constexpr int kMinHeight = 625;
constexpr int kMargin = 8;
constexpr int kBarHeight = 25;
constexpr int kButtonWidth = 110;
constexpr int kCommentLength = 12;

// The process-wide reference to the window while it exists.
TResult_Form* Result_Form = nullptr;

TButton* MakeButton(TResult_Form* Form, const char* Name, TAction* Action, int Left) {
    return MakeReportButton(*Form, Name, Action, Left, kMargin, kButtonWidth, kBarHeight);
}
} // namespace

TResult_Form::TResult_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpReportForm(*this, "Result_Form", "Результаты тестирования"_cp, kClientWidth, kClientHeight,
                    kMinWidth, kMinHeight);

    ActionList2 = new TActionList(this);
    ActionList2->SetName("ActionList2");
    // Ctrl+P prints at once; "Печать..." shows the preview first. One key
    // runs one action, so the window's own command carries none.
    TReportPrintActions print = MakeReportPrintActions(*this, *ActionList2, ShortCut('P', ssCtrl));
    RVAControlPanel1 = print.Panel;
    rvActionPrintPreview1 = print.Preview;
    rvActionPrint1 = print.Print;
    Save_Action =
        MakeReportAction(*this, *ActionList2, "Save_Action", "Сохранить..."_cp, "Сохранить в RTF-файле"_cp,
                         ShortCut('S', ssCtrl), [this](TObject* S) { SaveAnketa_ButClick(S); });
    Print_Action = MakeReportAction(*this, *ActionList2, "Print_Action", "Печать..."_cp, "Печать..."_cp,
                                    scNone, [this](TObject* S) { PrintAnketa_ButClick(S); });
    EditTest_Action = MakeReportAction(*this, *ActionList2, "EditTest_Action", "Изменить..."_cp,
                                       "Редактировать ответы..."_cp, scNone,
                                       [this](TObject* S) { EditTest_ActionExecute(S); });
    DelTest_Action = MakeReportAction(*this, *ActionList2, "DelTest_Action", "Удалить"_cp,
                                      "Удалить результаты тестирования"_cp, scNone,
                                      [this](TObject* S) { DelTest_ActionExecute(S); });

    // The bar along the top: the list, the commands, and Close at the right.
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption("Тестирование:"_cp);
    Label1->SetBounds(kMargin, kMargin + 5, 85, 16);
    TestList_ComboBox = new TComboBox(this);
    TestList_ComboBox->SetName("TestList_ComboBox");
    TestList_ComboBox->SetParent(this);
    TestList_ComboBox->SetStyle(TComboBoxStyle::csDropDownList);
    TestList_ComboBox->SetBounds(kMargin + 90, kMargin, 190, kBarHeight);
    TestList_ComboBox->OnChange = [this](TObject* S) { TestList_ComboBoxChange(S); };
    int left = kMargin + 290;
    SpeedButton1 = MakeButton(this, "SpeedButton1", Save_Action, left);
    SpeedButton2 = MakeButton(this, "SpeedButton2", Print_Action, left += kButtonWidth + 4);
    SpeedButton3 = MakeButton(this, "SpeedButton3", EditTest_Action, left += kButtonWidth + 4);
    SpeedButton4 = MakeButton(this, "SpeedButton4", DelTest_Action, left += kButtonWidth + 4);
    Close_But = MakeCloseButton(
        *this, Bounds(kClientWidth - kMargin - 90, kClientHeight - kMargin - kBarHeight, 90, kBarHeight),
        akRight | akBottom, [this](TObject* S) { PngBitBtn3Click(S); });

    PageControl1 =
        MakeReportPages(*this, Bounds(kMargin, 2 * kMargin + kBarHeight, kClientWidth - 2 * kMargin,
                                      kClientHeight - 4 * kMargin - 2 * kBarHeight));
    TabSheet3 = MakeHiddenTabPage(*this, *PageControl1, "TabSheet3");
    TabSheet7 = MakeHiddenTabPage(*this, *PageControl1, "TabSheet7");
    TabSheet7->SetCaption("Заключение"_cp);

    Panel3 = new TPanel(this);
    Panel3->SetName("Panel3");
    Panel3->SetParent(TabSheet3);
    Panel3->SetAlign(TAlign::alClient);
    Scale_Chart = new TChart(this);
    Scale_Chart->SetName("Scale_Chart");
    Scale_Chart->SetParent(Panel3);
    Scale_Chart->SetBounds(0, 0, 728, 566);
    Scale_Chart->Legend().Visible = false;
    SetUpStenChart(*Scale_Chart, 28);
    TChartAxis& bottom = Scale_Chart->BottomAxis();
    bottom.LabelsAngle = 90;
    bottom.LabelsSize = 120;
    Scale_BarChart = new TBarSeries(this);
    Scale_BarChart->SetName("Scale_BarChart");
    Scale_BarChart->SetParentChart(Scale_Chart);
    Scale_BarChart->SetTitle("Обследуемый"_cp);
    Scale_BarChart->SetShowInLegend(false);
    Scale_BarChart->SetBarStyle(TBarStyle::bsRectGradient);
    Scale_BarChart->SetBarWidthPercent(50);
    Scale_BarChart->Marks().Visible = true;
    Scale_BarChart->Marks().Style = TMarksStyle::smsValue;
    Scale_BarChart->Marks().BackColor = TColor(0xCCFFFF);
    Scale_BarChart->Marks().Transparency = 24;
    Scale_BarChart->Marks().ArrowLength = 6;

    Anketa_Report = PlaceReportView(*this, *TabSheet7);
    BindReportPrintActions(print, *Anketa_Report);
    PageControl1->SetActivePage(TabSheet7);

    Report_SaveDialog = MakeReportSaveDialog(*this);
    KeepReportFormPlacement(*this, "Result_Form\\", JvAppRegistryStorage1, JvFormStorage1);

    OnShow = [this](TObject* S) { FormShow(S); };
    SetActiveControl(Anketa_Report->Control());
}

TResult_Form::~TResult_Form() = default;

void TResult_Form::FormShow(TObject*) {
    TWinControl* report = Anketa_Report->Control();
    if (report->CanFocus()) report->SetFocus();
}

int32_t TResult_Form::SelectedTestId() const {
    const int index = TestList_ComboBox->ItemIndex();
    if (index < 0) return -1;
    return int32_t(reinterpret_cast<intptr_t>(TestList_ComboBox->Items()->Objects(index)));
}

void TResult_Form::FillTestList() {
    Main_DataModule->OpenUserTests(FUser.USER_ID, -1);
    TestList_ComboBox->Clear();
    TIBQuery* query = Main_DataModule->TestedUsers_IBQuery;
    TStrings* items = TestList_ComboBox->Items();
    for (query->First(); !query->Eof(); query->Next()) {
        TTestData test;
        test.TEST_ID = -1;
        Main_DataModule->ReadTest(test);
        AnsiString text = DateToStr(test.DATETEST);
        if (!test.COMMENTS.empty()) {
            text += " (" + test.COMMENTS.substr(0, kCommentLength);
            if (test.COMMENTS.size() > std::size_t(kCommentLength)) text += "...";
            text += ")";
        }
        items->AddObject(text, reinterpret_cast<TObject*>(intptr_t(test.TEST_ID)));
    }
    const bool any = items->Count() > 0;
    if (any) TestList_ComboBox->SetItemIndex(0);
    for (TAction* a : {Save_Action, Print_Action, EditTest_Action, DelTest_Action})
        a->SetEnabled(any);
    TestList_ComboBox->SetEnabled(any);
}

void TResult_Form::ShowSelectedTest() {
    const int32_t id = SelectedTestId();
    if (id == -1) {
        Anketa_Report->Clear();
        return;
    }
    auto result = std::make_unique<TTestResult>();
    TTestData test;
    test.TEST_ID = id;
    Main_DataModule->ReadTest(test);
    result->SetAnswers(test.ANSWERS);
    DrawProfileChart(*result);
    const AnsiString folder = GetTempFolder();
    DeleteChartFile(folder);
    SaveChartBitmap(folder);
    AnsiString html;
    result->BuildReport(FUser, test, folder, html);
    ShowReport(html);
}

void TResult_Form::ShowTeamReport() {
    for (TControl* c :
         std::initializer_list<TControl*>{Label1, TestList_ComboBox, SpeedButton3, SpeedButton4})
        c->SetVisible(false);
    // The commands on tests are not there in group mode, keys included; the
    // buttons follow their actions.
    for (TAction* a : {EditTest_Action, DelTest_Action}) {
        a->SetEnabled(false);
        a->SetVisible(false);
    }
    FGroupResult->SetTeam(FTeam);
    DrawProfileChart(*FGroupResult);
    const AnsiString folder = GetTempFolder();
    DeleteChartFile(folder);
    SaveChartBitmap(folder);
    AnsiString html;
    FGroupResult->BuildGroupReport(folder, html);
    ShowReport(html);
}

void TResult_Form::ShowReport(const AnsiString& Html) {
    Anketa_Report->ShowHtml(Html);
    PageControl1->SetActivePage(TabSheet7);
}

void TResult_Form::DrawProfileChart(const TTestResult& Result) {
    Scale_BarChart->Clear();
    int count = 0;
    for (int i = 0; i < ScaleCount; ++i) {
        if (!Result.IsScaleValid(i)) continue;
        const int sten = Result.GetSten(i);
        // A sten without a norm row stands at its value in a colour of its own.
        const TColor color =
            sten >= 1 && sten <= StenCount ? TColor(StenColors[std::size_t(sten - 1)]) : NoStenColor;
        Scale_BarChart->AddXY(count, sten, ScaleChartNames[std::size_t(i)], color);
        ++count;
    }
}

void TResult_Form::DeleteChartFile(const AnsiString& Folder) {
    ::DeleteChartFile(Folder, ResultChartFileName);
}

void TResult_Form::SaveChartBitmap(const AnsiString& Folder) {
    ::SaveChartBitmap(*Scale_Chart, Folder, ResultChartFileName);
}

void TResult_Form::TestList_ComboBoxChange(TObject*) {
    ShowSelectedTest();
}

void TResult_Form::SaveAnketa_ButClick(TObject*) {
    SaveReportAs(*Report_SaveDialog, *Anketa_Report);
}

void TResult_Form::PrintAnketa_ButClick(TObject*) {
    rvActionPrintPreview1->ExecuteTarget(&Anketa_Report->Editor());
}

void TResult_Form::EditTest_ActionExecute(TObject*) {
    const int32_t id = SelectedTestId();
    if (id == -1) return;
    TTestData test;
    test.TEST_ID = id;
    Main_DataModule->ReadTest(test);
    if (!EnterFromBlank(test)) return;
    const int index = TestList_ComboBox->ItemIndex();
    FDataChanged = true;
    FillTestList();
    if (index < TestList_ComboBox->Items()->Count()) TestList_ComboBox->SetItemIndex(index);
    ShowSelectedTest();
}

void TResult_Form::DelTest_ActionExecute(TObject*) {
    const int32_t id = SelectedTestId();
    if (id == -1) return;
    // Only Yes deletes: closing the box is no consent.
    if (MessageBox("Вы действительно желаете удалить результаты тестирования?"_cp,
                   "Подтверждение удаления"_cp, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    TTestData test;
    test.TEST_ID = id;
    test.USER_ID = FUser.USER_ID;
    Main_DataModule->ApplyTest(akDelete, test);
    FDataChanged = true;
    FillTestList();
    ShowSelectedTest();
}

void TResult_Form::PngBitBtn3Click(TObject*) {
    Close();
}

namespace {
// Deletes the chart bitmap and frees the window, also when an exception
// passes.
void CloseResults(std::unique_ptr<TResult_Form>& Form) {
    TScopeGuard clear([] { Result_Form = nullptr; });
    DeleteTempChartFile(ResultChartFileName);
    Form.reset();
}
} // namespace

bool ShowTestResults(const TUser& User) {
    auto form = std::make_unique<TResult_Form>(nullptr);
    Result_Form = form.get();
    TScopeGuard close([&] { CloseResults(form); });
    form->FUser = User;
    form->FillTestList();
    form->ShowSelectedTest();
    form->ShowModal();
    return form->FDataChanged;
}

void ShowTeamResults(const TTeam& Team) {
    auto form = std::make_unique<TResult_Form>(nullptr);
    Result_Form = form.get();
    TScopeGuard close([&] { CloseResults(form); });
    form->FTeam = Team;
    auto group = std::make_unique<TGroupTestResult>();
    form->FGroupResult = group.get();
    TScopeGuard release([&] { form->FGroupResult = nullptr; });
    form->ShowTeamReport();
    form->ShowModal();
}
