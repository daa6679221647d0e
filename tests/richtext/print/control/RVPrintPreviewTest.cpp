// The print preview control over a three-page printout of the recording
// printer: the zoom in every mode and its bounds, the click switch, page
// stepping, the painted sheet and page, and the cached page picture.
#include <gtest/gtest.h>

#include <QTest>

#include "DialogTesting.h"
#include "platform/gui/ScrollBars.h"
#include "platform/testing/RecordingPrinter.h"
#include "richtext/engine/RVLayoutTestData.h"
#include "richtext/print/control/RVPrint.h"
#include "richtext/print/control/RVPrintPreview.h"

namespace {

constexpr int PreviewWidth = 500;
constexpr int PreviewHeight = 400;

class RVPrintPreviewTest : public ::testing::Test {
public:
    RVPrintPreviewTest() : Style(MakeLayoutStyle()), Source(Style.get(), &ScreenCanvas), Print(nullptr) {
        RVRegisterDocumentItemClasses();
        Printer.Border = TRect(120, 90, 60, 150);
        Source.Width = 600;
        for (int i = 0; i < 150; ++i)
            Source.AddTextItem("line " + IntToStr(i), 0, 0);
        Print.AssignSource(Source);
        Pages = Print.FormatPages();
        Form.SetBounds(0, 0, PreviewWidth + 40, PreviewHeight + 40);
        Preview = new TRVPrintPreview(&Form);
        Preview->SetParent(&Form);
        Preview->SetBounds(10, 10, PreviewWidth, PreviewHeight);
    }

    void Show() { ShowWindow(Form); }
    // The page at 100 %, screen pixels, as the component reports it.
    int W() const { return Print.GetPageWidthOnScreen(); }
    int H() const { return Print.GetPageHeightOnScreen(); }
    TRect M() const { return Print.GetMinimalMargins(true); }
    void Click() {
        QTest::mouseClick(Preview->Widget(), Qt::LeftButton, {}, QPoint(PreviewWidth / 2, PreviewHeight / 2));
        Pump();
    }

