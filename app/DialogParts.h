// The pieces the program's dialogs are built from: the window itself,
// labels, edits held to their column's length and to the program's code
// page, and buttons.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

// A centred tool window of the given client size; SystemMenuOnly leaves it
// only the system menu.
void SetUpDialog(TForm* Form, const char* Name, const AnsiString& Caption, int ClientWidth, int ClientHeight,
                 bool SystemMenuOnly = true);

TLabel* NewLabel(TForm* Form, TWinControl* Parent, const AnsiString& Caption, int Left, int Top,
                 const char* Name = nullptr);
// Where a control beside Label begins: Gap pixels after the label's text,
// and never before Left, the place the window was laid out for.
int BesideLabel(const TLabel* Label, int Left, int Gap = 8);
// An edit of at most MaxLength characters (0: no limit) that refuses the
// characters the database cannot hold.
TEdit* NewEdit(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
               int MaxLength);
// A password edit: the text shows as "*".
TEdit* NewPasswordEdit(TForm* Form, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
                       int MaxLength);
// A button of the standard size; Default takes Enter, Cancel Escape.
TButton* NewButton(TForm* Form, TWinControl* Parent, const char* Name, const AnsiString& Caption, int Left,
                   int Top, bool Default = false, bool Cancel = false);

struct TDialogButtons {
    TButton* OK;
    TButton* Cancel;
};

// "&OK" (the default button, running OnOK) and "&Отмена" (the cancel button,
// running OnCancel) at the bottom right of Form, Margin from its edges;
// they keep to that corner as the window's size changes.
TDialogButtons NewDialogButtons(TForm* Form, int Margin, TNotifyEvent OnOK, TNotifyEvent OnCancel);

// Edit refuses what the database's code page cannot hold, and says so.
void KeepToCodePage(TCustomEdit* Edit);
// What the refusal says.
AnsiString RefusedCharactersText();
