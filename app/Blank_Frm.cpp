// The answer sheet's window, its filling from the record, the check and
// write of OK, and the start-up check of the number of pairs.
#include "app/Blank_Frm.h"

#include <algorithm>
#include <memory>

#include "app/DialogParts.h"
#include "platform/win/MessageBox.h"

namespace {
constexpr int kClientWidth = 752;
constexpr int kClientHeight = 341;
constexpr int kMargin = 8;
constexpr int kRows = 4;
constexpr int kColWidth = 23;
constexpr int kRowHeight = 18;

AnsiString EntryCaption() {
    return "Ошибка ввода данных"_cp;
}
} // namespace

int BlankColumnCount() {
    return std::min<int>(BlankPairCount, int(Main_DataModule->StatementKeys().size()));
}

void CheckStatementPairCount() {
    // A test stores one answer per pair of the data file: with fewer pairs the
    // sheet shows only those, with more no sheet can hold a whole test.
    const AnsiString unusable =
        "Тесты, введенные с бланка, не смогут быть сохранены, пока файл данных не будет восстановлен."_cp;
    AnsiString problem;
    try {
        const int pairs = int(Main_DataModule->StatementKeys().size());
        if (pairs == BlankPairCount) return;
        problem =
            Format("В файле Luvora_Data.FDB %d пар утверждений, а бланк ответов рассчитан на %d."_cp,
                   {pairs, BlankPairCount}) +
            "\n" +
            (pairs < BlankPairCount ? Format("Бланк ответов покажет только %d пар."_cp, {pairs}) : unusable);
    } catch (const Exception& E) {
        problem = "Не удалось прочитать пары утверждений из файла Luvora_Data.FDB: "_cp + E.Message + "\n" +
                  unusable;
    }
    MessageBox(problem, "Ошибка"_cp, MB_OK | MB_ICONWARNING);
}

TBlank_Form::TBlank_Form(TComponent* AOwner) : TForm(AOwner) {
    SetUpDialog(this, "Blank_Form", "Ввод с бланка"_cp, kClientWidth, kClientHeight, false);
    Font()->SetName("Tahoma");
    Font()->SetSize(8);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };

    Answers_GroupBox = new TGroupBox(this);
    Answers_GroupBox->SetName("Answers_GroupBox");
    Answers_GroupBox->SetParent(this);
    Answers_GroupBox->SetCaption("Ответы тестируемого"_cp);
    Answers_GroupBox->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin, 120);

    Blank_Grid = new TStringGrid(this);
    Blank_Grid->SetName("Blank_Grid");
    Blank_Grid->SetParent(Answers_GroupBox);
    Blank_Grid->SetColCount(std::max(1, BlankColumnCount()));
    Blank_Grid->SetRowCount(kRows);
    Blank_Grid->SetFixedCols(0);
    Blank_Grid->SetFixedRows(0);
    Blank_Grid->SetDefaultColWidth(kColWidth);
    Blank_Grid->SetDefaultRowHeight(kRowHeight);
    Blank_Grid->SetScrollBars(TScrollStyle::ssNone);
    Blank_Grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goEditing |
                           goAlwaysShowEditor);
    Blank_Grid->SetBounds(kMargin, 24, BlankPairCount * (kColWidth + 1) + 2, kRows * (kRowHeight + 1) + 2);
    Blank_Grid->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        Blank_GridSelectCell(Sender, ACol, ARow, CanSelect);
    };
    Blank_Grid->OnKeyPress = [this](TObject* Sender, char& Key) { Blank_GridKeyPress(Sender, Key); };
    Blank_Grid->OnSetEditText = [this](TObject* Sender, int ACol, int ARow, const AnsiString& Value) {
        Blank_GridSetEditText(Sender, ACol, ARow, Value);
    };
    Blank_Grid->OnDrawCell = [this](TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                    TGridDrawState State) {
        Blank_GridDrawCell(Sender, ACol, ARow, Rect, State);
    };

    AutoCalc_CheckBox = new TCheckBox(this);
    AutoCalc_CheckBox->SetName("AutoCalc_CheckBox");
    AutoCalc_CheckBox->SetParent(this);
    AutoCalc_CheckBox->SetCaption("Автоматически считать вторые ответы"_cp);
    AutoCalc_CheckBox->SetBounds(kMargin, 136, 300, 17);
    AutoCalc_CheckBox->OnClick = [this](TObject* Sender) { AutoCalc_CheckBoxClick(Sender); };

    DateTest_Label = NewLabel(this, this, "Дата тестирования:"_cp, kMargin, 166, "DateTest_Label");
    DateTest_Edit = new TDateTimePicker(this);
    DateTest_Edit->SetName("DateTest_Edit");
    DateTest_Edit->SetParent(this);
    DateTest_Edit->SetBounds(BesideLabel(DateTest_Label, 130), 162, 120, 21);

    Comment_Label = NewLabel(this, this, "Примечание:"_cp, kMargin, 192, "Comment_Label");
    Comment_Edit = new TMemo(this);
    Comment_Edit->SetName("Comment_Edit");
    Comment_Edit->SetParent(this);
    Comment_Edit->SetScrollBars(TScrollStyle::ssVertical);
    Comment_Edit->SetBounds(kMargin, 208, kClientWidth - 2 * kMargin, 90);

    const TDialogButtons buttons = NewDialogButtons(
        this, kMargin, [this](TObject* Sender) { OK_ButtonClick(Sender); },
        [this](TObject* Sender) { Cancel_ButtonClick(Sender); });
    OK_Button = buttons.OK;
    Cancel_Button = buttons.Cancel;
}

