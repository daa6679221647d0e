// The password prompt: checks a typed password against a known one, or asks
// for a new one a second time.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TInputPassword_Form : public TForm {
public:
    TInputPassword_Form(TComponent* AOwner, const AnsiString& ACaption);

    // The expected password; on OK, the one typed.
    AnsiString Password;
    // Asks for a new password a second time rather than for a known one.
    bool Confirm = false;

    TGroupBox* GroupBox1;
    TLabel* Label1;
    TEdit* Password_Edit;
    TButton* Ok_But;
    TButton* Cancel_But;

    void Ok_ButClick(TObject* Sender);
    void Cancel_ButClick(TObject* Sender);
};

// The longest password the prompt takes, and so the longest any password
// may be.
constexpr int kPasswordMaxLength = 20;

// Asks for Password under Caption; true, with Password the typed text, on OK.
bool InputPassword(const AnsiString& Caption, AnsiString& Password, bool Confirm);
