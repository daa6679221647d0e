// Scoring and the report of a group testing.
#include "core/CalcGroup_Unit.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/ScopeGuard.h"

namespace {

// Plain decimal digits, as the group entry window writes them, fit an int32.
constexpr std::size_t kPlainDigits = 9;

// A value of DATA: -1 when empty, plain digits read at once, anything else
// read, or refused, by the platform's conversion.
int32_t TeamValue(const char* Text, std::size_t Length) {
    if (Length == 0) return -1;
    if (Length <= kPlainDigits) {
        int32_t value = 0;
        std::size_t i = 0;
        for (; i < Length && Text[i] >= '0' && Text[i] <= '9'; ++i)
            value = value * 10 + (Text[i] - '0');
        if (i == Length) return value;
    }
    return StrToInt(AnsiString(Text, Length));
}

} // namespace

void ParseTeamData(const AnsiString& Data, TSimpleArray& Members) {
    // Every value is followed by "/"; text after the last one is no value.
    // Values are a few characters long: a plain scan finds their ends.
    const char* text = Data.data();
    const std::size_t size = Data.size();
    std::size_t index = 0;
    for (std::size_t start = 0, end = 0; end < size; ++end) {
        if (text[end] != '/') continue;
        const std::size_t row = index / ScaleCount;
        if (row >= Members.size()) break;
        const std::size_t column = index % ScaleCount;
        if (column < Members[row].size()) Members[row][column] = TeamValue(text + start, end - start);
        ++index;
        start = end + 1;
    }
}

void GroupValidityLevelText(int32_t Percent, AnsiString& Text) {
    if (Percent >= 91 && Percent <= 100)
        Text = GroupReliabilityLevels[0];
    else if (Percent >= 84 && Percent <= 90)
        Text = GroupReliabilityLevels[1];
    else if (Percent >= 68 && Percent <= 83)
        Text = GroupReliabilityLevels[2];
    else if (Percent >= 50 && Percent <= 67)
        Text = GroupReliabilityLevels[3];
    else if (Percent >= 0 && Percent <= 49)
        Text = GroupReliabilityLevels[4];
}

TGroupTestResult::TGroupTestResult() : NonValidCount(0) {}

TGroupTestResult::~TGroupTestResult() = default;

void TGroupTestResult::SetTeam(const TTeam& ATeam) {
    if (ATeam.DATA.empty()) return;
    // Respondents without values in DATA keep every score missing.
    TSimpleArray members(std::size_t(std::max(0, ATeam.NUMBEROFTESTED)),
                         std::vector<int32_t>(ScaleCount, -1));
    ParseTeamData(ATeam.DATA, members);
    // Scoring works on the new members; a failure on the way (the norms
    // cannot be read) puts the earlier results back.
    std::swap(Members, members);
    const auto raw = RawScores;
    const auto stens = Stens;
    const auto valid = ValidFlags;
    const int32_t nonValid = NonValidCount;
    TScopeGuard restore([&] {
        std::swap(Members, members);
        RawScores = raw;
        Stens = stens;
        ValidFlags = valid;
        NonValidCount = nonValid;
    });
    ComputeGroupScores();
    Team = ATeam;
    restore.Dismiss();
}

namespace {

// A respondent's score for a scale; -1 when it is missing, also when the row
// is too short to hold it.
int32_t ScoreOf(const std::vector<int32_t>& Row, int32_t Scale) {
    return std::size_t(Scale) < Row.size() ? Row[std::size_t(Scale)] : -1;
}

} // namespace

int32_t TGroupTestResult::CountMissing(const std::vector<int32_t>& Row) {
    int32_t missing = 0;
    for (int32_t s = 0; s < ScaleCount; ++s)
        if (ScoreOf(Row, s) == -1) ++missing;
    return missing;
}

