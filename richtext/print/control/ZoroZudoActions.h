// Commands on a rich-text editor as actions a window binds to its buttons,
// menu items and shortcuts: the base classes that resolve the editor and
// the enabled state, the control panel that holds a window's settings for
// its actions and dialogs, and the print-preview, print, save, save-as and
// page set-up actions with the header and footer drawn on printed pages.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/ActnList.h"
#include "platform/gui/Dialogs.h"
#include "richtext/editor/control/RVEdit.h"
#include "richtext/print/control/BaseRVFrm.h"
#include "richtext/print/control/RVPrint.h"

class TrvAction;
class TrvActionPrint;
class TrvActionSave;
class TrvActionSaveAs;
class TrvActionPageSetup;
class TfrmRVPreview;
class TfrmRVPageSetup;
struct TRVPageSetupValues;

enum TrvFileExportFilter : uint8_t {
    ffeRVF,
    ffeRTF,
    ffeTextANSI,
    ffeTextUnicode,
    ffeCustom,
    ffeHTMLCSS,
    ffeHTML,
    ffeOfficeConverters,
};
// The first five of the export formats.
using TrvFileSaveFilter = TrvFileExportFilter;
// A set of formats, one bit each.
using TrvFileExportFilterSet = unsigned;
using TrvFileSaveFilterSet = TrvFileExportFilterSet;
constexpr TrvFileExportFilterSet FilterBit(TrvFileExportFilter Format) {
    return 1u << unsigned(Format);
}
constexpr TrvFileSaveFilterSet AllSaveFilters = FilterBit(ffeRVF) | FilterBit(ffeRTF) |
                                                FilterBit(ffeTextANSI) | FilterBit(ffeTextUnicode) |
                                                FilterBit(ffeCustom);

enum TRVAFileOperation : uint8_t { rvafoOpen, rvafoSave, rvafoExport, rvafoInsert };
enum TRVASearchScope : uint8_t { rvssFromCursor, rvssAskUser, rvssGlobal };
enum TrvPaperMarginsUnits : uint8_t { rvpmuMillimeters, rvpmuInches };

class TCustomRVInfo;
using TRVStyleNeededEvent =
    std::function<void(TrvAction* Sender, TRVStyle* RVStyle, TCustomRVInfo* StyleInfo, int& StyleNo)>;
using TRVAddStyleEvent = std::function<void(TrvAction* Sender, TCustomRVInfo* StyleInfo)>;
using TRVAEditEvent = std::function<void(TrvAction* Sender, TCustomZoroZudoEdit* Edit)>;
using TRVCustomFileOperationEvent = std::function<void(
    TrvAction* Sender, TCustomZoroZudoEdit* Edit, const AnsiString& FileName, TRVAFileOperation Operation,
    TrvFileSaveFilter& SaveFormat, int& CustomFilterIndex, bool& Success)>;
using TRVADownloadEvent = std::function<void(TrvAction* Sender, const AnsiString& Source)>;

// ---------------------------------------------------------------- the control panel

// The settings of one window's actions and dialogs: its language, dialog
// font, file filters, print component and switches. A window places one;
// its actions find it among their owner's components, so no window's panel
// changes or clears another window's settings. Actions of a window without
// a panel use the program's default one, which keeps the start values.
class TRVAControlPanel : public TComponent {
public:
    explicit TRVAControlPanel(TComponent* AOwner);
    ~TRVAControlPanel() override;

