// The results window in testee and group mode on fresh database files: the
// test list, the chart against the testing core's stens, the report, saving,
// printing, correcting and deleting a test, and the chart bitmap's life.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ResultsFixture.h"

namespace {

class ResultFormTest : public ResultsFixture {
protected:
    // Opens the testee's results; Look sees the window while it is shown.
    bool Show(const TUser& User, std::function<void(TResult_Form&)> Look) {
        Dialogs.Answers.push_back(Expect<TResult_Form>(std::move(Look), mrCancel));
        return ShowTestResults(User);
    }
    static std::vector<AnsiString> ListTexts(TResult_Form& W) {
        std::vector<AnsiString> out;
        for (int i = 0; i < W.TestList_ComboBox->Items()->Count(); ++i)
            out.push_back(W.TestList_ComboBox->Items()->Strings(i));
        return out;
    }
    AnsiString ChartFile() const { return GetTempFolder() + ResultChartFileName; }
};

TEST_F(ResultFormTest, TheListHoldsTheTestsNewestFirstWithTheirCommentsShortened) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers(), "Ровно12симв"_cp + "."); // 12 characters
    StoreTest(u.USER_ID, EncodeDate(2007, 4, 2), MixedAnswers(), "Тринадцать сим"_cp.substr(0, 13));
    const int32_t newest = StoreTest(u.USER_ID, EncodeDate(2007, 5, 3), MixedAnswers());
    Show(u, [&](TResult_Form& w) {
        EXPECT_EQ(ListTexts(w),
                  (std::vector<AnsiString>{"03.05.2007", "02.04.2007 ("_cp + "Тринадцать с"_cp + "...)",
                                           "01.03.2007 ("_cp + "Ровно12симв."_cp + ")"}));
        EXPECT_EQ(w.TestList_ComboBox->ItemIndex(), 0);
        EXPECT_EQ(intptr_t(w.TestList_ComboBox->Items()->Objects(0)), newest);
        for (TAction* a : {w.Save_Action, w.Print_Action, w.EditTest_Action, w.DelTest_Action})
            EXPECT_TRUE(a->Enabled()) << a->Name();
        EXPECT_TRUE(w.TestList_ComboBox->Visible());
        EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet7);
    });
}

TEST_F(ResultFormTest, ATesteeWithoutTestsGetsAnEmptyDisabledWindow) {
    const TUser u = Testee();
    EXPECT_FALSE(Show(u, [&](TResult_Form& w) {
        EXPECT_EQ(w.TestList_ComboBox->Items()->Count(), 0);
        EXPECT_FALSE(w.TestList_ComboBox->Enabled());
        for (TAction* a : {w.Save_Action, w.Print_Action, w.EditTest_Action, w.DelTest_Action})
            EXPECT_FALSE(a->Enabled()) << a->Name();
        EXPECT_TRUE(w.Anketa_Report->Empty());
        EXPECT_EQ(w.Scale_BarChart->Count(), 0);
    }));
}

TEST_F(ResultFormTest, TheChartHasABarPerValidScaleInItsStenColour) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    TTestResult expected;
    expected.SetAnswers(MixedAnswers());
    Show(u, [&](TResult_Form& w) {
        const TBarSeries& bars = *w.Scale_BarChart;
        int bar = 0;
        for (int scale = 0; scale < ScaleCount; ++scale) {
            if (!expected.IsScaleValid(scale)) continue;
            ASSERT_LT(bar, bars.Count());
            const int sten = expected.GetSten(scale);
            EXPECT_EQ(bars.XValue(bar), bar) << scale;
            EXPECT_EQ(bars.YValue(bar), sten) << scale;
            EXPECT_EQ(bars.Label(bar), ScaleChartNames[std::size_t(scale)]);
            EXPECT_EQ(bars.ValueColor(bar), TColor(StenColors[std::size_t(sten - 1)])) << scale;
            ++bar;
        }
        EXPECT_EQ(bar, bars.Count());
        EXPECT_EQ(bars.Count(), expected.ValidScaleCount());
    });
}

