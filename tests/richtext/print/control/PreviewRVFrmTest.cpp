// The print preview window over a three-page printout of the recording
// printer: its Russian texts, paging by actions, keys and a typed number,
// the zoom box, and how it closes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "DialogTesting.h"
#include "platform/gui/Mask.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "richtext/engine/RVLayoutTestData.h"
#include "richtext/print/control/PreviewRVFrm.h"
#include "richtext/print/control/RVPrint.h"

namespace {

TRVADialogSettings Language(const char* Name) {
    TRVADialogSettings settings;
    settings.Language = RVALanguages().Get(Name);
    return settings;
}

class PreviewRVFrmTest : public ::testing::Test {
public:
    PreviewRVFrmTest() : Style(MakeLayoutStyle()), Source(Style.get(), &ScreenCanvas), Print(nullptr) {
        RVRegisterDocumentItemClasses();
        Source.Width = 600;
        Lines(150);
    }
    void Lines(int Count) {
        for (int i = 0; i < Count; ++i)
            Source.AddTextItem("line " + IntToStr(i), 0, 0);
        Print.AssignSource(Source);
        Print.FormatPages();
    }
    // A window showing the printout from page 1, as the preview action opens it.
    std::unique_ptr<TfrmRVPreview> Open(const char* LanguageName = "English (US)") {
        auto form = std::make_unique<TfrmRVPreview>(nullptr, Language(LanguageName));
        form->rvpp->SetRVPrint(&Print);
        form->actFirst->Execute();
        return form;
    }
    // The page controls: page, edit text, and First, Prior, Next, Last enabled.
    static AnsiString PageState(TfrmRVPreview& F) {
        auto on = [](TAction* A) { return A->Enabled() ? "1" : "0"; };
        return IntToStr(F.rvpp->PageNo()) + " '" + F.txtPageNo->Text() + "' " + on(F.actFirst) +
               on(F.actPrior) + on(F.actNext) + on(F.actLast);
    }

