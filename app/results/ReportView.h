// The report of the results and dynamics windows behind one seam: a window
// hands it the report HTML, and the report is shown and saved as RTF; the
// rich-text family's print actions print its editor and print component.
// The windows know nothing else of how that is done.
#pragma once

#include "platform/gui/Controls.h"

class TCustomZoroZudoEdit;
class TRVPrint;

class TReportView {
public:
    virtual ~TReportView() = default;

    // The control that shows the report; the window places it. It belongs
    // to the owner the view was made with.
    virtual TWinControl* Control() = 0;
    // Replaces the report by Html (CP1251). The pictures it names are read
    // now: their files may go afterwards. Pages made of the old report are
    // dropped first, so no preview or printout draws its items.
    virtual void ShowHtml(const AnsiString& Html) = 0;
    // An empty report.
    virtual void Clear() = 0;
    virtual bool Empty() const = 0;
    // The report's text, paragraphs ended by CR LF.
    virtual AnsiString Text() = 0;
    // Writes the whole report as RTF; false when it could not be written
    // (an existing file is then kept as it was).
    virtual bool SaveRtf(const AnsiString& FileName) = 0;
    // For the rich-text family's print actions: the read-only editor that
    // holds the report, and the print component that pages it.
    virtual TCustomZoroZudoEdit& Editor() = 0;
    virtual TRVPrint& Printout() = 0;
};

// The report view of this program, its control owned by Owner.
TReportView* CreateReportView(TComponent* Owner);