TEST_F(ResultFormTest, InvalidScalesLeaveNoGapAndAStenWithoutNormsIsGrey) {
    TResult_Form form(nullptr);
    TTestResult result;
    // Valid: scales 1, 4 and 6; scale 6 has no norm row.
    result.ValidFlags = {0, 1, 0, 0, 1, 0, 1, 0};
    result.Stens = {5, 2, 9, 9, 7, 9, -1, 9};
    form.DrawProfileChart(result);
    const TBarSeries& bars = *form.Scale_BarChart;
    ASSERT_EQ(bars.Count(), 3);
    struct TCase {
        double X, Y;
        TColor Color;
    } cases[] = {{0, 2, TColor(StenColors[1])}, {1, 7, TColor(StenColors[6])}, {2, -1, NoStenColor}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bars.XValue(i), cases[i].X);
        EXPECT_EQ(bars.YValue(i), cases[i].Y);
        EXPECT_EQ(bars.ValueColor(i), cases[i].Color) << i;
    }
    // The chart still draws.
    EXPECT_EQ(form.Scale_Chart->CreateBitmap(ReportChartWidth, ReportChartHeight)->Width(), ReportChartWidth);
}

TEST_F(ResultFormTest, TheReportShowsTheTestsReportWithTheChartPicture) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    AnsiString shownText;
    Show(u, [&](TResult_Form& w) {
        // The bitmap is there while the window is open: 24 bits, 630 x 504.
        const std::string bmp = FileBytes(ChartFile());
        ASSERT_GT(bmp.size(), 54u);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
        EXPECT_EQ(*reinterpret_cast<const int32_t*>(&bmp[18]), ReportChartWidth);
        EXPECT_EQ(std::abs(*reinterpret_cast<const int32_t*>(&bmp[22])), ReportChartHeight);
        EXPECT_EQ(*reinterpret_cast<const int16_t*>(&bmp[28]), 24);
        shownText = w.Anketa_Report->Text();
    });
    EXPECT_FALSE(FileExists(ChartFile())) << "the bitmap goes with the window";

    for (const char* text : {"ЗАКЛЮЧЕНИЕ", "1. Сведения об испытуемом", "Иванов Петр Сергеевич",
                             "4. Тип мотивационного профиля", "ГРАФИЧЕСКИЙ ПРОФИЛЬ"})
        EXPECT_TRUE(Contains(shownText, text)) << text;
}

TEST_F(ResultFormTest, SaveWritesTheReportAsRtfAndTellsAFailure) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    const AnsiString file = Folder.Path() + "report.rtf";
    Show(u, [&](TResult_Form& w) {
        // Cancelled: nothing written.
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
        w.Save_Action->Execute();
        EXPECT_FALSE(FileExists(file));

        Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(file));
        w.Save_Action->Execute();
        ASSERT_TRUE(FileExists(file));
        EXPECT_EQ(FileBytes(file).substr(0, 5), "{\\rtf");
        const AnsiString text = RtfFileText(file);
        for (const char* s : {"ЗАКЛЮЧЕНИЕ", "Иванов Петр Сергеевич", "3. Структура трудовой мотивации"})
            EXPECT_TRUE(Contains(text, s)) << s;
        EXPECT_TRUE(Boxes.Log.empty());

        // A folder that is not there: told, and nothing else changes.
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(Folder.Path() + "missing/report.rtf"));
        w.Save_Action->Execute();
        ASSERT_EQ(Boxes.Log.size(), 1u);
        EXPECT_EQ(Boxes.Log[0].Text, "Ошибка сохранения"_cp);
        EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка"_cp);
        EXPECT_FALSE(w.Anketa_Report->Empty());
        ASSERT_EQ(Dialogs.DialogLog.size(), 3u);
        EXPECT_EQ(Dialogs.DialogLog[0].Kind, TDialogKind::dkSave);
    });

    // LibreOffice, where installed, reads the file too.
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice";
    const AnsiString out = Folder.Path() + "lo/";
    const std::string cmd = "cd '" + Folder.Path() + "' && HOME='" + Folder.Path() +
                            "' timeout 120 soffice --headless --convert-to txt:Text --outdir '" + out +
                            "' '" + file + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string text = FileBytes(out + "report.txt");
    EXPECT_NE(text.find("ЗАКЛЮЧЕНИЕ"), std::string::npos);
    EXPECT_NE(text.find("Иванов Петр Сергеевич"), std::string::npos);
}