    TRecordingPrinter Printer;
    TFixedMetricsCanvas ScreenCanvas;
    std::unique_ptr<TRVStyle> Style;
    TTestFormattedData Source;
    TRVPrint Print;
};

TEST_F(PreviewRVFrmTest, TheWindowSpeaksRussian) {
    auto form = Open("Russian");
    const std::pair<AnsiString, AnsiString> texts[] = {
        {form->Caption(), "Предварительный просмотр"_cp},
        {form->Button1->Caption(), "Закрыть"_cp},
        {form->Label1->Caption(), "Страницы:"_cp},
        {form->Label2->Caption(), "из 3"_cp},
        {form->SpeedButton1->Hint(), "К первой"_cp},
        {form->SpeedButton2->Hint(), "К предыдущей"_cp},
        {form->SpeedButton3->Hint(), "К следующей"_cp},
        {form->SpeedButton4->Hint(), "К последней"_cp},
        {form->actPrint->Hint(), "Печать|Задание параметров печати и печать документа"_cp},
        {form->ZoomCombo->Items()->Strings(7), "По ширине страницы"_cp},
        {form->ZoomCombo->Items()->Strings(8), "Страница целиком"_cp},
        {form->SpeedButton6->Caption(), ""},
    };
    for (const auto& [shown, expected] : texts)
        EXPECT_EQ(shown, expected);
    EXPECT_EQ(form->ZoomCombo->Items()->Count(), 9);
    EXPECT_EQ(form->ZoomCombo->Items()->Strings(0), "200%");
    EXPECT_EQ(form->FontCharset(), RUSSIAN_CHARSET);
}

TEST_F(PreviewRVFrmTest, PagesStepByTheActionsAndTheKeys) {
    auto form = Open();
    ShowWindow(*form);
    EXPECT_EQ(PageState(*form), "1 '1' 0011");
    EXPECT_EQ(form->Label2->Caption(), "of 3");
    struct TKey {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        const char* State;
    } keys[] = {
        {Qt::Key_PageDown, Qt::NoModifier, "2 '2' 1111"},  {Qt::Key_End, Qt::ControlModifier, "3 '3' 1100"},
        {Qt::Key_PageDown, Qt::NoModifier, "3 '3' 1100"},  {Qt::Key_PageUp, Qt::NoModifier, "2 '2' 1111"},
        {Qt::Key_Home, Qt::ControlModifier, "1 '1' 0011"},
    };
    for (const TKey& k : keys) {
        Press(form->rvpp, k.Key, k.Modifiers);
        EXPECT_EQ(PageState(*form), k.State) << QKeySequence(k.Key | k.Modifiers).toString().toStdString();
    }
    form->actNext->Execute();
    EXPECT_EQ(PageState(*form), "2 '2' 1111");
}

TEST_F(PreviewRVFrmTest, ATypedPageNumberIsHeldWithinTheDocument) {
    auto form = Open();
    ShowWindow(*form);
    struct TCase {
        const char* Typed;
        int Page;
    } cases[] = {{"2", 2}, {"0", 1}, {"99", 3}, {"", 3}};
    for (const TCase& c : cases) {
        Erase(form->txtPageNo);
        Type(form->txtPageNo, c.Typed);
        Press(form->txtPageNo, Qt::Key_Return);
        EXPECT_EQ(form->rvpp->PageNo(), c.Page) << c.Typed;
        EXPECT_EQ(form->txtPageNo->Text(), IntToStr(c.Page));
    }
    // Letters are refused with a beep; leaving the edit goes to the page too.
    Erase(form->txtPageNo);
    const int beeps = BeepCount();
    Type(form->txtPageNo, "x1");
    EXPECT_EQ(BeepCount(), beeps + 1);
    EXPECT_EQ(form->txtPageNo->Text(), "1");
    form->rvpp->SetFocus();
    Pump();
    EXPECT_EQ(form->rvpp->PageNo(), 1);
}

TEST_F(PreviewRVFrmTest, TheZoomBoxTakesPercentagesWithinBoundsAndTheFittingItems) {
    auto form = Open();
    ShowWindow(*form);
    TScriptedMessageBoxes boxes;
    struct TCase {
        const char* Typed;
        int Zoom; // 0: unchanged, with a warning
        const char* Shown;
    } cases[] = {
        {"75", 75, "75%"}, {"120%", 120, "120%"}, {" 10 ", 10, "10%"},
        {"5", 0, nullptr}, {"600", 0, nullptr},   {"many", 0, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        const int before = form->rvpp->ZoomPercent();
        const std::size_t warnings = boxes.Log.size();
        Erase(form->ZoomCombo);
        Type(form->ZoomCombo, c.Typed);
        Press(form->ZoomCombo, Qt::Key_Return);
        if (c.Zoom) {
            EXPECT_EQ(form->rvpp->ZoomPercent(), c.Zoom);
            EXPECT_EQ(form->rvpp->ZoomMode(), rvzmCustom);
            EXPECT_EQ(form->ZoomCombo->Text(), c.Shown);
            EXPECT_EQ(boxes.Log.size(), warnings);
        } else {
            EXPECT_EQ(form->rvpp->ZoomPercent(), before);
            ASSERT_EQ(boxes.Log.size(), warnings + 1);
            EXPECT_EQ(boxes.Log.back().Text, "Please enter number from 10 to 500");
            EXPECT_EQ(boxes.Log.back().Caption, "Print Preview");
            EXPECT_EQ(boxes.Log.back().Icon(), MB_ICONWARNING);
        }
    }
    // The fitting items switch the mode; the box then shows the percent.
    Erase(form->ZoomCombo);
    Type(form->ZoomCombo, "Page width");
    Press(form->ZoomCombo, Qt::Key_Return);
    EXPECT_EQ(form->rvpp->ZoomMode(), rvzmPageWidth);
    EXPECT_EQ(form->ZoomCombo->Text(), IntToStr(form->rvpp->ZoomPercent()) + "%");
    form->ZoomCombo->SetItemIndex(8);
    form->ApplyZoomText();
    EXPECT_EQ(form->rvpp->ZoomMode(), rvzmFullPage);
}

TEST_F(PreviewRVFrmTest, PrintClosesWithOkAndCloseOrEscapeWithCancel) {
    struct TCase {
        const char* What;
        std::function<void(TfrmRVPreview&)> Do;
        int Result;
    } cases[] = {
        {"Ctrl+P", [](TfrmRVPreview& F) { Press(F.rvpp, Qt::Key_P, Qt::ControlModifier); }, mrOk},
        {"print action", [](TfrmRVPreview& F) { F.actPrint->Execute(); }, mrOk},
        {"Close", [](TfrmRVPreview& F) { Press(F.Button1, Qt::Key_Space); }, mrCancel},
        {"Escape", [](TfrmRVPreview& F) { Press(F.rvpp, Qt::Key_Escape); }, mrCancel},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        auto form = Open();
        ShowWindow(*form);
        c.Do(*form);
        EXPECT_EQ(form->ModalResult(), c.Result);
    }
}

TEST_F(PreviewRVFrmTest, TheNextButtonsFollowTheWidthOfThePageCount) {
    auto three = Open();
    ShowWindow(*three);
    const int gap = three->tbNext->Left() - (three->Label2->Left() + three->Label2->Width());
    EXPECT_EQ(gap, 5);
    Lines(600);
    ASSERT_GE(Print.GetPagesCount(), 10);
    auto many = Open();
    ShowWindow(*many);
    EXPECT_GT(many->Label2->Width(), three->Label2->Width());
    EXPECT_EQ(many->tbNext->Left() - (many->Label2->Left() + many->Label2->Width()), 5);
}

TEST_F(PreviewRVFrmTest, PageSetUpFormatsAgainAndFitsTheZoom) {
    auto form = Open();
    ShowWindow(*form);
    const int counter = Print.FormatCounter();
    form->rvpp->SetZoomMode(rvzmFullPage);
    const int fit = form->rvpp->ZoomPercent();
    Print.SetTopMarginMM(120);
    form->rvActionPageSetup1Change(nullptr);
    EXPECT_EQ(Print.FormatCounter(), counter + 1);
    EXPECT_EQ(form->rvpp->ZoomPercent(), fit); // the page keeps its size
    EXPECT_GT(Print.GetPagesCount(), 3);
}

} // namespace
