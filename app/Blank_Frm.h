// The paper answer-sheet entry: the points of both statements of every
// pair as the testee marked them on paper, the test date and a note, stored
// as a new test or as the correction of a stored one.
#pragma once

#include "core/DataMod.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Grids.h"
#include "platform/gui/StdCtrls.h"

// The pairs the paper sheet has room for.
constexpr int BlankPairCount = 28;

class TBlank_Form : public TForm {
public:
    explicit TBlank_Form(TComponent* AOwner);

    // The caller's record; TEST_ID -1 is a new sheet.
    TTestData TestData;

    TGroupBox* Answers_GroupBox;
    TStringGrid* Blank_Grid;
    TCheckBox* AutoCalc_CheckBox;
    TLabel* DateTest_Label;
    TDateTimePicker* DateTest_Edit;
    TLabel* Comment_Label;
    TMemo* Comment_Edit;
    TButton* OK_Button;
    TButton* Cancel_Button;

    void FillNumbers();
    void FillGrid();
    void MoveToNextCell();
    void FocusCell(TStringGrid* Grid, int Row, int Col);

    void FormShow(TObject* Sender);
    void Blank_GridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void Blank_GridKeyPress(TObject* Sender, char& Key);
    // Text the cell editor took by itself (pasted, deleted, undone).
    void Blank_GridSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void AutoCalc_CheckBoxClick(TObject* Sender);
    void Blank_GridDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    void OK_ButtonClick(TObject* Sender);
    void Cancel_ButtonClick(TObject* Sender);

private:
    // The points in row 1 or 2 of Col; -1 for an empty or unreadable cell.
    int Points(int Col, int Row) const;
    // Both rows of Col hold points that do not add up to five.
    bool PairSumWrong(int Col) const;
    // Sets row 1 of the current column (and row 2 when it is calculated).
    void TakeDigit(int Row, const AnsiString& Digit);
    // The current cell's text before the editor changed it: what a refused
    // paste goes back to.
    AnsiString FCellBefore;
};

// The pairs the questionnaire has, of which the sheet shows at most
// BlankPairCount.
int BlankColumnCount();

// At start: tells the user when the data file does not hold the pairs the
// paper sheet expects.
void CheckStatementPairCount();

// Takes the answers of a paper sheet as a new test (TEST_ID -1) or as the
// correction of a stored one; true, with the test stored, on OK. The
// caller's record is not changed.
bool EnterFromBlank(const TTestData& TestData);
