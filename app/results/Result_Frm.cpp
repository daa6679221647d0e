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
    auto* b = new TButton(Form);
    b->SetName(Name);
    b->SetParent(Form);
    b->SetAction(Action);
    b->SetBounds(Left, kMargin, kButtonWidth, kBarHeight);
    return b;
}

TAction* MakeAction(TResult_Form* Form, TActionList* List, const char* Name, const AnsiString& Caption,
                    const AnsiString& Hint, TShortCut Key, std::function<void(TObject*)> Execute) {
    auto* a = new TAction(Form);
    a->SetName(Name);
    a->SetActionList(List);
    a->SetCaption(Caption);
    a->SetHint(Hint);
    a->SetShortCut(Key);
    a->OnExecute = std::move(Execute);
    return a;
}
} // namespace

TResult_Form::TResult_Form(TComponent* AOwner) : TForm(AOwner) {
    SetName("Result_Form");
    SetCaption("Результаты тестирования"_cp);
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetBorderIcons(biSystemMenu | biMaximize);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    Constraints()->SetMinWidth(kMinWidth);
    Constraints()->SetMinHeight(kMinHeight);

    ActionList2 = new TActionList(this);
    ActionList2->SetName("ActionList2");
    // Ctrl+P belongs to the window's own print command alone, so one key
    // runs one action.
    Save_Action = MakeAction(this, ActionList2, "Save_Action", "Сохранить..."_cp, "Сохранить в RTF-файле"_cp,
                             ShortCut('S', ssCtrl), [this](TObject* S) { SaveAnketa_ButClick(S); });
    Print_Action = MakeAction(this, ActionList2, "Print_Action", "Печать..."_cp, "Печать..."_cp,
                              ShortCut('P', ssCtrl), [this](TObject* S) { PrintAnketa_ButClick(S); });
    EditTest_Action =
        MakeAction(this, ActionList2, "EditTest_Action", "Изменить..."_cp, "Редактировать ответы..."_cp,
                   scNone, [this](TObject* S) { EditTest_ActionExecute(S); });
    DelTest_Action =
        MakeAction(this, ActionList2, "DelTest_Action", "Удалить"_cp, "Удалить результаты тестирования"_cp,
                   scNone, [this](TObject* S) { DelTest_ActionExecute(S); });

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
    for (TButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4})
        b->SetShowHint(true);
    Close_But = new TButton(this);
    Close_But->SetName("Close_But");
    Close_But->SetParent(this);
    Close_But->SetCaption("Закрыть"_cp);
    Close_But->SetBounds(kClientWidth - kMargin - 90, kClientHeight - kMargin - kBarHeight, 90, kBarHeight);
    Close_But->SetAnchors(akRight | akBottom);
    Close_But->Cancel = true;
    Close_But->OnClick = [this](TObject* S) { PngBitBtn3Click(S); };

    PageControl1 = new TPageControl(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetBounds(kMargin, 2 * kMargin + kBarHeight, kClientWidth - 2 * kMargin,
                            kClientHeight - 4 * kMargin - 2 * kBarHeight);
    PageControl1->SetAnchors(akLeft | akTop | akRight | akBottom);
    TabSheet3 = new TTabSheet(this);
    TabSheet3->SetName("TabSheet3");
    TabSheet3->SetPageControl(PageControl1);
    TabSheet3->SetTabVisible(false);
    TabSheet7 = new TTabSheet(this);
    TabSheet7->SetName("TabSheet7");
    TabSheet7->SetPageControl(PageControl1);
    TabSheet7->SetCaption("Заключение"_cp);
    TabSheet7->SetTabVisible(false);

    Panel3 = new TPanel(this);
    Panel3->SetName("Panel3");
    Panel3->SetParent(TabSheet3);
    Panel3->SetAlign(TAlign::alClient);
    Scale_Chart = new TChart(this);
    Scale_Chart->SetName("Scale_Chart");
    Scale_Chart->SetParent(Panel3);
    Scale_Chart->SetBounds(0, 0, 728, 566);
    Scale_Chart->Legend().Visible = false;
    Scale_Chart->Title().Visible = false;
    Scale_Chart->BackWall().Color = clWhite;
    Scale_Chart->BackWall().Transparent = true;
    Scale_Chart->Gradient().Visible = true;
    Scale_Chart->Gradient().EndColor = TColor(0xFFFFF0);
    Scale_Chart->MarginTop = 1;
    Scale_Chart->MarginRight = 1;
    Scale_Chart->MarginBottom = 0;
    Scale_Chart->MarginLeft = 0;
    TChartAxis& left_axis = Scale_Chart->LeftAxis();
    left_axis.SetMinMax(0, 10);
    left_axis.Increment = 1;
    left_axis.LabelsFont()->SetStyle(TFontStyles(fsBold));
    left_axis.MinorTickCount = 0;
    left_axis.MaximumOffset = 28;
    TChartAxis& bottom = Scale_Chart->BottomAxis();
    bottom.LabelsAngle = 90;
    bottom.LabelsMultiLine = true;
    bottom.LabelsSize = 120;
    bottom.LabelsFont()->SetName("Microsoft Sans Serif");
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

    Anketa_Report = CreateReportView(this);
    TWinControl* report = Anketa_Report->Control();
    report->SetName("Anketa_ZoroZudo");
    report->SetParent(TabSheet7);
    report->SetAlign(TAlign::alClient);
    PageControl1->SetActivePage(TabSheet7);

    Report_SaveDialog = new TSaveDialog(this);
    Report_SaveDialog->SetName("Report_SaveDialog");
    Report_SaveDialog->Filter = "RTF файлы (*.rtf)|*.rtf|Все файлы (*.*)|*.*"_cp;
    Report_SaveDialog->DefaultExt = "rtf";
    Report_SaveDialog->Options = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;

    JvAppRegistryStorage1 = new TJvAppRegistryStorage(this);
    JvAppRegistryStorage1->SetName("JvAppRegistryStorage1");
    JvAppRegistryStorage1->SetRoot("SOFTWARE\\Tarvik\\Luvora");
    JvFormStorage1 = new TJvFormStorage(this);
    JvFormStorage1->SetName("JvFormStorage1");
    JvFormStorage1->SetAppStorage(JvAppRegistryStorage1);
    JvFormStorage1->SetAppStoragePath("Result_Form\\");
    JvFormStorage1->Loaded();

    OnShow = [this](TObject* S) { FormShow(S); };
    SetActiveControl(report);
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
    const AnsiString file = Folder + ResultChartFileName;
    if (FileExists(file)) DeleteFile(file);
}

void TResult_Form::SaveChartBitmap(const AnsiString& Folder) {
    std::unique_ptr<TBitmap> bitmap = Scale_Chart->CreateBitmap(ReportChartWidth, ReportChartHeight);
    bitmap->SaveToFile(Folder + ResultChartFileName);
}

void TResult_Form::TestList_ComboBoxChange(TObject*) {
    ShowSelectedTest();
}

void TResult_Form::SaveAnketa_ButClick(TObject*) {
    Report_SaveDialog->FileName.clear();
    if (!Report_SaveDialog->Execute()) return;
    if (!Anketa_Report->SaveRtf(Report_SaveDialog->FileName))
        MessageBox("Ошибка сохранения"_cp, "Ошибка"_cp, MB_OK | MB_ICONERROR);
}

void TResult_Form::PrintAnketa_ButClick(TObject*) {
    Anketa_Report->Print(Caption());
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
    try {
        Form->DeleteChartFile(GetTempFolder());
    } catch (const Exception&) {
        // Without a temporary folder there is no bitmap either.
    }
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
