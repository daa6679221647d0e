// Scoring and reports at memory speed: 10^4 testees scored from answer
// strings, a group of 100 respondents, and 10^3 testee, group and dynamics
// reports, each timed beside a direct computation of the same results in the
// same run. The counters give both times per item and their ratio; the
// report benchmarks also time the one-pass fill alone, the direct report's
// values already at hand (fill_us, ratio_to_fill). A benchmark whose results
// differ from the direct ones reports an error instead.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "bench/BenchDatabases.h"
#include "core/CalcGroup_Unit.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/win/Module.h"

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

constexpr int kTestees = 10000;
constexpr int kReports = 1000;
constexpr int kGroupSize = 100;
// Groups whose reports are built, of 2 to kGroupSize respondents.
constexpr int kReportGroups = 50;
constexpr int kMaxPairs = 64;
constexpr int kMaxRaw = 5 * kMaxPairs;
// One missing score in this many, and respondents lacking more.
constexpr uint32_t kMissingOneIn = 9;
// Multiplier and increment of the generator of answers and scores.
constexpr uint32_t kRandomMultiplier = 1664525u;
constexpr uint32_t kRandomIncrement = 1013904223u;

// A fixed sequence of numbers, the same on every run.
class TRandom {
public:
    explicit TRandom(uint32_t Seed) : FState(Seed) {}
    uint32_t Next(uint32_t Below) {
        FState = FState * kRandomMultiplier + kRandomIncrement;
        return (FState >> 8) % Below;
    }

private:
    uint32_t FState;
};

// The data module on copies of the build's database files, with the inputs
// every benchmark shares, made once.
class TBenchData {
public:
    static TBenchData& Get() {
        static TBenchData data;
        return data;
    }

    TMain_DataModule* DM() { return FDM.get(); }
    const AnsiString& Error() const { return FError; }

    std::vector<TStatementKeys> Keys;
    int StenTable[ScaleCount][kMaxRaw + 1];
    std::vector<AnsiString> Answers;
    TTeam Group;
    std::vector<TTeam> ReportTeams;

private:
    TBenchData() {
        FormatSettings.DecimalSeparator = '.';
        FormatSettings.DateSeparator = '.';
        FormatSettings.TimeSeparator = ':';
        FormatSettings.ShortDateFormat = "dd.mm.yyyy";
        FormatSettings.LongTimeFormat = "hh:nn:ss";
        std::string error;
        FFolder = CopyBuildDatabases("luvora-bench", LUVORA_DB_DIR, error);
        if (FFolder.empty()) {
            FError = error;
            return;
        }
        SetModuleFileNameOverride((FFolder / "luvora").string());
        FDM = std::make_unique<TMain_DataModule>(nullptr);
        if (FDM->StartupFailed()) {
            FError = "the data module did not start";
            return;
        }
        Keys = FDM->StatementKeys();
        if (Keys.size() > std::size_t(kMaxPairs)) {
            FError = "more statement pairs than the direct scoring holds";
            return;
        }
        for (int s = 0; s < ScaleCount; ++s)
            for (int raw = 0; raw <= kMaxRaw; ++raw)
                StenTable[s][raw] = int(FDM->FindSten(s, raw));
        TRandom random(1);
        for (int i = 0; i < kTestees; ++i) {
            AnsiString a(Keys.size(), '0');
            // Mostly middling answers, so that most scales are valid.
            for (char& c : a)
                c = char('0' + (random.Next(4) == 0 ? random.Next(6) : 1 + random.Next(4)));
            Answers.push_back(a);
        }
        Group = MakeTeam(kGroupSize, random);
        for (int i = 0; i < kReportGroups; ++i)
            ReportTeams.push_back(MakeTeam(2 + int(random.Next(kGroupSize - 1)), random));
    }

    ~TBenchData() {
        FDM.reset();
        SetModuleFileNameOverride("");
        std::error_code ec;
        if (!FFolder.empty()) fs::remove_all(FFolder, ec);
    }

