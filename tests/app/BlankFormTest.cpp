// The paper answer sheet: typing and pasting into the two rows of points,
// the moves between cells, the cells that take no input, how pairs that do
// not add up to five are shown and refused, the stored sheet and its
// correction, a failed write, and a data file of another number of pairs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "AppFixture.h"
#include "platform/db/IBQuery.h"

namespace {

class BlankFormTest : public AppFixture {
protected:
    // A new sheet for a stored testee.
    std::unique_ptr<TBlank_Form> NewSheet() {
        auto form = std::make_unique<TBlank_Form>(nullptr);
        form->TestData.USER_ID = AddTestee("Иванов");
        form->FillGrid();
        form->FocusCell(form->Blank_Grid, 1, 0);
        return form;
    }
    static void Type(TBlank_Form& F, const char* Keys) {
        for (const char* k = Keys; *k; ++k)
            F.Blank_Grid->Perform(WM_CHAR, static_cast<unsigned char>(*k), 0);
    }
    // Text the cell editor takes by itself, as a paste gives it.
    static void Paste(TBlank_Form& F, const AnsiString& Text) {
        F.Blank_Grid->InplaceEditor()->SetText(Text);
    }
    static void FillAll(TBlank_Form& F, char First) {
        for (int c = 0; c < F.Blank_Grid->ColCount(); ++c) {
            F.Blank_Grid->SetCells(c, 1, AnsiString(1, First));
            F.Blank_Grid->SetCells(c, 2, AnsiString(1, char('5' - (First - '0'))));
        }
    }
    TTestData StoredTest(int32_t UserId) {
        TUser user;
        user.USER_ID = UserId;
        TTestData test;
        EXPECT_TRUE(DM->ReadLastTest(user, test));
        return test;
    }
};

} // namespace

// The sheet opens on the first answer with the pair numbers above and below
// it in view.
TEST_F(BlankFormTest, TheSheetOpensWithItsPairNumbersInView) {
    auto form = NewSheet();
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
    QApplication::processEvents();
    TStringGrid* grid = form->Blank_Grid;
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 0);
    for (int r = 0; r < 4; ++r)
        EXPECT_FALSE(grid->CellRect(0, r).IsEmpty()) << "row " << r;
    form->Hide();
}

