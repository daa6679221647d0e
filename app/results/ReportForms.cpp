// The frame, controls, chart settings, bitmap file and save command that
// the results and the dynamics window share.
#include "app/results/ReportForms.h"

#include "core/Calc_Unit.h"
#include "platform/gui/Menus.h"
#include "platform/win/MessageBox.h"

void SetUpReportForm(TForm& Form, const char* Name, const AnsiString& Caption, int ClientWidth,
                     int ClientHeight, int MinWidth, int MinHeight) {
    Form.SetName(Name);
    Form.SetCaption(Caption);
    Form.SetBorderStyle(TFormBorderStyle::bsSizeable);
    Form.SetBorderIcons(biSystemMenu | biMaximize);
    Form.SetPosition(TPosition::poScreenCenter);
    Form.SetClientWidth(ClientWidth);
    Form.SetClientHeight(ClientHeight);
    Form.Constraints()->SetMinWidth(MinWidth);
    Form.Constraints()->SetMinHeight(MinHeight);
}

TAction* MakeReportAction(TForm& Form, TActionList& List, const char* Name, const AnsiString& Caption,
                          const AnsiString& Hint, TShortCut Key, std::function<void(TObject*)> Execute) {
    auto* a = new TAction(&Form);
    a->SetName(Name);
    a->SetActionList(&List);
    a->SetCaption(Caption);
    a->SetHint(Hint);
    a->SetShortCut(Key);
    a->OnExecute = std::move(Execute);
    return a;
}

TReportPrintActions MakeReportPrintActions(TForm& Form, TActionList& List, TShortCut PrintKey) {
    TReportPrintActions a{};
    a.Panel = new TRVAControlPanel(&Form);
    a.Panel->SetName("RVAControlPanel1");
    a.Panel->SetLanguage("Russian");
    a.Panel->ShowSoftPageBreaks = true;
    a.Preview = new TrvActionPrintPreview(&Form);
    a.Preview->SetName("rvActionPrintPreview1");
    a.Preview->SetActionList(&List);
    a.Preview->SetControlPanel(a.Panel);
    a.Preview->Maximized = true;
    a.Print = new TrvActionPrint(&Form);
    a.Print->SetName("rvActionPrint1");
    a.Print->SetActionList(&List);
    a.Print->SetControlPanel(a.Panel);
    a.Print->SetShortCut(PrintKey);
    a.Preview->SetActionPrint(a.Print);
    // Captions in the panel's language, which the actions did not know when
    // they were made.
    a.Preview->Localize();
    a.Print->Localize();
    return a;
}

void BindReportPrintActions(const TReportPrintActions& Actions, TReportView& Report) {
    Actions.Panel->SetRVPrint(&Report.Printout());
    Actions.Preview->SetControl(&Report.Editor());
    Actions.Print->SetControl(&Report.Editor());
}

TButton* MakeReportButton(TForm& Form, const char* Name, TAction* Action, int Left, int Top, int Width,
                          int Height) {
    auto* b = new TButton(&Form);
    b->SetName(Name);
    b->SetParent(&Form);
    b->SetAction(Action);
    b->SetBounds(Left, Top, Width, Height);
    b->SetShowHint(true);
    return b;
}

TButton* MakeCloseButton(TForm& Form, const TRect& Bounds, TAnchors Anchors, TNotifyEvent OnClick) {
    auto* b = new TButton(&Form);
    b->SetName("Close_But");
    b->SetParent(&Form);
    b->SetCaption("Закрыть"_cp);
    b->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    b->SetAnchors(Anchors);
    b->Cancel = true;
    b->OnClick = std::move(OnClick);
    return b;
}

TPageControl* MakeReportPages(TForm& Form, const TRect& Bounds) {
    auto* pages = new TPageControl(&Form);
    pages->SetName("PageControl1");
    pages->SetParent(&Form);
    pages->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    pages->SetAnchors(akLeft | akTop | akRight | akBottom);
    return pages;
}

TTabSheet* MakeHiddenTabPage(TForm& Form, TPageControl& Pages, const char* Name) {
    auto* page = new TTabSheet(&Form);
    page->SetName(Name);
    page->SetPageControl(&Pages);
    page->SetTabVisible(false);
    return page;
}

void SetUpStenChart(TChart& Chart, int MaximumOffset) {
    Chart.Title().Visible = false;
    Chart.BackWall().Color = clWhite;
    Chart.BackWall().Transparent = true;
    Chart.Gradient().Visible = true;
    Chart.Gradient().EndColor = TColor(0xFFFFF0);
    Chart.MarginTop = 1;
    Chart.MarginRight = 1;
    Chart.MarginBottom = 0;
    Chart.MarginLeft = 0;
    TChartAxis& left = Chart.LeftAxis();
    left.SetMinMax(0, 10);
    left.Increment = 1;
    left.LabelsFont()->SetStyle(TFontStyles(fsBold));
    left.MinorTickCount = 0;
    left.MaximumOffset = MaximumOffset;
    TChartAxis& bottom = Chart.BottomAxis();
    bottom.LabelsMultiLine = true;
    bottom.LabelsFont()->SetName("Microsoft Sans Serif");
}

TReportView* PlaceReportView(TForm& Form, TWinControl& Page) {
    TReportView* view = CreateReportView(&Form);
    TWinControl* control = view->Control();
    control->SetName("Anketa_ZoroZudo");
    control->SetParent(&Page);
    control->SetAlign(TAlign::alClient);
    return view;
}

TSaveDialog* MakeReportSaveDialog(TForm& Form) {
    auto* dialog = new TSaveDialog(&Form);
    dialog->SetName("Report_SaveDialog");
    dialog->Filter = "RTF файлы (*.rtf)|*.rtf|Все файлы (*.*)|*.*"_cp;
    dialog->DefaultExt = "rtf";
    dialog->Options = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;
    return dialog;
}

void KeepReportFormPlacement(TForm& Form, const char* Path, TJvAppRegistryStorage*& Storage,
                             TJvFormStorage*& FormStorage) {
    Storage = new TJvAppRegistryStorage(&Form);
    Storage->SetName("JvAppRegistryStorage1");
    Storage->SetRoot("SOFTWARE\\Tarvik\\Luvora");
    FormStorage = new TJvFormStorage(&Form);
    FormStorage->SetName("JvFormStorage1");
    FormStorage->SetAppStorage(Storage);
    FormStorage->SetAppStoragePath(Path);
    FormStorage->Loaded();
}

void DeleteChartFile(const AnsiString& Folder, const char* FileName) {
    const AnsiString file = Folder + FileName;
    if (FileExists(file)) DeleteFile(file);
}

void DeleteTempChartFile(const char* FileName) {
    try {
        DeleteChartFile(GetTempFolder(), FileName);
    } catch (const Exception&) {
        // Without a temporary folder there is no bitmap either.
    }
}

void SaveChartBitmap(TChart& Chart, const AnsiString& Folder, const char* FileName) {
    std::unique_ptr<TBitmap> bitmap = Chart.CreateBitmap(ReportChartWidth, ReportChartHeight);
    bitmap->SaveToFile(Folder + FileName);
}

void SaveReportAs(TSaveDialog& Dialog, TReportView& Report, const std::function<void()>& Prepare) {
    Dialog.FileName.clear();
    if (!Dialog.Execute()) return;
    if (Prepare) Prepare();
    if (!Report.SaveRtf(Dialog.FileName))
        MessageBox("Ошибка сохранения"_cp, "Ошибка"_cp, MB_OK | MB_ICONERROR);
}