    bool UseXPThemes = true;
    AnsiString DialogFontName = "MS Sans Serif";
    TCustomZoroZudoEdit* DefaultControl() const { return FDefaultControl; }
    void SetDefaultControl(TCustomZoroZudoEdit* Value);
    // Kept for dialogs that choose colours.
    TColorDialog* ColorDialog() const { return FColorDialog; }
    void SetColorDialog(TColorDialog* Value);
    // The grid lines of editable tables, a style of the table painting that
    // every editor shares: writing it changes that style unless the grid
    // is switched off (psClear); Loaded sets it in any case.
    TPenStyle TableGridStyle() const { return FTableGridStyle; }
    void SetTableGridStyle(TPenStyle Value);
    AnsiString RVFFilter = "ZoroZudo Files (*.rvf)|*.rvf";
    AnsiString DefaultExt = "rvf";
    AnsiString RVFormatTitle = "ZoroZudo Format";
    AnsiString DefaultFileName = "Untitled.rvf";
    TrvFileSaveFilter DefaultFileFormat = ffeRVF;
    int DefaultCustomFilterIndex = 1;
    bool AutoDeleteUnusedStyles = true;
    // False disables every action that uses this panel.
    bool ActionsEnabled = true;
    bool UseHelpFiles = true;
    bool AddColorNameToHints = true;
    int DefaultMargin = 5;
    TColor DefaultColor = clWindow;
    // The print component of the print actions and the page set-up; nil
    // again when it is destroyed.
    TRVPrint* RVPrint() const { return FRVPrint; }
    void SetRVPrint(TRVPrint* Value);
    // The print actions hand the computed page breaks to the editor.
    bool ShowSoftPageBreaks = true;
    // The language's name; setting selects a language by its exact name
    // for this panel's window (actions and dialogs), and raises Exception
    // "Invalid language: " followed by the name when none has it.
    TRVALanguageName Language() const { return FLanguage->Name; }
    void SetLanguage(const TRVALanguageName& Value);
    const TRVALanguageInfo& LanguageInfo() const { return *FLanguage; }
    bool RVFLocalizable = true;
    bool XMLLocalizable = true;
    TRVStyleNeededEvent OnStyleNeeded;
    TRVAddStyleEvent OnAddStyle;
    TRVAEditEvent OnMarginsChanged;
    TRVCustomFileOperationEvent OnCustomFileOperation;
    TRVADownloadEvent OnDownload;
    TRVASearchScope SearchScope = rvssAskUser;

    // What the dialogs of this panel's window are made with.
    TRVADialogSettings DialogSettings() const;
    // Runs OnCustomFileOperation; a missing handler or one that raises is a
    // failure. For rvafoOpen a success hands the format and index back.
    bool CustomFileOperation(TrvAction* Sender, TCustomZoroZudoEdit* Edit, const AnsiString& FileName,
                             TRVAFileOperation Operation, TrvFileSaveFilter& Format, int& CustomFilterIndex);
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    template <class T> void SetReference(T*& Field, T* Value);
    TCustomZoroZudoEdit* FDefaultControl = nullptr;
    TColorDialog* FColorDialog = nullptr;
    TRVPrint* FRVPrint = nullptr;
    TPenStyle FTableGridStyle = TPenStyle::psDot;
    const TRVALanguageInfo* FLanguage;
};

// The panel of the program's windows that place none: start values, no
// editor, no print component.
TRVAControlPanel& RVADefaultControlPanel();

// ---------------------------------------------------------------- the actions

class TrvCustomAction : public TAction {
public:
    explicit TrvCustomAction(TComponent* AOwner);
    ~TrvCustomAction() override;

    // The language text of the caption; the hint is the next one. 0: none.
    uint16_t MessageIndex = 0;
    // Keeps the action disabled.
    bool Disabled = false;
    // The panel of the action's window: the one set, else the first among
    // the owner's components, else the program's default one.
    TRVAControlPanel& ControlPanel() const;
    void SetControlPanel(TRVAControlPanel* Value);
    // Caption and hint from the panel's language.
    virtual void Localize();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Points Field at Value and is told when Value is destroyed.
    template <class T> void SetReference(T*& Field, T* Value) {
        if (Field == Value) return;
        if (Field) Field->RemoveFreeNotification(this);
        Field = Value;
        if (Field) Field->FreeNotification(this);
    }

private:
    TRVAControlPanel* FControlPanel = nullptr;
};

class TrvAction : public TrvCustomAction {
public:
    explicit TrvAction(TComponent* AOwner) : TrvCustomAction(AOwner) {}

    // The editor the action always works on; nil: the panel's default one,
    // else the target the toolkit offers.
    TCustomZoroZudoEdit* Control() const { return FControl; }
    void SetControl(TCustomZoroZudoEdit* Value) { SetReference(FControl, Value); }