    static TTeam MakeTeam(int Respondents, TRandom& Random) {
        TTeam t;
        t.JOB = "Завод \"Прогресс\""_cp;
        t.DEPARTMENT = "Цех №2"_cp;
        t.NUMBEROFTESTED = Respondents;
        t.NUMBEROFEMPLOYES = Respondents + int(Random.Next(uint32_t(Respondents)));
        t.DATETEST = 45000 + Random.Next(1000);
        for (int i = 0; i < Respondents; ++i) {
            t.EMPNAMES += "R" + IntToStr(i) + "#";
            for (int s = 0; s < ScaleCount; ++s) {
                if (Random.Next(kMissingOneIn) != 0) t.DATA += IntToStr(int64_t(Random.Next(36)));
                t.DATA += "/";
            }
        }
        return t;
    }

    TScriptedMessageBoxes FBoxes;
    fs::path FFolder;
    std::unique_ptr<TMain_DataModule> FDM;
    AnsiString FError;
};

// Times Library and Direct over the same items in every iteration and
// reports both per item and their ratio.
void TimePair(benchmark::State& State, int Items, const std::function<void()>& Library,
              const std::function<void()>& Direct) {
    double library = 0, direct = 0;
    for (auto _ : State) {
        const auto t0 = TClock::now();
        Library();
        const auto t1 = TClock::now();
        Direct();
        const auto t2 = TClock::now();
        library += std::chrono::duration<double, std::micro>(t1 - t0).count();
        direct += std::chrono::duration<double, std::micro>(t2 - t1).count();
    }
    const double n = double(State.iterations()) * Items;
    State.counters["library_us"] = library / n;
    State.counters["direct_us"] = direct / n;
    State.counters["ratio"] = direct > 0 ? library / direct : 0;
    State.SetItemsProcessed(int64_t(n));
}

bool Ready(benchmark::State& State) {
    const AnsiString& error = TBenchData::Get().Error();
    if (!error.empty()) State.SkipWithError(error.c_str());
    return error.empty();
}

// ------------------------------------------------------------------ scoring

struct TDirectScores {
    int Raw[ScaleCount];
    int Sten[ScaleCount];
    bool Valid[ScaleCount];
};

// Raw scores, validity and stens straight from the digits, the keys and a
// table of stens by raw score.
void DirectScore(const TBenchData& D, const AnsiString& A, TDirectScores& R) {
    int items[ScaleCount][2 * kMaxPairs];
    int count[ScaleCount] = {};
    for (std::size_t p = 0; p < D.Keys.size(); ++p) {
        const int d = A[p] - '0';
        items[D.Keys[p].Key1][count[D.Keys[p].Key1]++] = d;
        items[D.Keys[p].Key2][count[D.Keys[p].Key2]++] = 5 - d;
    }
    for (int s = 0; s < ScaleCount; ++s) {
        int sum = 0, divergent = 0;
        for (int j = 0; j < count[s]; ++j) {
            sum += items[s][j];
            for (int k = j + 1; k < count[s]; ++k)
                divergent += std::abs(items[s][j] - items[s][k]) >= 4;
        }
        R.Raw[s] = sum;
        R.Valid[s] = divergent <= 2;
        R.Sten[s] = D.StenTable[s][sum];
    }
}

bool SameScores(const TTestResult& R, const TDirectScores& D) {
    for (int s = 0; s < ScaleCount; ++s)
        if (R.GetRawScore(s) != D.Raw[s] || R.GetSten(s) != D.Sten[s] || R.IsScaleValid(s) != D.Valid[s])
            return false;
    return true;
}

void BM_ScoreTestees(benchmark::State& State) {
    if (!Ready(State)) return;
    TBenchData& d = TBenchData::Get();
    for (const AnsiString& a : d.Answers) {
        TTestResult r;
        r.SetAnswers(a);
        TDirectScores direct;
        DirectScore(d, a, direct);
        if (!SameScores(r, direct)) return State.SkipWithError("scores differ from the direct ones");
    }
    TimePair(
        State, kTestees,
        [&] {
            for (const AnsiString& a : d.Answers) {
                TTestResult r;
                r.SetAnswers(a);
                benchmark::DoNotOptimize(r.Stens.data());
            }
        },
        [&] {
            for (const AnsiString& a : d.Answers) {
                TDirectScores r;
                DirectScore(d, a, r);
                benchmark::DoNotOptimize(&r);
            }
        });
}

