// The common dialogs: open, save, colour, font, print and page set-up. Each
// runs through the dialog seam (IDialogService::ExecuteDialog), so tests
// answer them with scripted choices; on screen they are Qt's dialogs. The
// print and page set-up dialogs configure the printer through the small
// interface that the printer object implements.
#pragma once

#include <memory>

#include "platform/gui/Forms.h"
#include "platform/gui/Printers.h"
#include "platform/rtl/StringLists.h"

enum class TDialogKind { dkOpen, dkSave, dkColor, dkFont, dkPrint, dkPageSetup };

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // OnShow, the dialog through the dialog seam (again while the choice is
    // refused, as an overwrite prompt answered No does), OnClose; true
    // when the user confirmed.
    virtual bool Execute();
    virtual TDialogKind Kind() const = 0;
    // Shows the dialog on screen (Qt) and takes the user's choice; the
    // dialog service calls it.
    virtual bool ShowOnScreen() = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Checks a confirmed choice and completes it; false sends the user back
    // to the dialog.
    virtual bool AcceptChoice() { return true; }
};

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofAllowMultiSelect = 1u << 9,
    ofPathMustExist = 1u << 11,
    ofFileMustExist = 1u << 12,
    ofNoReadOnlyReturn = 1u << 15,
    ofEnableSizing = 1u << 22,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    TDialogKind Kind() const override { return TDialogKind::dkOpen; }
    bool ShowOnScreen() override;

    AnsiString FileName;
    // Pairs of a description and its patterns, all separated by "|":
    // "RTF files (*.rtf)|*.rtf|All files (*.*)|*.*"; patterns of one pair
    // are separated by ";".
    AnsiString Filter;
    // 1-based; after a confirmed dialog, the filter the user chose.
    int FilterIndex = 1;
    // Given to a chosen name without an extension: the chosen filter's own
    // extension when it names one, else this one.
    AnsiString DefaultExt;
    AnsiString InitialDir;
    AnsiString Title;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
    // Every name chosen (one without ofAllowMultiSelect).
    TStrings* Files() { return &FFiles; }

    // The patterns of filter Index (1-based); empty when there is none.
    std::vector<AnsiString> FilterPatterns(int Index) const;
    // The filter's descriptions, in order.
    std::vector<AnsiString> FilterDescriptions() const;

protected:
    bool AcceptChoice() override;

private:
    TStringList FFiles;
};

// Asks before replacing a file that exists (ofOverwritePrompt), through the
// message boxes: No returns to the dialog.
class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    TDialogKind Kind() const override { return TDialogKind::dkSave; }
    bool ShowOnScreen() override;
};

enum TColorDialogOption : unsigned {
    cdFullOpen = 1u << 0,
    cdPreventFullOpen = 1u << 1,
    cdShowHelp = 1u << 2,
    cdSolidColor = 1u << 3,
    cdAnyColor = 1u << 4,
};

class TColorDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    TDialogKind Kind() const override { return TDialogKind::dkColor; }
    bool ShowOnScreen() override;

    TColor Color = clBlack;
    unsigned Options = 0;
    // "ColorA=RRGGBB" ... "ColorP=...": handed to the dialog and kept as
    // they are.
    TStrings* CustomColors() { return &FCustomColors; }

private:
    TStringList FCustomColors;
};

enum TFontDialogOption : unsigned {
    fdEffects = 1u << 0,
    fdFixedPitchOnly = 1u << 1,
    fdLimitSize = 1u << 2,
};

class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* AOwner);
    TDialogKind Kind() const override { return TDialogKind::dkFont; }
    bool ShowOnScreen() override;

    TFont* Font() { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    // Point sizes a choice is kept within when fdLimitSize is set.
    int MinFontSize = 0;
    int MaxFontSize = 0;
    unsigned Options = fdEffects;

protected:
    bool AcceptChoice() override;

private:
    std::unique_ptr<TFont> FFont;
};

// Installs the printer the dialogs configure and returns the one it
// replaces; without one (nullptr) they configure the program's printer,
// Printer().
IDialogPrinter* SetDialogPrinter(IDialogPrinter* Printer);
IDialogPrinter* DialogPrinter();

enum class TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption : unsigned {
    poPrintToFile = 1u << 0,
    poPageNums = 1u << 1,
    poSelection = 1u << 2,
    poWarning = 1u << 3,
    poHelp = 1u << 4,
    poDisablePrintToFile = 1u << 5,
};

// Asks for the printer, the range, the copies and collation. The printer's
// settings come in before the dialog shows and go back when it is
// confirmed.
class TPrintDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    TDialogKind Kind() const override { return TDialogKind::dkPrint; }
    bool Execute() override;
    bool ShowOnScreen() override;

    TPrintSettings Settings;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    int FromPage = 0;
    int ToPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    bool PrintToFile = false;
    unsigned Options = 0;

protected:
    // Keeps the page range within MinPage and MaxPage, in order.
    bool AcceptChoice() override;

private:
    // On a machine without printers: asks for the PDF file to print into.
    bool ChoosePdfFile();
};

enum class TPageMeasureUnits { pmMillimeters, pmInches };

// Asks for the paper, its orientation and the margins; the paper and the
// orientation go to the printer. Sizes and margins are in the dialog's
// units: hundredths of a millimetre, or thousandths of an inch.
class TPageSetupDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    TDialogKind Kind() const override { return TDialogKind::dkPageSetup; }
    bool Execute() override;
    bool ShowOnScreen() override;

    TPrintSettings Settings;
    TPageMeasureUnits Units = TPageMeasureUnits::pmMillimeters;
    int MarginLeft = 2500;
    int MarginTop = 2500;
    int MarginRight = 2500;
    int MarginBottom = 2500;
    // The paper of Settings in the dialog's units.
    int PageWidth() const;
    int PageHeight() const;
};
