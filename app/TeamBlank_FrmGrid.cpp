// The group entry's grid: its shape for the respondent count, the column
// summaries, which cells take input and what they take, and drawing.
#include <cstdint>

#include "app/TeamBlank_Frm.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MessageBox.h"

namespace {
constexpr int kColumns = 10;
constexpr int kFirstScoreCol = 2;
constexpr int kRowHeight = 20;
constexpr int kHeaderHeight = 35;
constexpr int kNumberWidth = 35;
constexpr int kLabelWidth = 140;
constexpr int kScoreWidth = 43;
constexpr int kDesignedWidth = 589;
constexpr int kTextTop = 2;
constexpr int kMaxScoreDigits = 2;

// Up to two digits.
bool IsScoreText(const AnsiString& Text) {
    return Text.size() <= kMaxScoreDigits && Text.find_first_not_of("0123456789") == AnsiString::npos;
}

// The smallest whole number not below the square root of Num / Den.
int64_t CeilSqrtOfRatio(int64_t Num, int64_t Den) {
    int64_t k = 0;
    while (k * k * Den < Num)
        ++k;
    return k;
}
} // namespace

bool ReadScore(const AnsiString& Text, int& Value) {
    if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != AnsiString::npos)
        return false;
    Value = StrToInt(Text);
    return true;
}

void TTeamBlnk_Form::CreateGrid() {
    Blank_StringGrid = new TStringGrid(this);
    Blank_StringGrid->SetName("Blank_StringGrid");
    Blank_StringGrid->SetParent(this);
    Blank_StringGrid->SetBounds(8, 196, kDesignedWidth - 16, 226);
    Blank_StringGrid->SetAnchors(akLeft | akTop | akRight | akBottom);
    Blank_StringGrid->SetColCount(kColumns);
    Blank_StringGrid->SetRowCount(int(NumberofTested_Edit->GetValueAsInteger()) + 3);
    Blank_StringGrid->SetFixedCols(0);
    Blank_StringGrid->SetFixedRows(0);
    Blank_StringGrid->SetDefaultRowHeight(kRowHeight);
    Blank_StringGrid->SetScrollBars(TScrollStyle::ssVertical);
    Blank_StringGrid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing |
                                 goEditing | goAlwaysShowEditor);
    Blank_StringGrid->SetColWidths(0, kNumberWidth);
    Blank_StringGrid->SetColWidths(1, kLabelWidth);
    for (int c = kFirstScoreCol; c < kColumns; ++c)
        Blank_StringGrid->SetColWidths(c, kScoreWidth);
    Blank_StringGrid->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        Blank_StringGridSelectCell(Sender, ACol, ARow, CanSelect);
    };
    Blank_StringGrid->OnKeyDown = [this](TObject* Sender, uint16_t& Key, TShiftState Shift) {
        Blank_StringGridKeyDown(Sender, Key, Shift);
    };
    Blank_StringGrid->OnKeyPress = [this](TObject* Sender, char& Key) {
        Blank_StringGridKeyPress(Sender, Key);
    };
    Blank_StringGrid->OnSetEditText = [this](TObject* Sender, int ACol, int ARow, const AnsiString& Value) {
        Blank_StringGridSetEditText(Sender, ACol, ARow, Value);
    };
    Blank_StringGrid->OnDrawCell = [this](TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState State) {
        Blank_StringGridDrawCell(Sender, ACol, ARow, Rect, State);
    };
    InitGrid();
}

