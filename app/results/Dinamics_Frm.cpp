// The dynamics window: its controls and actions, the lines of the scales,
// the chart bitmap and the report made from them.
#include "app/results/Dinamics_Frm.h"

#include <memory>

#include "platform/gui/Menus.h"
#include "platform/rtl/ScopeGuard.h"

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
    SetUpReportForm(*this, "Dinamics_Form", "Динамика"_cp, kClientWidth, kClientHeight, kMinWidth,
                    kMinHeight);

    ActionList2 = new TActionList(this);
    ActionList2->SetName("ActionList2");
    // The report is built anew before each print, so Ctrl+P runs the
    // window's own command (the preview) and the print action has no key.
    TReportPrintActions print = MakeReportPrintActions(*this, *ActionList2, scNone);
    RVAControlPanel1 = print.Panel;
    rvActionPrintPreview1 = print.Preview;
    rvActionPrint1 = print.Print;
    Save_Action =
        MakeReportAction(*this, *ActionList2, "Save_Action", "Сохранить..."_cp, "Сохранить в RTF-файле"_cp,
                         ShortCut('S', ssCtrl), [this](TObject* S) { SpeedButton1Click(S); });
    Print_Action = MakeReportAction(*this, *ActionList2, "Print_Action", "Печать..."_cp, "Печать..."_cp,
                                    ShortCut('P', ssCtrl), [this](TObject* S) { SpeedButton2Click(S); });
    SpeedButton1 =
        MakeReportButton(*this, "SpeedButton1", Save_Action, kMargin, kMargin, kButtonWidth, kBarHeight);
    SpeedButton2 = MakeReportButton(*this, "SpeedButton2", Print_Action, kMargin + kButtonWidth + 4, kMargin,
                                    kButtonWidth, kBarHeight);
    Close_But = MakeCloseButton(*this, Bounds(kClientWidth - kMargin - 90, kMargin, 90, kBarHeight),
                                akTop | akRight, [this](TObject* S) { Close_ButClick(S); });

    PageControl1 =
        MakeReportPages(*this, Bounds(kMargin, 2 * kMargin + kBarHeight, kClientWidth - 2 * kMargin,
                                      kClientHeight - 3 * kMargin - kBarHeight));
    TabSheet1 = MakeHiddenTabPage(*this, *PageControl1, "TabSheet1");
    TabSheet2 = MakeHiddenTabPage(*this, *PageControl1, "TabSheet2");

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
    SetUpStenChart(*Dynamics_Chart, 25);
    TChartAxis& bottom = Dynamics_Chart->BottomAxis();
    bottom.Increment = 1;
    bottom.LabelsSize = 44;
    bottom.MinimumOffset = 30;
    bottom.MaximumOffset = 30;

    Anketa_Report = PlaceReportView(*this, *TabSheet2);
    // A print component of its own, so the preview's page set-up works here
    // as in the results window.
    BindReportPrintActions(print, *Anketa_Report);
    PageControl1->SetActivePage(TabSheet1);

    Report_SaveDialog = MakeReportSaveDialog(*this);
    KeepReportFormPlacement(*this, "Dynam_Form\\", JvAppRegistryStorage1, JvFormStorage1);
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
    SaveChartBitmap(*Dynamics_Chart, Folder, DynamicsChartFileName);
}

void TDinamics_Form::DeleteDynamicsChartFile(const AnsiString& Folder) {
    DeleteChartFile(Folder, DynamicsChartFileName);
}

void TDinamics_Form::SpeedButton1Click(TObject*) {
    SaveReportAs(*Report_SaveDialog, *Anketa_Report, [this] { ShowReport(); });
}

void TDinamics_Form::SpeedButton2Click(TObject*) {
    ShowReport();
    rvActionPrintPreview1->ExecuteTarget(&Anketa_Report->Editor());
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
        DeleteTempChartFile(DynamicsChartFileName);
        form.reset();
    });
    form->FUser = User;
    form->CreateSeries();
    form->FillSeries();
    form->ShowModal();
}