TEST_F(ResultFormTest, PrintShowsThePreviewWhosePrintButtonPrintsThePages) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    Show(u, [&](TResult_Form& w) {
        // Closed without printing: nothing printed.
        AnswerPreview(mrCancel, [&](TfrmRVPreview& p) {
            EXPECT_EQ(p.WindowState(), TWindowState::wsMaximized);
            EXPECT_EQ(p.Caption(), "Предварительный просмотр"_cp);
            EXPECT_EQ(p.rvpp->RVPrint(), &w.Anketa_Report->Printout());
            EXPECT_GE(p.rvpp->RVPrint()->GetPagesCount(), 2);
            EXPECT_TRUE(p.actPrint->Enabled());
            ASSERT_NE(p.SpeedButton6->Action(), nullptr);
            EXPECT_TRUE(static_cast<TAction*>(p.SpeedButton6->Action())->Enabled())
                << "the page set-up works on the report's pages";
        });
        w.Print_Action->Execute();
        EXPECT_TRUE(Printer.Log.empty());
        // Its print button asks first; cancelled there, nothing printed.
        AnswerPreview(mrOk);
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
        w.Print_Action->Execute();
        EXPECT_TRUE(Printer.Log.empty());

        AnswerPreview(mrOk);
        Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
        w.Print_Action->Execute();
        ASSERT_FALSE(Printer.Log.empty());
        EXPECT_EQ(Printer.Log.back(), "EndDoc");
        // The report fills more than one A4 page, and no page is blank.
        EXPECT_GE(Printer.Pages.size(), 2u);
        EXPECT_LE(Printer.Pages.size(), 8u);
        for (std::size_t p = 0; p < Printer.Pages.size(); ++p) {
            const auto& page = Printer.Pages[p];
            EXPECT_TRUE(std::any_of(
                page.begin(), page.end(),
                [](const AnsiString& c) { return c.rfind("Text ", 0) == 0 || c.rfind("Bitmap ", 0) == 0; }))
                << "page " << p;
        }
        const std::string all = PrintedText();
        EXPECT_NE(all.find("Bitmap "), std::string::npos) << "the chart is printed";
        EXPECT_NE(all.find("'- 2 -'"), std::string::npos) << "pages carry their numbers";
        ASSERT_EQ(Dialogs.DialogLog.size(), 2u);
        EXPECT_EQ(Dialogs.DialogLog[1].Kind, TDialogKind::dkPrint);
        EXPECT_EQ(Dialogs.Log.size(), 3u) << "three previews";
    });
}

TEST_F(ResultFormTest, CtrlPPrintsAtOnceAndCtrlSSaves) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    Show(u, [&](TResult_Form& w) {
        EXPECT_EQ(w.rvActionPrint1->ShortCut(), ShortCut('P', ssCtrl));
        EXPECT_EQ(w.Print_Action->ShortCut(), scNone) << "one key, one action";
        EXPECT_EQ(w.rvActionPrintPreview1->ShortCut(), scNone);
        EXPECT_TRUE(w.IsShortCut('P', ssCtrl));
        EXPECT_TRUE(w.IsShortCut('S', ssCtrl));
        ASSERT_EQ(Dialogs.DialogLog.size(), 2u);
        EXPECT_EQ(Dialogs.DialogLog[0].Kind, TDialogKind::dkPrint);
        EXPECT_EQ(Dialogs.DialogLog[1].Kind, TDialogKind::dkSave);
        EXPECT_TRUE(Dialogs.Log.empty()) << "no preview";
    });
}

TEST_F(ResultFormTest, AnEditConfirmedOnTheAnswerSheetRebuildsTheSameTestsReport) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    const int32_t second = StoreTest(u.USER_ID, EncodeDate(2007, 4, 1), MixedAnswers());
    StoreTest(u.USER_ID, EncodeDate(2007, 5, 1), MixedAnswers());
    EXPECT_TRUE(Show(u, [&](TResult_Form& w) {
        w.TestList_ComboBox->SetItemIndex(1);
        w.TestList_ComboBoxChange(w.TestList_ComboBox);
        // Cancelled: nothing changes.
        Dialogs.Answers.push_back(Expect<TBlank_Form>([](TBlank_Form&) {}, mrCancel));
        w.EditTest_Action->Execute();
        EXPECT_FALSE(w.FDataChanged);

        Dialogs.Answers.push_back(Expect<TBlank_Form>(
            [&](TBlank_Form& b) {
                EXPECT_EQ(b.TestData.TEST_ID, second);
                for (int c = 1; c <= 28; ++c)
                    b.Blank_Grid->SetCells(c - 1, 1, "5"), b.Blank_Grid->SetCells(c - 1, 2, "0");
                b.OK_ButtonClick(b.OK_Button);
            },
            mrOk));
        w.EditTest_Action->Execute();
        EXPECT_TRUE(w.FDataChanged);
        EXPECT_EQ(w.TestList_ComboBox->ItemIndex(), 1);
        TTestResult all5;
        all5.SetAnswers(AnsiString(28, '5'));
        EXPECT_EQ(w.Scale_BarChart->Count(), all5.ValidScaleCount());
    }));
    TTestData stored;
    stored.TEST_ID = second;
    DM->OpenUserTests(u.USER_ID, second);
    DM->ReadTest(stored);
    EXPECT_EQ(stored.ANSWERS, AnsiString(28, '5'));
}

