// The print-preview action: the preview window over the editor's pages,
// printing from it, its page set-up, an empty document, another window
// class, and Ctrl+P in a report window that holds both print actions.
#include <gtest/gtest.h>

#include "ActionTesting.h"
#include "DialogTesting.h"
#include "platform/gui/Mask.h"
#include "richtext/print/control/PageSetupRVFrm.h"
#include "richtext/print/control/PreviewRVFrm.h"

namespace {

class PreviewAction : public ActionTest {
protected:
    void TearDown() override {
        RVAHeaderInfo().Text = "- &p -";
        RVAFooterInfo().Text.clear();
    }
};

bool HasText(const std::vector<std::vector<AnsiString>>& Pages, std::size_t Page, const AnsiString& Text) {
    for (const AnsiString& line : Pages.at(Page))
        if (line.find(" '" + Text + "' ") != AnsiString::npos) return true;
    return false;
}

TEST_F(PreviewAction, ThePreviewShowsTheEditorsPagesWithTheirHeaders) {
    TActionWindow w(200);
    w.Panel->SetLanguage("Russian");
    auto* action = w.Add<TrvActionPrintPreview>();
    auto* print = new TRVPrint(&w.Form);
    std::vector<bool> previewed;
    print->OnPagePrepaint = [&](TCustomRVPrint*, int, TCanvas&, bool Preview, const TRect&, const TRect&) {
        previewed.push_back(Preview);
    };
    Dialogs.Answers.push_back(Play<TfrmRVPreview>(
        [&](TfrmRVPreview& window) {
            EXPECT_EQ(window.Caption(), "Предварительный просмотр"_cp);
            EXPECT_EQ(window.rvpp->RVPrint(), print);
            EXPECT_EQ(window.rvpp->PageNo(), 1);
            EXPECT_EQ(window.txtPageNo->Text(), "1");
            EXPECT_EQ(window.Label2->Caption(), "из 3"_cp);
            // Without a print action there is nothing to print with.
            EXPECT_FALSE(window.actPrint->Enabled());
            // The page set-up button works on the pages shown.
            auto* setup = dynamic_cast<TrvActionPageSetup*>(window.SpeedButton6->Action());
            ASSERT_NE(setup, nullptr);
            EXPECT_EQ(setup->ControlPanel().RVPrint(), print);
            EXPECT_EQ(setup->Caption(), "П&араметры страницы..."_cp);
            window.rvpp->Repaint();
            Pump();
        },
        mrOk));
    action->ExecuteTarget(w.Editor);
    ASSERT_EQ(Dialogs.Log.size(), 1u);
    EXPECT_EQ(Dialogs.Log[0].FormName, "frmRVPreview");
    EXPECT_TRUE(Printer.Log.empty());
    ASSERT_FALSE(previewed.empty());
    EXPECT_TRUE(previewed.front());
    // The window's handler is alone again.
    previewed.clear();
    print->FormatPages();
    TRecordingCanvas canvas;
    print->DrawPage(1, canvas, false);
    EXPECT_EQ(previewed.size(), 1u);
    for (const AnsiString& line : canvas.Log)
        EXPECT_EQ(line.find("'- 1 -'"), AnsiString::npos);
}

TEST_F(PreviewAction, PrintInThePreviewPrintsThroughThePrintAction) {
    struct TCase {
        const char* Name;
        int Result;
        bool PrintAction;
        std::size_t Pages;
    };
    const TCase cases[] = {
        {"print chosen", mrOk, true, 3},
        {"closed", mrCancel, true, 0},
        {"no print action", mrOk, false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TActionWindow w(200);
        auto* action = w.Add<TrvActionPrintPreview>();
        if (c.PrintAction) w.Add<TrvActionPrint>()->Title = "Report";
        Printer.Pages.clear();
        Printer.Log.clear();
        Dialogs.Answers.push_back(Play<TfrmRVPreview>(
            [&](TfrmRVPreview& window) { EXPECT_EQ(window.actPrint->Enabled(), c.PrintAction); }, c.Result));
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
        action->ExecuteTarget(w.Editor);
        Dialogs.DialogAnswers.clear();
        ASSERT_EQ(Printer.Pages.size(), c.Pages);
        if (c.Pages) {
            EXPECT_EQ(Printer.Log.front(), "BeginDoc 'Report' copies=1");
            // One header a page, drawn once.
            int headers = 0;
            for (const AnsiString& line : Printer.Pages[1])
                if (line.find("'- 2 -'") != AnsiString::npos) ++headers;
            EXPECT_EQ(headers, 1);
        }
    }
}

TEST_F(PreviewAction, AnEmptyDocumentBeepsAndShowsNoWindow) {
    TActionWindow w(0);
    auto* action = w.Add<TrvActionPrintPreview>();
    int beeps = BeepCount();
    action->ExecuteTarget(w.Editor);
    EXPECT_EQ(BeepCount(), beeps + 1);
    EXPECT_TRUE(Dialogs.Log.empty());
}

TEST_F(PreviewAction, AnotherPreviewWindowIsMadeByItsFactory) {
    TActionWindow w(3);
    auto* action = w.Add<TrvActionPrintPreview>();
    action->Maximized = true;
    int made = 0;
    action->OnGetPreviewFormClass = [&](TObject*, TRVPreviewFormFactory& Factory) {
        Factory = [&](TComponent* Owner, const TRVADialogSettings& Settings) {
            ++made;
            return new TfrmRVPreview(Owner, Settings);
        };
    };
    Dialogs.Answers.push_back(Play<TfrmRVPreview>(
        [](TfrmRVPreview& window) { EXPECT_EQ(window.WindowState(), TWindowState::wsMaximized); }, mrCancel));
    action->ExecuteTarget(w.Editor);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(Dialogs.Log.size(), 1u);

    // A factory that makes nothing is refused before anything is formatted.
    auto* print = new TRVPrint(&w.Form);
    action->OnGetPreviewFormClass = [](TObject*, TRVPreviewFormFactory& Factory) { Factory = nullptr; };
    try {
        action->ExecuteTarget(w.Editor);
        FAIL() << "no exception";
    } catch (const EZoroZudoError& e) {
        EXPECT_EQ(e.Message, "Preview form must be inherited from TfrmRVPreview");
    }
    EXPECT_EQ(print->FormatCounter(), 0);
}

TEST_F(PreviewAction, ThePagesAreSetUpAgainFromThePreview) {
    TActionWindow w(200);
    auto* action = w.Add<TrvActionPrintPreview>();
    auto* print = new TRVPrint(&w.Form);
    int changes = 0;
    Dialogs.Answers.push_back(Play<TfrmRVPreview>(
        [&](TfrmRVPreview& window) {
            int formats = print->FormatCounter();
            Dialogs.Answers.push_back(Play<TfrmRVPageSetup>([](TfrmRVPageSetup& setup) {
                setup.txtHText->SetText("Page &p");
                setup.seTop->SetValue(40);
            }));
            TBasicAction* setup = window.SpeedButton6->Action();
            ASSERT_NE(setup, nullptr);
            EXPECT_TRUE(setup->Execute());
            EXPECT_GT(print->FormatCounter(), formats);
            ++changes;
        },
        mrCancel));
    action->ExecuteTarget(w.Editor);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(Dialogs.Log.size(), 2u);
    // A window is logged when it closes: the page set-up first.
    EXPECT_EQ(Dialogs.Log[0].FormName, "frmRVPageSetup");
    EXPECT_EQ(RVAHeaderInfo().Text, "Page &p");
    EXPECT_EQ(print->TopMarginMM(), 40);

    // A page set-up action of the window's own takes the button.
    auto* own = w.Add<TrvActionPageSetup>();
    action->SetActionPageSetup(own);
    Dialogs.Answers.push_back(Play<TfrmRVPreview>(
        [&](TfrmRVPreview& window) { EXPECT_EQ(window.SpeedButton6->Action(), own); }, mrCancel));
    action->ExecuteTarget(w.Editor);
}

TEST_F(PreviewAction, CtrlPInAReportWindowRunsTheOneEnabledAction) {
    TActionWindow w(3);
    auto* preview = w.Add<TrvActionPrintPreview>();
    preview->SetShortCut(ShortCut('P', ssCtrl));
    // Printing goes through the preview: the print action keeps the key
    // but stays disabled, so the key is the preview's alone.
    auto* print = w.Add<TrvActionPrint>();
    print->SetShortCut(ShortCut('P', ssCtrl));
    print->Disabled = true;
    ShowWindow(w.Form);
    w.Editor->SetFocus();
    Pump();
    Dialogs.Answers.push_back(Play<TfrmRVPreview>([](TfrmRVPreview&) {}, mrCancel));
    Press(w.Editor, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(Dialogs.Log.size(), 1u);
    EXPECT_EQ(Dialogs.Log[0].FormName, "frmRVPreview");
    EXPECT_TRUE(Dialogs.DialogLog.empty());
}

} // namespace
