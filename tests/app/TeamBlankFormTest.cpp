// The group entry: typing and pasting into labels and scores, the column
// summaries, the checks of OK and the stored texts, an entry filled from
// selected testees, and changes of the respondent count.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "app/DialogParts.h"
#include "core/Calc_Unit.h"

namespace {

constexpr int kMeanOffset = 1; // rows after the last respondent
constexpr int kDeviationOffset = 2;

class TeamBlankFormTest : public AppFixture {
protected:
    // A new, empty entry of two respondents.
    std::unique_ptr<TTeamBlnk_Form> NewEntry() {
        auto form = std::make_unique<TTeamBlnk_Form>(nullptr);
        form->FillForm();
        return form;
    }
    static int Respondents(TTeamBlnk_Form& F) { return F.Blank_StringGrid->RowCount() - 3; }
    static AnsiString Mean(TTeamBlnk_Form& F, int Col) {
        return F.Blank_StringGrid->Cells(Col, Respondents(F) + kMeanOffset);
    }
    static AnsiString Deviation(TTeamBlnk_Form& F, int Col) {
        return F.Blank_StringGrid->Cells(Col, Respondents(F) + kDeviationOffset);
    }
    // Real key presses in the cell editor of the window on screen.
    static void Type(TTeamBlnk_Form& F, int Col, int Row, const char* Keys) {
        F.Show();
        QApplication::processEvents();
        F.FocusCell(F.Blank_StringGrid, Row, Col);
        QTest::keyClicks(F.Blank_StringGrid->InplaceEditor()->Widget(), Keys);
        QApplication::processEvents();
        F.Hide();
    }
    // Text the cell editor takes by itself, as a paste gives it.
    static void Paste(TTeamBlnk_Form& F, int Col, int Row, const AnsiString& Text) {
        F.FocusCell(F.Blank_StringGrid, Row, Col);
        F.Blank_StringGrid->InplaceEditor()->SetText(Text);
    }
    // A filled, valid entry of two respondents.
    static void FillValid(TTeamBlnk_Form& F) {
        F.Job_Edit->SetText("Завод"_cp);
        for (int r = 1; r <= 2; ++r) {
            F.Blank_StringGrid->SetCells(1, r, "Р"_cp + IntToStr(r));
            for (int c = 2; c < 10; ++c)
                F.Blank_StringGrid->SetCells(c, r, IntToStr(c + r));
        }
    }
};

} // namespace

// The entry opens on the cell of the first label with the header row and
// the number column in view: the user sees which column is which scale.
TEST_F(TeamBlankFormTest, TheHeaderRowAndTheNumberColumnShowWhenTheEntryOpens) {
    auto form = NewEntry();
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
    QApplication::processEvents();
    TStringGrid* grid = form->Blank_StringGrid;
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->TopRow(), 0);
    for (int c = 0; c < grid->ColCount(); ++c)
        EXPECT_FALSE(grid->CellRect(c, 0).IsEmpty()) << "header of column " << c;
    EXPECT_FALSE(grid->CellRect(0, 1).IsEmpty());
    form->Hide();
}