    bool HandlesTarget(TObject* Target) override;
    void UpdateTarget(TObject* Target) override;
    // The editor to act on for Target, or nullptr.
    virtual TCustomZoroZudoEdit* GetControl(TObject* Target) const;
    virtual void ExtraHook(TObject*, TObject*) {}
    virtual bool ExtraCheck() { return true; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TObject* ResolveTarget(TObject* Target) const;

private:
    TCustomZoroZudoEdit* FControl = nullptr;
};

// The first component of Owner, in component order, of class T.
template <class T> T* FindComponentOfClass(const TComponent* Owner) {
    if (!Owner) return nullptr;
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        if (auto* found = dynamic_cast<T*>(Owner->Components(i))) return found;
    return nullptr;
}
// Localizes every action of the pack that Form owns.
void RVALocalizeActions(TComponent* Form);
// Whether a document can be printed: on a printer or into a PDF file.
bool RVAHasPrinter();

// ---------------------------------------------------------------- headers and footers

// A header or footer line with its macros: "&p" the page number, "&P" the
// page count, "&d" the date, "&t" the time, "&&" an ampersand.
class THFInfo : public TObject {
public:
    THFInfo();
    std::unique_ptr<TFont> Font;
    AnsiString Text;
    // 0 left, 1 right, 2 centred.
    uint8_t Alignment = 2;
    bool PrintOnFirstPage = true;
};

// The program's header ("- &p -") and footer (empty), made on first use;
// only the page set-up changes them, so every window sees the same ones.
THFInfo& RVAHeaderInfo();
THFInfo& RVAFooterInfo();
// The number printed on the first page; starts at 1.
int RVAFirstPageNumber();
void SetRVAFirstPageNumber(int Value);
// Text with its macros replaced for page PageNo of PageCount, with the
// first page numbered FirstPageNumber, at the moment Now.
AnsiString RVAExpandHFText(const AnsiString& Text, int PageNo, int PageCount, int FirstPageNumber,
                           TDateTime Now);
// Draws the header above and the footer below PrintArea of page PageNo.
void RVADrawHeaderFooter(TCanvas& Canvas, int PageNo, int PageCount, const TRect& PrintArea);

// ---------------------------------------------------------------- print actions

// Enabled with an editor that holds an item and a printer to print on.
class TrvCustomPrintAction : public TrvAction {
public:
    using TrvAction::TrvAction;
    void UpdateTarget(TObject* Target) override;

protected:
    // The print component for Editor while the action runs: the panel's,
    // else the first of the editor's owner, else one made for the run. The
    // header and footer hook is on it for the run; the previous handler is
    // put back and a component made here freed when the run ends, also on
    // an exception.
    class TPrintUse {
    public:
        TPrintUse(TrvCustomPrintAction& Action, TCustomZoroZudoEdit& Editor);
        ~TPrintUse();
        TPrintUse(const TPrintUse&) = delete;
        TPrintUse& operator=(const TPrintUse&) = delete;
        TRVPrint& Print() const { return *FPrint; }

    private:
        TRVPrint* FPrint;
        std::unique_ptr<TRVPrint> FMade;
        TRVPagePrepaintEvent FPrevious;
    };
    // AssignSource and FormatPages under the busy cursor, then the soft page
    // breaks to the editor when the panel asks; the page count.
    int FormatFor(TRVPrint& Print, TCustomZoroZudoEdit& Editor);
};

class TrvActionPrint : public TrvCustomPrintAction {
public:
    explicit TrvActionPrint(TComponent* AOwner);
    // The print job's title.
    AnsiString Title;
    void ExecuteTarget(TObject* Target) override;

private:
    friend class TrvActionPrintPreview;
    // Formats, asks and prints with a print component already in use.
    void PrintWith(TRVPrint& Print, TCustomZoroZudoEdit& Editor);
};

// Makes the preview window (nullptr is refused); Owner is its owner,
// Settings its language and font.
using TRVPreviewFormFactory =
    std::function<TfrmRVPreview*(TComponent* Owner, const TRVADialogSettings& Settings)>;
using TRVGetFormClassEvent = std::function<void(TObject* Sender, TRVPreviewFormFactory& FormClass)>;

class TrvActionPrintPreview : public TrvCustomPrintAction {
public:
    explicit TrvActionPrintPreview(TComponent* AOwner);
    ~TrvActionPrintPreview() override;

    // Run when the preview closes with Print; nil: the first print action
    // of the owner.
    TrvActionPrint* ActionPrint() const { return FActionPrint; }
    void SetActionPrint(TrvActionPrint* Value) { SetReference(FActionPrint, Value); }
    bool Maximized = false;
    // Runs from the preview's page set-up button instead of its own.
    TrvActionPageSetup* ActionPageSetup() const { return FActionPageSetup; }
    void SetActionPageSetup(TrvActionPageSetup* Value) { SetReference(FActionPageSetup, Value); }
    // Another preview window; it descends from TfrmRVPreview by its type.
    TRVGetFormClassEvent OnGetPreviewFormClass;

    void ExecuteTarget(TObject* Target) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TrvActionPrint* FActionPrint = nullptr;
    TrvActionPageSetup* FActionPageSetup = nullptr;
};

// ---------------------------------------------------------------- file actions

// One editor's saved file: where, in which format, and the format the
// question about lost formatting was answered for.
class TrvaDocumentInfo : public TObject {
public:
    TCustomZoroZudoEdit* Editor = nullptr;
    AnsiString FileName;
    TrvFileSaveFilter FileFormat = ffeRVF;
    int CustomFilterIndex = 0;
    bool Defined = false;
    bool Warned = false;
    TrvFileSaveFilter WarnedFormat = ffeRVF;
    int WarnedCustomIndex = 0;
};

using TRVFileChangeEvent =
    std::function<void(TObject* Sender, TCustomZoroZudoEdit* Editor, const AnsiString& FileName,
                       TrvFileSaveFilter FileFormat, bool IsNew)>;

class TrvActionSave : public TrvAction {
public:
    explicit TrvActionSave(TComponent* AOwner);
    ~TrvActionSave() override;

