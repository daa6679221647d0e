// Scripted message boxes: answered from the queue, logged in order.
#include "platform/testing/ScriptedMessageBoxes.h"

TScriptedMessageBoxes::TScriptedMessageBoxes() : FPrevious(SetMessageBoxService(this)) {}

TScriptedMessageBoxes::~TScriptedMessageBoxes() {
    SetMessageBoxService(FPrevious);
}

int TScriptedMessageBoxes::Show(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    int answer = DefaultMessageBoxAnswer(Flags);
    if (!Answers.empty()) {
        answer = Answers.front();
        Answers.pop_front();
    }
    Log.push_back({Text, Caption, Flags, answer});
    return answer;
}
