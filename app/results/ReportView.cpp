// The report view of this program: the HTML importer builds the report in
// a read-only editor of the rich-text family, the engine writes it as RTF,
// and the print component keeps its pages for the print actions.
#include "app/results/ReportView.h"

#include <memory>

#include "richtext/editor/control/RVEdit.h"
#include "richtext/engine/text/RVClasses.h"
#include "richtext/import/html/rvhtmlimport.h"
#include "richtext/print/control/RVPrint.h"

namespace {

// The printed page's margins, millimetres.
constexpr int kPrintMargin = 20;

constexpr TRVOptions kReportOptions = rvoScrollToEnd | rvoShowPageBreaks | rvoAutoCopyText | rvoAutoCopyRVF |
                                      rvoAutoCopyImage | rvoAutoCopyRTF | rvoFormatInvalidate |
                                      rvoDblClickSelectsWord | rvoRClickDeselects | rvoFastFormatting;

class TEditorReportView : public TZoroZudoEdit, public TReportView {
public:
    explicit TEditorReportView(TComponent* AOwner)
        : TZoroZudoEdit(AOwner), FImporter(std::make_unique<TRvHtmlImporter>(nullptr)),
          FPrint(std::make_unique<TRVPrint>(nullptr)) {
        // Owned as a component, the style sheet outlives the editor's own
        // clean-up, which still sees it.
        SetStyle(new TRVStyle(this));
        SetReadOnly(true);
        AcceptDragDropFormats = 0;
        SetOptions(kReportOptions);
        Settings().RTFOptions = RVDefaultRTFOptions | rvrtfSaveBitmapDefault;
        Settings().RVFOptions = rvfoSavePicturesBody | rvfoSaveControlsBody | rvfoSaveBinary;
        SetTabStop(true);
        FImporter->Document = RVData();
        FPrint->SetPreviewCorrection(true);
        FPrint->SetClipMargins(true);
        FPrint->SetLeftMarginMM(kPrintMargin);
        FPrint->SetRightMarginMM(kPrintMargin);
        FPrint->SetTopMarginMM(kPrintMargin);
        FPrint->SetBottomMarginMM(kPrintMargin);
    }
    ~TEditorReportView() override {
        // The pages share the document's items: they go before the items.
        FPrint.reset();
        ClearDocument();
    }

    TWinControl* Control() override { return this; }
    TCustomZoroZudoEdit& Editor() override { return *this; }
    TRVPrint& Printout() override { return *FPrint; }

    void ShowHtml(const AnsiString& Html) override {
        Clear();
        try {
            FImporter->ImportHtml(Html);
        } catch (...) {
            // A failed import leaves an empty report, never half of one.
            Clear();
            throw;
        }
        FormatDocument();
    }
    void Clear() override {
        FPrint->Clear();
        ClearDocument();
        FormatDocument();
    }
    // An editor keeps one empty line in an empty document.
    bool Empty() const override {
        const int count = GetItemCount();
        return count == 0 || (count == 1 && GetItemStyle(0) >= 0 && RVData()->GetItemText(0).empty());
    }
    AnsiString Text() override {
        TRVMemoryStream stream;
        SaveTextStream("", stream, 80, false, true);
        return AnsiString(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
    }
    bool SaveRtf(const AnsiString& FileName) override { return SaveRtfFile(FileName, false); }

private:
    std::unique_ptr<TRvHtmlImporter> FImporter;
    std::unique_ptr<TRVPrint> FPrint;
};

} // namespace

TReportView* CreateReportView(TComponent* Owner) {
    return new TEditorReportView(Owner);
}