TEST_F(BlankFormTest, TypedDigitsFillTheCellAndMoveOn) {
    struct TCase {
        const char* What;
        bool AutoCalc;
        int Col, Row;
        const char* Before; // row 1 of Col before
        const char* Keys;
        const char* First;  // row 1 of Col afterwards
        const char* Second; // row 2 of Col afterwards
        int ToCol, ToRow;
    };
    const TCase cases[] = {
        {"calculated second points", true, 5, 1, "", "3", "3", "2", 6, 1},
        {"typed second points", false, 5, 1, "", "3", "3", "", 5, 2},
        {"the second row, on to the next pair", false, 5, 2, "", "1", "", "1", 6, 1},
        {"the last pair, calculated", true, 27, 1, "", "4", "4", "1", 27, 1},
        {"the last pair's last row", false, 27, 2, "", "4", "", "4", 27, 2},
        {"no answer digits", true, 5, 1, "", ".x7 -", "", "", 5, 1},
        {"a digit replaces the cell", false, 5, 1, "2", "4", "4", "", 5, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        auto form = NewSheet();
        form->AutoCalc_CheckBox->SetChecked(c.AutoCalc);
        form->Blank_Grid->SetCells(c.Col, 1, c.Before);
        form->FocusCell(form->Blank_Grid, c.Row, c.Col);
        Type(*form, c.Keys);
        EXPECT_EQ(form->Blank_Grid->Cells(c.Col, 1), c.First);
        EXPECT_EQ(form->Blank_Grid->Cells(c.Col, 2), c.Second);
        EXPECT_EQ(form->Blank_Grid->Col(), c.ToCol);
        EXPECT_EQ(form->Blank_Grid->Row(), c.ToRow);
    }
}

TEST_F(BlankFormTest, PastedTextIsTakenOnlyAsOneAnswerDigit) {
    struct TCase {
        const char* Pasted;
        const char* First;
        const char* Second;
    };
    // Row 1 of the first pair held "4" over a calculated "1".
    const TCase cases[] = {{"2", "2", "3"},  {"", "", ""},    {"34", "4", "1"}, {".", "4", "1"},
                           {"3.", "4", "1"}, {"7", "4", "1"}, {" 3", "4", "1"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pasted);
        auto form = NewSheet();
        form->AutoCalc_CheckBox->SetChecked(true);
        Type(*form, "4");
        form->FocusCell(form->Blank_Grid, 1, 0);
        Paste(*form, c.Pasted);
        EXPECT_EQ(form->Blank_Grid->Cells(0, 1), c.First);
        EXPECT_EQ(form->Blank_Grid->Cells(0, 2), c.Second);
        EXPECT_EQ(form->Blank_Grid->InplaceEditor()->Text(), c.First)
            << "the editor shows what the cell took";
    }
}

TEST_F(BlankFormTest, NumbersAndCalculatedPointsTakeNoInput) {
    auto form = NewSheet();
    TStringGrid* grid = form->Blank_Grid;
    EXPECT_EQ(grid->Cells(0, 0), "1");
    EXPECT_EQ(grid->Cells(0, 3), "2");
    EXPECT_EQ(grid->Cells(27, 0), "55");
    EXPECT_EQ(grid->Cells(27, 3), "56");
    form->FocusCell(grid, 1, 4);
    for (int row : {0, 3})
        EXPECT_FALSE(grid->FocusCell(4, row)) << row;
    EXPECT_TRUE(grid->FocusCell(4, 2));

    // Ticking the box goes back to row 1 of the same pair, and row 2 is
    // then closed.
    form->AutoCalc_CheckBox->SetChecked(true);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_FALSE(grid->FocusCell(4, 2));
    EXPECT_TRUE(grid->Options() & goEditing) << "the current cell stays editable";
}

TEST_F(BlankFormTest, PairsThatDoNotMakeFiveAreDrawnRedAndRefused) {
    struct TCase {
        const char* First;
        const char* Second;
        bool Wrong;
    };
    const TCase cases[] = {
        {"4", "3", true}, {"4", "0", true}, {"4", "1", false}, {"4", "", false}, {"0", "5", false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.First) + "/" + c.Second);
        auto form = NewSheet();
        FillAll(*form, '2');
        form->Blank_Grid->SetCells(6, 1, c.First);
        form->Blank_Grid->SetCells(6, 2, c.Second);
        TCanvas* canvas = form->Blank_Grid->Canvas();
        for (int row : {1, 2}) {
            canvas->Font()->SetColor(clWindowText);
            form->Blank_GridDrawCell(form->Blank_Grid, 6, row, form->Blank_Grid->CellRect(6, row), 0);
            EXPECT_EQ(canvas->Font()->Color(), c.Wrong ? clRed : clWindowText) << "row " << row;
        }
        Boxes.Log.clear();
        form->OK_ButtonClick(form->OK_Button);
        if (c.Wrong) {
            ASSERT_EQ(Boxes.Log.size(), 1u);
            EXPECT_EQ(Boxes.Log[0].Text, "Не верное значение в столбце №7."_cp);
            EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка ввода данных"_cp);
            EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONWARNING));
            EXPECT_EQ(form->ModalResult(), mrNone);
        } else {
            EXPECT_TRUE(Boxes.Log.empty());
            EXPECT_EQ(form->ModalResult(), mrOk);
        }
    }
}

