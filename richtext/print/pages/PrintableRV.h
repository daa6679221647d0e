// The printable control: the hidden host of a printout's data. It borrows
// the items of a source document, keeps the looks and margins taken from
// the source, the page margins in millimetres, the footnote and endnote
// copies, and formats, paginates and draws the pages on a printer device.
// It is a model: the print component above it owns it and wires the
// printer and the events in.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "richtext/print/pages/PtblRVData.h"

// What the printout needs of a printer: a canvas to measure and draw on
// (nil when there is no printer) and the paper's geometry in device pixels.
class TRVPrinterDevice {
public:
    virtual ~TRVPrinterDevice() = default;
    virtual TCanvas* Canvas() = 0;
    virtual int PageWidth() = 0;
    virtual int PageHeight() = 0;
    virtual int PhysicalWidth() = 0;
    virtual int PhysicalHeight() = 0;
    virtual int PhysicalOffsetX() = 0;
    virtual int PhysicalOffsetY() = 0;
    virtual int PixelsPerInchX() = 0;
    virtual int PixelsPerInchY() = 0;
};

// One page of endnotes: the endnote drawn first there (-1: none) and its
// page.
struct TRVEndnotePage {
    int32_t EndnoteIndex = -1;
    int32_t PageNo = -1;
};

class TRVFootnoteList {
public:
    std::vector<std::unique_ptr<TRVFootnotePtblRVData>> Items;
    // Items are sorted by the footnote item's address.
    TRVFootnotePtblRVData* Find(const TRVFootnoteItemInfo* Footnote) const;
};

class TRVEndnoteList {
public:
    std::vector<std::unique_ptr<TRVEndnotePtblRVData>> Items;
    std::vector<TRVEndnotePage> Pages;
};

using TRVPagePaintEvent = std::function<void(int PageNo, TCanvas& Canvas, bool Preview, const TRect& PageRect,
                                             const TRect& PrintAreaRect)>;

class TCustomPrintableRV : public TObject {
public:
    TCustomPrintableRV();
    ~TCustomPrintableRV() override;

    // ---- taken from the source view (screen pixels)
    TRVStyle* Style = nullptr;
    TRVOptions Options = RVDefaultOptions;
    int32_t LeftMargin = 5;
    int32_t RightMargin = 5;
    TColor Color = clWindow;
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    // Bits 2, 5 and 6 (no controls, shared contents, printing).
    uint16_t Flags = rvflNoControls | rvflShareContents | rvflPrinting;

    // ---- the print area, device pixels (set by the page geometry)
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    int32_t NoteSeparatorHeight = 0;
    int32_t NoteLineWidth = 1;
    std::unique_ptr<TRVFootnoteList> Footnotes;
    std::unique_ptr<TRVEndnoteList> Endnotes;

    // ---- settings and events of the print component
    TRVPrinterDevice* Device = nullptr;
    bool PreviewCorrection = true;
    bool ClipMargins = false;
    bool SkipEndnotes = false;
    TRVFixMarginsMode FixMarginsMode = rvfmmAutoCorrect;
    int32_t TextEndY = 0;
    std::function<void(int PageCompleted, TRVPrintingStep Step)> OnFormatting;
    TRVPagePaintEvent OnPagePrepaint;
    TRVPagePaintEvent OnPagePostpaint;

    virtual TCustomMainPtblRVData& RVData() const = 0;
    // The document whose notes are printed.
    TCustomRVData* SourceData() const;

    // Borrows the items of Source and its looks; pages are dropped.
    void AssignSource(TCustomRVFormattedData& Source, TRVStyle* AStyle);
    // Whether the borrowed items are still those of the source: a changed
    // or freed source makes the pages stale.
    bool SourceIntact() const;
    // Drops the pages, the notes and the borrowed items.
    void Clear();

    // Formats and paginates; answers the page count (0 without a printer).
    int FormatPages();
    int GetPagesCount() const;
    int MainPageCount() const { return RVData().PageCount(); }
    // Draws page PageNo (main text, then endnotes from the last text page).
    void DrawPage(int PageNo, TCanvas& Canvas, bool Preview, bool Correction);
    void DrawNoteSeparator(int PageNo, int Y, bool FullWidth, TCanvas& Canvas);
    void DrawEndnotePage(int PageNo, int Index, bool Preview, bool Correction, TCanvas& Canvas);
    TRVFootnotePtblRVData* GetFootnoteRVData(const TRVFootnoteItemInfo* Footnote) const;

    // ---- notes (FormatPages' steps)
    void PrepareFootnotes();
    void PositionFootnotes(int PageNo, TRVFootnoteRefList& List);
    void MoveFootnotesBelowText();
    int FormatEndnotes();

private:
    void FreeNotes();
    std::weak_ptr<const uint64_t> FSourceToken;
    uint64_t FSourceVersion = 0;
    TCustomRVData* FSource = nullptr;
};

// The page margins in millimetres and the page drawing of the main text.
class TPrintableRV : public TCustomPrintableRV {
public:
    TPrintableRV();
    ~TPrintableRV() override;
    bool MirrorMargins = false;
    int32_t LeftMarginMM = 20;
    int32_t RightMarginMM = 20;
    int32_t TopMarginMM = 20;
    int32_t BottomMarginMM = 20;

    TCustomMainPtblRVData& RVData() const override { return *FRVData; }
    TPrintableRVData& PrintableData() const { return *FRVData; }

private:
    std::unique_ptr<TPrintableRVData> FRVData;
};

// A soft page break handed back to the view: where a page begins.
struct TRVPageStartPlace {
    int32_t ItemNo = 0;
    int32_t Offset = 0;
    int32_t ExtraData = -1;
};
// The beginnings of pages 2 and on of a paginated printout.
std::vector<TRVPageStartPlace> GetSoftPageBreaks(const TCustomMainPtblRVData& Data);

// Checks a printout's pages (order, ranges, parts); raises
// EZoroZudoError naming the first fault.
void RVCheckPrintout(const TCustomPrintableRV& RV);
