// The reference data of the data file, read once a connection into memory
// the data module owns: the scale keys of the statement pairs, the sten norms
// and the report templates; and the check of an answer string against them.
#include "core/DataMod.h"
#include "core/DataMod_p.h"
#include "core/uConsts.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

// The version the next connection's reference data gets.
uint64_t gNextReferenceDataVersion = 1;

} // namespace

void TMain_DataModule::ForgetReferenceData() {
    FReferenceDataVersion = gNextReferenceDataVersion++;
    FStatementKeysRead = false;
    FStatementKeys.clear();
    FNormsRead = false;
    for (auto& bands : FNorms)
        bands.clear();
    FTemplatesRead = false;
    FTemplates.clear();
}

const std::vector<TStatementKeys>& TMain_DataModule::StatementKeys() {
    if (FStatementKeysRead) return FStatementKeys;
    TIBTransaction transaction(nullptr);
    transaction.SetDefaultDatabase(Data_IBDatabase);
    transaction.Params = kReadOnly;
    transaction.AutoStopAction = TAutoStopAction::saCommit;
    TIBQuery query(nullptr);
    query.SetDatabase(Data_IBDatabase);
    query.SetTransaction(&transaction);
    query.SetSQL(kStatementKeysSql);
    query.Open();
    std::vector<TStatementKeys> keys;
    for (query.First(); !query.Eof(); query.Next()) {
        // A missing key counts as out of range rather than as scale 0.
        auto keyOf = [&](const char* Name) {
            const TIBField& f = query.FieldByName(Name);
            return f.IsNull() ? -1 : f.AsInteger();
        };
        TStatementKeys k;
        k.Key1 = keyOf("KEY_STATEMENT");
        k.Key2 = keyOf("KEY_STATEMENT2");
        for (int32_t key : {k.Key1, k.Key2})
            if (key < 0 || key >= ScaleCount)
                throw Exception(Format("Файл Luvora_Data.FDB поврежден: пара утверждений %d относится к "
                                       "несуществующей шкале %d."_cp,
                                       {query.FieldByName("STATEMENT_ID").AsInteger(), key}));
        keys.push_back(k);
    }
    query.Close();
    FStatementKeys = std::move(keys);
    FStatementKeysRead = true;
    return FStatementKeys;
}

void CheckAnswerDigits(const AnsiString& Answers) {
    for (std::size_t k = 0; k < Answers.size(); ++k) {
        const char c = Answers[k];
        if (c < '0' || c > '5')
            throw EConvertError(Format(
                "Недопустимый символ «%s» в ответах (позиция %d): допустимы только цифры от 0 до 5."_cp,
                {AnsiString(1, c), int(k + 1)}));
    }
}

void TMain_DataModule::CheckAnswers(const AnsiString& Answers) {
    const std::size_t pairs = StatementKeys().size();
    if (Answers.size() != pairs)
        throw EConvertError(Format("Число ответов (%d) не совпадает с числом пар утверждений (%d)."_cp,
                                   {int(Answers.size()), int(pairs)}));
    CheckAnswerDigits(Answers);
}

void TMain_DataModule::ReadNorms() {
    Stens_IBQuery->Close();
    Stens_IBQuery->SetSQL(kStensSql);
    Stens_IBQuery->Open();
    // Closing the query ends its transaction too.
    TScopeGuard close([this] { Stens_IBQuery->Close(); });
    std::array<std::vector<TStenBand>, ScaleCount> norms;
    for (Stens_IBQuery->First(); !Stens_IBQuery->Eof(); Stens_IBQuery->Next()) {
        const int32_t scale = Stens_IBQuery->FieldByName("SCALE").AsInteger();
        // A band of a scale that does not exist would match no look-up.
        if (scale < 0 || scale >= ScaleCount) continue;
        norms[std::size_t(scale)].push_back({Stens_IBQuery->FieldByName("STEN").AsInteger(),
                                             Stens_IBQuery->FieldByName("MIN_VALUE").AsFloat(),
                                             Stens_IBQuery->FieldByName("MAX_VALUE").AsFloat()});
    }
    close.Dismiss();
    Stens_IBQuery->Close();
    FNorms = std::move(norms);
    FNormsRead = true;
}

double TMain_DataModule::FindSten(int32_t Scale, double RawValue) {
    if (!FNormsRead) ReadNorms();
    if (Scale < 0 || Scale >= ScaleCount) return -1.0;
    // Both ends of a band belong to it.
    for (const TStenBand& band : FNorms[std::size_t(Scale)])
        if (band.Min <= RawValue && RawValue <= band.Max) return band.Sten;
    return -1.0;
}

void TMain_DataModule::ReadTemplates() {
    // The query stays open, as the templates have always been read.
    if (!HTMLTemplates_IBQuery->Active()) HTMLTemplates_IBQuery->Open();
    std::vector<std::pair<AnsiString, AnsiString>> templates;
    for (HTMLTemplates_IBQuery->First(); !HTMLTemplates_IBQuery->Eof(); HTMLTemplates_IBQuery->Next())
        templates.emplace_back(HTMLTemplates_IBQuery->FieldByName("TEMPLATE_ID").AsString(),
                               HTMLTemplates_IBQuery->FieldByName("TEMPLATE").AsString());
    FTemplates = std::move(templates);
    FTemplatesRead = true;
}

const AnsiString* TMain_DataModule::FindHtmlTemplate(const AnsiString& Name) {
    if (!FTemplatesRead) ReadTemplates();
    for (const auto& [id, text] : FTemplates)
        if (SameTextFast(Name.data(), Name.size(), id)) return &text;
    return nullptr;
}

void TMain_DataModule::GetHtmlTemplate(const AnsiString& Name, AnsiString& Text) {
    if (const AnsiString* text = FindHtmlTemplate(Name)) Text = *text;
}