TEST_F(BlankFormTest, NumberRowsAreBoldAndCalculatedPointsGrey) {
    auto form = NewSheet();
    TCanvas* canvas = form->Blank_Grid->Canvas();
    auto draw = [&](int Row) {
        canvas->Brush()->SetColor(clWindow);
        canvas->Font()->SetStyle(0);
        form->Blank_GridDrawCell(form->Blank_Grid, 0, Row, form->Blank_Grid->CellRect(0, Row), 0);
    };
    for (int row : {0, 3}) {
        draw(row);
        EXPECT_EQ(canvas->Font()->Style(), TFontStyles(fsBold));
        EXPECT_EQ(canvas->Brush()->Color(), clBtnFace);
    }
    draw(2);
    EXPECT_EQ(canvas->Brush()->Color(), clWindow);
    form->AutoCalc_CheckBox->SetChecked(true);
    draw(2);
    EXPECT_EQ(canvas->Brush()->Color(), clBtnFace);
    EXPECT_EQ(canvas->Font()->Style(), 0u);
}

TEST_F(BlankFormTest, AnUnfilledPairIsRefusedFirst) {
    auto form = NewSheet();
    FillAll(*form, '3');
    form->Blank_Grid->SetCells(3, 1, "");
    form->Blank_Grid->SetCells(9, 1, "5");
    form->OK_ButtonClick(form->OK_Button);
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "Не заполнены все ответы. Необходимо заполнить все поля."_cp);
    EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST_F(BlankFormTest, ANewSheetIsStoredWithThePickedDateAndNoDuration) {
    auto form = NewSheet();
    const int32_t user = form->TestData.USER_ID;
    FillAll(*form, '1');
    form->Blank_Grid->SetCells(0, 1, "4");
    form->Blank_Grid->SetCells(0, 2, "");
    const TDateTime picked = EncodeDate(2006, 11, 3) + EncodeTime(9, 30, 0, 0);
    form->DateTest_Edit->SetDateTime(picked);
    form->Comment_Edit->SetText("Заполнен на бумаге"_cp);
    form->OK_ButtonClick(form->OK_Button);
    EXPECT_EQ(form->ModalResult(), mrOk);
    const TTestData stored = StoredTest(user);
    EXPECT_EQ(stored.ANSWERS, "4" + AnsiString(27, '1')) << "an empty second row is no error";
    EXPECT_NEAR(stored.DATETEST, picked, 1.0 / 86400);
    EXPECT_EQ(stored.TESTDURATION, 0);
    EXPECT_EQ(stored.COMMENTS, "Заполнен на бумаге"_cp);
}

TEST_F(BlankFormTest, AStoredTestIsShownAndCorrected) {
    const int32_t user = AddTestee("Петров");
    TTestData test;
    test.USER_ID = user;
    test.DATETEST = EncodeDate(2007, 3, 1);
    test.ANSWERS = "2" + AnsiString(27, '5');
    test.TESTDURATION = 600;
    test.COMMENTS = "Первый"_cp;
    test.TEST_ID = DM->ApplyTest(akInsert, test);
    ASSERT_GT(test.TEST_ID, 0);

    Dialogs.Answers.push_back(Expect<TBlank_Form>(
        [&](TBlank_Form& w) {
            EXPECT_EQ(w.Blank_Grid->Cells(0, 1), "2");
            EXPECT_EQ(w.Blank_Grid->Cells(0, 2), "3");
            EXPECT_EQ(w.Blank_Grid->Cells(27, 2), "0");
            EXPECT_EQ(w.DateTest_Edit->Date(), EncodeDate(2007, 3, 1));
            EXPECT_EQ(w.Comment_Edit->Text(), "Первый"_cp);
            w.Blank_Grid->SetCells(0, 1, "0");
            w.Blank_Grid->SetCells(0, 2, "5");
            w.OK_ButtonClick(w.OK_Button);
        },
        mrOk));
    EXPECT_TRUE(EnterFromBlank(test));
    const TTestData stored = StoredTest(user);
    EXPECT_EQ(stored.TEST_ID, test.TEST_ID) << "corrected, not added";
    EXPECT_EQ(stored.ANSWERS, "0" + AnsiString(27, '5'));
    EXPECT_EQ(stored.TESTDURATION, 600) << "the duration is kept";

    // Cancel writes nothing.
    Dialogs.Answers.push_back(
        Expect<TBlank_Form>([](TBlank_Form& w) { w.Blank_Grid->SetCells(1, 1, "1"); }, mrCancel));
    EXPECT_FALSE(EnterFromBlank(stored));
    EXPECT_EQ(StoredTest(user).ANSWERS, stored.ANSWERS);
}