void TTeamBlnk_Form::NumberofTested_EditChange(TObject*) {
    // Going back to the old count on No changes the count again.
    if (FChangingCount) return;
    FChangingCount = true;
    TScopeGuard done([this] { FChangingCount = false; });
    const int n = int(NumberofTested_Edit->GetValueAsInteger());
    const int rows = Blank_StringGrid->RowCount();
    if (n + 3 < rows && !IsRowEmpty(rows - 3) &&
        MessageBox(
            "Последняя строка содержит данные. Уменьшение количества респондентов приведет к потере уже "
            "введенных данных последнего респондента. Вы действительно желаете уменьшить количество "
            "респондентов?"_cp,
            "Подтверждение изменения количества респондентов"_cp, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        NumberofTested_Edit->SetValue(rows - 3);
        return;
    }
    if (n > NumberofEmployes_Edit->GetValueAsInteger()) NumberofEmployes_Edit->SetValue(n);
    if (n + 3 < rows)
        ClearRows(n + 1, 2);
    else
        ClearRows(rows - 2, 2);
    Blank_StringGrid->SetRowCount(n + 3);
    InitGrid();
}

void TTeamBlnk_Form::InitGrid() {
    TStringGrid* grid = Blank_StringGrid;
    grid->SetCells(0, 0, "№; п/п"_cp);
    grid->SetCells(1, 0, "Обозначение; респондентов"_cp);
    for (int scale = 0; scale < ScaleCount; ++scale)
        grid->SetCells(kFirstScoreCol + scale, 0, ScaleLetters[std::size_t(scale)]);
    const int n = Respondents();
    grid->SetCells(1, n + 1, "Среднее"_cp);
    grid->SetCells(1, n + 2, "Отклонение"_cp);
    grid->SetColWidths(0, kNumberWidth);
    grid->SetRowHeights(0, kHeaderHeight);
    InitRows();
}

void TTeamBlnk_Form::InitRows() {
    const int n = Respondents();
    for (int r = 1; r <= n; ++r)
        Blank_StringGrid->SetCells(0, r, IntToStr(r));
    for (int c = kFirstScoreCol; c < kColumns; ++c)
        RecalcColumnSummary(c);
    Blank_StringGrid->FocusCell(1, 1);
    if (Shown) FocusCell(Blank_StringGrid, 1, 1);
}

void TTeamBlnk_Form::RecalcColumnSummary(int Col) {
    // Whole numbers throughout: a mean or deviation that is whole stays so.
    const int n = Respondents();
    int64_t sum = 0, squares = 0;
    for (int r = 1; r <= n; ++r) {
        int value = 0;
        // An empty or unreadable cell counts as not filled: 0.
        if (!ReadScore(Blank_StringGrid->Cells(Col, r), value)) value = 0;
        sum += value;
        squares += int64_t(value) * value;
    }
    const int64_t mean = (sum + n - 1) / n;
    const int64_t deviation = CeilSqrtOfRatio(n * squares - sum * sum, int64_t(n) * (n - 1));
    Blank_StringGrid->SetCells(Col, n + 1, IntToStr(mean));
    Blank_StringGrid->SetCells(Col, n + 2, IntToStr(deviation));
}

bool TTeamBlnk_Form::IsRowEmpty(int Row) {
    for (int c = 1; c < kColumns; ++c)
        if (!Blank_StringGrid->Cells(c, Row).empty()) return false;
    return true;
}

void TTeamBlnk_Form::ClearRows(int FromRow, int Count) {
    for (int r = FromRow; r < FromRow + Count && r < Blank_StringGrid->RowCount(); ++r)
        for (int c = 0; c < kColumns; ++c)
            Blank_StringGrid->SetCells(c, r, "");
}

void TTeamBlnk_Form::FocusCell(TStringGrid* Grid, int Row, int Col) {
    if (Grid->CanFocus()) Grid->SetFocus();
    Grid->FocusCell(Col, Row);
}

void TTeamBlnk_Form::FormResize(TObject*) {
    // Sizes here leave the frame out: the label column takes what the window
    // grows by.
    Blank_StringGrid->SetColWidths(1, ClientWidth() - kDesignedWidth + kLabelWidth);
}

void TTeamBlnk_Form::Blank_StringGridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    // Only the respondents' labels and scores take input; a refused cell
    // leaves the current one editable.
    if (ARow < 1 || ARow > Respondents() || ACol < 1) {
        CanSelect = false;
        return;
    }
    FCellBefore = Blank_StringGrid->Cells(ACol, ARow);
}

void TTeamBlnk_Form::Blank_StringGridKeyDown(TObject*, uint16_t& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    const int col = Blank_StringGrid->Col(), row = Blank_StringGrid->Row();
    if (col < kColumns - 1)
        Blank_StringGrid->FocusCell(col + 1, row);
    else if (row < Respondents())
        Blank_StringGrid->FocusCell(1, row + 1);
    else
        return; // the last cell: Enter is OK's
    Key = 0xFE;
}

void TTeamBlnk_Form::Blank_StringGridKeyPress(TObject*, char& Key) {
    const bool character = static_cast<unsigned char>(Key) >= ' ';
    if (Blank_StringGrid->Col() == 1) {
        // "#" ends labels in the stored text.
        if (Key == '#') Key = 0;
        return;
    }
    // Backspace and the editing keys (Ctrl+V, Ctrl+X, Ctrl+Z) reach the
    // editor, whose text is checked as it changes.
    if (!character) return;
    const bool full = Blank_StringGrid->Cells(Blank_StringGrid->Col(), Blank_StringGrid->Row()).size() >=
                      std::size_t(kMaxScoreDigits);
    if (full || Key < '0' || Key > '9') Key = 0;
}

void TTeamBlnk_Form::Blank_StringGridSetEditText(TObject*, int ACol, int ARow, const AnsiString& Value) {
    if (ACol == 1) {
        const AnsiString clean = CleanRespondentLabel(Value);
        if (clean != Value) Blank_StringGrid->SetCells(ACol, ARow, clean);
        FCellBefore = clean;
        return;
    }
    if (ACol < kFirstScoreCol) return;
    if (!IsScoreText(Value)) {
        // Pasted text that is no score: the cell keeps what it had.
        Blank_StringGrid->SetCells(ACol, ARow, FCellBefore);
        return;
    }
    FCellBefore = Value;
    RecalcColumnSummary(ACol);
}

void TTeamBlnk_Form::Blank_StringGridDrawCell(TObject*, int ACol, int ARow, const TRect& Rect,
                                              TGridDrawState) {
    const bool respondent = ARow >= 1 && ARow <= Respondents();
    if (respondent && ACol == 1) return; // drawn by the grid
    TCanvas* canvas = Blank_StringGrid->Canvas();
    // The next cell's own drawing starts from the grid's font.
    TScopeGuard plain([canvas] { canvas->Font()->SetStyle(0); });
    const AnsiString text = Blank_StringGrid->Cells(ACol, ARow);
    auto centred = [&](const AnsiString& Line, int Top) {
        canvas->TextOut(Rect.Left + (Rect.Width() - canvas->TextWidth(Line)) / 2, Top, Line);
    };
    if (respondent) {
        int value = 0;
        if (ReadScore(text, value) && value > MaxRawScore) {
            canvas->Font()->SetStyle(fsBold);
            canvas->Font()->SetColor(clRed);
        }
        canvas->FillRect(Rect);
        centred(text, Rect.Top + kTextTop);
        return;
    }
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(Rect);
    const std::size_t split = text.find(';');
    centred(text.substr(0, split), Rect.Top + kTextTop);
    if (split != AnsiString::npos) centred(text.substr(split + 1), Rect.Top + 3 + canvas->TextHeight(text));
}
