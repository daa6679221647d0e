// The print preview window: a tool bar with the print and page set-up
// buttons, the zoom box and the page navigation, over a print preview
// control showing the pages of a print component. Closed with mrOk when
// the user chose to print.
#pragma once

#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"
#include "richtext/print/control/BaseRVFrm.h"
#include "richtext/print/control/RVPrintPreview.h"

class TfrmRVPreview : public TfrmRVBase {
public:
    TfrmRVPreview(TComponent* AOwner, const TRVADialogSettings& Settings = {});

    // Makes the page set-up button run Action instead of the window's own
    // (which does nothing until one is given) and clears its caption.
    void SetPageSetupAction(TBasicAction* Action);
    // The pages were set up again: formats the print component's pages
    // again and fits the zoom.
    void rvActionPageSetup1Change(TObject* Sender);
    // The page controls show the page in view again.
    void UpdatePageInfo();
    // Applies the zoom box's text: a percentage from 10 to 500, the page
    // width or the full page; anything else warns and keeps the zoom.
    void ApplyZoomText();
    // Goes to the page number typed, held within 1 and the page count.
    void GoToTypedPage();

    TPanel* Panel1;
    TToolBar* tbPrint;
    TToolBar* tbPrior;
    TToolBar* tbNext;
    TToolButton* SpeedButton1;
    TToolButton* SpeedButton2;
    TToolButton* SpeedButton3;
    TToolButton* SpeedButton4;
    TToolButton* SpeedButton5;
    TToolButton* SpeedButton6;
    TComboBox* ZoomCombo;
    TLabel* Label1;
    TEdit* txtPageNo;
    TLabel* Label2;
    TButton* Button1;
    TRVPrintPreview* rvpp;
    TActionList* ActionList1;
    TImageList* ImageList1;
    TAction* actFirst;
    TAction* actPrior;
    TAction* actNext;
    TAction* actLast;
    TAction* actPrint;
    TAction* rvActionPageSetup1;

protected:
    void Localize() override;

private:
    void MakeImages();
    void MakeActions();
    void MakeControls();
    int PagesCount() const;
    void rvppZoomChanged(TObject* Sender);
    void cmb1KeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void txtPageNoKeyPress(TObject* Sender, char& Key);
};
