// The group data entry: the place of work, the department, the numbers of
// employees and respondents, the date, and each respondent's label and raw
// scores of the eight scales, typed in or taken from testees' newest tests.
#pragma once

#include <cstdint>

#include "core/DataMod.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Grids.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/StringLists.h"
#include "util/JvSpin.h"

// The most respondents one entry holds.
constexpr int MaxRespondents = 100;
// The highest raw score of a scale.
constexpr int MaxRawScore = 35;

class TTeamBlnk_Form : public TForm {
public:
    explicit TTeamBlnk_Form(TComponent* AOwner);

    TTeam Team;
    // The USER_IDs (decimal texts) whose newest tests fill a new entry.
    TStringList Testees;
    // The window is on screen.
    bool Shown = false;

    TGroupBox* Info_GroupBox;
    TLabel* Job_Label;
    TEdit* Job_Edit;
    TLabel* Department_Label;
    TEdit* Department_Edit;
    TLabel* NumberofEmployes_Label;
    TJvSpinEdit* NumberofEmployes_Edit;
    TLabel* NumberofTested_Label;
    TJvSpinEdit* NumberofTested_Edit;
    TLabel* DateTest_Label;
    TDateTimePicker* DateTest_Edit;
    TLabel* Scores_Label;
    TStringGrid* Blank_StringGrid;
    TButton* OK_Button;
    TButton* Cancel_Button;

    void FillForm();
    void InitGrid();
    void InitRows();
    void RecalcColumnSummary(int Col);
    void ClearRows(int FromRow, int Count);
    bool IsRowEmpty(int Row);
    void FocusCell(TStringGrid* Grid, int Row, int Col);

    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void NumberofTested_EditChange(TObject* Sender);
    void Blank_StringGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void Blank_StringGridKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void Blank_StringGridKeyPress(TObject* Sender, char& Key);
    // Text the cell editor took (typed, pasted, deleted).
    void Blank_StringGridSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void Blank_StringGridDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                  TGridDrawState State);
    void OK_ButtonClick(TObject* Sender);
    void Cancel_ButtonClick(TObject* Sender);

private:
    // Building the grid (TeamBlank_Frm.cpp).
    void CreateGrid();
    // Rows and columns of the grid (TeamBlank_FrmGrid.cpp).
    int Respondents() const { return Blank_StringGrid->RowCount() - 3; }
    // Labels and scores of the newest tests of the testees in the list.
    void FillFromTestees();
    // The stored labels and scores of an existing entry.
    void FillStoredCells();
    // The respondent count changes: no second change runs inside it.
    bool FChangingCount = false;
    // The current cell's text before the editor changed it: what refused
    // text goes back to.
    AnsiString FCellBefore;
};

// A score cell's whole number; false for an empty cell or one that holds
// anything but digits.
bool ReadScore(const AnsiString& Text, int& Value);

// A label as the entry can store it: "#" ends labels in the stored text, so
// it becomes "№".
AnsiString CleanRespondentLabel(const AnsiString& Label);

// Edits Team; true, with the window's record copied back, on OK.
bool EditTeamBlank(TTeam& Team);
// A new entry filled from the newest tests of the testees in List; more
// than MaxRespondents are refused with a message.
bool NewTeamFromTestees(TStrings* List, TTeam& Team);
