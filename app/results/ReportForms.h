// What the results and the dynamics window share: their frame, commands
// and buttons, the chart settings of both charts, the report view in its
// page, the save dialog and the form placement, the chart bitmap's file,
// and the save command.
#pragma once

#include <functional>

#include "app/results/ReportView.h"
#include "platform/chart/Chart.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "richtext/print/control/ZoroZudoActions.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvFormPlacement.h"

// The size the charts are rendered at for the reports.
constexpr int ReportChartWidth = 630;
constexpr int ReportChartHeight = 504;

// A sizeable window centred on the screen with its client and least sizes.
void SetUpReportForm(TForm& Form, const char* Name, const AnsiString& Caption, int ClientWidth,
                     int ClientHeight, int MinWidth, int MinHeight);
TAction* MakeReportAction(TForm& Form, TActionList& List, const char* Name, const AnsiString& Caption,
                          const AnsiString& Hint, TShortCut Key, std::function<void(TObject*)> Execute);
// A button of the bar along the top, bound to Action.
TButton* MakeReportButton(TForm& Form, const char* Name, TAction* Action, int Left, int Top, int Width,
                          int Height);
// "Закрыть", which Escape presses too.
TButton* MakeCloseButton(TForm& Form, const TRect& Bounds, TAnchors Anchors, TNotifyEvent OnClick);
// The page control filling Bounds (anchored on all sides) and a page of it
// with its tab hidden.
TPageControl* MakeReportPages(TForm& Form, const TRect& Bounds);
TTabSheet* MakeHiddenTabPage(TForm& Form, TPageControl& Pages, const char* Name);
// The rich-text family's print commands over the report, first in List:
// the panel (Russian, soft page breaks shown), the preview, maximized, whose print button runs the print
// action, and the print action, which PrintKey runs (scNone: no key).
struct TReportPrintActions {
    TRVAControlPanel* Panel;
    TrvActionPrintPreview* Preview;
    TrvActionPrint* Print;
};
TReportPrintActions MakeReportPrintActions(TForm& Form, TActionList& List, TShortCut PrintKey);
// Once the report is made: the actions work on its editor, wherever the
// focus is, and the panel on its print component.
void BindReportPrintActions(const TReportPrintActions& Actions, TReportView& Report);
// What both charts share: no title, a white back wall, the panel's
// gradient, the margins, and the left axis of stens from 0 to 10 with
// MaximumOffset pixels above it; the bottom axis's font.
void SetUpStenChart(TChart& Chart, int MaximumOffset);
// The report view named "Anketa_ZoroZudo", filling Page.
TReportView* PlaceReportView(TForm& Form, TWinControl& Page);
TSaveDialog* MakeReportSaveDialog(TForm& Form);
// Keeps the window's placement under the program's fixed root at Path.
void KeepReportFormPlacement(TForm& Form, const char* Path, TJvAppRegistryStorage*& Storage,
                             TJvFormStorage*& FormStorage);

// Deletes Folder + FileName when it exists; a failed deletion is ignored.
void DeleteChartFile(const AnsiString& Folder, const char* FileName);
// The same in the temporary folder, when there is one: for a window that
// closes, also after an error.
void DeleteTempChartFile(const char* FileName);
// Renders Chart at the reports' size to Folder + FileName, replacing it.
void SaveChartBitmap(TChart& Chart, const AnsiString& Folder, const char* FileName);
// The save command: the dialog with an empty name, Prepare when a file was
// chosen, the report written as RTF, and a message when that failed.
void SaveReportAs(TSaveDialog& Dialog, TReportView& Report, const std::function<void()>& Prepare = {});
