// Printable copies of a document: data that borrow the items of a source
// document, are formatted on the printer's canvas in device pixels and cut
// into pages (the main text, each footnote and each endnote), with their
// page records, page geometry, pagination and page drawing.
#pragma once

#include <memory>
#include <vector>

#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/layout/CRVFData.h"

class TCustomPrintableRV;
class TRVFootnotePtblRVData;
class TCustomMainPtblRVData;

enum TRVPrintingStep : uint8_t { rvpsStarting, rvpsProceeding, rvpsFinished };
enum TRVFixMarginsMode : uint8_t { rvfmmAutoCorrect, rvfmmIgnore };

// The footnotes of one page (or of the page being filled); entries are not
// owned.
class TRVFootnoteRefList {
public:
    int Count() const { return int(Items.size()); }
    TRVFootnotePtblRVData* operator[](int Index) const { return Items[std::size_t(Index)]; }
    void Add(TRVFootnotePtblRVData* Data) { Items.push_back(Data); }
    void Delete(int Index) { Items.erase(Items.begin() + Index); }
    // Searched from the last entry down; -1 when absent.
    int IndexOfFootnote(const TRVFootnoteItemInfo* Footnote) const;
    // In the order of the footnotes' numbers.
    void SortByNumbers();
    std::vector<TRVFootnotePtblRVData*> Items;
};

// One printed page of a multi-page data.
class TRVPageInfo {
public:
    int32_t TopY = 0;
    int32_t FirstDrawItem = 0;
    // 0: the page begins at a drawing item; else the 1-based part of the
    // split item FirstDrawItem that begins it.
    int32_t FirstPart = 0;
    int32_t ContinuedTopY = 0;
    int32_t ContentHeight = 0;
    std::unique_ptr<TRVFootnoteRefList> FootnoteList;
    void Assign(const TRVPageInfo& Source);
};

// Pages numbered from 1.
class TRVPageCollection {
public:
    int Count() const { return int(FPages.size()); }
    TRVPageInfo& Page(int PageNo) const;
    TRVPageInfo& Add();
    void Clear() { FPages.clear(); }
    // Drops the pages after Count.
    void Truncate(int Count);

private:
    std::vector<std::unique_ptr<TRVPageInfo>> FPages;
};

// Where pagination stands between two calls of FormatNextPage.
struct TRVPaginationState {
    int NextDrawItem = 0;
    int StartOffset = 0;
    int PageTop = 0;
    int Bottom = 0;
    bool Splitting = false;
};

class TCustomPrintableRVData : public TCustomRVFormattedData {
public:
    explicit TCustomPrintableRVData(TCustomPrintableRV* ARV);
    ~TCustomPrintableRVData() override;

    TCustomPrintableRV* RV;
    TRVDrawLineInfo* CurrentDrawItem = nullptr;
    int32_t CurrentYShift = 0;
    int32_t CurrentPage = 0;
    bool NoBackground = false;

    // ---- what the engine asks; the printable control answers by default
    TRVStyle* GetRVStyle() const override;
    uint16_t GetFlags() const override;
    void SetFlags(uint16_t Value) override;
    TRVOptions GetOptions() const override;
    bool SharesItems() const override { return true; }
    int GetAreaWidth() const override { return GetWidth(); }
    int GetAreaHeight() const override { return GetHeight(); }
    int GetLeftMargin() const override;
    int GetRightMargin() const override;
    int GetTopMargin() const override { return 0; }
    int GetBottomMargin() const override { return 0; }
    int GetMinTextWidth() const override { return 0; }
    int GetMaxTextWidth() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetDocumentAreaSize(int, int, bool) override {}
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    int GetVSmallStep() const override { return 1; }
    TRVBackground* GetBackground() const override { return nullptr; }
    TColor GetColor() const override;
    TCanvas* GetCanvas() const override;
    void GetDeviceScaling(TCanvas& Canvas, TRVScreenDeviceResolution& Resolution) const override;

