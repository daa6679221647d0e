// The dynamics window over a testee's stored tests: the lines of the eight
// scales oldest first, the report saved and printed with the chart's
// picture as it stands, and the bitmap gone with the window.
#include <gtest/gtest.h>

#include "ResultsFixture.h"

namespace {

class DinamicsFormTest : public ResultsFixture {
protected:
    void Show(const TUser& User, std::function<void(TDinamics_Form&)> Look) {
        Dialogs.Answers.push_back(Expect<TDinamics_Form>(std::move(Look), mrCancel));
        ShowDynamics(User);
    }
    AnsiString ChartFile() const { return GetTempFolder() + DynamicsChartFileName; }
};

TEST_F(DinamicsFormTest, ThreeTestsGiveThreeColumnsOfEightPointsOldestFirst) {
    const TUser u = Testee();
    const AnsiString answers[] = {MixedAnswers(), AnsiString(28, '5'), AnsiString(28, '0')};
    // Stored out of date order: the list is by test id, newest first.
    StoreTest(u.USER_ID, EncodeDate(2007, 1, 10), answers[0]);
    StoreTest(u.USER_ID, EncodeDate(2007, 2, 10), answers[1]);
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 10), answers[2]);
    Show(u, [&](TDinamics_Form& w) {
        ASSERT_EQ(w.Dynamics_Chart->SeriesCount(), ScaleCount);
        EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet1);
        EXPECT_TRUE(w.Dynamics_Chart->Legend().Visible);
        for (int scale = 0; scale < ScaleCount; ++scale) {
            const TLineSeries& s = *w.FSeries[std::size_t(scale)];
            EXPECT_EQ(s.Title(), ScaleLetters[std::size_t(scale)]);
            ASSERT_EQ(s.Count(), 3);
            const char* dates[] = {"10.01.2007", "10.02.2007", "10.03.2007"};
            for (int t = 0; t < 3; ++t) {
                TTestResult expected;
                expected.SetAnswers(answers[t]);
                // Invalid scales and stens without norms are plotted as they are.
                EXPECT_EQ(s.YValue(t), expected.GetSten(scale)) << scale << "/" << t;
                EXPECT_EQ(s.XValue(t), t);
                EXPECT_EQ(s.Label(t), dates[t]);
            }
        }
    });
}

TEST_F(DinamicsFormTest, SaveAndPrintBuildTheReportFromTheChartAsItStands) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 1, 10), MixedAnswers());
    StoreTest(u.USER_ID, EncodeDate(2007, 2, 10), AnsiString(28, '5'));
    const AnsiString file = Folder.Path() + "dyn.rtf";
    Show(u, [&](TDinamics_Form& w) {
        EXPECT_TRUE(w.Anketa_Report->Empty()) << "no report before it is asked for";
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
        w.Save_Action->Execute();
        EXPECT_FALSE(FileExists(ChartFile())) << "a cancelled save renders nothing";

        // A line switched off is left out of the picture.
        w.FSeries[0]->SetActive(false);
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(file));
        w.Save_Action->Execute();
        ASSERT_TRUE(FileExists(ChartFile()));
        TBitmap saved;
        saved.LoadFromFile(ChartFile());
        std::unique_ptr<TBitmap> with = w.Dynamics_Chart->CreateBitmap(ReportChartWidth, ReportChartHeight);
        w.FSeries[0]->SetActive(true);
        std::unique_ptr<TBitmap> without =
            w.Dynamics_Chart->CreateBitmap(ReportChartWidth, ReportChartHeight);
        int sameAsOff = 0, sameAsOn = 0;
        for (int y = 0; y < ReportChartHeight; y += 3)
            for (int x = 0; x < ReportChartWidth; x += 3) {
                sameAsOff += saved.Pixel(x, y) == with->Pixel(x, y);
                sameAsOn += saved.Pixel(x, y) == without->Pixel(x, y);
            }
        EXPECT_GT(sameAsOff, sameAsOn);
        const AnsiString text = RtfFileText(file);
        EXPECT_TRUE(Contains(text, "ДИНАМИКА ТРУДОВОЙ МОТИВАЦИИ")) << text;

        // Print and Ctrl+P both show the preview of a report built anew;
        // its print button prints.
        AnswerPreview(mrOk, [&](TfrmRVPreview& p) {
            EXPECT_EQ(p.rvpp->RVPrint(), &w.Anketa_Report->Printout());
            EXPECT_TRUE(static_cast<TAction*>(p.SpeedButton6->Action())->Enabled());
        });
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
        w.Print_Action->Execute();
        EXPECT_NE(PrintedText().find("Bitmap "), std::string::npos) << "the chart is printed";
        EXPECT_EQ(w.rvActionPrint1->ShortCut(), scNone) << "one key, one action";
        AnswerPreview(mrCancel);
        EXPECT_TRUE(w.IsShortCut('P', ssCtrl));
        EXPECT_EQ(Dialogs.DialogLog.size(), 3u) << "Ctrl+P: no print dialog of its own";
    });
    EXPECT_FALSE(FileExists(ChartFile()));
}

TEST_F(DinamicsFormTest, ATesteeWithoutTestsGetsEmptyLinesAndStillAReport) {
    const TUser u = Testee();
    const AnsiString file = Folder.Path() + "empty.rtf";
    Show(u, [&](TDinamics_Form& w) {
        for (TLineSeries* s : w.FSeries)
            EXPECT_EQ(s->Count(), 0);
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(file));
        w.Save_Action->Execute();
        EXPECT_FALSE(w.Anketa_Report->Empty());
    });
    EXPECT_TRUE(FileExists(file));
}

} // namespace