TEST_F(TeamBlankFormTest, TypedKeysOnlyPutDigitsInScoresAndNoSeparatorInLabels) {
    struct TCase {
        const char* What;
        int Col;
        const char* Keys;
        const char* Cell;
    };
    const TCase cases[] = {
        {"two digits", 2, "35", "35"},
        {"no third digit", 3, "123", "12"},
        {"no point, sign or letter", 4, "-3.a", "3"},
        {"a label takes any text", 1, "Ivanov I.I. 2", "Ivanov I.I. 2"},
        {"but no label separator", 1, "Shop#1", "Shop1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        auto form = NewEntry();
        Type(*form, c.Col, 1, c.Keys);
        EXPECT_EQ(form->Blank_StringGrid->Cells(c.Col, 1), Utf8ToAnsi(c.Cell));
    }
}

TEST_F(TeamBlankFormTest, TheGroupsTextsHoldToTheirColumnAndTheCodePage) {
    auto form = NewEntry();
    form->Show();
    for (TEdit* edit : {form->Job_Edit, form->Department_Edit}) {
        ::Type(edit, std::string(260, 'x').c_str());
        EXPECT_EQ(edit->Text().size(), 200u) << edit->Name();
        Erase(edit);
        ::Type(edit, "Müller");
        EXPECT_EQ(edit->Text(), "Mller") << edit->Name();
    }
    form->Hide();
    ASSERT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(Boxes.Log[0].Text, RefusedCharactersText());
}

TEST_F(TeamBlankFormTest, PastedTextIsTakenOnlyAsAScoreOrACleanLabel) {
    struct TCase {
        int Col;
        const char* Pasted;
        const char* Cell; // the cell held "7" before
    };
    const TCase cases[] = {
        {2, "12", "12"}, {2, "0", "0"},  {2, "", ""},    {2, "36", "36"},   {2, "3.", "7"},  {2, "-1", "7"},
        {2, "123", "7"}, {2, " 4", "7"}, {2, "1e", "7"}, {1, "А#Б", "А№Б"}, {1, "##", "№№"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pasted);
        auto form = NewEntry();
        form->Blank_StringGrid->SetCells(c.Col, 1, "7");
        Paste(*form, c.Col, 1, Utf8ToAnsi(c.Pasted));
        EXPECT_EQ(form->Blank_StringGrid->Cells(c.Col, 1), Utf8ToAnsi(c.Cell));
        EXPECT_EQ(form->Blank_StringGrid->InplaceEditor()->Text(), Utf8ToAnsi(c.Cell))
            << "the editor shows what the cell took";
    }
}

TEST_F(TeamBlankFormTest, ColumnSummariesRoundUpAndSkipUnreadableCells) {
    struct TCase {
        const char* First;
        const char* Second;
        const char* Mean;
        const char* Deviation;
    };
    const TCase cases[] = {
        {"10", "13", "12", "3"}, {"10", "", "5", "8"},
        {"", "", "0", "0"},      {"7", "7", "7", "0"},
        {"3.", "10", "5", "8"},  {"x", "10", "5", "8"},
        {"-4", "10", "5", "8"},  {"99999999999", "10", "5", "8"},
        {"35", "35", "35", "0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.First) + "/" + c.Second);
        auto form = NewEntry();
        form->Blank_StringGrid->SetCells(5, 1, c.First);
        form->Blank_StringGrid->SetCells(5, 2, c.Second);
        form->RecalcColumnSummary(5);
        EXPECT_EQ(Mean(*form, 5), c.Mean);
        EXPECT_EQ(Deviation(*form, 5), c.Deviation);
    }

    // A typed score recalculates its column alone.
    auto form = NewEntry();
    Paste(*form, 3, 1, "10");
    Paste(*form, 3, 2, "13");
    EXPECT_EQ(Mean(*form, 3), "12");
    EXPECT_EQ(Deviation(*form, 3), "3");
    EXPECT_EQ(Mean(*form, 4), "0");
}

TEST_F(TeamBlankFormTest, OKRefusesAtTheFirstFailingCheck) {
    struct TCase {
        const char* What;
        std::function<void(TTeamBlnk_Form&)> Spoil;
        const char* Text;
    };
    const TCase cases[] = {
        {"no place of work", [](TTeamBlnk_Form& F) { F.Job_Edit->SetText(""); },
         "Не заполнено обязательное для заполнения поле \"Место работы\"! Повторите ввод."},
        {"fewer employees than respondents",
         [](TTeamBlnk_Form& F) {
             F.NumberofTested_Edit->SetValue(3);
             F.Blank_StringGrid->SetCells(1, 3, "Р3"_cp);
             F.NumberofEmployes_Edit->SetValue(2);
         },
         "Количество респондентов превышает общее количество сотрудников отдела. Повторите ввод."},
        {"a label missing", [](TTeamBlnk_Form& F) { F.Blank_StringGrid->SetCells(1, 2, ""); },
         "Не заполнены обозначения респондентов.Повторите ввод."},
        {"a score above the range", [](TTeamBlnk_Form& F) { F.Blank_StringGrid->SetCells(7, 2, "36"); },
         "Неверное значение сырого балла в  строке №2 в шкале F. Повторите ввод."},
        {"a score that is no whole number",
         [](TTeamBlnk_Form& F) { F.Blank_StringGrid->SetCells(2, 1, "3."); },
         "Неверное значение сырого балла в  строке №1 в шкале A. Повторите ввод."},
        {"the place of work before the scores",
         [](TTeamBlnk_Form& F) {
             F.Job_Edit->SetText("");
             F.Blank_StringGrid->SetCells(2, 1, "40");
         },
         "Не заполнено обязательное для заполнения поле \"Место работы\"! Повторите ввод."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        auto form = NewEntry();
        FillValid(*form);
        c.Spoil(*form);
        Boxes.Log.clear();
        form->OK_ButtonClick(form->OK_Button);
        ASSERT_EQ(Boxes.Log.size(), 1u);
        EXPECT_EQ(Boxes.Log[0].Text, Utf8ToAnsi(c.Text));
        EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка ввода данных"_cp);
        EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONINFORMATION));
        EXPECT_EQ(form->ModalResult(), mrNone);
    }
}

TEST_F(TeamBlankFormTest, AScoreAboveTheRangeIsDrawnBoldRed) {
    auto form = NewEntry();
    TCanvas* canvas = form->Blank_StringGrid->Canvas();
    for (const char* text : {"35", "36", "3.", ""}) {
        SCOPED_TRACE(text);
        form->Blank_StringGrid->SetCells(4, 1, text);
        canvas->Font()->SetColor(clWindowText);
        form->Blank_StringGridDrawCell(form->Blank_StringGrid, 4, 1, form->Blank_StringGrid->CellRect(4, 1),
                                       0);
        EXPECT_EQ(canvas->Font()->Color(), std::string(text) == "36" ? clRed : clWindowText);
        EXPECT_EQ(canvas->Font()->Style(), 0u) << "the next cell starts from the plain font";
    }
}

TEST_F(TeamBlankFormTest, TheStoredTextsComeBackIntoTheSameCells) {
    auto form = NewEntry();
    FillValid(*form);
    for (int c = 2; c < 10; ++c)
        form->Blank_StringGrid->SetCells(c, 2, "");
    form->NumberofEmployes_Edit->SetValue(40);
    const TDateTime picked = EncodeDate(2007, 5, 14) + EncodeTime(11, 0, 0, 0);
    form->DateTest_Edit->SetDateTime(picked);
    form->Department_Edit->SetText("Цех №2"_cp);
    form->OK_ButtonClick(form->OK_Button);
    ASSERT_EQ(form->ModalResult(), mrOk);
    TTeam team = form->Team;
    EXPECT_EQ(team.EMPNAMES, "Р1#Р2#"_cp);
    EXPECT_EQ(team.DATA, "3/4/5/6/7/8/9/10/////////") << "an empty row stores eight empty pieces";
    EXPECT_EQ(team.JOB, "Завод"_cp);
    EXPECT_EQ(team.DEPARTMENT, "Цех №2"_cp);
    EXPECT_EQ(team.NUMBEROFEMPLOYES, 40);
    EXPECT_EQ(team.NUMBEROFTESTED, 2);
    EXPECT_NEAR(team.DATETEST, picked, 1.0 / 86400);
    EXPECT_EQ(team.TEAM_ID, -1) << "the window only edits the record";

    team.TEAM_ID = 7;
    TTeamBlnk_Form again(nullptr);
    again.Team = team;
    again.FillForm();
    EXPECT_FALSE(again.NumberofTested_Edit->Enabled()) << "a stored entry keeps its respondents";
    EXPECT_EQ(again.Job_Edit->Text(), "Завод"_cp);
    EXPECT_EQ(again.NumberofEmployes_Edit->GetValueAsInteger(), 40);
    EXPECT_EQ(again.DateTest_Edit->DateTime(), team.DATETEST);
    EXPECT_EQ(again.Blank_StringGrid->Cells(1, 2), "Р2"_cp);
    EXPECT_EQ(again.Blank_StringGrid->Cells(9, 1), "10");
    EXPECT_EQ(again.Blank_StringGrid->Cells(2, 2), "");
    EXPECT_EQ(Mean(again, 9), "5");
    again.OK_ButtonClick(again.OK_Button);
    EXPECT_EQ(again.Team.DATA, team.DATA) << "stored back unchanged";
    EXPECT_EQ(again.Team.EMPNAMES, team.EMPNAMES);
}

TEST_F(TeamBlankFormTest, AStoredEntryOfMoreValuesThanRowsStaysInTheGrid) {
    struct TCase {
        const char* What;
        int Tested;
        const char* Names;
        const char* Data;
        const char* FirstScore;
    };
    const std::string many = [] {
        std::string s;
        for (int k = 0; k < 40; ++k)
            s += std::to_string(k % 30) + "/";
        return s;
    }();
    const TCase cases[] = {
        {"more labels and scores", 2, "а#б#в#г#", many.c_str(), "0"},
        {"no respondent count stored", -1, "а#б#в#", many.c_str(), "0"},
        {"fewer values", 3, "а#", "1/2/", "1"},
        {"text after the last separator", 2, "а#б#в", "1/2/3", "1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TTeamBlnk_Form form(nullptr);
        form.Team.TEAM_ID = 3;
        form.Team.JOB = "Завод"_cp;
        form.Team.NUMBEROFTESTED = c.Tested;
        form.Team.EMPNAMES = Utf8ToAnsi(c.Names);
        form.Team.DATA = c.Data;
        form.FillForm();
        const int n = Respondents(form);
        EXPECT_EQ(n, c.Tested == -1 ? 2 : c.Tested);
        EXPECT_EQ(form.Blank_StringGrid->Cells(1, n + 1), "Среднее"_cp);
        EXPECT_EQ(form.Blank_StringGrid->Cells(1, n + 2), "Отклонение"_cp);
        EXPECT_EQ(form.Blank_StringGrid->Cells(1, 1), "а"_cp);
        EXPECT_EQ(form.Blank_StringGrid->Cells(2, 1), c.FirstScore);
        EXPECT_EQ(form.Blank_StringGrid->Cells(0, n + 1), "") << "the summary rows hold no values";
    }
}

TEST_F(TeamBlankFormTest, SelectedTesteesFillLabelsAndScoresAndCleanedNamesAreTold) {
    const int32_t tested = AddTestee("Андреев");
    const int32_t untested = AddTestee("Бригада #2");
    const AnsiString answers = "0123450123450123450123450123";
    TTestData old;
    old.USER_ID = tested;
    old.DATETEST = EncodeDate(2005, 1, 1);
    old.ANSWERS = AnsiString(28, '5');
    ASSERT_GT(DM->ApplyTest(akInsert, old), 0);
    TTestData newest = old;
    newest.DATETEST = EncodeDate(2006, 1, 1);
    newest.ANSWERS = answers;
    ASSERT_GT(DM->ApplyTest(akInsert, newest), 0);

    DM->OpenUsers(-1, Database.DB_ID);
    TStringList list;
    list.Add(IntToStr(tested));
    list.Add(IntToStr(untested));
    list.Add("999999"); // gone since it was selected
    Dialogs.Answers.push_back(Expect<TTeamBlnk_Form>(
        [&](TTeamBlnk_Form& w) {
            EXPECT_EQ(w.NumberofTested_Edit->GetValueAsInteger(), 3);
            EXPECT_EQ(w.NumberofEmployes_Edit->GetValueAsInteger(), 3) << "raised with the respondents";
            EXPECT_TRUE(w.NumberofTested_Edit->Enabled());
            EXPECT_EQ(w.Blank_StringGrid->Cells(1, 1), "Андреев"_cp);
            EXPECT_EQ(w.Blank_StringGrid->Cells(1, 2), "Бригада №2"_cp);
            EXPECT_EQ(w.Blank_StringGrid->Cells(1, 3), "");
            TTestResult score;
            score.SetAnswers(answers);
            for (int scale = 0; scale < ScaleCount; ++scale) {
                EXPECT_EQ(w.Blank_StringGrid->Cells(2 + scale, 1), IntToStr(score.GetRawScore(scale)))
                    << scale;
                EXPECT_EQ(w.Blank_StringGrid->Cells(2 + scale, 2), "") << "no test, no scores";
            }
            EXPECT_EQ(Mean(w, 2), IntToStr((score.GetRawScore(0) + 2) / 3));
            w.Job_Edit->SetText("Завод"_cp);
            w.Blank_StringGrid->SetCells(1, 3, "Новый"_cp);
            w.OK_ButtonClick(w.OK_Button);
        },
        mrOk));
    TTeam team;
    team.TEAM_ID = 5;
    ASSERT_TRUE(NewTeamFromTestees(&list, team));
    EXPECT_EQ(team.TEAM_ID, -1) << "always a new entry";
    EXPECT_EQ(team.EMPNAMES, "Андреев#Бригада №2#Новый#"_cp);
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_NE(Boxes.Log[0].Text.find("\"#\" заменен на \"№\""_cp), AnsiString::npos)
        << AnsiToUtf8(Boxes.Log[0].Text);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONWARNING));
}