    // ---- pages
    virtual int GetPageTop(int) const { return 0; }
    virtual int GetTopOffset() const { return 0; }
    virtual int GetPageTop2(int) const { return 0; }
    virtual int GetPageLeft(int) const { return 0; }
    virtual void BeforeDrawPage(TCanvas&, int, bool, bool) {}
    virtual void AfterDrawPage(TCanvas&, int, bool) {}
    virtual void CheckPageNo(int) const {}
    virtual TRVColorMode GetColorMode() const { return rvcmPrinterColor; }
    virtual bool HasPage(int) const { return true; }
    // The drawing items of the page: the first, the part of the first shown
    // there (-1: none), the last.
    virtual void GetPageDrawItems(int PageNo, int& First, int& FirstPart, int& Last) const;
    virtual void DrawPage(int PageNo, TCanvas& Canvas, bool Preview, bool Correction);
    // Fills an item's bitmap with what lies under it on the page.
    virtual void DrawItemToBitmap(int X, int Y, TBitmap& Bitmap, const TRVScreenDeviceResolution& Resolution,
                                  bool Relative);
    virtual TCustomRVData* GetSourceData() const { return nullptr; }
    virtual bool IsNoteData() const { return false; }
    // The main printable data of the printable control.
    TCustomMainPtblRVData* MainData() const;

protected:
    void DrawParaBack(TCanvas& Canvas, int PageNo, int DrawItemNo, int Last, int Part, int Y0, int X0,
                      const TRVScreenDeviceResolution& Resolution);
    void DrawPageItem(TCanvas& Canvas, int DrawItemNo, int First, int Part, int Y0, int X0, bool Preview,
                      bool Correction, const TRVScreenDeviceResolution& Resolution);

private:
    // The text style the canvas holds while a page is drawn; -1: unknown.
    int FDrawnStyleNo = -1;
    TRVBiDiMode FDrawnBiDiMode = rvbdUnspecified;
};

class TCustomMultiPagePtblRVData : public TCustomPrintableRVData {
public:
    using TCustomPrintableRVData::TCustomPrintableRVData;

    int32_t PageToSave = 0;
    std::unique_ptr<TRVPageCollection> Pages;

    virtual void DoFormatting(int, TRVPrintingStep) {}
    virtual int GetFirstPageStart() const { return 0; }
    virtual int GetNextPageStart() const { return 0; }
    virtual void SetEndY(int) {}
    virtual void AdjustEndY(int) {}
    virtual bool AllowsBreakBeforePageStart() const { return true; }

    int PageCount() const { return Pages ? Pages->Count() : 0; }
    void GetPageDrawItems(int PageNo, int& First, int& FirstPart, int& Last) const override;
    int GetPageTop(int PageNo) const override;
    int GetPageTop2(int PageNo) const override;
    bool HasPage(int PageNo) const override;
    void ResetFormatting() override;

    // ---- pagination
    // Fills the last page of Pages and usually adds the next one.
    void FormatNextPage(TRVPaginationState& State, int& Height, TRVFootnoteRefList*& Footnotes,
                        bool CountFootnotes);
    // Whether the document's first line, and what must stay with it, fits
    // into Height.
    bool StartFitsInHeight(int& Height, bool LinesOnly, const TRVScreenDeviceResolution& Resolution,
                           bool& ListExists, bool CountFootnotes);
    // The bottom of drawing item i's line with its paragraph's space after;
    // the top of its line less its paragraph's space before.
    int LineBottom(int DrawItemNo) const;
    int LineTop(int DrawItemNo) const;
    // The printable copy of a footnote, from the printable control.
    TRVFootnotePtblRVData* GetFootnoteRVData(const TRVFootnoteItemInfo* Footnote) const;
    int GetNoteSeparatorHeight() const;

protected:
    int SpaceBefore(int DrawItemNo, const TRVScreenDeviceResolution& Resolution) const;
    int SpaceAfter(int DrawItemNo, const TRVScreenDeviceResolution& Resolution) const;
    TRVParaOptions ParaOptions(int DrawItemNo) const;
    // Gives the page its footnote list and places the footnotes (main text).
    virtual void PageCompleted(int, TRVFootnoteRefList*&) {}

private:
    bool BreakPage(TRVPaginationState& State, int& Height, TRVFootnoteRefList*& Footnotes,
                   bool CountFootnotes, bool MultiPage, bool BeforeNotes,
                   const TRVScreenDeviceResolution& Resolution);
    void SetContentHeight(TRVPageInfo& Page, int Bottom) const;
    bool CanSplitAtStart(int DrawItemNo, int Room, const TRVScreenDeviceResolution& Resolution,
                         bool ListExists, bool CountFootnotes);
    void SubtractLineFootnotes(int DrawItemNo, int& Height, bool& ListExists);
};

