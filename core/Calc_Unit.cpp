// Scoring of one test: points, raw scores, validity and stens of the
// scales, the queries on them and the profile type.
#include "core/Calc_Unit.h"

#include <algorithm>
#include <cmath>

void ExpandAnswers(const AnsiString& Answers, TIndexes& Points) {
    CheckAnswerDigits(Answers);
    TIndexes points(2 * Answers.size());
    for (std::size_t k = 0; k < Answers.size(); ++k) {
        const char c = Answers[k];
        points[2 * k] = c - '0';
        points[2 * k + 1] = 5 - (c - '0');
    }
    Points = std::move(points);
}

void SplitString(const AnsiString& Text, const std::set<char>& Delimiters, TStrings& List) {
    std::size_t i = 0;
    while (i < Text.size()) {
        while (i < Text.size() && Delimiters.count(Text[i]))
            ++i;
        const std::size_t start = i;
        while (i < Text.size() && !Delimiters.count(Text[i]))
            ++i;
        if (i > start) List.Add(Text.substr(start, i - start));
    }
}

TTestResult::TTestResult() : ScaleItems(ScaleCount) {}

TTestResult::~TTestResult() = default;

void TTestResult::CheckScale(int32_t Scale) {
    if (Scale < 0 || Scale >= ScaleCount) throw Exception("Scale index out of range: " + IntToStr(Scale));
}

void TTestResult::SetAnswers(const AnsiString& A) {
    if (A.empty()) return;
    Main_DataModule->CheckAnswers(A);
    // Everything is worked out aside first: a failure on the way (the norms
    // cannot be read) leaves the earlier results as they were.
    TIndexes points;
    ExpandAnswers(A, points);
    std::vector<std::vector<double>> items = DistributeAnswers(points);
    std::array<double, ScaleCount> raw{}, valid{}, stens{};
    for (std::size_t s = 0; s < std::size_t(ScaleCount); ++s) {
        raw[s] = RawScore(items[s]);
        valid[s] = CountDivergentPairs(items[s]) <= 2 ? 1.0 : 0.0;
        stens[s] = Main_DataModule->FindSten(int32_t(s), raw[s]);
    }
    Answers = A;
    Points = std::move(points);
    ScaleItems = std::move(items);
    RawScores = raw;
    ValidFlags = valid;
    Stens = stens;
}

std::vector<std::vector<double>> TTestResult::DistributeAnswers(const TIndexes& Points) {
    const auto& keys = Main_DataModule->StatementKeys();
    const std::size_t pairs = std::min(keys.size(), Points.size() / 2);
    std::array<std::size_t, ScaleCount> counts{};
    for (std::size_t r = 0; r < pairs; ++r) {
        ++counts[std::size_t(keys[r].Key1)];
        ++counts[std::size_t(keys[r].Key2)];
    }
    std::vector<std::vector<double>> items(ScaleCount);
    for (std::size_t s = 0; s < items.size(); ++s)
        items[s].reserve(counts[s]);
    for (std::size_t r = 0; r < pairs; ++r) {
        items[std::size_t(keys[r].Key1)].push_back(Points[2 * r]);
        items[std::size_t(keys[r].Key2)].push_back(Points[2 * r + 1]);
    }
    return items;
}

double TTestResult::RawScore(const std::vector<double>& Items) {
    double sum = 0;
    for (double v : Items)
        sum += v;
    return sum;
}

int32_t TTestResult::CountDivergentPairs(const std::vector<double>& Items) {
    int32_t count = 0;
    for (std::size_t j = 0; j < Items.size(); ++j)
        for (std::size_t k = j + 1; k < Items.size(); ++k)
            if (std::fabs(Items[j] - Items[k]) >= 4) ++count;
    return count;
}

int32_t TTestResult::GetRawScore(int32_t Scale) const {
    CheckScale(Scale);
    return int32_t(std::ceil(RawScores[std::size_t(Scale)]));
}

int32_t TTestResult::GetSten(int32_t Scale) const {
    CheckScale(Scale);
    return int32_t(std::ceil(Stens[std::size_t(Scale)]));
}

bool TTestResult::IsScaleValid(int32_t Scale) const {
    CheckScale(Scale);
    return ValidFlags[std::size_t(Scale)] == 1.0;
}

bool TTestResult::HasSten(int32_t Scale) const {
    const int32_t sten = GetSten(Scale);
    return sten >= 1 && sten <= StenCount;
}

int32_t TTestResult::ValidScaleCount() const {
    double sum = 0;
    for (double f : ValidFlags)
        sum += f;
    return int32_t(std::ceil(sum));
}

void TTestResult::ScalesInStenRange(int32_t Lo, int32_t Hi, TIndexes& List) const {
    // The sten rounded up lies in Lo..Hi, and a scale without a sten (-1)
    // lies in no band: ceil(x) >= L exactly when x > L - 1.
    const double above = std::max(Lo, 1) - 1;
    const double upTo = std::min(Hi, StenCount);
    for (std::size_t s = 0; s < std::size_t(ScaleCount); ++s)
        if (Stens[s] > above && Stens[s] <= upTo && ValidFlags[s] == 1.0) List.push_back(int32_t(s));
}

namespace {

// Exchanges List[i] and a later List[j] whenever List[j] goes Before List[i];
// the order of equal entries follows from these exchanges.
template <class TBefore> void ExchangeSort(TIndexes& List, TBefore Before) {
    for (std::size_t i = 0; i < List.size(); ++i)
        for (std::size_t j = i + 1; j < List.size(); ++j)
            if (Before(List[j], List[i])) std::swap(List[i], List[j]);
}

} // namespace

void TTestResult::SortByStenDescending(TIndexes& List) const {
    ExchangeSort(List, [this](int32_t A, int32_t B) { return GetSten(A) > GetSten(B); });
}

void TTestResult::SortByStenAscending(TIndexes& List) const {
    ExchangeSort(List, [this](int32_t A, int32_t B) { return GetSten(A) < GetSten(B); });
}

AnsiString TTestResult::GetProfileType() const {
    TIndexes leading;
    return ProfileTypeName(leading);
}

const char* TTestResult::ProfileTypeName(TIndexes& Leading) const {
    Leading.clear();
    ScalesInStenRange(7, 10, Leading);
    if (Leading.empty()) return "type4";
    if (Leading.size() == Type1Scales.size() &&
        std::equal(Leading.begin(), Leading.end(), Type1Scales.begin()))
        return "type1";
    if (Leading.size() == Type2Scales.size() &&
        std::equal(Leading.begin(), Leading.end(), Type2Scales.begin()))
        return "type2";
    return "type3";
}

AnsiString TTestResult::ValidShareText() const {
    // n / 8 * 100 is n * 12.5: one decimal, never rounded, so whole tenths
    // give the text without a round trip through floating point.
    const int32_t n = ValidScaleCount();
    if (n < 0 || n > ScaleCount) return FloatToStrF(n * 100.0 / ScaleCount, 1) + "%";
    const int32_t tenths = n * 1000 / ScaleCount;
    AnsiString text = IntToStr(tenths / 10);
    text += FormatSettings.DecimalSeparator;
    text += char('0' + tenths % 10);
    text += '%';
    return text;
}

AnsiString TTestResult::ReliabilityLevelText() const {
    switch (ValidScaleCount()) {
    case 8:
        return ReliabilityLevels[0];
    case 7:
        return ReliabilityLevels[1];
    case 6:
        return ReliabilityLevels[2];
    default:
        return ReliabilityLevels[3];
    }
}
