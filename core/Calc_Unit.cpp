// Scoring of one test and the report HTML of a test and of a testee's
// dynamics.
#include "core/Calc_Unit.h"

#include <cmath>
#include <tuple>

#include "platform/rtl/ScopeGuard.h"
#include "util/JclAnsiStrings.h"
#include "util/JclFileUtils.h"

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

AnsiString HtmlEscape(const AnsiString& Text) {
    AnsiString out;
    out.reserve(Text.size());
    for (char c : Text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '$':
            out += "&#36;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void FillPlaceholder(AnsiString& Text, const AnsiString& Placeholder, const AnsiString& Value) {
    ReplaceSubstrings(Text, Placeholder, Value, ReplaceAll | IgnoreCase);
}

TTestResult::TTestResult() : ScaleItems(ScaleCount) {}

TTestResult::~TTestResult() = default;

void TTestResult::CheckScale(int32_t Scale) {
    if (Scale < 0 || Scale >= ScaleCount) throw Exception("Scale index out of range: " + IntToStr(Scale));
}

AnsiString TTestResult::ListOrNone(const AnsiString& Items) {
    return Items.empty() ? "Нет"_cp : "<ul>" + Items + "</ul>";
}

void TTestResult::SetAnswers(const AnsiString& A) {
    if (A.empty()) return;
    Main_DataModule->CheckAnswers(A);
    TIndexes points;
    ExpandAnswers(A, points);
    // A database error of the sten look-up leaves the earlier results too.
    auto saved = std::make_tuple(Answers, Points, RawScores, Stens, ValidFlags, ScaleItems);
    TScopeGuard restore(
        [&] { std::tie(Answers, Points, RawScores, Stens, ValidFlags, ScaleItems) = std::move(saved); });
    Answers = A;
    Points = std::move(points);
    DistributeAnswers();
    ComputeRawScores();
    ComputeValidity();
    ComputeStens();
    restore.Dismiss();
}

void TTestResult::DistributeAnswers() {
    ScaleItems.assign(ScaleCount, {});
    const auto& keys = Main_DataModule->StatementKeys();
    for (std::size_t r = 0; r < keys.size() && 2 * r + 1 < Points.size(); ++r) {
        ScaleItems[std::size_t(keys[r].Key1)].push_back(Points[2 * r]);
        ScaleItems[std::size_t(keys[r].Key2)].push_back(Points[2 * r + 1]);
    }
}

void TTestResult::ComputeRawScores() {
    for (int s = 0; s < ScaleCount; ++s) {
        double sum = 0;
        for (double v : ScaleItems[std::size_t(s)])
            sum += v;
        RawScores[std::size_t(s)] = sum;
    }
}

int32_t TTestResult::CountDivergentPairs(const std::vector<double>& Items) {
    int32_t count = 0;
    for (std::size_t j = 0; j < Items.size(); ++j)
        for (std::size_t k = j + 1; k < Items.size(); ++k)
            if (std::fabs(Items[j] - Items[k]) >= 4) ++count;
    return count;
}

void TTestResult::ComputeValidity() {
    for (int s = 0; s < ScaleCount; ++s)
        ValidFlags[std::size_t(s)] = CountDivergentPairs(ScaleItems[std::size_t(s)]) <= 2 ? 1.0 : 0.0;
}

void TTestResult::ComputeStens() {
    for (int s = 0; s < ScaleCount; ++s)
        Stens[std::size_t(s)] = Main_DataModule->FindSten(s, RawScores[std::size_t(s)]);
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
    for (int s = 0; s < ScaleCount; ++s) {
        const double sten = Stens[std::size_t(s)];
        // A scale without a sten (-1) lies in no band.
        if (HasSten(s) && Lo <= sten && sten <= Hi && IsScaleValid(s)) List.push_back(s);
    }
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
    ScalesInStenRange(7, 10, leading);
    if (leading.empty()) return "type4";
    if (leading.size() == Type1Scales.size() &&
        std::equal(leading.begin(), leading.end(), Type1Scales.begin()))
        return "type1";
    if (leading.size() == Type2Scales.size() &&
        std::equal(leading.begin(), leading.end(), Type2Scales.begin()))
        return "type2";
    return "type3";
}

AnsiString TTestResult::ValidShareText() const {
    // n * 12.5 is exact, so one decimal never needs rounding.
    return FloatToStrF(ValidScaleCount() * 100.0 / ScaleCount, 1) + "%";
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

AnsiString TTestResult::ScaleItem(int32_t Scale, bool WithInterpretation) const {
    AnsiString interpretation;
    if (WithInterpretation && HasSten(Scale))
        interpretation = StenInterpretations[std::size_t(GetSten(Scale) - 1)];
    return "<li><b>" + ScaleNames[std::size_t(Scale)] + ".</b> " + interpretation + "<br></li>";
}

AnsiString TTestResult::LeadingScalesText() const {
    TIndexes list;
    ScalesInStenRange(7, 10, list);
    SortByStenDescending(list);
    AnsiString items;
    for (int32_t s : list)
        items += ScaleItem(s, true);
    return ListOrNone(items);
}

AnsiString TTestResult::LowScalesText() const {
    auto section = [this](int32_t Lo, int32_t Hi, const AnsiString& Title) {
        TIndexes list;
        ScalesInStenRange(Lo, Hi, list);
        if (list.empty()) return AnsiString();
        SortByStenAscending(list);
        AnsiString text = "<li><b>" + Title + "</b></li><br><ul>";
        for (int32_t s : list)
            text += ScaleItem(s, true);
        return text + "</ul>";
    };
    return ListOrNone(section(3, 4, "Подавляемые:"_cp) + section(1, 2, "Вытесняемые:"_cp));
}

AnsiString TTestResult::MiddleScalesText() const {
    TIndexes list;
    ScalesInStenRange(5, 6, list);
    AnsiString items;
    for (int32_t s : list)
        items += ScaleItem(s, true);
    return ListOrNone(items);
}

AnsiString TTestResult::ChartBlock(const AnsiString& ChartFolder) {
    AnsiString block = "<h6><P ALIGN=CENTER>ГРАФИЧЕСКИЙ ПРОФИЛЬ</P></h6><br> <p align=\"center\"><img src=\""
                       "$ScFile$\"/></p><br>"_cp;
    FillPlaceholder(block, "$ScFile$", HtmlEscape(ChartFolder + "TmpLuvChart.bmp"));
    return block;
}

namespace {

// A longer test, in seconds, shows raised anxiety in the situation of testing.
constexpr int64_t kAnxiousTestDuration = 1500;
// The report shows its chart, and names a profile type, from this many
// valid scales up.
constexpr int32_t kChartValidScales = 5;

// Whether the testee works in their speciality: yes, no, or not told.
AnsiString SpecialityText(int16_t IsWorkForSpec) {
    if (IsWorkForSpec == 1) return "Да"_cp;
    if (IsWorkForSpec == 0) return "Нет"_cp;
    return AnsiString();
}

} // namespace

int32_t TTestResult::InterpretedScaleCount() const {
    int32_t count = 0;
    for (int s = 0; s < ScaleCount; ++s)
        if (IsScaleValid(s) && HasSten(s)) ++count;
    return count;
}

AnsiString TTestResult::ProfileTypeText() const {
    // With fewer scales the type would speak of motives that are unknown,
    // not low: "no motive reaches the leading level" would be false.
    const int32_t interpreted = InterpretedScaleCount();
    if (interpreted < kChartValidScales)
        return Format("<p>Тип мотивационного профиля не определяется: для этого нужно не менее пяти шкал с "
                      "достоверными данными, а их %d.</p>"_cp,
                      {interpreted});
    // The type texts are HTML of the data file, inserted as they are.
    AnsiString text;
    Main_DataModule->GetHtmlTemplate(GetProfileType(), text);
    return text;
}

AnsiString TTestResult::NormsText() {
    AnsiString text;
    Main_DataModule->GetHtmlTemplate("norms", text);
    return text;
}

void TTestResult::BuildReport(const TUser& User, const TTestData& TestData, const AnsiString& ChartFolder,
                              AnsiString& Report) {
    AnsiString text;
    Main_DataModule->GetHtmlTemplate("concl", text);

    AnsiString badScales;
    AnsiString wrongScales;
    for (int s = 0; s < ScaleCount; ++s) {
        if (IsScaleValid(s)) continue;
        badScales += "<li>" + ScaleNames[std::size_t(s)] + "</li>";
        wrongScales += ScaleItem(s, false);
    }

    FillPlaceholder(text, "$FIO$", HtmlEscape(User.FIO));
    // No age is shown as an empty cell, as the testee card shows it.
    FillPlaceholder(text, "$AGE$", User.AGE == -1 ? AnsiString() : IntToStr(User.AGE));
    FillPlaceholder(text, "$Pos$", HtmlEscape(User.POSIT));
    FillPlaceholder(text, "$Sen$", FloatToStr(User.Seniority));
    FillPlaceholder(text, "$OrgSen$", FloatToStr(User.OrgSeniority));
    FillPlaceholder(text, "$Educ$", HtmlEscape(User.Education));
    FillPlaceholder(text, "$Job$", HtmlEscape(User.Job));
    FillPlaceholder(text, "$Spec$", HtmlEscape(User.Spec));
    FillPlaceholder(text, "$IsSpec$", SpecialityText(User.isworkforspec));
    FillPlaceholder(text, "$DTest$", DateTimeToStr(TestData.DATETEST));
    FillPlaceholder(
        text, "$TestDur$",
        TestData.TESTDURATION > kAnxiousTestDuration
            ? "<b>Испытуемый характеризуется повышенной реактивной тревожностью в ситуации диагностики.</b><br><br>"_cp
            : AnsiString());
    FillPlaceholder(text, "$SizeP$", ValidShareText());
    FillPlaceholder(text, "$LevelVal$", ReliabilityLevelText());
    FillPlaceholder(text, "$BadScales$", ListOrNone(badScales));
    FillPlaceholder(text, "$GraphPr$",
                    ValidScaleCount() >= kChartValidScales ? ChartBlock(ChartFolder) : AnsiString());
    FillPlaceholder(text, "$LeadLuv$", LeadingScalesText());
    FillPlaceholder(text, "$LowLuv$", LowScalesText());
    FillPlaceholder(text, "$MidLuv$", MiddleScalesText());
    FillPlaceholder(text, "$WrongLuv$", ListOrNone(wrongScales));
    FillPlaceholder(text, "$TypeLuvora$", ProfileTypeText());
    FillPlaceholder(text, "$Norms$", NormsText());
    Report = std::move(text);
}

void BuildDynamicsReport(const TUser& /*User*/, const AnsiString& ChartFolder, AnsiString& Report) {
    AnsiString text;
    Main_DataModule->GetHtmlTemplate("dyn", text);
    FillPlaceholder(text, "$GraphPr$",
                    "<img src=\"" + HtmlEscape(ChartFolder + "TmpLuvDynChart.bmp") + "\"/>");
    AnsiString norms;
    Main_DataModule->GetHtmlTemplate("norms", norms);
    FillPlaceholder(text, "$Norms$", norms);
    Report = std::move(text);
}

void GetTempFolder(AnsiString& Folder) {
    Folder = GetTempFolder();
}

AnsiString GetTempFolder() {
    // Without its folder a chart would land in the current folder under a
    // relative name.
    const AnsiString folder = GetSystemTempPath();
    if (folder.empty() || !DirectoryExists(folder))
        throw Exception("Не удалось создать временную папку для графиков отчета. Проверьте, что в папке "
                        "временных файлов есть свободное место и права на запись."_cp);
    return folder;
}
