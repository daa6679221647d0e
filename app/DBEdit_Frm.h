// The card of one logical database: its name and password.
#pragma once

#include <functional>

#include "core/DataMod.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

// Stores the record the card's OK gives, filling in what the store returns
// (a new DB_ID); false, after the store's own message, keeps the card open
// with what was typed.
using TDatabaseWrite = std::function<bool(TDatabase& Database)>;

class TDBEdit_Form : public TForm {
public:
    explicit TDBEdit_Form(TComponent* AOwner);

    void FillFields();

    TDatabase Database;
    TDatabaseWrite Write;
    // The password field was changed since FillFields.
    bool PasswordChanged = false;

    TLabel* Label1;
    TEdit* DB_Edit;
    TLabel* Label2;
    TEdit* Password_Edit;
    TButton* Ok_But;
    TButton* Cancel_But;

    void Password_EditChange(TObject* Sender);
    void Ok_ButClick(TObject* Sender);
    void Cancel_ButClick(TObject* Sender);
};

// Edits Database and stores it through Write on OK; true, with the stored
// record copied back, once that worked.
bool EditDatabaseCard(TDatabase& Database, const TDatabaseWrite& Write);
