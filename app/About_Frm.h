// The About box: the product, the method, the version, a picture and the
// maker's e-mail address as a link.
#pragma once

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TAbout_Form : public TForm {
public:
    explicit TAbout_Form(TComponent* AOwner);

    TPanel* Panel1;
    TLabel* Label1;
    TLabel* Label3;
    TImage* Image1;
    TLabel* Label4;
    TLabel* EMailLabel;
    TLabel* Label5;
    TButton* Ok_But;

    void EmailLabelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void EMailLabelMouseLeave(TObject* Sender);
    void EmailLabelClick(TObject* Sender);
    void OkButtonClick(TObject* Sender);
};

// The maker's e-mail address.
AnsiString MakerEMail();

void ShowAbout();
