// The page set-up window on a real X server, under the locale of the run:
// margins typed, landscape and a smaller paper chosen with the keyboard and
// the mouse, confirmed with Enter into the print component; then the header
// and footer page, left with Escape.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ScreenDriver.h"
#include "platform/testing/RecordingPrinter.h"
#include "richtext/print/control/PageSetupRVFrm.h"

namespace {

TRVPrint* gPrint = nullptr;
TRVPageSetupValues* gValues = nullptr;
int gConfirmed = -1;
int gCancelled = -1;

TRVADialogSettings Russian() {
    TRVADialogSettings settings;
    settings.Language = RVALanguages().Get("Russian");
    return settings;
}

int RunPageSetup() {
    TRecordingPrinter printer;
    printer.OfferedPapers = {{"A4", 21000, 29700}, {"A5", 14800, 21000}, {"Letter", 21590, 27940}};
    printer.OfferedBins = {{"Auto", 7}, {"Tray 1", 1}};
    TRVPrint print(nullptr);
    TRVPageSetupValues values;
    gPrint = &print;
    gValues = &values;
    gConfirmed = ExecutePageSetup(print, values, false, Russian());
    {
        TfrmRVPageSetup form(nullptr, Russian());
        form.UseInches();
        form.pc->SetActivePage(form.tsHF);
        if (form.InitFromSettings(print, values)) gCancelled = form.ShowModal() == mrCancel;
    }
    gPrint = nullptr;
    gValues = nullptr;
    return 0;
}

TEST(PageSetupOnScreen, MarginsAndPaperGoIntoThePrintComponent) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server: run it through tools/on_screen.sh";
    TScreenDriver driver;
    const int result = driver.Run(RunPageSetup, [](TScreenDriver& D) {
        auto* form = D.WaitForWindow<TfrmRVPageSetup>("the page set-up window");
        D.Click(form->seLeft);
        D.Key("ctrl+a");
        D.Type("35");
        D.Key("Tab");
        D.WaitFor("the right box", [&] { return form->seRight->Focused(); });
        D.Click(form->seTop);
        D.WaitFor("the top box", [&] { return form->seTop->Focused(); });
        D.Key("Up");
        D.Key("Up");
        D.Click(form->rgOrientation->Buttons(1));
        D.WaitFor("landscape", [&] { return form->rgOrientation->ItemIndex() == 1; });
        D.OnGui([&] { form->cmbSize->SetFocus(); });
        D.WaitFor("the paper list", [&] { return form->cmbSize->Focused(); });
        D.Key("Down");
        D.WaitFor("A5", [&] { return form->cmbSize->Text() == "A5"; });
        D.Key("Return");
        D.WaitFor("the window to close", [] { return gConfirmed >= 0; });
        D.OnGui([] {
            EXPECT_EQ(gConfirmed, 1);
            EXPECT_EQ(gPrint->LeftMarginMM(), 35);
            EXPECT_EQ(gPrint->TopMarginMM(), 22);
            EXPECT_EQ(Printer()->Orientation(), TPrinterOrientation::poLandscape);
            EXPECT_EQ(Printer()->PaperWidth(), 14800);
        });

        auto* second = D.WaitForWindow<TfrmRVPageSetup>("the header and footer page");
        D.OnGui([&] {
            EXPECT_EQ(second->pc->ActivePage(), second->tsHF);
            EXPECT_EQ(second->seLeft->Text(), FloatToStrF(35 * 5 / 127.0, TFloatFormat::ffFixed, 18, 3));
        });
        // Time for tools/on_screen.sh to take the window's picture; the
        // program ends when the window closes.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        D.Key("Escape");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(gCancelled, 1);
}

} // namespace
