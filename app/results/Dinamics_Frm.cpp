// The dynamics window: its controls and actions, the lines of the scales,
// the chart bitmap and the report made from them.
#include "app/results/Dinamics_Frm.h"

#include <memory>

#include "app/results/Result_Frm.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MessageBox.h"

const char* const DynamicsChartFileName = "TmpLuvDynChart.bmp";

namespace {
constexpr int kClientWidth = 734;
constexpr int kClientHeight = 538;
constexpr int kMinWidth = 750;
constexpr int kMinHeight = 570;
constexpr int kMargin = 8;
constexpr int kBarHeight = 25;
constexpr int kButtonWidth = 110;

TDinamics_Form* Dinamics_Form = nullptr;
} // namespace

TDinamics_Form::TDinamics_Form(TComponent* AOwner) : TForm(AOwner) {
    SetName("Dinamics_Form");
    SetCaption("Динамика"_cp);
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetBorderIcons(biSystemMenu | biMaximize);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(kClientWidth);
    SetClientHeight(kClientHeight);
    Constraints()->SetMinWidth(kMinWidth);
    Constraints()->SetMinHeight(kMinHeight);

    ActionList2 = new TActionList(this);
    ActionList2->SetName("ActionList2");
    Save_Action = new TAction(this);
    Save_Action->SetName("Save_Action");
    Save_Action->SetActionList(ActionList2);
    Save_Action->SetCaption("Сохранить..."_cp);
    Save_Action->SetHint("Сохранить в RTF-файле"_cp);
    Save_Action->SetShortCut(ShortCut('S', ssCtrl));
    Save_Action->OnExecute = [this](TObject* S) { SpeedButton1Click(S); };
    // Ctrl+P runs the window's print command, the only action that has it.
    Print_Action = new TAction(this);
    Print_Action->SetName("Print_Action");
    Print_Action->SetActionList(ActionList2);
    Print_Action->SetCaption("Печать..."_cp);
    Print_Action->SetHint("Печать..."_cp);
    Print_Action->SetShortCut(ShortCut('P', ssCtrl));
    Print_Action->OnExecute = [this](TObject* S) { SpeedButton2Click(S); };

    SpeedButton1 = new TButton(this);
    SpeedButton1->SetName("SpeedButton1");
    SpeedButton1->SetParent(this);
    SpeedButton1->SetAction(Save_Action);
    SpeedButton1->SetBounds(kMargin, kMargin, kButtonWidth, kBarHeight);
    SpeedButton2 = new TButton(this);
    SpeedButton2->SetName("SpeedButton2");
    SpeedButton2->SetParent(this);
    SpeedButton2->SetAction(Print_Action);
    SpeedButton2->SetBounds(kMargin + kButtonWidth + 4, kMargin, kButtonWidth, kBarHeight);
    for (TButton* b : {SpeedButton1, SpeedButton2})
        b->SetShowHint(true);
    Close_But = new TButton(this);
    Close_But->SetName("Close_But");
    Close_But->SetParent(this);
    Close_But->SetCaption("Закрыть"_cp);
    Close_But->SetBounds(kClientWidth - kMargin - 90, kMargin, 90, kBarHeight);
    Close_But->SetAnchors(akTop | akRight);
    Close_But->Cancel = true;
    Close_But->OnClick = [this](TObject* S) { Close_ButClick(S); };

    PageControl1 = new TPageControl(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetBounds(kMargin, 2 * kMargin + kBarHeight, kClientWidth - 2 * kMargin,
                            kClientHeight - 3 * kMargin - kBarHeight);
    PageControl1->SetAnchors(akLeft | akTop | akRight | akBottom);
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet1->SetTabVisible(false);
    TabSheet2 = new TTabSheet(this);
    TabSheet2->SetName("TabSheet2");
    TabSheet2->SetPageControl(PageControl1);
    TabSheet2->SetTabVisible(false);

    Dynamics_Chart = new TChart(this);
    Dynamics_Chart->SetName("Dynamics_Chart");
    Dynamics_Chart->SetParent(TabSheet1);
    Dynamics_Chart->SetAlign(TAlign::alClient);
    TChartLegend& legend = Dynamics_Chart->Legend();
    legend.Visible = true;
    legend.Alignment = TLegendAlignment::laBottom;
    legend.CheckBoxes = true;
    legend.FontSeriesColor = true;
    legend.MaxNumRows = 3;
    legend.Color = clWhite;
    legend.Transparency = 99;
    legend.VertSpacing = 2;
    Dynamics_Chart->Title().Visible = false;
    Dynamics_Chart->BackWall().Color = clWhite;
    Dynamics_Chart->BackWall().Transparent = true;
    Dynamics_Chart->Gradient().Visible = true;
    Dynamics_Chart->Gradient().EndColor = TColor(0xFFFFF0);
    Dynamics_Chart->MarginTop = 1;
    Dynamics_Chart->MarginRight = 1;
    Dynamics_Chart->MarginBottom = 0;
    Dynamics_Chart->MarginLeft = 0;
    TChartAxis& left = Dynamics_Chart->LeftAxis();
    left.SetMinMax(0, 10);
    left.Increment = 1;
    left.LabelsFont()->SetStyle(TFontStyles(fsBold));
    left.MinorTickCount = 0;
    left.MaximumOffset = 25;
    TChartAxis& bottom = Dynamics_Chart->BottomAxis();
    bottom.Increment = 1;
    bottom.LabelsMultiLine = true;
    bottom.LabelsSize = 44;
    bottom.MinimumOffset = 30;
    bottom.MaximumOffset = 30;
    bottom.LabelsFont()->SetName("Microsoft Sans Serif");

    Anketa_Report = CreateReportView(this);
    TWinControl* report = Anketa_Report->Control();
    report->SetName("Anketa_ZoroZudo");
    report->SetParent(TabSheet2);
    report->SetAlign(TAlign::alClient);
    PageControl1->SetActivePage(TabSheet1);

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
    JvFormStorage1->SetAppStoragePath("Dynam_Form\\");
    JvFormStorage1->Loaded();
    SetActiveControl(SpeedButton1);
}

TDinamics_Form::~TDinamics_Form() = default;

void TDinamics_Form::CreateSeries() {
    for (int i = 0; i < ScaleCount; ++i) {
        auto* s = new TLineSeries(this);
        s->SetParentChart(Dynamics_Chart);
        s->SetTitle(ScaleLetters[std::size_t(i)]);
        s->LinePen()->SetWidth(2);
        s->Pointer().Visible = true;
        s->Pointer().Style = TPointerStyle::psCircle;
        s->Pointer().HorizSize = 2;
        s->Pointer().VertSize = 2;
        FSeries[std::size_t(i)] = s;
    }
}

void TDinamics_Form::FillSeries() {
    Main_DataModule->OpenUserTests(FUser.USER_ID, -1);
    TIBQuery* query = Main_DataModule->TestedUsers_IBQuery;
    // The query holds the newest first: walked backwards, the oldest comes first.
    for (query->Last(); !query->Bof(); query->Prior()) {
        TTestData test;
        test.TEST_ID = -1;
        Main_DataModule->ReadTest(test);
        auto result = std::make_unique<TTestResult>();
        result->SetAnswers(test.ANSWERS);
        const AnsiString date = DateToStr(test.DATETEST);
        for (int i = 0; i < ScaleCount; ++i)
            FSeries[std::size_t(i)]->Add(result->GetSten(i), date);
    }
}

void TDinamics_Form::ShowReport() {
    const AnsiString folder = GetTempFolder();
    DeleteDynamicsChartFile(folder);
    SaveDynamicsChartBitmap(folder);
    AnsiString html;
    BuildDynamicsReport(FUser, folder, html);
    Anketa_Report->ShowHtml(html);
}

void TDinamics_Form::SaveDynamicsChartBitmap(const AnsiString& Folder) {
    std::unique_ptr<TBitmap> bitmap = Dynamics_Chart->CreateBitmap(ReportChartWidth, ReportChartHeight);
    bitmap->SaveToFile(Folder + DynamicsChartFileName);
}

void TDinamics_Form::DeleteDynamicsChartFile(const AnsiString& Folder) {
    const AnsiString file = Folder + DynamicsChartFileName;
    if (FileExists(file)) DeleteFile(file);
}

void TDinamics_Form::SpeedButton1Click(TObject*) {
    Report_SaveDialog->FileName.clear();
    if (!Report_SaveDialog->Execute()) return;
    ShowReport();
    if (!Anketa_Report->SaveRtf(Report_SaveDialog->FileName))
        MessageBox("Ошибка сохранения"_cp, "Ошибка"_cp, MB_OK | MB_ICONERROR);
}

void TDinamics_Form::SpeedButton2Click(TObject*) {
    ShowReport();
    Anketa_Report->Print(Caption());
}

void TDinamics_Form::Close_ButClick(TObject*) {
    Close();
}

void ShowDynamics(const TUser& User) {
    auto form = std::make_unique<TDinamics_Form>(nullptr);
    Dinamics_Form = form.get();
    TScopeGuard close([&] {
        Dinamics_Form = nullptr;
        // The bitmap goes with its window, also after an error.
        try {
            form->DeleteDynamicsChartFile(GetTempFolder());
        } catch (const Exception&) {
        }
        form.reset();
    });
    form->FUser = User;
    form->CreateSeries();
    form->FillSeries();
    form->ShowModal();
}
