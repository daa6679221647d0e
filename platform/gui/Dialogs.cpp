// The common dialogs' model: running through the dialog seam, filters and
// default extensions, the overwrite prompt, size and page range limits, and
// the printer the print dialogs configure.
#include "platform/gui/Dialogs.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MessageBox.h"

namespace {
IDialogPrinter* gPrinter = nullptr;

constexpr int HundredthsMmPerTenInches = 25400; // 10 inches in hundredths of a mm
constexpr int ThousandthsPerTenInches = 10000;

std::vector<AnsiString> Split(const AnsiString& Text, char Separator) {
    std::vector<AnsiString> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = Text.find(Separator, start)) != AnsiString::npos; start = at + 1)
        parts.push_back(Text.substr(start, at - start));
    parts.push_back(Text.substr(start));
    return parts;
}

// The extension a pattern such as "*.rtf" names; empty for "*.*" and others.
AnsiString PatternExtension(const AnsiString& Pattern) {
    if (Pattern.size() < 3 || Pattern.compare(0, 2, "*.") != 0) return {};
    AnsiString ext = Pattern.substr(2);
    return ext.find_first_of("*?") == AnsiString::npos ? ext : AnsiString();
}
} // namespace

bool IDialogService::ExecuteDialog(TCommonDialog* Dialog) {
    return Dialog->ShowOnScreen();
}

// TCommonDialog

bool TCommonDialog::Execute() {
    if (OnShow) OnShow(this);
    TScopeGuard closed([this] {
        if (OnClose) OnClose(this);
    });
    while (DialogService()->ExecuteDialog(this))
        if (AcceptChoice()) return true;
    return false;
}

// TOpenDialog

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

std::vector<AnsiString> TOpenDialog::FilterDescriptions() const {
    std::vector<AnsiString> parts = Split(Filter, '|'), descriptions;
    if (Filter.empty()) return descriptions;
    for (std::size_t i = 0; i < parts.size(); i += 2)
        descriptions.push_back(parts[i]);
    return descriptions;
}

std::vector<AnsiString> TOpenDialog::FilterPatterns(int Index) const {
    std::vector<AnsiString> parts = Split(Filter, '|'), patterns;
    std::size_t at = 2 * std::size_t(std::max(Index, 1) - 1) + 1;
    if (Filter.empty() || Index < 1 || at >= parts.size()) return patterns;
    for (const AnsiString& p : Split(parts[at], ';'))
        if (!Trim(p).empty()) patterns.push_back(Trim(p));
    return patterns;
}

bool TOpenDialog::AcceptChoice() {
    if (FileName.empty()) return false;
    if (!DefaultExt.empty() && ExtractFileExt(FileName).empty()) {
        std::vector<AnsiString> patterns = FilterPatterns(FilterIndex);
        AnsiString ext = patterns.empty() ? AnsiString() : PatternExtension(patterns.front());
        FileName += "." + (ext.empty() ? DefaultExt : ext);
    }
    if (!(Options & ofAllowMultiSelect) || FFiles.Count() == 0) {
        FFiles.Clear();
        FFiles.Add(FileName);
    }
    if (Kind() == TDialogKind::dkSave && (Options & ofOverwritePrompt) && FileExists(FileName)) {
        AnsiString caption = Title.empty() ? AnsiString("Save As") : Title;
        if (MessageBox(ExtractFileName(FileName) + " already exists.\nDo you want to replace it?", caption,
                       MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
    }
    return true;
}

// TFontDialog

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

bool TFontDialog::AcceptChoice() {
    if ((Options & fdLimitSize) && MaxFontSize > 0 && MinFontSize <= MaxFontSize)
        FFont->SetSize(std::clamp(FFont->Size(), MinFontSize, MaxFontSize));
    return true;
}

// The printer

IDialogPrinter* SetDialogPrinter(IDialogPrinter* Printer) {
    IDialogPrinter* old = gPrinter;
    gPrinter = Printer;
    return old;
}

IDialogPrinter* DialogPrinter() {
    return gPrinter ? gPrinter : Printer();
}

// TPrintDialog

bool TPrintDialog::Execute() {
    Settings = DialogPrinter()->PrintSettings();
    if (!TCommonDialog::Execute()) return false;
    DialogPrinter()->ApplyPrintSettings(Settings);
    return true;
}

bool TPrintDialog::AcceptChoice() {
    Settings.Copies = std::max(1, Settings.Copies);
    if (PrintRange != TPrintRange::prPageNums) return true;
    if (FromPage > ToPage) std::swap(FromPage, ToPage);
    if (MinPage <= MaxPage && MaxPage > 0) {
        FromPage = std::clamp(FromPage, MinPage, MaxPage);
        ToPage = std::clamp(ToPage, MinPage, MaxPage);
    }
    return true;
}

// TPageSetupDialog

bool TPageSetupDialog::Execute() {
    Settings = DialogPrinter()->PrintSettings();
    if (!TCommonDialog::Execute()) return false;
    DialogPrinter()->ApplyPrintSettings(Settings);
    return true;
}

int TPageSetupDialog::PageWidth() const {
    return Units == TPageMeasureUnits::pmMillimeters
               ? Settings.PaperWidth
               : MulDiv(Settings.PaperWidth, ThousandthsPerTenInches, HundredthsMmPerTenInches);
}

int TPageSetupDialog::PageHeight() const {
    return Units == TPageMeasureUnits::pmMillimeters
               ? Settings.PaperHeight
               : MulDiv(Settings.PaperHeight, ThousandthsPerTenInches, HundredthsMmPerTenInches);
}