void TBlank_Form::FillNumbers() {
    for (int c = 0; c < Blank_Grid->ColCount(); ++c) {
        Blank_Grid->SetCells(c, 0, IntToStr(2 * c + 1));
        Blank_Grid->SetCells(c, 3, IntToStr(2 * c + 2));
    }
}

void TBlank_Form::FillGrid() {
    FillNumbers();
    DateTest_Edit->SetDateTime(Now());
    if (TestData.ANSWERS.empty()) return;
    DateTest_Edit->SetDateTime(TestData.DATETEST);
    Comment_Edit->SetText(TestData.COMMENTS);
    const int covered = std::min<int>(Blank_Grid->ColCount(), int(TestData.ANSWERS.size()));
    for (int c = 0; c < covered; ++c) {
        const char digit = TestData.ANSWERS[std::size_t(c)];
        // A character that is no answer shows as a cell still to fill.
        if (digit < '0' || digit > '5') continue;
        Blank_Grid->SetCells(c, 1, AnsiString(1, digit));
        Blank_Grid->SetCells(c, 2, IntToStr(5 - (digit - '0')));
    }
    FCellBefore = Blank_Grid->Cells(Blank_Grid->Col(), Blank_Grid->Row());
}

void TBlank_Form::FormShow(TObject*) {
    FocusCell(Blank_Grid, 1, 0);
}

void TBlank_Form::OK_ButtonClick(TObject*) {
    AnsiString answers;
    for (int c = 0; c < Blank_Grid->ColCount(); ++c) {
        if (Points(c, 1) < 0) {
            MessageBox("Не заполнены все ответы. Необходимо заполнить все поля."_cp, EntryCaption(),
                       MB_OK | MB_ICONWARNING);
            return;
        }
        if (PairSumWrong(c)) {
            MessageBox("Не верное значение в столбце №"_cp + IntToStr(c + 1) + ".", EntryCaption(),
                       MB_OK | MB_ICONWARNING);
            return;
        }
        answers += Blank_Grid->Cells(c, 1);
    }
    TTestData test = TestData;
    test.ANSWERS = answers;
    test.DATETEST = DateTest_Edit->DateTime();
    test.COMMENTS = Comment_Edit->Text();
    const bool isNew = test.TEST_ID == -1;
    if (isNew) test.TESTDURATION = 0;
    if (Main_DataModule->ApplyTest(isNew ? akInsert : akUpdate, test) == -1) {
        // The data module has said why; what was typed stays for another try.
        MessageBox("Ответы не сохранены. Они остались в окне: нажмите \"OK\", чтобы сохранить их еще раз."_cp,
                   "Ошибка"_cp, MB_OK | MB_ICONERROR);
        return;
    }
    TestData = test;
    SetModalResult(mrOk);
}

void TBlank_Form::Cancel_ButtonClick(TObject*) {
    SetModalResult(mrCancel);
}

bool EnterFromBlank(const TTestData& TestData) {
    auto form = std::make_unique<TBlank_Form>(nullptr);
    form->TestData = TestData;
    form->FillGrid();
    return form->ShowModal() == mrOk;
}