void TGroupTestResult::ComputeGroupScores() {
    NonValidCount = 0;
    for (const auto& row : Members)
        if (CountMissing(row) > 3) ++NonValidCount;
    for (int j = 0; j < ScaleCount; ++j) {
        // The mean is over the respondents who have a score: a missing
        // score is not a zero. A scale nobody scored has no sten.
        double sum = 0;
        int count = 0;
        for (const auto& row : Members) {
            if (ScoreOf(row, j) == -1) continue;
            sum += ScoreOf(row, j);
            ++count;
        }
        RawScores[std::size_t(j)] = count > 0 ? std::ceil(sum / count) : 0.0;
        Stens[std::size_t(j)] = count > 0 ? Main_DataModule->FindSten(j, RawScores[std::size_t(j)]) : -1.0;
        // A scale most respondents lack is not interpreted: it stays out of
        // the lists, the profile type and the chart, and is listed once, as
        // lacking data.
        ValidFlags[std::size_t(j)] = IsScaleFilled(j) ? 1.0 : 0.0;
    }
}

bool TGroupTestResult::IsScaleFilled(int32_t Scale) const {
    CheckScale(Scale);
    if (Members.empty()) return true;
    int missing = 0;
    for (const auto& row : Members)
        if (ScoreOf(row, Scale) == -1) ++missing;
    // Exactly half missing still counts as filled.
    return 2 * missing <= int(Members.size());
}

namespace {

// The group report shows its chart from this share of valid respondents up.
constexpr int64_t kChartSharePercent = 50;

// The share of valid respondents in the department, rounded up, in whole
// numbers so that 7 of 10 is 70 and not 71; -1 without a number of
// employees.
int64_t ValidSharePercent(std::size_t Respondents, int32_t NonValid, int32_t Employees) {
    if (Employees <= 0) return -1;
    const int64_t valid = int64_t(Respondents) - NonValid;
    return (valid * 100 + Employees - 1) / Employees;
}

} // namespace

void TGroupTestResult::BuildGroupReport(const AnsiString& ChartFolder, AnsiString& Report) {
    const AnsiString* grcon = Main_DataModule->FindHtmlTemplate("grcon");
    if (!grcon) {
        Report.clear();
        return;
    }
    // Without a share there is no level and no chart.
    const int32_t employees = Team.NUMBEROFEMPLOYES;
    const int64_t percent = ValidSharePercent(Members.size(), NonValidCount, employees);
    AnsiString share;
    AnsiString level;
    if (percent >= 0) {
        share = IntToStr(percent);
        GroupValidityLevelText(int32_t(percent), level);
    }
    // Scoring marked exactly the filled scales valid.
    AnsiString unfilled;
    for (int s = 0; s < ScaleCount; ++s)
        if (!IsScaleValid(s)) AppendScaleItem(unfilled, s, false);
    TIndexes scratch;
    scratch.reserve(ScaleCount);
    static TTemplatePlan plan;
    Report = plan.Fill(
        *grcon, Main_DataModule->ReferenceDataVersion(),
        {
            {"Job", HtmlEscape(Team.JOB)},
            {"Dep", HtmlEscape(Team.DEPARTMENT)},
            {"NumEmp", employees == -1 ? AnsiString() : IntToStr(employees)},
            {"NumTest", IntToStr(Team.NUMBEROFTESTED)},
            {"DTest", DateTimeToStr(Team.DATETEST)},
            {"CntNonVal", IntToStr(NonValidCount)},
            {"Valid", level},
            {"SizeP", share},
            {"GraphPr", percent >= kChartSharePercent ? ChartBlock(ChartFolder) : std::string_view()},
            {"LeadLuv", LeadingScalesText(scratch)},
            {"LowLuv", LowScalesText(scratch)},
            {"MidLuv", MiddleScalesText(scratch)},
            {"WrongLuv", ListOrNone(unfilled)},
            {"TypeLuvora", ProfileTypeText(scratch)},
            {"Norms", TemplateText("norms")},
        });
}