struct TDirectGroup {
    int Raw[ScaleCount];
    int Sten[ScaleCount];
    bool Filled[ScaleCount];
    int NonValid;
};

// The group's means over those who have a score, rounded up, their stens,
// the scales more than half lack, and the respondents lacking more than 3.
void DirectGroup(const TBenchData& D, const TTeam& T, TDirectGroup& R) {
    int sum[ScaleCount] = {}, have[ScaleCount] = {};
    int missingHere = 0, index = 0;
    R.NonValid = 0;
    const char* p = T.DATA.data();
    const char* end = p + T.DATA.size();
    while (p < end && index < T.NUMBEROFTESTED * ScaleCount) {
        const int s = index % ScaleCount;
        if (*p == '/') {
            ++missingHere;
        } else {
            int v = 0;
            while (*p != '/')
                v = v * 10 + (*p++ - '0');
            sum[s] += v;
            ++have[s];
        }
        ++p;
        if (++index % ScaleCount == 0) {
            R.NonValid += missingHere > 3;
            missingHere = 0;
        }
    }
    for (int s = 0; s < ScaleCount; ++s) {
        R.Raw[s] = have[s] ? (sum[s] + have[s] - 1) / have[s] : 0;
        R.Sten[s] = have[s] ? D.StenTable[s][R.Raw[s]] : -1;
        R.Filled[s] = 2 * (T.NUMBEROFTESTED - have[s]) <= T.NUMBEROFTESTED;
    }
}

void BM_ScoreGroup(benchmark::State& State) {
    if (!Ready(State)) return;
    TBenchData& d = TBenchData::Get();
    {
        TGroupTestResult g;
        g.SetTeam(d.Group);
        TDirectGroup direct;
        DirectGroup(d, d.Group, direct);
        bool same = g.NonValidCount == direct.NonValid;
        for (int s = 0; s < ScaleCount; ++s)
            same = same && g.GetRawScore(s) == direct.Raw[s] && g.GetSten(s) == direct.Sten[s] &&
                   g.IsScaleFilled(s) == direct.Filled[s] && g.IsScaleValid(s) == direct.Filled[s];
        if (!same) return State.SkipWithError("group scores differ from the direct ones");
    }
    TimePair(
        State, 1,
        [&] {
            TGroupTestResult g;
            g.SetTeam(d.Group);
            benchmark::DoNotOptimize(g.Stens.data());
        },
        [&] {
            TDirectGroup r;
            DirectGroup(d, d.Group, r);
            benchmark::DoNotOptimize(&r);
        });
}

// ------------------------------------------------------------------ reports

// The direct reports start, as the library's do, from scored results and
// templates in memory, and compute their values straight from them.

using TValues = std::vector<std::pair<AnsiString, AnsiString>>;

// Placeholder names are Latin letters.
char LowerLatin(char C) {
    return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C;
}

bool SameNameIgnoringCase(const char* A, std::size_t Length, const AnsiString& B) {
    if (Length != B.size()) return false;
    for (std::size_t i = 0; i < Length; ++i)
        if (LowerLatin(A[i]) != LowerLatin(B[i])) return false;
    return true;
}

// Fills a template in one pass: every "$Name$" of the table, in any case,
// becomes its value; anything else stays.
AnsiString OnePassFill(const AnsiString& Template, const TValues& Values) {
    AnsiString out;
    out.reserve(2 * Template.size());
    std::size_t from = 0;
    for (std::size_t open = Template.find('$'); open != AnsiString::npos; open = Template.find('$', from)) {
        const std::size_t close = Template.find('$', open + 1);
        if (close == AnsiString::npos) break;
        const char* name = Template.data() + open + 1;
        const TValues::value_type* found = nullptr;
        for (const auto& v : Values)
            if (SameNameIgnoringCase(name, close - open - 1, v.first)) found = &v;
        out.append(Template, from, open - from);
        if (found) {
            out += found->second;
            from = close + 1;
        } else {
            out += '$';
            from = open + 1;
        }
    }
    out.append(Template, from, AnsiString::npos);
    return out;
}

