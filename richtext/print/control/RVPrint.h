// The print component: given a source document, it formats the document
// into pages with margins in millimetres on the layer's printer, draws a
// page onto a canvas, and prints all pages or a range with copies and
// collation through its hidden printable control.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/Printers.h"
#include "richtext/print/pages/PrintableRV.h"

class TCustomRVPrint;
using TRVPrintingEvent = std::function<void(TObject* Sender, int PageCompleted, TRVPrintingStep Step)>;
using TRVPagePrepaintEvent =
    std::function<void(TCustomRVPrint* Sender, int PageNo, TCanvas& Canvas, bool Preview,
                       const TRect& PageRect, const TRect& PrintAreaRect)>;

class TCustomRVPrint : public TComponent {
public:
    explicit TCustomRVPrint(TComponent* AOwner);
    ~TCustomRVPrint() override;

    bool PreviewCorrection() const { return PrintableRV->PreviewCorrection; }
    void SetPreviewCorrection(bool Value) { PrintableRV->PreviewCorrection = Value; }
    bool TransparentBackground() const { return PrintableRV->RVData().TransparentBackground; }
    void SetTransparentBackground(bool Value) { PrintableRV->RVData().TransparentBackground = Value; }
    TRVColorMode ColorMode() const { return PrintableRV->RVData().ColorMode; }
    void SetColorMode(TRVColorMode Value) { PrintableRV->RVData().ColorMode = Value; }
    bool Ready() const { return FReady; }
    int TextEndY() const { return PrintableRV->TextEndY; }
    int FormatCounter() const { return FFormatCounter; }

    std::unique_ptr<TCustomPrintableRV> PrintableRV;

    // Formats the assigned document; answers the page count (0 without a
    // printer).
    int FormatPages();
    virtual void Clear();
    int GetPagesCount() const { return FReady ? PrintableRV->GetPagesCount() : 0; }
    void Print(const AnsiString& Title, int Copies, bool Collate);
    void PrintPages(int FirstPageNo, int LastPageNo, const AnsiString& Title, int Copies, bool Collate);
    // The print area of the page scaled into R, drawn with the canvas's pen
    // and brush.
    void DrawMarginsRect(TCanvas& Canvas, const TRect& R, int PageNo);
    // Draws page PageNo scaled into R of a screen canvas, on a white sheet;
    // a page that does not exist leaves the sheet blank.
    void DrawPreview(int PageNo, TCanvas& Canvas, const TRect& R);
    // Draws one page at the device's size with its top-left corner at the
    // canvas's origin (a printer's canvas, or a bitmap of the page's size).
    void DrawPage(int PageNo, TCanvas& Canvas, bool Preview);
    bool HasPrinterCanvas() const { return PrintableRV->RVData().HasPrinterCanvas; }
    // The unprintable border at the last formatting; screen pixels when asked.
    TRect GetMinimalMargins(bool InScreenPixels) const;
    // The page (print area and margins) in device pixels, and in screen
    // pixels at 100 %.
    int GetPageWidth() const;
    int GetPageHeight() const;
    int GetPageWidthOnScreen() const;
    int GetPageHeightOnScreen() const;

    TRVPrintingEvent OnSendingToPrinter;

protected:
    virtual std::unique_ptr<TCustomPrintableRV> CreatePrintableRV() = 0;
    void Init();

private:
    bool FReady = false;
    int FFormatCounter = 0;
    std::unique_ptr<TRVPrinterDevice> FDevice;
};

class TRVPrint : public TCustomRVPrint {
public:
    explicit TRVPrint(TComponent* AOwner);

    TRVPrintingEvent OnFormatting;
    TRVPagePrepaintEvent OnPagePrepaint;
    TRVPagePrepaintEvent OnPagePostpaint;

    bool ClipMargins() const { return PrintableRV->ClipMargins; }
    void SetClipMargins(bool Value) { PrintableRV->ClipMargins = Value; }
    bool MirrorMargins() const { return Printable().MirrorMargins; }
    void SetMirrorMargins(bool Value) { Printable().MirrorMargins = Value; }
    // Margins in millimetres; a margin that leaves no room on the paper is
    // refused with an error naming it.
    int LeftMarginMM() const { return Printable().LeftMarginMM; }
    int RightMarginMM() const { return Printable().RightMarginMM; }
    int TopMarginMM() const { return Printable().TopMarginMM; }
    int BottomMarginMM() const { return Printable().BottomMarginMM; }
    void SetLeftMarginMM(int Value);
    void SetRightMarginMM(int Value);
    void SetTopMarginMM(int Value);
    void SetBottomMarginMM(int Value);
    int HeaderYMM() const { return Printable().PrintableData().HeaderYMM; }
    void SetHeaderYMM(int Value) { Printable().PrintableData().HeaderYMM = Value; }
    int FooterYMM() const { return Printable().PrintableData().FooterYMM; }
    void SetFooterYMM(int Value) { Printable().PrintableData().FooterYMM = Value; }
    TRVFixMarginsMode FixMarginsMode() const { return PrintableRV->FixMarginsMode; }
    void SetFixMarginsMode(TRVFixMarginsMode Value) { PrintableRV->FixMarginsMode = Value; }

    // The source's document: its items are shared, its margins and looks
    // taken; nothing is formatted here.
    void AssignSource(TCustomRVFormattedData& Source);
    TCustomRVFormattedData* SourceView() const { return FSourceView; }
    void Clear() override;
    // Where pages 2 and on begin in the source.
    std::vector<TRVPageStartPlace> SoftPageBreaks() const;

protected:
    std::unique_ptr<TCustomPrintableRV> CreatePrintableRV() override;

private:
    TPrintableRV& Printable() const { return static_cast<TPrintableRV&>(*PrintableRV); }
    void CheckMargins(int Left, int Right, int Top, int Bottom, const char* Name) const;
    TCustomRVFormattedData* FSourceView = nullptr;
};