    TRecordingPrinter Printer;
    TFixedMetricsCanvas ScreenCanvas;
    std::unique_ptr<TRVStyle> Style;
    TTestFormattedData Source;
    TRVPrint Print;
    int Pages = 0;
    TForm Form{nullptr};
    TRVPrintPreview* Preview = nullptr;
};

// ---------------------------------------------------------------- zoom

TEST_F(RVPrintPreviewTest, TheZoomFollowsItsModeAndStaysWithinTenAndFiveHundred) {
    ASSERT_EQ(Pages, 3);
    Show();
    Preview->SetRVPrint(&Print);
    ASSERT_GT(W(), 0);
    const int margin = Preview->BackgroundMargin;
    const int fit = std::min(MulDiv(PreviewWidth - GetSystemMetrics(SM_CXVSCROLL) - 2 * margin, 100, W()),
                             MulDiv(PreviewHeight - GetSystemMetrics(SM_CYHSCROLL) - 2 * margin, 100, H()));
    // The page width is fitted to the client area beside the vertical bar.
    auto width = [&] { return MulDiv(Preview->ClientWidth() - 2 * margin, 100, W()); };
    struct TCase {
        const char* What;
        TRVZoomMode Mode;
        int Percent; // custom mode only
        int Zoom;    // -1: the page width
        bool HScroll, VScroll;
    } cases[] = {
        {"full page", rvzmFullPage, 0, fit, false, false},
        {"page width", rvzmPageWidth, 0, -1, false, true},
        {"custom", rvzmCustom, 75, 75, true, true},
        {"custom below the least", rvzmCustom, 5, 10, true, true},
        {"custom above the most", rvzmCustom, 900, 500, true, true},
        {"custom at the least", rvzmCustom, 10, 10, true, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.Mode == rvzmCustom)
            Preview->SetZoomPercent(c.Percent);
        else
            Preview->SetZoomMode(c.Mode);
        EXPECT_EQ(Preview->ZoomMode(), c.Mode);
        const int z = c.Zoom < 0 ? width() : c.Zoom;
        EXPECT_EQ(Preview->ZoomPercent(), z);
        EXPECT_EQ(Preview->PageWidth(), MulDiv(W(), z, 100));
        EXPECT_EQ(Preview->PageHeight(), MulDiv(H(), z, 100));
        EXPECT_EQ(Preview->FullWidth(), MulDiv(W() + M().Left + M().Right, z, 100));
        EXPECT_EQ(Preview->FullHeight(), MulDiv(H() + M().Top + M().Bottom, z, 100));
        EXPECT_EQ(Preview->PhysMargins().Left, MulDiv(M().Left, z, 100));
        EXPECT_EQ(Preview->PhysMargins().Bottom, MulDiv(M().Bottom, z, 100));
        EXPECT_EQ(Preview->DocumentAreaWidth(), c.HScroll ? 2 * margin + Preview->FullWidth() : 10);
        EXPECT_EQ(Preview->DocumentAreaHeight(), c.VScroll ? 2 * margin + Preview->FullHeight() : 10);
    }
}

TEST_F(RVPrintPreviewTest, ThePageFitsAgainWhenTheControlChangesSize) {
    Show();
    Preview->SetRVPrint(&Print);
    const int before = Preview->ZoomPercent();
    Preview->SetBounds(10, 10, PreviewWidth / 2, PreviewHeight / 2);
    EXPECT_LT(Preview->ZoomPercent(), before);
    // So small that the fit would be below the least zoom.
    Preview->SetBounds(10, 10, 50, 50);
    EXPECT_EQ(Preview->ZoomPercent(), RVMinZoomPercent);
}

TEST_F(RVPrintPreviewTest, WithoutFormattedPagesAZoomIsOnlyKeptAndNothingIsAnnounced) {
    int changes = 0;
    Preview->OnZoomChanged = [&](TObject*) { ++changes; };
    Preview->SetZoomPercent(75);
    EXPECT_EQ(Preview->ZoomPercent(), 75);
    EXPECT_EQ(Preview->FullWidth(), 0);
    EXPECT_EQ(changes, 0);

    Print.Clear(); // assigned, but not ready
    Preview->SetRVPrint(&Print);
    Preview->SetZoomMode(rvzmFullPage);
    EXPECT_EQ(Preview->ZoomPercent(), 75);
    EXPECT_EQ(changes, 0);
}

TEST_F(RVPrintPreviewTest, TheSameZoomAgainIsNotAnnounced) {
    Show();
    Preview->SetRVPrint(&Print);
    std::vector<int> seen;
    Preview->OnZoomChanged = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Preview);
        seen.push_back(Preview->ZoomPercent());
    };
    Preview->SetZoomPercent(80);
    Preview->SetZoomPercent(80);
    Preview->SetZoomPercent(900);
    Preview->SetZoomPercent(600); // held at 500 again
    EXPECT_EQ(seen, (std::vector<int>{80, 500}));
}

TEST_F(RVPrintPreviewTest, AClickSwitchesBetweenAHundredAndThePreviousZoom) {
    Show();
    // A new control at 100 % goes to its previous zoom, 50.
    Preview->SetZoomPercent(100);
    Preview->SetRVPrint(&Print);
    EXPECT_EQ(Preview->ZoomPercent(), 100);
    EXPECT_EQ(Preview->Cursor(), crRVZoomOut);
    Click();
    EXPECT_EQ(Preview->ZoomPercent(), 50);
    EXPECT_EQ(Preview->Cursor(), crRVZoomIn);

    Preview->SetZoomMode(rvzmFullPage);
    const int fit = Preview->ZoomPercent();
    ASSERT_NE(fit, 100);
    Click();
    EXPECT_EQ(Preview->ZoomPercent(), 100);
    EXPECT_EQ(Preview->PrevZoom(), fit);
    EXPECT_EQ(Preview->ZoomMode(), rvzmCustom);
    Click();
    EXPECT_EQ(Preview->ZoomPercent(), fit);
    EXPECT_EQ(Preview->ZoomMode(), rvzmCustom);

    Preview->SetClickMode(rvcmNone);
    EXPECT_EQ(Preview->Cursor(), crDefault);
    Click();
    EXPECT_EQ(Preview->ZoomPercent(), fit);
}

