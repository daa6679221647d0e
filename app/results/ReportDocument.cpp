// The report document: the engine's document behind it, reading, layout,
// drawing by stretches and pages, and the writers.
#include "app/results/ReportDocument.h"

#include <algorithm>

#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/style/RVStyle.h"
#include "richtext/engine/text/RVClasses.h"

// A top-level document without a window: no margins, no scrolling.
class TReportData : public TCustomRVFormattedData {
public:
    TReportData() : Style(std::make_unique<TRVStyle>(nullptr)) {}
    ~TReportData() override { Clear(); }

    std::unique_ptr<TRVStyle> Style;
    TCanvas* Canvas = nullptr;
    uint16_t Flags = rvflTrim;
    int Width = 0;
    int AreaWidth = 0;
    int AreaHeight = 0;

    TRVStyle* GetRVStyle() const override { return Style.get(); }
    uint16_t GetFlags() const override { return Flags; }
    void SetFlags(uint16_t Value) override { Flags = Value; }
    TRVOptions GetOptions() const override { return RVDefaultOptions; }
    int GetMaxLength() const override { return 0; }
    bool GetWordWrap() const override { return true; }
    TCanvas* GetCanvas() const override { return Canvas; }
    int GetAreaWidth() const override { return AreaWidth; }
    int GetAreaHeight() const override { return AreaHeight; }
    int GetLeftMargin() const override { return 0; }
    int GetRightMargin() const override { return 0; }
    int GetTopMargin() const override { return 0; }
    int GetBottomMargin() const override { return 0; }
    int GetMinTextWidth() const override { return 0; }
    int GetMaxTextWidth() const override { return 0; }
    int GetWidth() const override { return Width; }
    int GetHeight() const override { return 0; }
    void SetDocumentAreaSize(int W, int H, bool) override {
        AreaWidth = W;
        AreaHeight = H;
    }
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    int GetVSmallStep() const override { return 10; }
    TRVBackground* GetBackground() const override { return nullptr; }
};

TReportDocument::TReportDocument() : FData(std::make_unique<TReportData>()) {}

TReportDocument::~TReportDocument() = default;

TCustomRVFormattedData& TReportDocument::Data() const {
    return *FData;
}

bool TReportDocument::Empty() const {
    return FData->ItemCount() == 0;
}

void TReportDocument::LoadHtml(const AnsiString& Html, const TReportHtmlOptions& Options) {
    // The old layout belongs to the old items and styles.
    ClearDocument();
    ReadReportHtml(Html, *FData, *FData->Style, Options);
}

void TReportDocument::ClearDocument() {
    FData->Clear();
    FData->AreaWidth = FData->AreaHeight = 0;
}

void TReportDocument::Layout(TCanvas* Canvas, int Width) {
    FData->Canvas = Canvas;
    FData->Width = std::max(Width, 1);
    if (Empty()) {
        FData->DrawItems.Clear();
        return;
    }
    FData->FormatDocument(false, true, false, 0, nullptr, false, true, false);
}

int TReportDocument::LayoutHeight() const {
    const TRVDrawLines& DrawItems = FData->DrawItems;
    int height = 0;
    for (int i = 0; i < DrawItems.Count(); ++i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        height = std::max(height, d.Top + d.Height + d.ExtraSpaceBelow);
    }
    return height;
}

void TReportDocument::Draw(TCanvas& Canvas, int X, int Y, int Top, int Bottom, bool Printing) const {
    TRVStyle& style = *FData->Style;
    const TRVDrawLines& DrawItems = FData->DrawItems;
    for (int i = 0; i < DrawItems.Count(); ++i) {
        TRVDrawLineInfo& d = *DrawItems[i];
        if (d.Top + d.Height <= Top || d.Top >= Bottom) continue;
        TCustomRVItemInfo& item = FData->LiveItem(d.ItemNo);
        const int x = X + d.Left, y = Y + d.Top - Top;
        if (item.StyleNo >= 0) {
            const int styleNo = FData->GetActualStyle(item);
            style.ApplyStyle(Canvas, styleNo, rvbdUnspecified, false, nullptr, false);
            style.ApplyStyleColor(Canvas, styleNo, 0, Printing, rvcmColor);
            Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
            style.TextStyles()[styleNo]->Draw(DrawItems.GetDrawItemText(i, *FData->ItemList),
                                              item.ItemOptions, Canvas, styleNo, d.SpaceBefore, x, y, d.Width,
                                              d.Height, style, 0, Printing, false, rvcmColor,
                                              rvbdUnspecified);
        } else if (auto* rule = dynamic_cast<TRVBreakItemInfo*>(&item)) {
            // A rule across the line, in the middle of its height.
            Canvas.Pen()->SetColor(rule->Color == clNone ? clBlack : rule->Color);
            Canvas.Pen()->SetStyle(TPenStyle::psSolid);
            Canvas.Pen()->SetWidth(std::max(1, int(rule->LineWidth)));
            Canvas.MoveTo(x, y + d.Height / 2);
            Canvas.LineTo(x + d.Width, y + d.Height / 2);
        } else {
            item.Paint(x, y, Canvas, 0, style, &d);
        }
    }
}

std::vector<int> TReportDocument::PageTops(int Height) const {
    const TRVDrawLines& DrawItems = FData->DrawItems;
    std::vector<int> tops{0};
    if (Height <= 0) return tops;
    const int total = LayoutHeight();
    int pageTop = 0;
    // A page ends before the first line that does not fit on it whole.
    int lineTop = 0, lineBottom = 0;
    for (int i = 0; i <= DrawItems.Count(); ++i) {
        const bool end = i == DrawItems.Count();
        if (end || DrawItems[i]->FromNewLine) {
            if (lineBottom > pageTop + Height && lineTop > pageTop) {
                pageTop = lineTop;
                tops.push_back(pageTop);
            }
            while (lineBottom > pageTop + Height) {
                // A line taller than a page is cut.
                pageTop += Height;
                tops.push_back(pageTop);
            }
            if (end) break;
            lineTop = DrawItems[i]->Top;
            lineBottom = lineTop;
        }
        const TRVDrawLineInfo& d = *DrawItems[i];
        lineTop = std::min(lineTop, d.Top);
        lineBottom = std::max(lineBottom, d.Top + d.Height);
    }
    while (!tops.empty() && tops.size() > 1 && tops.back() >= total)
        tops.pop_back();
    return tops;
}

AnsiString TReportDocument::Text() {
    TRVMemoryStream stream;
    FData->SaveTextStream("", stream, 80, false, true, false, false);
    return AnsiString(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

bool TReportDocument::SaveRtfFile(const AnsiString& FileName) {
    return FData->SaveRtfFile(FileName, false, clWindow);
}
