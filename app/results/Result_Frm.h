// The results window of one testee or of one group entry: the testee's
// tests newest first, the profile bar chart of the chosen test (or of the
// group), rendered to a temporary bitmap, and the report around it, which
// can be saved as RTF and printed; a test can be corrected on the paper
// answer sheet or deleted.
#pragma once

#include "app/results/ReportForms.h"
#include "core/CalcGroup_Unit.h"
#include "core/DataMod.h"
#include "platform/chart/Chart.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvFormPlacement.h"

class TResult_Form : public TForm {
public:
    explicit TResult_Form(TComponent* AOwner);
    ~TResult_Form() override;

    TPageControl* PageControl1;
    TTabSheet* TabSheet3; // holds the chart, never shown
    TTabSheet* TabSheet7; // the report
    TPanel* Panel3;
    TChart* Scale_Chart;
    TBarSeries* Scale_BarChart;
    TReportView* Anketa_Report;
    TLabel* Label1;
    TComboBox* TestList_ComboBox;
    TButton* SpeedButton1;
    TButton* SpeedButton2;
    TButton* SpeedButton3;
    TButton* SpeedButton4;
    TButton* Close_But;
    TActionList* ActionList2;
    TRVAControlPanel* RVAControlPanel1;
    TrvActionPrintPreview* rvActionPrintPreview1;
    TrvActionPrint* rvActionPrint1;
    TAction* Save_Action;
    TAction* Print_Action;
    TAction* EditTest_Action;
    TAction* DelTest_Action;
    TSaveDialog* Report_SaveDialog;
    TJvAppRegistryStorage* JvAppRegistryStorage1;
    TJvFormStorage* JvFormStorage1;

    TUser FUser;
    TTeam FTeam;
    // Group mode's scoring; the entry function makes and frees it.
    TGroupTestResult* FGroupResult = nullptr;
    // A test was edited or deleted here.
    bool FDataChanged = false;

    void FillTestList();
    void ShowSelectedTest();
    void ShowTeamReport();
    // One bar per valid scale, side by side in scale order.
    void DrawProfileChart(const TTestResult& Result);
    void DeleteChartFile(const AnsiString& Folder);
    void SaveChartBitmap(const AnsiString& Folder);

    void FormShow(TObject* Sender);
    void TestList_ComboBoxChange(TObject* Sender);
    void SaveAnketa_ButClick(TObject* Sender);
    void PrintAnketa_ButClick(TObject* Sender);
    void EditTest_ActionExecute(TObject* Sender);
    void DelTest_ActionExecute(TObject* Sender);
    void PngBitBtn3Click(TObject* Sender);

private:
    // The TEST_ID of the chosen test; -1 when the list is empty.
    int32_t SelectedTestId() const;
    // The report of the chart bitmap just saved.
    void ShowReport(const AnsiString& Html);
};

// The file name of the results chart's bitmap in the temporary folder.
extern const char* const ResultChartFileName;
// The colour of a bar whose sten lies outside 1 to 10.
constexpr TColor NoStenColor = TColor(0xD3D3D3);

// The testee's tests, chart and report; true when tests were edited or
// deleted there.
bool ShowTestResults(const TUser& User);
// The chart and report of one group entry.
void ShowTeamResults(const TTeam& Team);