// The templates, read once.
struct TTemplates {
    AnsiString Concl, Grcon, Dyn, Norms;
    AnsiString Types[4];

    TTemplates() {
        TMain_DataModule* dm = TBenchData::Get().DM();
        dm->GetHtmlTemplate("concl", Concl);
        dm->GetHtmlTemplate("grcon", Grcon);
        dm->GetHtmlTemplate("dyn", Dyn);
        dm->GetHtmlTemplate("norms", Norms);
        for (int t = 0; t < 4; ++t)
            dm->GetHtmlTemplate("type" + IntToStr(t + 1), Types[t]);
    }
};

AnsiString Escape(const AnsiString& Text) {
    AnsiString out;
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

// What a report takes of a scored result: a sten (-1 for none) and whether
// the scale is interpreted.
struct TScaleResult {
    int Sten[ScaleCount];
    bool Valid[ScaleCount];
};

const AnsiString kNone = "Нет"_cp;

AnsiString ListOrNone(const AnsiString& Items) {
    return Items.empty() ? kNone : "<ul>" + Items + "</ul>";
}

void AppendItem(AnsiString& Out, int Scale, int Sten) {
    Out += "<li><b>";
    Out += ScaleNames[Scale];
    Out += ".</b> ";
    if (Sten > 0) Out += StenInterpretations[Sten - 1];
    Out += "<br></li>";
}

// Valid scales with a sten in Lo..Hi, in scale order, into Out; how many.
int Collect(const TScaleResult& R, int Lo, int Hi, int* Out) {
    int n = 0;
    for (int s = 0; s < ScaleCount; ++s)
        if (R.Valid[s] && R.Sten[s] >= 1 && R.Sten[s] >= Lo && R.Sten[s] <= Hi) Out[n++] = s;
    return n;
}

// The reports' exchange sort by sten.
void SortBySten(const TScaleResult& R, int* List, int Count, bool Descending) {
    for (int i = 0; i < Count; ++i)
        for (int j = i + 1; j < Count; ++j)
            if (Descending ? R.Sten[List[j]] > R.Sten[List[i]] : R.Sten[List[j]] < R.Sten[List[i]])
                std::swap(List[i], List[j]);
}

const AnsiString kNoProfileType = "<p>Тип мотивационного профиля не определяется: для этого нужно не менее "
                                  "пяти шкал с достоверными данными, а их %d.</p>"_cp;

// The lists, the profile type and the note on the norms.
void ScaleListValues(const TScaleResult& R, const TTemplates& T, TValues& V) {
    int list[ScaleCount];
    AnsiString lead, mid, low;
    int n = Collect(R, 7, 10, list);
    SortBySten(R, list, n, true);
    for (int i = 0; i < n; ++i)
        AppendItem(lead, list[i], R.Sten[list[i]]);
    n = Collect(R, 5, 6, list);
    for (int i = 0; i < n; ++i)
        AppendItem(mid, list[i], R.Sten[list[i]]);
    static const AnsiString titles[] = {"Подавляемые:"_cp, "Вытесняемые:"_cp};
    for (int band = 0; band < 2; ++band) {
        n = band == 0 ? Collect(R, 3, 4, list) : Collect(R, 1, 2, list);
        if (n == 0) continue;
        SortBySten(R, list, n, false);
        low += "<li><b>" + titles[band] + "</b></li><br><ul>";
        for (int i = 0; i < n; ++i)
            AppendItem(low, list[i], R.Sten[list[i]]);
        low += "</ul>";
    }
    const int interpreted = Collect(R, 1, 10, list);
    const int leading = Collect(R, 7, 10, list);
    const int type1[] = {1, 2, 4, 5, 6}, type2[] = {0, 3, 7};
    int type = 3;
    if (leading == 0)
        type = 4;
    else if (leading == 5 && std::equal(list, list + 5, type1))
        type = 1;
    else if (leading == 3 && std::equal(list, list + 3, type2))
        type = 2;
    V.push_back({"LeadLuv", ListOrNone(lead)});
    V.push_back({"LowLuv", ListOrNone(low)});
    V.push_back({"MidLuv", ListOrNone(mid)});
    V.push_back({"TypeLuvora", interpreted < 5 ? Format(kNoProfileType, {interpreted}) : T.Types[type - 1]});
    V.push_back({"Norms", T.Norms});
}

const AnsiString kChartFolder = "/tmp/charts/";
const AnsiString kChartBlock =
    "<h6><P ALIGN=CENTER>ГРАФИЧЕСКИЙ ПРОФИЛЬ</P></h6><br> <p align=\"center\"><img src=\""_cp;
const AnsiString kAnxiety = "<b>Испытуемый характеризуется повышенной реактивной тревожностью в ситуации "
                            "диагностики.</b><br><br>"_cp;
const AnsiString kYes = "Да"_cp;

AnsiString ChartBlock(const AnsiString& Folder) {
    return kChartBlock + Escape(Folder + "TmpLuvChart.bmp") + "\"/></p><br>";
}

TUser Testee(int I) {
    TUser u;
    u.FIO = "Иванова Мария Петровна "_cp + IntToStr(I);
    u.AGE = I % 3 == 0 ? -1 : 20 + I % 40;
    u.POSIT = "Инженер-технолог"_cp;
    u.Seniority = 12.5;
    u.OrgSeniority = 3.25;
    u.Education = "Высшее техническое"_cp;
    u.Job = "Завод \"Прогресс\""_cp;
    u.Spec = "Технология машиностроения"_cp;
    u.isworkforspec = int16_t(I % 3);
    return u;
}

TTestData Test(int I) {
    TTestData t;
    t.DATETEST = 45000 + I + (I % 2 ? 0.4375 : 0);
    t.TESTDURATION = 900 + 10 * (I % 100);
    return t;
}

AnsiString DirectTesteeReport(const TScaleResult& R, const TUser& U, const TTestData& T, const TTemplates& Tp,
                              TValues* Values = nullptr) {
    TValues v;
    AnsiString bad;
    int valid = 0;
    for (int s = 0; s < ScaleCount; ++s) {
        valid += R.Valid[s];
        if (!R.Valid[s]) bad += "<li>" + ScaleNames[s] + "</li>";
    }
    v.push_back({"FIO", Escape(U.FIO)});
    v.push_back({"AGE", U.AGE == -1 ? AnsiString() : IntToStr(U.AGE)});
    v.push_back({"Pos", Escape(U.POSIT)});
    v.push_back({"Sen", FloatToStr(U.Seniority)});
    v.push_back({"OrgSen", FloatToStr(U.OrgSeniority)});
    v.push_back({"Educ", Escape(U.Education)});
    v.push_back({"Job", Escape(U.Job)});
    v.push_back({"Spec", Escape(U.Spec)});
    v.push_back({"IsSpec", U.isworkforspec == 1 ? kYes : U.isworkforspec == 0 ? kNone : AnsiString()});
    v.push_back({"DTest", DateTimeToStr(T.DATETEST)});
    v.push_back({"TestDur", T.TESTDURATION > 1500 ? kAnxiety : AnsiString()});
    v.push_back({"SizeP", FloatToStrF(valid * 12.5, 1) + "%"});
    v.push_back({"LevelVal", ReliabilityLevels[valid >= 6 ? 8 - valid : 3]});
    v.push_back({"BadScales", ListOrNone(bad)});
    v.push_back({"GraphPr", valid >= 5 ? ChartBlock(kChartFolder) : AnsiString()});
    ScaleListValues(R, Tp, v);
    AnsiString report = OnePassFill(Tp.Concl, v);
    if (Values) *Values = std::move(v);
    return report;
}

AnsiString DirectGroupReport(const TDirectGroup& G, const TTeam& T, const TTemplates& Tp,
                             TValues* Values = nullptr) {
    TScaleResult r;
    AnsiString unfilled, share, level, chart;
    for (int s = 0; s < ScaleCount; ++s) {
        r.Sten[s] = G.Sten[s];
        r.Valid[s] = G.Filled[s];
        if (!G.Filled[s]) AppendItem(unfilled, s, 0);
    }
    if (T.NUMBEROFEMPLOYES > 0) {
        const int percent =
            ((T.NUMBEROFTESTED - G.NonValid) * 100 + T.NUMBEROFEMPLOYES - 1) / T.NUMBEROFEMPLOYES;
        share = IntToStr(percent);
        if (percent >= 0 && percent <= 100) {
            static const int floors[] = {91, 84, 68, 50, 0};
            int level_ = 0;
            while (percent < floors[level_])
                ++level_;
            level = GroupReliabilityLevels[level_];
        }
        if (percent >= 50) chart = ChartBlock(kChartFolder);
    }
    TValues v = {{"Job", Escape(T.JOB)},
                 {"Dep", Escape(T.DEPARTMENT)},
                 {"NumEmp", T.NUMBEROFEMPLOYES == -1 ? AnsiString() : IntToStr(T.NUMBEROFEMPLOYES)},
                 {"NumTest", IntToStr(T.NUMBEROFTESTED)},
                 {"DTest", DateTimeToStr(T.DATETEST)},
                 {"CntNonVal", IntToStr(G.NonValid)},
                 {"Valid", level},
                 {"SizeP", share},
                 {"GraphPr", chart},
                 {"WrongLuv", ListOrNone(unfilled)}};
    ScaleListValues(r, Tp, v);
    AnsiString report = OnePassFill(Tp.Grcon, v);
    if (Values) *Values = std::move(v);
    return report;
}

AnsiString DirectDynamicsReport(const TTemplates& Tp, TValues* Values = nullptr) {
    TValues v = {{"GraphPr", "<img src=\"" + Escape(kChartFolder + "TmpLuvDynChart.bmp") + "\"/>"},
                 {"Norms", Tp.Norms}};
    AnsiString report = OnePassFill(Tp.Dyn, v);
    if (Values) *Values = std::move(v);
    return report;
}

// Times the library, the direct report and the fill alone of the direct
// report's values.
void TimeReports(benchmark::State& State, const std::function<void(int)>& Library,
                 const std::function<void(int)>& Direct, const std::function<void(int)>& Fill) {
    double library = 0, direct = 0, fill = 0;
    for (auto _ : State) {
        const auto t0 = TClock::now();
        for (int i = 0; i < kReports; ++i)
            Library(i);
        const auto t1 = TClock::now();
        for (int i = 0; i < kReports; ++i)
            Direct(i);
        const auto t2 = TClock::now();
        for (int i = 0; i < kReports; ++i)
            Fill(i);
        const auto t3 = TClock::now();
        library += std::chrono::duration<double, std::micro>(t1 - t0).count();
        direct += std::chrono::duration<double, std::micro>(t2 - t1).count();
        fill += std::chrono::duration<double, std::micro>(t3 - t2).count();
    }
    const double n = double(State.iterations()) * kReports;
    State.counters["library_us"] = library / n;
    State.counters["direct_us"] = direct / n;
    State.counters["ratio"] = direct > 0 ? library / direct : 0;
    State.counters["fill_us"] = fill / n;
    State.counters["ratio_to_fill"] = fill > 0 ? library / fill : 0;
    State.SetItemsProcessed(int64_t(n));
}

void BM_TesteeReports(benchmark::State& State) {
    if (!Ready(State)) return;
    TBenchData& d = TBenchData::Get();
    const TTemplates templates;
    std::vector<std::unique_ptr<TTestResult>> results;
    std::vector<TScaleResult> direct(kReports);
    std::vector<TValues> values(kReports);
    std::vector<TUser> users;
    std::vector<TTestData> tests;
    for (int i = 0; i < kReports; ++i) {
        users.push_back(Testee(i));
        tests.push_back(Test(i));
        results.push_back(std::make_unique<TTestResult>());
        results.back()->SetAnswers(d.Answers[std::size_t(i)]);
        TDirectScores scores;
        DirectScore(d, d.Answers[std::size_t(i)], scores);
        for (int s = 0; s < ScaleCount; ++s) {
            direct[std::size_t(i)].Sten[s] = scores.Sten[s];
            direct[std::size_t(i)].Valid[s] = scores.Valid[s];
        }
        AnsiString report;
        results.back()->BuildReport(users.back(), tests.back(), kChartFolder, report);
        if (report != DirectTesteeReport(direct[std::size_t(i)], users.back(), tests.back(), templates,
                                         &values[std::size_t(i)]))
            return State.SkipWithError("a testee report differs from the direct one");
    }
    TimeReports(
        State,
        [&](int i) {
            AnsiString report;
            results[std::size_t(i)]->BuildReport(users[std::size_t(i)], tests[std::size_t(i)], kChartFolder,
                                                 report);
            benchmark::DoNotOptimize(report.data());
        },
        [&](int i) {
            AnsiString report = DirectTesteeReport(direct[std::size_t(i)], users[std::size_t(i)],
                                                   tests[std::size_t(i)], templates);
            benchmark::DoNotOptimize(report.data());
        },
        [&](int i) {
            AnsiString report = OnePassFill(templates.Concl, values[std::size_t(i)]);
            benchmark::DoNotOptimize(report.data());
        });
}

void BM_GroupReports(benchmark::State& State) {
    if (!Ready(State)) return;
    TBenchData& d = TBenchData::Get();
    const TTemplates templates;
    std::vector<std::unique_ptr<TGroupTestResult>> groups;
    std::vector<TDirectGroup> direct(kReportGroups);
    std::vector<TValues> values(kReportGroups);
    for (std::size_t i = 0; i < d.ReportTeams.size(); ++i) {
        const TTeam& t = d.ReportTeams[i];
        groups.push_back(std::make_unique<TGroupTestResult>());
        groups.back()->SetTeam(t);
        DirectGroup(d, t, direct[i]);
        AnsiString report;
        groups.back()->BuildGroupReport(kChartFolder, report);
        if (report != DirectGroupReport(direct[i], t, templates, &values[i]))
            return State.SkipWithError("a group report differs from the direct one");
    }
    auto at = [](int i) { return std::size_t(i % kReportGroups); };
    TimeReports(
        State,
        [&](int i) {
            AnsiString report;
            groups[at(i)]->BuildGroupReport(kChartFolder, report);
            benchmark::DoNotOptimize(report.data());
        },
        [&](int i) {
            AnsiString report = DirectGroupReport(direct[at(i)], d.ReportTeams[at(i)], templates);
            benchmark::DoNotOptimize(report.data());
        },
        [&](int i) {
            AnsiString report = OnePassFill(templates.Grcon, values[at(i)]);
            benchmark::DoNotOptimize(report.data());
        });
}

void BM_DynamicsReports(benchmark::State& State) {
    if (!Ready(State)) return;
    const TTemplates templates;
    const TUser user = Testee(1);
    TValues values;
    {
        AnsiString report;
        BuildDynamicsReport(user, kChartFolder, report);
        if (report != DirectDynamicsReport(templates, &values))
            return State.SkipWithError("a dynamics report differs from the direct one");
    }
    TimeReports(
        State,
        [&](int) {
            AnsiString report;
            BuildDynamicsReport(user, kChartFolder, report);
            benchmark::DoNotOptimize(report.data());
        },
        [&](int) {
            AnsiString report = DirectDynamicsReport(templates);
            benchmark::DoNotOptimize(report.data());
        },
        [&](int) {
            AnsiString report = OnePassFill(templates.Dyn, values);
            benchmark::DoNotOptimize(report.data());
        });
}

BENCHMARK(BM_ScoreTestees)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreGroup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TesteeReports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupReports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DynamicsReports)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