    TrvActionSaveAs* ActionSaveAs() const { return FActionSaveAs; }
    void SetActionSaveAs(TrvActionSaveAs* Value) { SetReference(FActionSaveAs, Value); }
    TRVFileChangeEvent OnDocumentFileChange;
    // The formats that may lose formatting: saving in one asks first.
    TrvFileSaveFilterSet LostFormatWarning =
        FilterBit(ffeRTF) | FilterBit(ffeTextANSI) | FilterBit(ffeTextUnicode) | FilterBit(ffeCustom);

    void ExecuteTarget(TObject* Target) override;
    // Editor's record, or nullptr.
    TrvaDocumentInfo* FindDoc(const TCustomZoroZudoEdit* Editor) const;
    // Records Editor's file; with SaveNow saves it at once (AlreadyAsked:
    // the question was answered), else tells OnDocumentFileChange.
    void SetDocInfo(TCustomZoroZudoEdit* Editor, const AnsiString& FileName, bool Warned, bool AlreadyAsked,
                    bool SaveNow, bool Defined, int CustomFilterIndex, TrvFileSaveFilter Format);
    // Saves a recorded document again; true when it is saved.
    bool SaveDoc(TrvaDocumentInfo& Doc, bool AlreadyAsked);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TrvActionSaveAs& SaveAsAction() const;
    // Asks question 220 for FileName; true for Yes.
    bool AskLostFormat(const AnsiString& FileName) const;
    TrvActionSaveAs* FActionSaveAs = nullptr;
    std::vector<std::unique_ptr<TrvaDocumentInfo>> FDocs;
};

class TrvActionCustomIO : public TrvAction {
public:
    using TrvAction::TrvAction;
    AnsiString DialogTitle;
    AnsiString InitialDir;
};

class TrvActionCustomFileIO : public TrvActionCustomIO {
public:
    using TrvActionCustomIO::TrvActionCustomIO;
    // Extra filter items: pairs of a name and a mask separated by "|".
    AnsiString CustomFilter;
};

class TrvActionSaveAs : public TrvActionCustomFileIO {
public:
    explicit TrvActionSaveAs(TComponent* AOwner);

    TrvFileSaveFilterSet Filter = AllSaveFilters;
    TrvActionSave* ActionSave() const { return FActionSave; }
    void SetActionSave(TrvActionSave* Value) { SetReference(FActionSave, Value); }

    void ExecuteTarget(TObject* Target) override;
    // The save dialog's title: DialogTitle, else text 24 without its "&"
    // and final "...".
    AnsiString Title() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TrvActionSave& SaveAction() const;
    TrvActionSave* FActionSave = nullptr;
};

class TrvActionPageSetup : public TrvCustomAction {
public:
    explicit TrvActionPageSetup(TComponent* AOwner);

    TrvPaperMarginsUnits MarginsUnits = rvpmuMillimeters;
    TNotifyEvent OnChange;

    bool HandlesTarget(TObject*) override { return true; }
    void UpdateTarget(TObject* Target) override;
    void ExecuteTarget(TObject* Target) override;
};

// The program's header, footer and first page number as the page set-up
// window edits them, read and written back; the margins live in the print
// component, which the window edits directly.
void RVAGetPageSetupValues(TRVPageSetupValues& Values);
void RVASetPageSetupValues(const TRVPageSetupValues& Values);

// The save dialog's filter for the formats of Flags, in order; Formats
// gets each item's format code (0 RVF, 1 RTF, 2 and 3 text, 5 and 6 HTML,
// -1, -2 ... the custom items). Converters: the converters' filter, or
// empty for none.
AnsiString RVAGetSaveFilter(const TRVALanguageInfo& Language, TrvFileExportFilterSet Flags,
                            std::vector<int>& Formats, const AnsiString& RVFFilter, bool RVFLocalizable,
                            const AnsiString& Converters, const AnsiString& CustomFilter);
// The format of a 0-based filter index: the format, and the custom or
// converter index.
void RVAFilterIndexToFormat(const std::vector<int>& Formats, int Index, TrvFileExportFilter& Format,
                            int& CustomIndex);
