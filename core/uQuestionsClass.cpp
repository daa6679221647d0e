// The cursor that walks the statement pairs one pair at a time.
#include "core/uQuestionsClass.h"

#include "platform/rtl/ScopeGuard.h"

TQuestions::TQuestions() : FQuery(Main_DataModule->Statements_IBQuery) {
    if (!FQuery->Active()) FQuery->Open();
    // A cursor that is not made closes the query, and its transaction, as
    // the destructor would.
    TScopeGuard close([this] { FQuery->Close(); });
    FQuery->FetchAll();
    Count = FQuery->RecordCount();
    if (Count == 0) throw Exception("Файл Luvora_Data.FDB не содержит ни одной пары утверждений."_cp);
    FQuery->First();
    LoadRow();
    Number = 1;
    IsFirst = true;
    IsLast = Count == 1;
    close.Dismiss();
}

TQuestions::~TQuestions() {
    try {
        if (FQuery->Active()) FQuery->Close();
    } catch (const std::exception&) {
        // A read-only look at the pairs ends either way.
    }
}

void TQuestions::LoadRow() {
    Statement1 = Trim(FQuery->FieldByName("STATEMENT").AsString());
    Statement2 = Trim(FQuery->FieldByName("STATEMENT2").AsString());
    NumStatement = FQuery->FieldByName("NUM_STATEMENT").AsInteger();
}

bool TQuestions::Next() {
    if (IsLast) return false;
    FQuery->Next();
    ++Number;
    LoadRow();
    IsLast = Number == Count;
    IsFirst = false;
    return true;
}

bool TQuestions::Prior() {
    if (IsFirst) return false;
    FQuery->Prior();
    --Number;
    LoadRow();
    IsFirst = Number == 1;
    IsLast = false;
    return true;
}
