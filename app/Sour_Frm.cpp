// The search window: the field list from the grid's columns, the search
// itself and its entry function.
#include "app/Sour_Frm.h"

#include <memory>

#include "app/DialogParts.h"
#include "app/VTAddons.h"
#include "platform/win/MessageBox.h"

namespace {
constexpr int kFromStart = 0;
constexpr int kFromCursor = 1;
} // namespace

TSearch_Form::TSearch_Form(TComponent* AOwner, TBaseVirtualTree* ATree) : TForm(AOwner), Tree(ATree) {
    SetUpDialog(this, "Search_Form", "Поиск тестируемого"_cp, 416, 202);
    TLabel* sourceLabel = NewLabel(this, this, "Строка для поиска"_cp, 12, 12);
    // The values are compared in the program's code page.
    Source_Edit = NewEdit(this, this, "Source_Edit", 12, 30, 392, 0);
    sourceLabel->SetFocusControl(Source_Edit);
    TLabel* fieldLabel = NewLabel(this, this, "Поле для поиска"_cp, 12, 64);
    SourceField_ComboBox = new TComboBox(this);
    SourceField_ComboBox->SetName("SourceField_ComboBox");
    SourceField_ComboBox->SetParent(this);
    SourceField_ComboBox->SetBounds(12, 82, 220, 21);
    SourceField_ComboBox->SetStyle(TComboBoxStyle::csDropDownList);
    fieldLabel->SetFocusControl(SourceField_ComboBox);
    WordFull_CheckBox = new TCheckBox(this);
    WordFull_CheckBox->SetName("WordFull_CheckBox");
    WordFull_CheckBox->SetParent(this);
    WordFull_CheckBox->SetBounds(12, 118, 220, 17);
    WordFull_CheckBox->SetCaption("Только слово целиком"_cp);
    TypeSearch_RG = new TRadioGroup(this);
    TypeSearch_RG->SetName("TypeSearch_RG");
    TypeSearch_RG->SetParent(this);
    TypeSearch_RG->SetBounds(248, 64, 156, 72);
    TypeSearch_RG->SetCaption("Искать от "_cp);
    TypeSearch_RG->Items()->Add("Начала"_cp);
    TypeSearch_RG->Items()->Add("Курсора"_cp);
    TypeSearch_RG->SetItemIndex(kFromStart);
    OK_Button = NewButton(this, this, "OK_Button", "&Искать"_cp, 244, 166, true, false);
    OK_Button->OnClick = [this](TObject* Sender) { OK_ButtonClick(Sender); };
    Cancel_Button = NewButton(this, this, "Cancel_Button", "&Отмена"_cp, 329, 166, false, true);
    Cancel_Button->OnClick = [this](TObject* Sender) { Cancel_ButtonClick(Sender); };
    SetActiveControl(Source_Edit);
}

void TSearch_Form::FillFieldList() {
    SourceField_ComboBox->Clear();
    FieldColumns.clear();
    TColumnsArray visible = Tree->Header()->Columns()->GetVisibleColumns();
    for (std::size_t i = 1; i < visible.size(); ++i) {
        SourceField_ComboBox->Items()->Add(WideToAnsi(visible[i]->Text()));
        FieldColumns.push_back(visible[i]->Index());
    }
    SourceField_ComboBox->SetItemIndex(-1);
}

PVirtualNode TSearch_Form::StartNode() const {
    if (TypeSearch_RG->ItemIndex() != kFromCursor) return Tree->GetFirst();
    PVirtualNode from = Tree->FocusedNode() ? Tree->FocusedNode() : Tree->GetFirstSelected();
    return from ? Tree->GetNext(from) : nullptr;
}

bool TSearch_Form::Matches(PVirtualNode Node, TColumnIndex Column, const AnsiString& Sought) const {
    const TRecord* record = Tree->GetNodeData<TRecord>(Node);
    if (!record || Column < 1 || std::size_t(Column) > record->Values.size()) return false;
    const Variant& value = record->Values[std::size_t(Column) - 1];
    const AnsiString text = value.IsEmptyOrNull() ? AnsiString() : AnsiUpperCase(value.AsString());
    if (WordFull_CheckBox->Checked()) return text == Sought;
    return !Sought.empty() && text.compare(0, Sought.size(), Sought) == 0;
}

void TSearch_Form::OK_ButtonClick(TObject*) {
    const int field = SourceField_ComboBox->ItemIndex();
    if (field < 0 || std::size_t(field) >= FieldColumns.size()) {
        MessageBox("Выберите поле для поиска."_cp, "Информация"_cp, MB_OK | MB_ICONINFORMATION);
        if (SourceField_ComboBox->CanFocus()) SourceField_ComboBox->SetFocus();
        return;
    }
    const TColumnIndex column = FieldColumns[std::size_t(field)];
    const AnsiString sought = AnsiUpperCase(Source_Edit->Text());
    for (PVirtualNode node = StartNode(); node; node = Tree->GetNext(node)) {
        if (!Matches(node, column, sought)) continue;
        Tree->ClearSelection();
        Tree->SetFocusedNode(node);
        Tree->SetSelected(node, true);
        // The next press goes on after the row found.
        TypeSearch_RG->SetItemIndex(kFromCursor);
        return;
    }
    MessageBox("Тестируемый по заданному критерию не найден!"_cp, "Информация"_cp,
               MB_OK | MB_ICONINFORMATION);
}

void TSearch_Form::Cancel_ButtonClick(TObject*) {
    SetModalResult(mrCancel);
}

void SearchInGrid(TBaseVirtualTree* Tree) {
    auto form = std::make_unique<TSearch_Form>(nullptr, Tree);
    form->FillFieldList();
    form->ShowModal();
}
