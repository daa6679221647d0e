// The print action and what the print actions share: the print component
// of a run, the header and footer drawn on every page, and the page breaks
// handed back to the editor.
#include "richtext/print/control/ZoroZudoActions.h"

#include "platform/gui/Mask.h"
#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/lines/DLines.h"
#include "richtext/engine/view/ZoroZudo.h"

namespace {

// The busy cursor until the scope ends, also on an exception.
class TBusyCursor {
public:
    TBusyCursor() : FOld(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen->SetCursor(FOld); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    TCursor FOld;
};

int& FirstPageNumber() {
    static int number = 1;
    return number;
}

// Draws one description above (Header) or below the print area.
void DrawHF(TCanvas& Canvas, const THFInfo& Info, bool Header, int PageNo, int PageCount,
            const TRect& PrintArea) {
    if (Info.Text.empty() || (PageNo == 1 && !Info.PrintOnFirstPage)) return;
    AnsiString text = RVAExpandHFText(Info.Text, PageNo, PageCount, RVAFirstPageNumber(), Now());
    // The point size is measured at the device's resolution.
    int ppi = Canvas.Font()->PixelsPerInch();
    Canvas.SetFont(Info.Font.get());
    Canvas.Font()->SetPixelsPerInch(ppi);
    Canvas.Font()->SetSize(Info.Font->Size());
    int h = Canvas.TextHeight(text);
    TRect r = Header ? TRect(PrintArea.Left, PrintArea.Top - h - ppi / 20, PrintArea.Right,
                             PrintArea.Top - ppi / 20)
                     : TRect(PrintArea.Left, PrintArea.Bottom + ppi / 20, PrintArea.Right,
                             PrintArea.Bottom + ppi / 20 + h);
    unsigned align = Info.Alignment == 0 ? DT_LEFT : Info.Alignment == 1 ? DT_RIGHT : DT_CENTER;
    Canvas.DrawText(text, r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | align);
}

// The editor shows where the printed pages begin.
void AssignSoftPageBreaks(TCustomZoroZudoEdit& Editor, const TRVPrint& Print) {
    auto breaks = std::make_unique<TRVSoftPageBreakList>();
    for (const TRVPageStartPlace& place : Print.SoftPageBreaks()) {
        auto* info = new TRVSoftPageBreakInfo;
        info->ItemNo = place.ItemNo;
        info->Offs = place.Offset;
        info->ExtraData = place.ExtraData;
        breaks->Add(info);
    }
    Editor.RVData()->SoftPageBreaks = std::move(breaks);
    if (Editor.Options() & rvoShowPageBreaks) Editor.Invalidate();
}

} // namespace

// ---------------------------------------------------------------- headers and footers

THFInfo::THFInfo() : Font(std::make_unique<TFont>()) {
    Font->SetName("Arial");
    Font->SetSize(10);
}

THFInfo& RVAHeaderInfo() {
    static THFInfo header;
    static bool made = [] {
        header.Text = "- &p -";
        return true;
    }();
    (void)made;
    return header;
}

THFInfo& RVAFooterInfo() {
    static THFInfo footer;
    return footer;
}

int RVAFirstPageNumber() {
    return FirstPageNumber();
}

void SetRVAFirstPageNumber(int Value) {
    FirstPageNumber() = Value;
}

AnsiString RVAExpandHFText(const AnsiString& Text, int PageNo, int PageCount, int FirstPageNumber,
                           TDateTime Now) {
    AnsiString out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '&' || i + 1 == Text.size()) {
            out += Text[i];
            continue;
        }
        char macro = Text[i + 1];
        switch (macro) {
        case 'p':
            out += IntToStr(PageNo + FirstPageNumber - 1);
            break;
        case 'P':
            out += IntToStr(PageCount);
            break;
        case 'd':
            out += FormatDateTime(FormatSettings.ShortDateFormat, Now);
            break;
        case 't':
            out += FormatDateTime(FormatSettings.ShortTimeFormat, Now);
            break;
        case '&':
            out += '&';
            break;
        default:
            out += Text.substr(i, 2);
        }
        ++i;
    }
    return out;
}

void RVADrawHeaderFooter(TCanvas& Canvas, int PageNo, int PageCount, const TRect& PrintArea) {
    DrawHF(Canvas, RVAHeaderInfo(), true, PageNo, PageCount, PrintArea);
    DrawHF(Canvas, RVAFooterInfo(), false, PageNo, PageCount, PrintArea);
}

// ---------------------------------------------------------------- TrvCustomPrintAction

