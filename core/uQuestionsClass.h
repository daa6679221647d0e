// The cursor over the statement pairs that the questionnaire shows one pair
// a screen, in STATEMENT_ID order, the order of the answer digits.
#pragma once

#include "core/DataMod.h"

class TQuestions : public TObject {
public:
    // Opens the statement query and makes the first pair current. A data
    // file without pairs raises Exception.
    TQuestions();
    // Closes the statement query.
    ~TQuestions() override;

    // False, with nothing changed, on the last pair.
    bool Next();
    // False, with nothing changed, on the first pair.
    bool Prior();

    int32_t Number = 0; // 1-based
    int32_t NumStatement = 0;
    AnsiString Statement1;
    AnsiString Statement2;
    bool IsFirst = true;
    bool IsLast = false;
    int32_t Count = 0;

private:
    void LoadRow();
    TIBQuery* FQuery;
};
