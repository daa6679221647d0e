// The message box service of the tests: logs every box and answers from a
// queue.
#pragma once

#include <deque>
#include <vector>

#include "platform/win/MessageBox.h"

struct TMessageBoxRecord {
    AnsiString Text;
    AnsiString Caption;
    unsigned Flags = 0;
    int Result = 0;
    unsigned Buttons() const { return Flags & MB_TYPEMASK; }
    unsigned Icon() const { return Flags & MB_ICONMASK; }
};

// Installs itself for its lifetime, logs every box and answers from
// Answers, or with the box's default button when the queue is empty.
class TScriptedMessageBoxes : public IMessageBoxService {
public:
    TScriptedMessageBoxes();
    ~TScriptedMessageBoxes() override;
    int Show(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) override;

    std::deque<int> Answers;
    std::vector<TMessageBoxRecord> Log;

private:
    IMessageBoxService* FPrevious;
};
