// The report document of the results windows: the report HTML read into a
// document of the engine with a style sheet of its own, laid out at a width
// on a canvas, drawn a stretch of its height at a time (on screen and on
// printed pages), and written as RTF and as plain text. The engine stays
// behind this header, so controls can hold a report.
#pragma once

#include <memory>
#include <vector>

#include "app/results/ReportHtml.h"
#include "platform/canvas/Graphics.h"

class TCustomRVFormattedData;
class TReportData;

class TReportDocument {
public:
    TReportDocument();
    ~TReportDocument();
    TReportDocument(const TReportDocument&) = delete;
    TReportDocument& operator=(const TReportDocument&) = delete;

    // Replaces the document; pictures are read from their files now.
    void LoadHtml(const AnsiString& Html, const TReportHtmlOptions& Options = {});
    void ClearDocument();
    bool Empty() const;
    // Lays the document out on Canvas at Width pixels; Canvas must live
    // until the next layout.
    void Layout(TCanvas* Canvas, int Width);
    // The height of the laid-out document.
    int LayoutHeight() const;
    // Draws the laid-out document from its line Top down to (not including)
    // Bottom, placing its point (0, Top) at (X, Y) of Canvas.
    void Draw(TCanvas& Canvas, int X, int Y, int Top, int Bottom, bool Printing) const;
    // Where pages of Height pixels begin, in document lines: never inside a
    // line, unless a line is taller than a page.
    std::vector<int> PageTops(int Height) const;
    // The text: paragraphs ended by CR LF.
    AnsiString Text();
    // Written beside the file and renamed over it; false on failure.
    bool SaveRtfFile(const AnsiString& FileName);
    // The engine's document with its style sheet, for checks.
    TCustomRVFormattedData& Data() const;

private:
    std::unique_ptr<TReportData> FData;
};
