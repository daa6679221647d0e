// The report view of this build: the report document drawn on a scrolling
// control of its own, written by the engine's RTF writer, and printed page
// by page on the layer's printer after its print dialog.
#include "app/results/ReportView.h"

#include <algorithm>

#include "app/results/ReportDocument.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Printers.h"
#include "platform/gui/ScrollBars.h"

namespace {

constexpr int kPadding = 8;
constexpr int kLineStep = 20;
// The printed page's margins, millimetres.
constexpr int kPrintMargin = 20;
// Layout on screen happens at this resolution; printing scales pictures and
// spacing from it.
constexpr int kScreenPixelsPerInch = 96;

class TPlainReportView : public TCustomControl, public TReportView {
public:
    explicit TPlainReportView(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        SetColor(clWhite);
        FMeasure.SetSize(1, 1);
    }

    TWinControl* Control() override { return this; }

    void ShowHtml(const AnsiString& Html) override {
        // A failed reading leaves an empty report, never half of the old one.
        FHtml.clear();
        FDocument.ClearDocument();
        FLaidOutWidth = -1;
        FDocument.LoadHtml(Html);
        FHtml = Html;
        FTop = 0;
        Relayout();
    }
    void Clear() override {
        FHtml.clear();
        FDocument.ClearDocument();
        FLaidOutWidth = -1;
        FTop = 0;
        Relayout();
    }
    bool Empty() const override { return FDocument.Empty(); }
    AnsiString Text() override { return FDocument.Text(); }
    bool SaveRtf(const AnsiString& FileName) override { return FDocument.SaveRtfFile(FileName); }

    int Print(const AnsiString& Title) override {
        if (FDocument.Empty()) return 0;
        TPrinter* printer = Printer();
        TPrintDialog dialog(nullptr);
        dialog.MinPage = 1;
        dialog.MaxPage = PrintedPages(*printer).Pages;
        dialog.FromPage = 1;
        dialog.ToPage = dialog.MaxPage;
        dialog.Options = poPageNums;
        if (!dialog.Execute()) return 0;
        // The dialog may have chosen another printer or paper.
        TPrintLayout layout = PrintedPages(*printer);
        int from = 1, to = layout.Pages;
        if (dialog.PrintRange == TPrintRange::prPageNums) {
            from = std::clamp(dialog.FromPage, 1, layout.Pages);
            to = std::clamp(dialog.ToPage, from, layout.Pages);
        }
        printer->SetTitle(Title);
        printer->BeginDoc();
        try {
            for (int page = from; page <= to; ++page) {
                if (page > from) printer->NewPage();
                const int top = layout.Tops[std::size_t(page - 1)];
                const int bottom = std::size_t(page) < layout.Tops.size() ? layout.Tops[std::size_t(page)]
                                                                          : layout.Document->LayoutHeight();
                layout.Document->Draw(*printer->Canvas(), layout.Margin, layout.Margin, top, bottom, true);
            }
        } catch (...) {
            printer->Abort();
            throw;
        }
        printer->EndDoc();
        return to - from + 1;
    }

    void Dispatch(TMessage& Message) override {
        switch (Message.Msg) {
        case WM_VSCROLL:
            Scroll(LoWordSigned(LPARAM(Message.WParam)));
            return;
        case CM_MOUSEWHEEL:
            ScrollTo(FTop - HiWordSigned(LPARAM(Message.WParam)) * 3 * kLineStep / 120);
            Message.Result = 1;
            return;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            Relayout();
            return;
        default:
            TCustomControl::Dispatch(Message);
        }
    }

protected:
    void Paint() override {
        TCanvas& canvas = *Canvas();
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(clWhite);
        canvas.FillRect(ClientRect());
        if (LayoutWidth() != FLaidOutWidth) Relayout();
        FDocument.Draw(canvas, kPadding, kPadding, FTop, FTop + ClientHeight(), false);
    }

private:
    struct TPrintLayout {
        std::unique_ptr<TReportDocument> Document;
        std::vector<int> Tops;
        int Pages = 0;
        int Margin = 0;
    };

    // The report laid out for the printer's page as it is now.
    TPrintLayout PrintedPages(TPrinter& Printer) {
        TPrintLayout layout;
        const int ppi = std::max(1, Printer.PixelsPerInchX());
        layout.Margin = MulDiv(kPrintMargin, ppi * 10, 254);
        TReportHtmlOptions options;
        options.Scale = double(ppi) / kScreenPixelsPerInch;
        layout.Document = std::make_unique<TReportDocument>();
        layout.Document->LoadHtml(FHtml, options);
        layout.Document->Layout(Printer.Canvas(), Printer.PageWidth() - 2 * layout.Margin);
        layout.Tops = layout.Document->PageTops(Printer.PageHeight() - 2 * layout.Margin);
        layout.Pages = int(layout.Tops.size());
        return layout;
    }

    int LayoutWidth() const { return std::max(1, ClientWidth() - 2 * kPadding); }

    void Relayout() {
        const int width = LayoutWidth();
        FDocument.Layout(FMeasure.Canvas(), width);
        FLaidOutWidth = width;
        TScrollInfo info;
        info.Mask = SIF_RANGE | SIF_PAGE;
        info.Min = 0;
        info.Max = FDocument.LayoutHeight() + 2 * kPadding;
        info.Page = unsigned(std::max(0, ClientHeight()));
        SetScrollInfo(this, SB_VERT, info, true);
        ScrollTo(FTop);
        Invalidate();
    }

    void Scroll(int Code) {
        TScrollInfo info;
        GetScrollInfo(this, SB_VERT, info);
        switch (Code) {
        case SB_LINEUP:
            ScrollTo(FTop - kLineStep);
            break;
        case SB_LINEDOWN:
            ScrollTo(FTop + kLineStep);
            break;
        case SB_PAGEUP:
            ScrollTo(FTop - ClientHeight());
            break;
        case SB_PAGEDOWN:
            ScrollTo(FTop + ClientHeight());
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            ScrollTo(info.TrackPos);
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(info.Max);
            break;
        default:
            break;
        }
    }

    void ScrollTo(int Top) {
        const int limit = std::max(0, FDocument.LayoutHeight() + 2 * kPadding - ClientHeight());
        Top = std::clamp(Top, 0, limit);
        if (Top == FTop && GetScrollPos(this, SB_VERT) == Top) return;
        FTop = Top;
        SetScrollPos(this, SB_VERT, Top, true);
        Invalidate();
    }

    TReportDocument FDocument;
    // What the report was made from: printing lays it out anew.
    AnsiString FHtml;
    // Layout measures on it, the same with a window or without.
    TBitmap FMeasure;
    int FTop = 0;
    int FLaidOutWidth = -1;
};

} // namespace

TReportView* CreateReportView(TComponent* Owner) {
    return new TPlainReportView(Owner);
}