TEST_F(TeamBlankFormTest, MoreThanAHundredSelectedTesteesAreRefusedWithAMessage) {
    DM->OpenUsers(-1, Database.DB_ID);
    TStringList list;
    for (int k = 1; k <= MaxRespondents; ++k)
        list.Add(IntToStr(100000 + k));
    Dialogs.Answers.push_back(Expect<TTeamBlnk_Form>(
        [](TTeamBlnk_Form& w) {
            EXPECT_EQ(w.NumberofTested_Edit->GetValueAsInteger(), MaxRespondents);
            EXPECT_EQ(w.Blank_StringGrid->RowCount(), MaxRespondents + 3);
        },
        mrCancel));
    TTeam team;
    EXPECT_FALSE(NewTeamFromTestees(&list, team));
    EXPECT_EQ(Dialogs.Log.size(), 1u) << "a hundred fit";
    EXPECT_TRUE(Boxes.Log.empty());

    list.Add("1");
    EXPECT_FALSE(NewTeamFromTestees(&list, team));
    EXPECT_EQ(Dialogs.Log.size(), 1u) << "no window for more";
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_NE(Boxes.Log[0].Text.find("Выбрано тестируемых: 101"_cp), AnsiString::npos);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONWARNING));
}

TEST_F(TeamBlankFormTest, TheRespondentCountReshapesTheGridAndAsksBeforeDroppingARow) {
    auto form = NewEntry();
    TStringGrid* grid = form->Blank_StringGrid;
    grid->SetCells(1, 1, "Р1"_cp);
    grid->SetCells(2, 2, "10");
    form->NumberofTested_Edit->SetValue(3);
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(grid->Cells(0, 3), "3");
    EXPECT_EQ(grid->Cells(1, 3), "");
    EXPECT_EQ(grid->Cells(2, 3), "");
    EXPECT_EQ(grid->Cells(1, 4), "Среднее"_cp);
    EXPECT_EQ(grid->Cells(1, 5), "Отклонение"_cp);
    EXPECT_EQ(grid->Cells(2, 4), "4");
    EXPECT_EQ(grid->Cells(1, 1), "Р1"_cp) << "the rows typed are kept";
    EXPECT_EQ(form->NumberofEmployes_Edit->GetValueAsInteger(), 3) << "raised with the respondents";
    EXPECT_TRUE(Boxes.Log.empty());

    // An empty last row goes without a question.
    form->NumberofTested_Edit->SetValue(2);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_TRUE(Boxes.Log.empty());

    form->NumberofTested_Edit->SetValue(3);
    grid->SetCells(1, 3, "Р3"_cp);
    Boxes.Answers.push_back(IDNO);
    form->NumberofTested_Edit->SetValue(2);
    ASSERT_EQ(Boxes.Log.size(), 1u) << "going back asks no second time";
    EXPECT_EQ(Boxes.Log[0].Caption, "Подтверждение изменения количества респондентов"_cp);
    EXPECT_EQ(Boxes.Log[0].Buttons(), unsigned(MB_YESNO));
    EXPECT_EQ(form->NumberofTested_Edit->GetValueAsInteger(), 3);
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(grid->Cells(1, 3), "Р3"_cp);

    Boxes.Answers.push_back(IDYES);
    form->NumberofTested_Edit->SetValue(2);
    EXPECT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->Cells(1, 3), "Среднее"_cp);
    EXPECT_EQ(grid->Cells(2, 3), "5");
    EXPECT_EQ(grid->Cells(0, 3), "");
}

TEST_F(TeamBlankFormTest, OnlyRespondentCellsTakeInputAndEnterMovesOn) {
    auto form = NewEntry();
    TStringGrid* grid = form->Blank_StringGrid;
    for (auto [col, row] : {std::pair{0, 1}, {2, 0}, {2, 3}, {2, 4}})
        EXPECT_FALSE(grid->FocusCell(col, row)) << col << "/" << row;
    EXPECT_TRUE(grid->FocusCell(9, 1));

    struct TCase {
        int Col, Row, ToCol, ToRow;
        bool Replaced;
    };
    for (const TCase& c : {TCase{3, 1, 4, 1, true}, TCase{9, 1, 1, 2, true}, TCase{9, 2, 9, 2, false}}) {
        SCOPED_TRACE(std::to_string(c.Col) + "/" + std::to_string(c.Row));
        grid->FocusCell(c.Col, c.Row);
        uint16_t key = VK_RETURN;
        form->Blank_StringGridKeyDown(grid, key, 0);
        EXPECT_EQ(grid->Col(), c.ToCol);
        EXPECT_EQ(grid->Row(), c.ToRow);
        EXPECT_EQ(key, c.Replaced ? 0xFE : VK_RETURN);
    }
}
