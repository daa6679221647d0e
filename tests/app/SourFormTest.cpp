// The search window played through its entry function on the testee grid:
// from the start or after the cursor, by beginning or whole value.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "DialogDriver.h"

namespace {

using SourFormTest = AppFixture;

// Chooses the field of header column Column.
void ChooseField(TSearch_Form& W, TColumnIndex Column) {
    for (std::size_t i = 0; i < W.FieldColumns.size(); ++i)
        if (W.FieldColumns[i] == Column) W.SourceField_ComboBox->SetItemIndex(int(i));
}

TEST_F(SourFormTest, RowsAreFoundOneAfterAnotherByTheirBeginning) {
    for (const char* fio : {"Сидоров Иван", "Иванов", "ивашов", "Петров Иван"})
        AddTestee(fio);
    TMain_Form* f = Open();
    TVirtualStringTree* grid = f->Users_Grid;
    // The rows that begin with "ив", in the order shown.
    std::vector<AnsiString> expected;
    for (const AnsiString& fio : ColumnTexts(grid, 1))
        if (fio == "Иванов"_cp || fio == "ивашов"_cp) expected.push_back(fio);
    ASSERT_EQ(expected.size(), 2u);
    auto focusedName = [grid] { return WideToAnsi(grid->GetCellText(grid->FocusedNode(), 1)); };

    Dialogs.Answers.push_back(AsUser<TSearch_Form>([&](TSearch_Form& w) {
        EXPECT_EQ(w.Caption(), "Поиск тестируемого"_cp);
        EXPECT_EQ(w.SourceField_ComboBox->ItemIndex(), -1);
        EXPECT_EQ(w.SourceField_ComboBox->Items()->Strings(0),
                  WideToAnsi((*grid->Header()->Columns())[1]->Text()))
            << "the mark column is not offered";
        Type(w.Source_Edit, "ив");
        const PVirtualNode before = grid->FocusedNode();
        Press(w.Source_Edit, Qt::Key_Return);
        EXPECT_EQ(grid->FocusedNode(), before) << "no field chosen, no row is sought";
        ASSERT_EQ(Boxes.Log.size(), 1u) << "and the user is told";
        EXPECT_EQ(Boxes.Log[0].Text, "Выберите поле для поиска."_cp);
        EXPECT_EQ(Boxes.Log[0].Caption, "Информация"_cp);
        EXPECT_EQ(w.ActiveControl(), w.SourceField_ComboBox) << "the field list takes the focus";
        Boxes.Log.clear();

        ChooseField(w, 1);
        for (const AnsiString& fio : expected) {
            w.OK_Button->Click();
            EXPECT_EQ(focusedName(), fio);
            EXPECT_EQ(grid->SelectedCount(), 1);
            EXPECT_EQ(w.TypeSearch_RG->ItemIndex(), 1) << "the next search goes on after the row found";
        }
        w.OK_Button->Click();
        EXPECT_EQ(Boxes.Log.size(), 1u) << "none after the last";
        EXPECT_EQ(w.TypeSearch_RG->ItemIndex(), 1);

        // A whole value: the surname alone does not find "Петров Иван".
        w.WordFull_CheckBox->SetChecked(true);
        w.TypeSearch_RG->SetItemIndex(0);
        Erase(w.Source_Edit);
        Type(w.Source_Edit, "петров");
        w.OK_Button->Click();
        EXPECT_EQ(Boxes.Log.size(), 2u);
        Type(w.Source_Edit, " иван");
        w.OK_Button->Click();
        EXPECT_EQ(focusedName(), "Петров Иван"_cp);
        EXPECT_EQ(w.ModalResult(), mrNone) << "the window stays for the next search";
        Press(w.Source_Edit, Qt::Key_Escape);
    }));
    SearchInGrid(grid);
    EXPECT_EQ(focusedName(), "Петров Иван"_cp) << "the row found stays focused";
    for (const TMessageBoxRecord& box : Boxes.Log) {
        EXPECT_EQ(box.Text, "Тестируемый по заданному критерию не найден!"_cp);
        EXPECT_EQ(box.Caption, "Информация"_cp);
        EXPECT_EQ(box.Icon(), unsigned(MB_ICONINFORMATION));
    }
}

} // namespace
