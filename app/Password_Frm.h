// The password prompt. Until its window exists, a stand-in that says so and
// takes OK as the right password.
#pragma once

#include "app/results/StandIn_Frm.h"

class TInputPassword_Form : public TStandIn_Form {
public:
    TInputPassword_Form(TComponent* AOwner, const AnsiString& ACaption);
    // The expected password; on OK, the one typed.
    AnsiString Password;
    // Asks for a new password a second time rather than for a known one.
    bool Confirm = false;
};

// Asks for Password under Caption; true, with Password the typed text, on OK.
bool InputPassword(const AnsiString& Caption, AnsiString& Password, bool Confirm);
