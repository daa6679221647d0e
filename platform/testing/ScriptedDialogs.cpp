// Scripted modal forms: answered in order, logged with their results.
#include "platform/testing/ScriptedDialogs.h"

TScriptedDialogs::TScriptedDialogs() : FPrevious(SetDialogService(this)) {}

TScriptedDialogs::~TScriptedDialogs() {
    SetDialogService(FPrevious);
}

int TScriptedDialogs::ShowModal(TCustomForm* Form) {
    int result = mrCancel;
    if (!Answers.empty()) {
        auto answer = std::move(Answers.front());
        Answers.pop_front();
        result = answer(Form);
    }
    Log.push_back({Form->Name(), Form->Caption(), result});
    return result;
}