void TrvCustomPrintAction::UpdateTarget(TObject* Target) {
    TCustomZoroZudoEdit* editor = GetControl(Target);
    SetEnabled(ControlPanel().ActionsEnabled && !Disabled && editor && editor->GetItemCount() > 0 &&
               RVAHasPrinter());
}

TrvCustomPrintAction::TPrintUse::TPrintUse(TrvCustomPrintAction& Action, TCustomZoroZudoEdit& Editor) {
    FPrint = Action.ControlPanel().RVPrint();
    if (!FPrint) FPrint = FindComponentOfClass<TRVPrint>(Editor.Owner());
    if (!FPrint) {
        // Made for this run and freed with it, whoever owns the editor.
        FMade = std::make_unique<TRVPrint>(nullptr);
        FPrint = FMade.get();
    }
    FPrevious = FPrint->OnPagePrepaint;
    TRVPagePrepaintEvent previous = FPrevious;
    FPrint->OnPagePrepaint = [previous](TCustomRVPrint* Sender, int PageNo, TCanvas& Canvas, bool Preview,
                                        const TRect& PageRect, const TRect& PrintArea) {
        if (previous) previous(Sender, PageNo, Canvas, Preview, PageRect, PrintArea);
        RVADrawHeaderFooter(Canvas, PageNo, Sender->GetPagesCount(), PrintArea);
    };
}

TrvCustomPrintAction::TPrintUse::~TPrintUse() {
    FPrint->OnPagePrepaint = FPrevious;
}

int TrvCustomPrintAction::FormatFor(TRVPrint& Print, TCustomZoroZudoEdit& Editor) {
    TBusyCursor busy;
    Print.AssignSource(*Editor.RVData());
    Print.FormatPages();
    if (ControlPanel().ShowSoftPageBreaks) AssignSoftPageBreaks(Editor, Print);
    return Print.GetPagesCount();
}

// ---------------------------------------------------------------- TrvActionPrint

TrvActionPrint::TrvActionPrint(TComponent* AOwner) : TrvCustomPrintAction(AOwner) {
    MessageIndex = 30;
    Localize();
}

void TrvActionPrint::ExecuteTarget(TObject* Target) {
    TCustomZoroZudoEdit* editor = GetControl(Target);
    if (!editor) return;
    TPrintUse use(*this, *editor);
    PrintWith(use.Print(), *editor);
}

void TrvActionPrint::PrintWith(TRVPrint& Print, TCustomZoroZudoEdit& Editor) {
    if (FormatFor(Print, Editor) == 0) {
        Beep();
        return;
    }
    TPrintDialog dialog(nullptr);
    dialog.Options = poPageNums;
    if (Editor.SelectionExists()) dialog.Options |= poSelection;
    dialog.MinPage = 1;
    dialog.MaxPage = Print.GetPagesCount();
    dialog.FromPage = 1;
    dialog.ToPage = Print.GetPagesCount();
    TScopeGuard clear([&] { Print.Clear(); });
    if (!dialog.Execute()) return;
    TBusyCursor busy;
    // The printer may have changed in the dialog.
    Print.FormatPages();
    int copies = dialog.Settings.Copies;
    bool collate = dialog.Settings.Collate;
    switch (dialog.PrintRange) {
    case TPrintRange::prAllPages:
        if (ControlPanel().ShowSoftPageBreaks) AssignSoftPageBreaks(Editor, Print);
        Print.Print(Title, copies, collate);
        break;
    case TPrintRange::prSelection: {
        // The selection alone, paginated anew in a hidden view.
        TZoroZudo view(nullptr);
        view.SetVisible(false);
        view.SetStyle(Editor.Style());
        view.SetOptions(Editor.Options());
        view.Settings().RVFOptions = Editor.RVFOptions();
        view.Settings().RVFTextStylesReadMode = rvf_sIgnore;
        view.Settings().RVFParaStylesReadMode = rvf_sIgnore;
        TRVMemoryStream stream;
        Editor.RVData()->SaveRvf(stream, true, nullptr, Editor.DocColor());
        stream.SetPosition(0);
        TColor color = Editor.DocColor();
        view.RVData()->LoadRvf(stream, color, nullptr);
        TScopeGuard release([&] { Print.Clear(); });
        Print.AssignSource(*view.RVData());
        if (Print.FormatPages() == 0) {
            Beep();
            break;
        }
        Print.Print(Title, copies, collate);
        break;
    }
    case TPrintRange::prPageNums:
        if (ControlPanel().ShowSoftPageBreaks) AssignSoftPageBreaks(Editor, Print);
        Print.PrintPages(dialog.FromPage, dialog.ToPage, Title, copies, collate);
        break;
    }
}
