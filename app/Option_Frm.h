// The options: the alternating row colours of the main grids and the
// psychologist password.
#pragma once

#include "core/uTarvikApplicationClass.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvColorButton.h"

class TOptions_Form : public TForm {
public:
    TOptions_Form(TComponent* AOwner, TTarvikApplication* ATarvikApplication);

    // Both colours into the options, which are saved.
    void ApplyColors();
    // A new psychologist password from the change dialog, once changed
    // colours were saved or kept as they were; false when none was given.
    bool AskNewPassword(AnsiString& NewPassword);

    TTarvikApplication* TarvikApplication;
    // A colour was changed since the window was filled.
    bool SettingsChanged = false;

    TPageControl* Options_PageControl;
    TTabSheet* Interface_Tab;
    TTabSheet* TabSheet1;
    TGroupBox* Colors_GroupBox;
    TJvColorButton* FirstColor_Edit;
    TJvColorButton* SecondColor_Edit;
    TButton* ChangePsyPassword_But;
    TButton* OK_But;
    TButton* Cancel_But;

    void FirstColor_EditChange(TObject* Sender);
    void ChangePsyPassword_ButClick(TObject* Sender);
    void OK_ButClick(TObject* Sender);
    void Cancel_ButClick(TObject* Sender);
};

// True when the options were changed and stored.
bool ShowOptions(TTarvikApplication* TarvikApplication);
