// The testee card: one testee's personal, work and education data on three
// pages.
#pragma once

#include <functional>

#include "core/DataMod.h"
#include "core/uTarvikApplicationClass.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvSpin.h"

// Stores the record the card's OK gives, filling in what the store returns
// (a new USER_ID); false, after the store's own message, keeps the card
// open with what was typed.
using TTesteeWrite = std::function<bool(TUser& User)>;

class TAddTester_Form : public TForm {
public:
    explicit TAddTester_Form(TComponent* AOwner);

    void FillCard();

    TUser User;
    TTesteeWrite Write;
    TTarvikApplication* TarvikApplication = nullptr;

    TPageControl* AddTester_PageControl;
    TTabSheet* General_TabSheet;
    TTabSheet* Work_TabSheet;
    TTabSheet* Education_TabSheet;
    TEdit* FIO_Edit;
    TComboBox* Sex_ComboBox;
    TJvSpinEdit* Age_Edit;
    TEdit* Job_Edit;
    TEdit* Position_Edit;
    TJvSpinEdit* Seniority_Edit;
    TJvSpinEdit* OrgSeniority_Edit;
    TComboBox* Education_Edit;
    TEdit* Spec_Edit;
    TCheckBox* IsWorkForSpec;
    TButton* OK_But;
    TButton* Cancel_But;

    void OrgSeniority_EditChange(TObject* Sender);
    void OK_ButClick(TObject* Sender);
    void Cancel_ButClick(TObject* Sender);

private:
    void CreateGeneralPage();
    void CreateWorkPage();
    void CreateEducationPage();
};

// Edits User (a new one when USER_ID is -1) and stores it through Write on
// OK; true, with the stored record copied back, once that worked. The
// application object is handed on to the card.
bool EditTesteeCard(TTarvikApplication* TarvikApplication, TUser& User, const TTesteeWrite& Write);
