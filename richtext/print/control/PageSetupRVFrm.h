// The page set-up window: margins in millimetres or inches and their
// mirroring, the printer's orientation, paper and paper source, the header
// and the footer with their fonts and alignment, and the first page's
// number. What belongs to the print component comes in and goes out as a
// plain record; the printer's settings go to the printer.
#pragma once

#include <memory>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Printers.h"
#include "richtext/print/control/BaseRVFrm.h"
#include "richtext/print/control/RVOfficeRadioBtn.h"
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

// What the window edits for the print component: its margins in whole
// millimetres and their mirroring on facing pages, the header and the
// footer, and the number printed on the first page.
struct TRVPageSetupValues {
    int LeftMarginMM = 20;
    int RightMarginMM = 20;
    int TopMarginMM = 20;
    int BottomMarginMM = 20;
    bool MirrorMargins = false;
    TRVHFValues Header{"- &p -"};
    TRVHFValues Footer;
    int FirstPageNumber = 1;
};

class TfrmRVPageSetup : public TfrmRVBase {
public:
    // The window sets up APrinter (nullptr: the program's printer).
    TfrmRVPageSetup(TComponent* AOwner, const TRVADialogSettings& Settings = {},
                    TPrinter* APrinter = nullptr);

    // Fills the window from Values and the printer; false, with nothing
    // filled, when there is no printer to set up.
    bool InitFromSettings(const TRVPageSetupValues& Values);
    // Writes the window's values into Values (a margin whose box was
    // emptied keeps its value) and the orientation, paper and source to the
    // printer.
    void ApplySettings(TRVPageSetupValues& Values);
    // Shows the margins in inches, to three decimals; called before
    // InitFromSettings.
    void UseInches();
    bool InInches() const { return FInInches; }
    TPrinter* PrinterToSetUp() const { return FPrinter; }
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

    TPrinter* FPrinter;
    std::unique_ptr<TFont> FHeaderFont = std::make_unique<TFont>();
    std::unique_ptr<TFont> FFooterFont = std::make_unique<TFont>();
    bool FInInches = false;
    // The printer's papers as the size list shows them.
    std::vector<TPrinterPaper> FPapers;
};

// Shows the page set-up window over Values and the printer, in inches when
// Inches: true when the user confirmed, with Values and the printer
// changed; false (nothing changed) when cancelled or when there is no
// printer to set up.
bool ExecutePageSetup(TRVPageSetupValues& Values, bool Inches, const TRVADialogSettings& Settings = {},
                      TPrinter* APrinter = nullptr);
