// The dialog service of the tests: every modal form is logged and answered
// by a scripted answer instead of a window.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/gui/Forms.h"

struct TModalRecord {
    AnsiString FormName;
    AnsiString Caption;
    int Result = mrNone;
};

// Installs itself for its lifetime; every modal form is logged and answered
// by the next scripted answer, which may fill in the form and returns the
// modal result. With no answer left the form is cancelled.
class TScriptedDialogs : public IDialogService {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    int ShowModal(TCustomForm* Form) override;

    std::deque<std::function<int(TCustomForm* Form)>> Answers;
    std::vector<TModalRecord> Log;

private:
    IDialogService* FPrevious;
};