class TCustomMainPtblRVData : public TCustomMultiPagePtblRVData {
public:
    explicit TCustomMainPtblRVData(TCustomPrintableRV* ARV);

    TCanvas* PrinterCanvas = nullptr;
    int32_t SourceTopMarginPx = 0;
    int32_t SourceBottomMarginPx = 0;
    TRVScreenDeviceResolution Resolution;
    int32_t SourceTopMargin = 0;
    int32_t SourceBottomMargin = 0;
    bool TransparentBackground = false;
    int32_t LeftMarginPx = 0;
    int32_t TopMarginPx = 0;
    int32_t RightMarginPx = 0;
    int32_t BottomMarginPx = 0;
    int32_t PhysicalOffsetX = 0;
    int32_t PhysicalOffsetY = 0;
    int32_t UnprintableRight = 0;
    int32_t UnprintableBottom = 0;
    TRVColorMode ColorMode = rvcmPrinterColor;
    bool HasPrinterCanvas = false;

    virtual TCanvas* CreatePrinterCanvas() { return nullptr; }
    virtual void FreePrinterCanvas(TCanvas*) {}
    virtual void PrepareGeometry();
    virtual int GetPageWidth() const { return 0; }
    virtual int GetPageHeight() const { return 0; }

    void GetDeviceScaling(TCanvas&, TRVScreenDeviceResolution& AResolution) const override {
        AResolution = Resolution;
    }
    TColor GetColor() const override;
    TCanvas* GetCanvas() const override { return PrinterCanvas; }
    int GetPageTop(int PageNo) const override;
    int GetPageTop2(int PageNo) const override;
    int GetPageLeft(int) const override { return LeftMarginPx; }
    int GetTopOffset() const override { return TopMarginPx; }
    TRVColorMode GetColorMode() const override { return ColorMode; }
    void CheckPageNo(int PageNo) const override;
    void DrawPage(int PageNo, TCanvas& Canvas, bool Preview, bool Correction) override;
    void AfterDrawPage(TCanvas& Canvas, int PageNo, bool Preview) override;
    TCustomRVData* GetSourceData() const override;
    void SetEndY(int Value) override;
    void DoFormatting(int PageCompleted, TRVPrintingStep Step) override;

    // Formatting on the printer canvas: false without a printer.
    bool StartFormatting();
    void EndFormatting();
    // Cuts the main text into pages; answers their count.
    int Paginate();

protected:
    void PageCompleted(int PageNo, TRVFootnoteRefList*& Footnotes) override;
};

class TPrintableRVData : public TCustomMainPtblRVData {
public:
    using TCustomMainPtblRVData::TCustomMainPtblRVData;

    int32_t MirroredLeftMarginPx = 0;
    int32_t HeaderYMM = 10;
    int32_t FooterYMM = 10;

    TCanvas* CreatePrinterCanvas() override;
    void FreePrinterCanvas(TCanvas* Canvas) override;
    void PrepareGeometry() override;
    int GetPageWidth() const override;
    int GetPageHeight() const override;
    int GetPageLeft(int PageNo) const override;
    void BeforeDrawPage(TCanvas& Canvas, int PageNo, bool Preview, bool Correction) override;
    void AfterDrawPage(TCanvas& Canvas, int PageNo, bool Preview) override;

private:
    TRect PrintAreaRect(int PageNo) const;
    TRect PageRect() const;
};