TEST_F(ResultFormTest, OnlyYesDeletesATestAndTheLastOneLeavesAnEmptyWindow) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    EXPECT_TRUE(Show(u, [&](TResult_Form& w) {
        for (int answer : {IDNO, IDCANCEL, 0}) {
            Boxes.Answers.push_back(answer);
            w.DelTest_Action->Execute();
            EXPECT_EQ(w.TestList_ComboBox->Items()->Count(), 1) << answer;
            EXPECT_FALSE(w.FDataChanged) << answer;
        }
        ASSERT_EQ(Boxes.Log.size(), 3u);
        EXPECT_EQ(Boxes.Log[0].Text, "Вы действительно желаете удалить результаты тестирования?"_cp);
        EXPECT_EQ(Boxes.Log[0].Caption, "Подтверждение удаления"_cp);

        Boxes.Answers.push_back(IDYES);
        w.DelTest_Action->Execute();
        EXPECT_TRUE(w.FDataChanged);
        EXPECT_EQ(w.TestList_ComboBox->Items()->Count(), 0);
        EXPECT_FALSE(w.Save_Action->Enabled());
        EXPECT_TRUE(w.Anketa_Report->Empty());
    }));
    EXPECT_FALSE(DM->OpenUserTests(u.USER_ID, -1));
    EXPECT_EQ(DM->TestedUsers_IBQuery->RecordCount(), 0);
}

TEST_F(ResultFormTest, TheBitmapIsGoneAfterAnErrorToo) {
    const TUser u = Testee();
    StoreTest(u.USER_ID, EncodeDate(2007, 3, 1), MixedAnswers());
    Dialogs.Answers.push_back([](TCustomForm*) -> int { throw Exception("broken"); });
    EXPECT_THROW(ShowTestResults(u), Exception);
    EXPECT_FALSE(FileExists(ChartFile()));
}

TEST_F(ResultFormTest, GroupModeHidesTheTestCommandsAndShowsTheGroupsReport) {
    TTeam t;
    t.DB_ID = Database.DB_ID;
    t.JOB = "Завод"_cp;
    t.NUMBEROFTESTED = 1;
    t.DATETEST = EncodeDate(2007, 5, 14);
    t.EMPNAMES = "1#";
    t.DATA = "10/12/14/16/18/20/22/24/";
    t.TEAM_ID = DM->ApplyTeam(akInsert, t);
    TGroupTestResult expected;
    expected.SetTeam(t);
    const AnsiString file = Folder.Path() + "group.rtf";
    Dialogs.Answers.push_back(Expect<TResult_Form>(
        [&](TResult_Form& w) {
            for (TControl* c : std::initializer_list<TControl*>{w.Label1, w.TestList_ComboBox, w.SpeedButton3,
                                                                w.SpeedButton4})
                EXPECT_FALSE(c->Visible()) << c->Name();
            EXPECT_TRUE(w.SpeedButton1->Visible());
            ASSERT_EQ(w.Scale_BarChart->Count(), ScaleCount);
            for (int i = 0; i < ScaleCount; ++i)
                EXPECT_EQ(w.Scale_BarChart->YValue(i), expected.GetSten(i)) << i;
            EXPECT_TRUE(Contains(w.Anketa_Report->Text(), "Завод"));
            Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(file));
            w.Save_Action->Execute();
            AnswerPreview(mrOk);
            Dialogs.DialogAnswers.push_back(TScriptedDialogs::Confirmed());
            w.Print_Action->Execute();
        },
        mrCancel));
    ShowTeamResults(t);
    EXPECT_TRUE(Contains(RtfFileText(file), "Завод"));
    EXPECT_FALSE(Printer.Pages.empty());
    EXPECT_FALSE(FileExists(GetTempFolder() + ResultChartFileName));
}

} // namespace