TEST_F(BlankFormTest, StoredAnswersThatAreNoDigitsShowAsCellsToFill) {
    TBlank_Form form(nullptr);
    form.TestData.ANSWERS = "3x9";
    form.FillGrid();
    EXPECT_EQ(form.Blank_Grid->Cells(0, 1), "3");
    EXPECT_EQ(form.Blank_Grid->Cells(0, 2), "2");
    for (int c : {1, 2, 3})
        for (int row : {1, 2})
            EXPECT_EQ(form.Blank_Grid->Cells(c, row), "") << c << "/" << row;
}

TEST_F(BlankFormTest, AFailedWriteKeepsTheSheetOpenForAnotherTry) {
    auto form = NewSheet();
    const int32_t user = form->TestData.USER_ID;
    FillAll(*form, '3');
    DM->Main_IBDatabase->Close();
    form->OK_ButtonClick(form->OK_Button);
    EXPECT_EQ(form->ModalResult(), mrNone) << "not reported as stored";
    ASSERT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(Boxes.Log[0].Caption, "Error");
    EXPECT_EQ(Boxes.Log[1].Caption, "Ошибка"_cp);
    EXPECT_EQ(form->Blank_Grid->Cells(27, 1), "3") << "nothing typed is lost";

    DM->Main_IBDatabase->Open();
    form->OK_ButtonClick(form->OK_Button);
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(StoredTest(user).ANSWERS, AnsiString(28, '3'));
}

TEST_F(BlankFormTest, ADataFileOfOtherPairsIsToldAtStartAndTheSheetShowsNoMore) {
    CheckStatementPairCount();
    EXPECT_TRUE(Boxes.Log.empty()) << "28 pairs, as the sheet has";

    TIBQuery cut(nullptr);
    cut.SetDatabase(DM->Data_IBDatabase);
    cut.SetSQL("delete from STATEMENTS where NUM_STATEMENT > 26");
    cut.ExecQuery();
    DM->Data_IBTransaction->Commit();
    DM.reset();
    DM = std::make_unique<TMain_DataModule>(nullptr);
    CheckStatementPairCount();
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_NE(Boxes.Log[0].Text.find("26 пар утверждений, а бланк ответов рассчитан на 28"_cp),
              AnsiString::npos)
        << AnsiToUtf8(Boxes.Log[0].Text);
    EXPECT_NE(Boxes.Log[0].Text.find("покажет только 26 пар"_cp), AnsiString::npos);
    EXPECT_EQ(Boxes.Log[0].Text.find("не смогут быть сохранены"_cp), AnsiString::npos)
        << "a sheet of fewer pairs still stores its tests";
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONWARNING));

    TBlank_Form form(nullptr);
    EXPECT_EQ(form.Blank_Grid->ColCount(), 26);
    form.TestData.ANSWERS = AnsiString(28, '1');
    form.FillGrid();
    EXPECT_EQ(form.Blank_Grid->Cells(25, 1), "1");

    auto sheet = NewSheet();
    FillAll(*sheet, '2');
    sheet->OK_ButtonClick(sheet->OK_Button);
    EXPECT_EQ(sheet->ModalResult(), mrOk) << "a sheet of fewer pairs stores, as the warning says";
    EXPECT_EQ(StoredTest(sheet->TestData.USER_ID).ANSWERS, AnsiString(26, '2'));
}