// ---------------------------------------------------------------- pages

TEST_F(RVPrintPreviewTest, PagesStepWithinTheDocument) {
    // Without pages only First works.
    Preview->SetPageNo(2);
    Preview->Next();
    Preview->Last();
    EXPECT_EQ(Preview->PageNo(), 2);
    Preview->First();
    EXPECT_EQ(Preview->PageNo(), 1);

    Preview->SetRVPrint(&Print);
    struct TStep {
        void (TCustomRVPrintPreview::*Step)();
        int Page;
    } steps[] = {
        {&TCustomRVPrintPreview::Prev, 1}, {&TCustomRVPrintPreview::Next, 2},
        {&TCustomRVPrintPreview::Next, 3}, {&TCustomRVPrintPreview::Next, 3},
        {&TCustomRVPrintPreview::Prev, 2}, {&TCustomRVPrintPreview::First, 1},
        {&TCustomRVPrintPreview::Last, 3},
    };
    for (const TStep& s : steps) {
        (Preview->*s.Step)();
        EXPECT_EQ(Preview->PageNo(), s.Page);
    }
}

// ---------------------------------------------------------------- painting

// The Text calls of a log.
std::vector<AnsiString> Texts(const TRecordingCanvas& Canvas) {
    return Canvas.Calls("Text ");
}

TEST_F(RVPrintPreviewTest, ThePaintedSheetHoldsThePageScaledIntoItsPrintableArea) {
    Show();
    Preview->SetRVPrint(&Print);
    Preview->SetZoomPercent(50);
    Preview->PrintableAreaPen()->SetStyle(TPenStyle::psSolid);
    Preview->MarginsPen()->SetStyle(TPenStyle::psDot);
    const TRect sheet = Preview->SheetRect(), area = Preview->PageAreaRect();
    EXPECT_EQ(sheet.Width(), Preview->FullWidth());
    EXPECT_EQ(area.Left - sheet.Left, Preview->PhysMargins().Left);
    EXPECT_EQ(area.Width(), Preview->PageWidth());

    TRecordingCanvas canvas;
    Preview->SetPageNo(2);
    Preview->PaintPreview(canvas);
    const auto fills = canvas.Calls("Fill ");
    ASSERT_GE(fills.size(), 3u);
    auto at = [](const TRect& R) {
        return IntToStr(R.Left) + "," + IntToStr(R.Top) + "-" + IntToStr(R.Right) + "," + IntToStr(R.Bottom);
    };
    TRect shadow = sheet;
    OffsetRect(shadow, 4, 4);
    EXPECT_EQ(fills[0].substr(0, fills[0].find(' ', 5)), "Fill " + at(Preview->ClientRect()));
    EXPECT_EQ(fills[1].substr(0, fills[1].find(' ', 5)), "Fill " + at(shadow));
    EXPECT_EQ(fills[2].substr(0, fills[2].find(' ', 5)), "Fill " + at(sheet));
    // The sheet's border, the printable area and the margins are outlined.
    const auto rectangles = canvas.Calls("Rectangle ");
    ASSERT_EQ(rectangles.size(), 3u);
    EXPECT_EQ(rectangles[0].substr(0, rectangles[0].find(' ', 10)), "Rectangle " + at(sheet));

    // Page 2's lines, inside the printable area and smaller than on paper.
    const auto texts = Texts(canvas);
    ASSERT_FALSE(texts.empty());
    const TCustomMainPtblRVData& data = Print.PrintableRV->RVData();
    const int first = data.DrawItems[data.Pages->Page(2).FirstDrawItem]->ItemNo;
    bool pageTwo = false;
    for (const AnsiString& t : texts) {
        int x = 0, y = 0;
        ASSERT_EQ(sscanf(t.c_str(), "Text %d,%d", &x, &y), 2) << t;
        EXPECT_TRUE(x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom) << t;
        if (t.find("'line " + IntToStr(first)) != AnsiString::npos) pageTwo = true;
        EXPECT_EQ(t.find("'line 0'"), AnsiString::npos) << "page 1 drawn on page 2";
    }
    EXPECT_TRUE(pageTwo);
}

