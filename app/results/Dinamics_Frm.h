// The dynamics window of one testee: a line chart of the eight scales'
// stens over all of the testee's tests, oldest first, and its report, built
// when it is saved as RTF or printed.
#pragma once

#include <array>

#include "app/results/ReportForms.h"
#include "core/Calc_Unit.h"
#include "core/DataMod.h"
#include "platform/chart/Chart.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvFormPlacement.h"

class TDinamics_Form : public TForm {
public:
    explicit TDinamics_Form(TComponent* AOwner);
    ~TDinamics_Form() override;

    TPageControl* PageControl1;
    TTabSheet* TabSheet1; // the chart, the page shown
    TTabSheet* TabSheet2; // the report, never shown
    TChart* Dynamics_Chart;
    TReportView* Anketa_Report;
    TButton* SpeedButton1;
    TButton* SpeedButton2;
    TButton* Close_But;
    TActionList* ActionList2;
    TRVAControlPanel* RVAControlPanel1;
    TrvActionPrintPreview* rvActionPrintPreview1;
    TrvActionPrint* rvActionPrint1;
    TAction* Save_Action;
    TAction* Print_Action;
    TSaveDialog* Report_SaveDialog;
    TJvAppRegistryStorage* JvAppRegistryStorage1;
    TJvFormStorage* JvFormStorage1;

    TUser FUser;
    // One line per scale, in scale order; owned by the window.
    std::array<TLineSeries*, ScaleCount> FSeries{};

    void CreateSeries();
    void FillSeries();
    void ShowReport();
    void SaveDynamicsChartBitmap(const AnsiString& Folder);
    void DeleteDynamicsChartFile(const AnsiString& Folder);

    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void Close_ButClick(TObject* Sender);
};

// The file name of the dynamics chart's bitmap in the temporary folder.
extern const char* const DynamicsChartFileName;

// The change of the testee's stens over the tests.
void ShowDynamics(const TUser& User);
