// The password change dialog: a new password typed twice.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TChangePassword_Form : public TForm {
public:
    explicit TChangePassword_Form(TComponent* AOwner);

    // An empty new password is taken.
    bool AllowEmpty = false;

    TLabel* Label1;
    TEdit* NewPassword_Edit;
    TLabel* Label2;
    TEdit* ConfirmPassword_Edit;
    TButton* OK_But;
    TButton* Cancel_But;

    void Ok_ButClick(TObject* Sender);
    void Cancel_ButClick(TObject* Sender);
};

// True, with NewPassword the typed password, on OK.
bool ChangePasswordDialog(AnsiString& NewPassword, bool AllowEmpty);
