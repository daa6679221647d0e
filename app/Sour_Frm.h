// The search in a main grid: finds a row by the text of one visible column.
#pragma once

#include <vector>

#include "controls/vtree/VirtualTrees.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TSearch_Form : public TForm {
public:
    TSearch_Form(TComponent* AOwner, TBaseVirtualTree* ATree);

    // The grid's visible columns after the mark column, in position order.
    void FillFieldList();

    TBaseVirtualTree* Tree;
    // The header column index of each item of the field list.
    std::vector<TColumnIndex> FieldColumns;

    TEdit* Source_Edit;
    TComboBox* SourceField_ComboBox;
    TCheckBox* WordFull_CheckBox;
    TRadioGroup* TypeSearch_RG;
    TButton* OK_Button;
    TButton* Cancel_Button;

    void OK_ButtonClick(TObject* Sender);
    void Cancel_ButtonClick(TObject* Sender);

private:
    // The node the search starts at; nullptr when there is none.
    PVirtualNode StartNode() const;
    bool Matches(PVirtualNode Node, TColumnIndex Column, const AnsiString& Sought) const;
};

// Finds a row of Tree by the text of a visible column; the row found stays
// focused.
void SearchInGrid(TBaseVirtualTree* Tree);