TEST_F(RVPrintPreviewTest, TheBorderAndTheShadowCanBeLeftOut) {
    Show();
    Preview->SetRVPrint(&Print);
    Preview->PageBorderColor = clNone;
    Preview->ShadowWidth = 0;
    TRecordingCanvas canvas;
    Preview->PaintPreview(canvas);
    EXPECT_TRUE(canvas.Calls("Rectangle ").empty());
    const auto fills = canvas.Calls("Fill ");
    ASSERT_GE(fills.size(), 2u);
    EXPECT_NE(fills[1].find("brush=FFFFFF"), AnsiString::npos) << fills[1];
}

TEST_F(RVPrintPreviewTest, ThePageIsDrawnOnTheScreenThroughTheControlsBuffer) {
    Show();
    Preview->SetRVPrint(&Print);
    Preview->SetZoomPercent(100);
    TBitmap shot(Preview->Width(), Preview->Height());
    Preview->PaintTo(shot.Canvas(), 0, 0);
    const TRect area = Preview->PageAreaRect();
    // Background around the sheet, white paper, and the dark glyphs of the
    // first lines in the printable area, below the top margin.
    EXPECT_EQ(shot.Pixel(3, 3), ColorToRGB(clBtnShadow));
    int dark = 0;
    for (int y = std::max(area.Top, 0); y < std::min(area.Bottom, PreviewHeight); ++y)
        for (int x = std::max(area.Left, 0); x < std::min(area.Right, PreviewWidth); ++x)
            if ((shot.Pixel(x, y) & 0xFF) < 0x80) ++dark;
    EXPECT_GT(dark, 20);
}

TEST_F(RVPrintPreviewTest, TheCachedPageIsDrawnAgainOnlyForAnotherPageSizeOrPagination) {
    Show();
    Preview->SetRVPrint(&Print);
    Preview->CachePageImage = true;
    TRecordingCanvas canvas;
    auto paint = [&] {
        canvas.Log.clear();
        Preview->PaintPreview(canvas);
        return Preview->PageRenderCount();
    };
    EXPECT_EQ(paint(), 1);
    EXPECT_EQ(canvas.Calls("Bitmap ").size(), 1u);
    EXPECT_TRUE(Texts(canvas).empty());
    EXPECT_EQ(paint(), 1);
    Print.FormatPages();
    EXPECT_EQ(paint(), 2);
    Preview->Next();
    EXPECT_EQ(paint(), 3);
    Preview->SetZoomPercent(Preview->ZoomPercent() + 10);
    EXPECT_EQ(paint(), 4);
    EXPECT_EQ(paint(), 4);
}

TEST_F(RVPrintPreviewTest, AFreedPrintComponentLeavesThePreviewEmpty) {
    auto print = std::make_unique<TRVPrint>(nullptr);
    print->AssignSource(Source);
    print->FormatPages();
    Preview->SetRVPrint(print.get());
    print.reset();
    EXPECT_EQ(Preview->RVPrint(), nullptr);
    TRecordingCanvas canvas;
    Preview->PaintPreview(canvas);
    EXPECT_EQ(canvas.Calls("Fill ").size(), 1u);
}

} // namespace
