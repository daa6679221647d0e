// The dialog service of the tests: every modal form and common dialog is
// logged and answered by a scripted answer instead of a window.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"

struct TModalRecord {
    AnsiString FormName;
    AnsiString Caption;
    int Result = mrNone;
};

struct TDialogRecord {
    TDialogKind Kind = TDialogKind::dkOpen;
    AnsiString Title;
    bool Result = false;
};

// Installs itself for its lifetime; every modal form is logged and answered
// by the next scripted answer, which may fill in the form and returns the
// modal result. With no answer left the form is cancelled. Common dialogs
// take their own answers, which choose as the user would and return
// whether the dialog was confirmed; with none left a dialog is cancelled.
class TScriptedDialogs : public IDialogService {
public:
    using TDialogAnswer = std::function<bool(TCommonDialog* Dialog)>;

    TScriptedDialogs();
    ~TScriptedDialogs() override;
    int ShowModal(TCustomForm* Form) override;
    bool ExecuteDialog(TCommonDialog* Dialog) override;

    // The user types or picks FileName (and the filter FilterIndex, when
    // not 0) in an open or save dialog and confirms.
    static TDialogAnswer FileChosen(const AnsiString& FileName, int FilterIndex = 0);
    // The user picks Color in a colour dialog and confirms.
    static TDialogAnswer ColorChosen(TColor Color);
    // The user picks the font in a font dialog and confirms.
    static TDialogAnswer FontChosen(const AnsiString& Name, int Size, TFontStyles Style = 0);
    // The user confirms the dialog as it was filled in.
    static TDialogAnswer Confirmed();
    static TDialogAnswer Cancelled();

    std::deque<std::function<int(TCustomForm* Form)>> Answers;
    std::vector<TModalRecord> Log;
    std::deque<TDialogAnswer> DialogAnswers;
    std::vector<TDialogRecord> DialogLog;

private:
    IDialogService* FPrevious;
    // Windows shown in a row with no answer left: a program that asks again
    // and again until it hears what it wants would otherwise never stop.
    int FUnanswered = 0;
};
