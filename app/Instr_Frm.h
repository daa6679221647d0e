// The instruction window: the instruction text from the rich-text file
// beside the program, and one button that goes on to the questionnaire.
#pragma once

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "util/JvAppRegistryStorage.h"
#include "util/JvFormPlacement.h"

class TInstr_Form : public TForm {
public:
    explicit TInstr_Form(TComponent* AOwner);

    TRichEdit* Instr_RichEdit;
    TButton* BeginTesting_But;
    TJvAppRegistryStorage* Instr_AppStorage;
    TJvFormStorage* Instr_FormStorage;

    // Loads the instruction file when there is one; a file too large, one
    // that cannot be read or one read only in part is told in the box.
    void FormCreate(TObject* Sender);
    void BeginTesting_ButClick(TObject* Sender);

private:
    void ShowNotice(const AnsiString& Notice);
};

// The instruction file beside the program.
AnsiString InstructionFileName();

// Shows the instruction with ButtonCaption on its button; answers how the
// window was closed (mrOk by the button, mrCancel by the close box).
int ShowInstruction(const AnsiString& ButtonCaption);
