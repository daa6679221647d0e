// The print preview window on a real X server, driven through the window
// system under the locale of the run: a three-page report paged with the
// keys, the buttons and a typed page number, zoomed through the zoom box
// and switched by a click, then closed.
#include <gtest/gtest.h>

#include "ScreenDriver.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Printers.h"
#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/view/ZoroZudo.h"
#include "richtext/print/control/PreviewRVFrm.h"
#include "richtext/print/control/RVPrint.h"
#include "support/TestSupport.h"

namespace {

TfrmRVPreview* gPreview = nullptr;

// Paragraphs of a report, in Russian and English, until the printout has
// three pages.
void FillReport(TZoroZudo& Viewer, TRVPrint& Print) {
    TZoroZudoRVData& data = *Viewer.RVData();
    data.AddWideTextTag(u"Результаты теста", 1, 0, 0);
    const std::u16string ru = u"Испытуемый ставит достижения и признание выше условий труда; оплата и "
                              u"руководство значат для него меньше, чем сама работа. ";
    const std::u16string en = u"The testee ranks achievement and recognition above working conditions. ";
    for (int i = 0; Print.GetPagesCount() < 3 && i < 1000; ++i) {
        data.AddWideTextTag((i % 2 ? en : ru) + (i % 2 ? en : ru), 0, 0, 0);
        Viewer.FormatDocument();
        Print.AssignSource(data);
        Print.FormatPages();
    }
}

int RunPreviewWindow() {
    // The printer writes into a file: no printer is needed to measure.
    TTempFolder folder;
    TPrinter* previous = SetPrinter(nullptr);
    Printer()->SetFileName(folder.Path() + "report.pdf");
    TScopeGuard restore([&] {
        Printer()->SetFileName("");
        SetPrinter(previous);
    });
    TRVStyle style(nullptr);
    style.TextStyles().GetItem(0)->Unicode = true;
    TFontInfo* heading = style.TextStyles().Add();
    heading->Assign(style.TextStyles().GetItem(0));
    heading->Size = 14;
    heading->Style = fsBold;
    TForm report(nullptr);
    report.SetBounds(0, 0, 600, 400);
    auto* viewer = new TZoroZudo(&report);
    viewer->SetParent(&report);
    viewer->SetAlign(TAlign::alClient);
    viewer->SetStyle(&style);
    TRVPrint print(&report);
    FillReport(*viewer, print);

    TRVADialogSettings settings;
    settings.Language = RVALanguages().Get("Russian");
    TfrmRVPreview preview(nullptr, settings);
    preview.SetBounds(40, 40, 900, 700);
    preview.rvpp->SetRVPrint(&print);
    preview.actFirst->Execute();
    gPreview = &preview;
    Application->SetMainForm(&preview);
    preview.Show();
    Application->Run();
    gPreview = nullptr;
    return 0;
}

TEST(PreviewOnScreen, PagesAndZooms) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server: run it through tools/on_screen.sh";
    TScreenDriver driver;
    const int result = driver.Run(RunPreviewWindow, [](TScreenDriver& D) {
        TfrmRVPreview* f = D.WaitForWindow<TfrmRVPreview>("the preview window");
        ASSERT_NE(f, nullptr);
        auto page = [&] { return D.OnGui<int>([&] { return f->rvpp->PageNo(); }); };
        auto zoom = [&] { return D.OnGui<int>([&] { return f->rvpp->ZoomPercent(); }); };
        EXPECT_EQ(D.OnGui<int>([&] { return f->rvpp->RVPrint()->GetPagesCount(); }), 3);
        EXPECT_EQ(page(), 1);
        D.Click(f->rvpp, 5, 5);
        D.Key("Next");
        D.WaitFor("Page Down to show page 2", [&] { return f->rvpp->PageNo() == 2; });
        D.Key("ctrl+End");
        D.WaitFor("Ctrl+End to show page 3", [&] { return f->rvpp->PageNo() == 3; });
        D.Click(f->SpeedButton1);
        D.WaitFor("the first-page button", [&] { return f->rvpp->PageNo() == 1; });
        D.Click(f->SpeedButton3);
        D.WaitFor("the next-page button", [&] { return f->rvpp->PageNo() == 2; });
        D.Click(f->txtPageNo);
        D.Key("ctrl+a");
        D.Type("3");
        D.Key("Return");
        D.WaitFor("the typed page", [&] { return f->rvpp->PageNo() == 3; });
        D.Click(f->ZoomCombo);
        D.Key("ctrl+a");
        D.Type("75%");
        D.Key("Return");
        D.WaitFor("the typed zoom", [&] { return f->rvpp->ZoomPercent() == 75; });
        // A click on the page shows it at 100 %, a second one goes back.
        D.Click(f->rvpp);
        D.WaitFor("a click to zoom to 100 %", [&] { return f->rvpp->ZoomPercent() == 100; });
        D.Click(f->rvpp);
        D.WaitFor("a click to go back", [&] { return f->rvpp->ZoomPercent() == 75; });
        // The named zooms are the last items of the box, chosen with keys.
        D.Click(f->ZoomCombo);
        D.Key("alt+Down");
        D.Key("End");
        D.Key("Return");
        D.WaitFor("the full page", [&] { return f->rvpp->ZoomMode() == rvzmFullPage; });
        D.Key("Up");
        D.WaitFor("the page width", [&] { return f->rvpp->ZoomMode() == rvzmPageWidth; });
        EXPECT_NE(zoom(), 75);
        D.Key("ctrl+Home");
        D.WaitFor("Ctrl+Home to show page 1", [&] { return f->rvpp->PageNo() == 1; });
        D.Key("alt+F4");
    });
    EXPECT_EQ(result, 0);
}

} // namespace