// Data drawn into a rectangle of a page.
class TRectPtblRVData : public TCustomMultiPagePtblRVData {
public:
    TRectPtblRVData(TCustomPrintableRV* ARV, TCustomPrintableRVData* AParentData, TCustomRVData* ASourceData);

    TCustomRVData* SourceData;
    TCustomPrintableRVData* ParentData;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t DX = 0;
    int32_t DY = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Transparent = false;
    TColor Color = clNone;

    int GetWidth() const override { return Width; }
    int GetHeight() const override { return Height; }
    int GetLeftMargin() const override { return 0; }
    int GetRightMargin() const override { return 0; }
    int GetMaxTextWidth() const override { return 0; }
    TColor GetColor() const override { return Color; }
    TCanvas* GetCanvas() const override;
    TCustomRVData* GetParentData() const override { return ParentData; }
    TCustomRVData* GetOuterParentData() const override { return ParentData; }
    TCustomRVData* GetRootData() const override { return ParentData->GetRootData(); }
    TCustomRVData* GetOuterRootData() const override { return ParentData->GetOuterRootData(); }
    TCustomRVData* GetSourceData() const override { return SourceData; }
    bool IsNoteData() const override { return ParentData->IsNoteData(); }
    int GetPageTop(int PageNo) const override;
    int GetPageTop2(int PageNo) const override;
    int GetPageLeft(int) const override { return Left + DX; }
    int GetTopOffset() const override { return Top + DY; }
    TRVColorMode GetColorMode() const override;
    void DrawItemToBitmap(int X, int Y, TBitmap& Bitmap, const TRVScreenDeviceResolution& Resolution,
                          bool Relative) override;
};

class TRVFootnotePtblRVData : public TRectPtblRVData {
public:
    using TRectPtblRVData::TRectPtblRVData;
    int32_t NumberOnPage = 0;
    TRVFootnoteItemInfo* Footnote = nullptr;
    TCustomPrintableRVData* RefData = nullptr;
    int32_t RefDrawItemNo = -1;
    bool IsNoteData() const override { return true; }
};

class TRVEndnotePtblRVData : public TCustomMultiPagePtblRVData {
public:
    TRVEndnotePtblRVData(TCustomPrintableRV* ARV, TRVEndnoteItemInfo* AEndnote);

    TRVEndnoteItemInfo* Endnote;
    int32_t FirstPageStartY = 0;
    int32_t NextPagesStartY = 0;
    int32_t EndY = 0;
    bool StartsOnNewPage = false;

    TCustomRVData* GetParentData() const override;
    TCustomRVData* GetOuterParentData() const override { return GetParentData(); }
    TCustomRVData* GetRootData() const override { return GetParentData(); }
    TCustomRVData* GetOuterRootData() const override { return GetParentData(); }
    void GetDeviceScaling(TCanvas& Canvas, TRVScreenDeviceResolution& Resolution) const override;
    TCanvas* GetCanvas() const override;
    TCustomRVData* GetSourceData() const override { return Endnote->Document.get(); }
    bool IsNoteData() const override { return true; }
    bool AllowsBreakBeforePageStart() const override { return false; }
    int GetFirstPageStart() const override { return FirstPageStartY; }
    int GetNextPageStart() const override { return NextPagesStartY; }
    void SetEndY(int Value) override { EndY = Value; }
    void AdjustEndY(int PageNo) override { EndY += PageNo == 1 ? FirstPageStartY : NextPagesStartY; }
    int GetPageTop(int PageNo) const override;
    int GetPageTop2(int PageNo) const override;
    int GetPageLeft(int PageNo) const override;
    int GetTopOffset() const override;
};

// Device pixels of a length in millimetres at a resolution.
int MillimetresToPixels(int Millimetres, int PixelsPerInch);
