// The page set-up window: margins in millimetres or inches and their
// mirroring, the printer's orientation, paper and paper source, the header
// and the footer with their fonts and alignment, and the first page's
// number. The margins go to the print component the window is given, the
// paper to the layer's printer, and the header, the footer and the first
// number, which the print actions keep, come in and go out as a record.
#pragma once

#include <memory>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Printers.h"
#include "richtext/print/control/BaseRVFrm.h"
#include "richtext/print/control/RVOfficeRadioBtn.h"
#include "richtext/print/control/RVPrint.h"
#include "richtext/print/control/RVSpinEdit.h"

// A header or a footer: its line with its codes ("&p" and so on), where it
// stands, whether page 1 has it, and its font.
struct TRVHFValues {
    AnsiString Text;
    // 0 left, 1 right, 2 centred.
    uint8_t Alignment = 2;
    bool PrintOnFirstPage = true;
    AnsiString FontName = "Arial";
    int FontSize = 10;
    TFontStyles FontStyle = 0;
    TColor FontColor = clWindowText;

    void FontTo(TFont* Font) const;
    void FontFrom(const TFont* Font);
};

// What the window edits besides the print component and the printer: the
// header, the footer and the number printed on the first page.
// The margin fields serve only callers that keep the margins themselves
// (the ExecutePageSetup below without a print component).
struct TRVPageSetupValues {
    TRVHFValues Header{"- &p -"};
    TRVHFValues Footer;
    int FirstPageNumber = 1;
    int LeftMarginMM = 20;
    int RightMarginMM = 20;
    int TopMarginMM = 20;
    int BottomMarginMM = 20;
    bool MirrorMargins = false;
};

class TfrmRVPageSetup : public TfrmRVBase {
public:
    // The window sets up the layer's printer, the one the print component
    // prints on.
    explicit TfrmRVPageSetup(TComponent* AOwner, const TRVADialogSettings& Settings = {});

    // Fills the window from the print component's margins, Values and the
    // printer; false, with nothing filled, when there is no printer to set
    // up.
    bool InitFromSettings(const TRVPrint& Print, const TRVPageSetupValues& Values);
    // Writes the margins to Print (a margin whose box was emptied, or holds
    // no number, keeps its value), the orientation, paper and source to the
    // printer, and the rest into Values. Margins that leave no room on the
    // chosen paper raise EZoroZudoError and change nothing.
    void ApplySettings(TRVPrint& Print, TRVPageSetupValues& Values);
    // Shows the margins in inches, to three decimals; called before
    // InitFromSettings.
    void UseInches();
    bool InInches() const { return FInInches; }
    // The margin box whose pair of margins leaves no room on the paper and
    // in the orientation the window has chosen; nullptr when they fit.
    TRVSpinEdit* MarginLeavingNoRoom() const;
    // The fonts being edited.
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    TFont* FooterFont() const { return FFooterFont.get(); }

    TButton* btnOk;
    TButton* btnCancel;
    TPageControl* pc;
    TTabSheet* tsPage;
    TTabSheet* tsHF;
    TGroupBox* gbMargins;
    TLabel* lblTop;
    TLabel* lblBottom;
    TLabel* lblLeft;
    TLabel* lblRight;
    TRVSpinEdit* seTop;
    TRVSpinEdit* seBottom;
    TRVSpinEdit* seLeft;
    TRVSpinEdit* seRight;
    TCheckBox* cbMirrorMargins;
    TRVOfficeRadioGroup* rgOrientation;
    TGroupBox* gbPaper;
    TLabel* lblSize;
    TLabel* lblSource;
    TComboBox* cmbSize;
    TComboBox* cmbSource;
    TGroupBox* gbHeader;
    TLabel* lblHText;
    TEdit* txtHText;
    TCheckBox* cbHOnFirstPage;
    TButton* btnHFont;
    TRVOfficeRadioButton* rbHLeft;
    TRVOfficeRadioButton* rbHCenter;
    TRVOfficeRadioButton* rbHRight;
    TGroupBox* gbFooter;
    TLabel* lblFText;
    TEdit* txtFText;
    TCheckBox* cbFOnFirstPage;
    TButton* btnFFont;
    TRVOfficeRadioButton* rbFLeft;
    TRVOfficeRadioButton* rbFCenter;
    TRVOfficeRadioButton* rbFRight;
    TGroupBox* gbNumbers;
    TLabel* lblStartFrom;
    TRVSpinEdit* seStartFrom;
    TLabel* lblCodes;
    TImageList* il;
    TImageList* ilAlign;
    TFontDialog* fd;

    void btnHFontClick(TObject* Sender);
    void btnFFontClick(TObject* Sender);

    // OK is refused while the margins leave no room on the paper: the box
    // to change takes the focus, with a beep.
    bool CloseQuery() override;

protected:
    void Localize() override;

private:
    struct THFControls {
        TEdit* Text;
        TCheckBox* OnFirstPage;
        TRVOfficeRadioButton* Left;
        TRVOfficeRadioButton* Center;
        TRVOfficeRadioButton* Right;
        TFont* Font;
    };
    THFControls Header() const;
    THFControls Footer() const;
    void BuildPageSheet();
    void BuildHFSheet();
    void BuildImages();
    void ShowHF(const THFControls& Controls, const TRVHFValues& Values);
    void TakeHF(const THFControls& Controls, TRVHFValues& Values);
    // The edit shows its line in the chosen face, at a size that fits it.
    void ShowFont(TEdit* Edit, TFont* Font);
    void ChooseFont(TEdit* Edit, TFont* Font);
    // The whole millimetres the margin box holds (bounded as leaving it
    // would bound them), or Unchanged when it is empty or holds no number.
    int MarginMM(const TRVSpinEdit* Box, int Unchanged) const;
    // The paper chosen in the window (the printer's when none is), in
    // hundredths of a millimetre as it lies in the chosen orientation.
    TSize ChosenPaper() const;

    TPrinter* FPrinter;
    // The print component's margins when the window was filled: left,
    // right, top, bottom.
    int FMarginsMM[4] = {0, 0, 0, 0};
    // OK was pressed: closing checks the margins first.
    bool FConfirming = false;
    std::unique_ptr<TFont> FHeaderFont = std::make_unique<TFont>();
    std::unique_ptr<TFont> FFooterFont = std::make_unique<TFont>();
    bool FInInches = false;
    // The printer's papers as the size list shows them.
    std::vector<TPrinterPaper> FPapers;
};

// Shows the page set-up window over Print, Values and the printer, in
// inches when Inches: true when the user confirmed, with them changed;
// false (nothing changed) when cancelled or when there is no printer to set
// up.
bool ExecutePageSetup(TRVPrint& Print, TRVPageSetupValues& Values, bool Inches,
                      const TRVADialogSettings& Settings = {});

// The same over the margins of Values instead of a print component's.
bool ExecutePageSetup(TRVPageSetupValues& Values, bool Inches, const TRVADialogSettings& Settings = {});
