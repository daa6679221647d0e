// The answer sheet's grid: which cells take input, the keys and pasted
// text they take, the move to the next cell, and how cells are drawn.
#include "app/Blank_Frm.h"

namespace {
constexpr int kFirstRow = 1;
constexpr int kSecondRow = 2;
constexpr int kTextTop = 2;

bool IsPointsDigit(char C) {
    return C >= '0' && C <= '5';
}

// Exactly one digit 0 to 5.
bool IsPointsText(const AnsiString& Text) {
    return Text.size() == 1 && IsPointsDigit(Text[0]);
}
} // namespace

int TBlank_Form::Points(int Col, int Row) const {
    const AnsiString text = Blank_Grid->Cells(Col, Row);
    return IsPointsText(text) ? text[0] - '0' : -1;
}

bool TBlank_Form::PairSumWrong(int Col) const {
    const int first = Points(Col, kFirstRow), second = Points(Col, kSecondRow);
    return first >= 0 && second >= 0 && first + second != 5;
}

void TBlank_Form::FocusCell(TStringGrid* Grid, int Row, int Col) {
    if (Grid->CanFocus()) Grid->SetFocus();
    Grid->FocusCell(Col, Row);
}

void TBlank_Form::Blank_GridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    // The statement numbers never take input, nor the second points while
    // they are calculated. A refused cell leaves the current one editable.
    if (ARow == 0 || ARow == 3 || (ARow == kSecondRow && AutoCalc_CheckBox->Checked())) {
        CanSelect = false;
        return;
    }
    FCellBefore = Blank_Grid->Cells(ACol, ARow);
}

void TBlank_Form::TakeDigit(int Row, const AnsiString& Digit) {
    const int col = Blank_Grid->Col();
    Blank_Grid->SetCells(col, Row, Digit);
    FCellBefore = Digit;
    if (Row == kFirstRow && AutoCalc_CheckBox->Checked())
        Blank_Grid->SetCells(col, kSecondRow, Digit.empty() ? AnsiString() : IntToStr(5 - (Digit[0] - '0')));
    Blank_Grid->Invalidate();
}

void TBlank_Form::Blank_GridKeyPress(TObject*, char& Key) {
    if (IsPointsDigit(Key)) {
        TakeDigit(Blank_Grid->Row(), AnsiString(1, Key));
        MoveToNextCell();
        Key = 0;
        return;
    }
    // Backspace and the editing keys (Ctrl+V, Ctrl+X, Ctrl+Z) reach the cell
    // editor, whose text is checked as it changes; every other character,
    // "." included, is no answer.
    if (static_cast<unsigned char>(Key) >= ' ') Key = 0;
}

void TBlank_Form::Blank_GridSetEditText(TObject*, int, int ARow, const AnsiString& Value) {
    if (Value.empty() || IsPointsText(Value)) {
        TakeDigit(ARow, Value);
        return;
    }
    // Pasted text that is not one answer digit: the cell keeps what it had.
    Blank_Grid->SetCells(Blank_Grid->Col(), ARow, FCellBefore);
}

void TBlank_Form::MoveToNextCell() {
    const bool autoCalc = AutoCalc_CheckBox->Checked();
    const int lastRow = autoCalc ? kFirstRow : kSecondRow;
    const int col = Blank_Grid->Col(), row = Blank_Grid->Row();
    if (col == Blank_Grid->ColCount() - 1 && row == lastRow) return;
    if (autoCalc || row == kSecondRow)
        FocusCell(Blank_Grid, kFirstRow, col + 1);
    else
        FocusCell(Blank_Grid, kSecondRow, col);
}

void TBlank_Form::AutoCalc_CheckBoxClick(TObject*) {
    if (AutoCalc_CheckBox->Checked()) FocusCell(Blank_Grid, kFirstRow, Blank_Grid->Col());
    Blank_Grid->Invalidate();
}

void TBlank_Form::Blank_GridDrawCell(TObject*, int ACol, int ARow, const TRect& Rect, TGridDrawState) {
    TCanvas* canvas = Blank_Grid->Canvas();
    const bool number = ARow == 0 || ARow == 3;
    if (number || (ARow == kSecondRow && AutoCalc_CheckBox->Checked())) canvas->Brush()->SetColor(clBtnFace);
    canvas->Font()->SetStyle(number ? TFontStyles(fsBold) : 0);
    if (!number && PairSumWrong(ACol)) canvas->Font()->SetColor(clRed);
    const AnsiString text = Blank_Grid->Cells(ACol, ARow);
    canvas->FillRect(Rect);
    canvas->TextOut(Rect.Left + (Rect.Width() - canvas->TextWidth(text)) / 2, Rect.Top + kTextTop, text);
}
