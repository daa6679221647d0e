// Scoring of one test: points, validity, stens, profile types, and the test
// and dynamics reports.
#include "core/Calc_Unit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "CoreFixture.h"
#include "ReportItems.h"
#include "core/uQuestionsClass.h"
#include "platform/win/WinBase.h"

namespace {

using Scores = std::array<int, ScaleCount>;
using Flags = std::array<bool, ScaleCount>;

// Exposes the divergent-pair count.
struct TProbe : TTestResult {
    using TTestResult::CountDivergentPairs;
};

// A result whose stens and validity are set by hand, for the queries that
// only read them.
void SetStens(TTestResult& R, const Scores& Stens, const Flags& Valid) {
    for (int s = 0; s < ScaleCount; ++s) {
        R.Stens[s] = Stens[s];
        R.ValidFlags[s] = Valid[s] ? 1.0 : 0.0;
    }
}

const Flags kAllValid = {true, true, true, true, true, true, true, true};

} // namespace

// --- answer expansion, splitting, escaping ---

TEST(CalcUnit, ExpandAnswersGivesBothStatementsTheirPoints) {
    TIndexes points;
    ExpandAnswers("5031", points);
    EXPECT_EQ(points, (TIndexes{5, 0, 0, 5, 3, 2, 1, 4}));
    for (const char* bad : {"6", "3a", "-1", "3 ", "9"}) {
        TIndexes kept = {7};
        EXPECT_THROW(ExpandAnswers(bad, kept), EConvertError) << bad;
        EXPECT_EQ(kept, TIndexes{7}) << bad;
    }
}

TEST(CalcUnit, SplitStringSkipsRunsOfDelimiters) {
    struct Case {
        const char* Text;
        const char* Delimiters;
        std::vector<AnsiString> Tokens;
    } cases[] = {
        {"a##b#", "#", {"a", "b"}},
        {"#a#", "#", {"a"}},
        {"12//9/", "/", {"12", "9"}},
        {"", "#", {}},
        {"###", "#", {}},
        {"a/b#c", "/#", {"a", "b", "c"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.Add("before");
        SplitString(c.Text, std::set<char>(c.Delimiters, c.Delimiters + std::strlen(c.Delimiters)), list);
        ASSERT_EQ(list.Count(), int(c.Tokens.size()) + 1) << c.Text;
        for (std::size_t i = 0; i < c.Tokens.size(); ++i)
            EXPECT_EQ(list[int(i) + 1], c.Tokens[i]) << c.Text;
    }
}

TEST(CalcUnit, HtmlEscapeLeavesNoMarkupAndNoPlaceholder) {
    EXPECT_EQ(HtmlEscape("<b>Иванов & Ко</b>"_cp), "&lt;b&gt;Иванов &amp; Ко&lt;/b&gt;"_cp);
    EXPECT_EQ(HtmlEscape("\"$FIO$\""), "&quot;&#36;FIO&#36;&quot;");
    EXPECT_EQ(HtmlEscape("Просто текст"_cp), "Просто текст"_cp);
}

TEST(CalcUnit, SeniorityIsWrittenAsFloatToStrWritesIt) {
    const TFormatSettings saved = FormatSettings;
    for (char separator : {'.', ','}) {
        FormatSettings.DecimalSeparator = separator;
        for (int hundredths = 0; hundredths <= 10000; ++hundredths) {
            const double years = hundredths / 100.0;
            ASSERT_EQ(SeniorityText(years), FloatToStr(years)) << years;
        }
        for (double years : {-0.0, -1.5, 0.125, 1.0 / 3, 1e9, 123456789.99, 1e-7, 33.333333333333336})
            EXPECT_EQ(SeniorityText(years), FloatToStr(years)) << years;
    }
    FormatSettings = saved;
}

TEST(CalcUnit, PlaceholdersAreFilledInOnePass) {
    struct Case {
        const char* Template;
        const char* Filled;
    } cases[] = {
        {"$FIO$, $fio$ and $Fio$", "<A>, <A> and <A>"}, // every occurrence, in any case
        {"$AGE$", "$FIO$"},                             // a value is not searched again
        {"$FIO$$AGE$", "<A>$FIO$"},                     // adjacent placeholders
        {"5$ and $FIO$", "5$ and <A>"},                 // a stray "$" stays
        {"$x$FIO$", "$x<A>"},                           // the closing "$" of no placeholder opens one
        {"$Unknown$ $FIO", "$Unknown$ $FIO"},           // unknown or unclosed: text
        {"$FIOFIOFIOFIOFIOFIOFIOFIOFIOFIOFIOFIO$", "$FIOFIOFIOFIOFIOFIOFIOFIOFIOFIOFIOFIO$"},
        {"", ""},
        {"no placeholders", "no placeholders"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FillPlaceholders(c.Template, {{"FIO", "<A>"}, {"AGE", "$FIO$"}}), c.Filled) << c.Template;
}

// --- queries on stens and validity ---

TEST(CalcUnit, DivergentPairsDecideValidity) {
    struct Case {
        std::vector<double> Items;
        int Pairs;
    } cases[] = {
        {{5, 1, 1, 3, 3, 3, 3}, 2}, // valid: 5 with each 1
        {{5, 1, 1, 1, 3, 3, 3}, 3}, // invalid
        {{4, 0}, 1},                // a difference of exactly 4 counts
        {{4, 1}, 0},
        {{}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TProbe::CountDivergentPairs(c.Items), c.Pairs);
}

TEST(CalcUnit, ScalesInStenRangeTakesValidScalesWithASten) {
    TTestResult r;
    //          0  1  2   3  4  5  6  7
    SetStens(r, {9, 7, 10, -1, 9, 3, 7, 6}, {true, true, true, true, false, true, true, true});
    TIndexes leading;
    r.ScalesInStenRange(7, 10, leading);
    EXPECT_EQ(leading, (TIndexes{0, 1, 2, 6})); // not the invalid 4, not 3 without sten
    TIndexes all;
    r.ScalesInStenRange(-10, 10, all);
    EXPECT_EQ(all, (TIndexes{0, 1, 2, 5, 6, 7}));
    EXPECT_FALSE(r.HasSten(3));
    EXPECT_EQ(r.GetSten(3), -1);
    EXPECT_THROW(r.GetSten(8), Exception);
    EXPECT_THROW(r.IsScaleValid(-1), Exception);
}

TEST(CalcUnit, SortsExchangeEntriesAsTheyGo) {
    TTestResult r;
    SetStens(r, {7, 7, 9, 4, 3, 5, 5, 5}, kAllValid);
    TIndexes list = {0, 1, 2};
    r.SortByStenDescending(list);
    EXPECT_EQ(list, (TIndexes{2, 1, 0})); // equal stens end up reversed
    list = {3, 4};
    r.SortByStenAscending(list);
    EXPECT_EQ(list, (TIndexes{4, 3}));
    list = {5, 6, 7};
    r.SortByStenAscending(list);
    EXPECT_EQ(list, (TIndexes{5, 6, 7})); // all equal: nothing moves
}

TEST(CalcUnit, ProfileTypeFollowsTheLeadingScales) {
    struct Case {
        std::vector<int> Leading;
        const char* Type;
    } cases[] = {
        {{1, 2, 4, 5, 6}, "type1"},
        {{0, 3, 7}, "type2"},
        {{1, 2, 4, 5}, "type3"},
        {{0, 1, 2, 3, 4}, "type3"},
        {{0, 3, 6}, "type3"},
        {{}, "type4"},
        {{0}, "type3"},
        {{0, 1, 2, 3, 4, 5, 6, 7}, "type3"},
    };
    for (const auto& c : cases) {
        TTestResult r;
        Scores stens = {5, 5, 5, 5, 5, 5, 5, 5};
        for (int s : c.Leading)
            stens[s] = 8;
        SetStens(r, stens, kAllValid);
        EXPECT_EQ(r.GetProfileType(), c.Type) << c.Leading.size();
    }
    // An invalid leading scale does not count.
    TTestResult r;
    SetStens(r, {8, 5, 5, 8, 5, 5, 5, 8}, {true, true, true, false, true, true, true, true});
    EXPECT_EQ(r.GetProfileType(), "type3");
}

TEST(CalcUnit, ShareAndReliabilityByValidScaleCount) {
    struct Case {
        int Valid;
        const char* Share;
        int Level;
    } cases[] = {
        {8, "100.0%", 0}, {7, "87.5%", 1}, {6, "75.0%", 2}, {5, "62.5%", 3},
        {4, "50.0%", 3},  {1, "12.5%", 3}, {0, "0.0%", 3},
    };
    const TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = '.';
    for (const auto& c : cases) {
        TTestResult r;
        for (int s = 0; s < ScaleCount; ++s)
            r.ValidFlags[s] = s < c.Valid ? 1.0 : 0.0;
        EXPECT_EQ(r.ValidScaleCount(), c.Valid);
        EXPECT_EQ(r.ValidShareText(), c.Share);
        EXPECT_EQ(r.ReliabilityLevelText(), ReliabilityLevels[c.Level]) << c.Valid;
    }
    FormatSettings.DecimalSeparator = ',';
    TTestResult r;
    for (double& f : r.ValidFlags)
        f = 1.0;
    r.ValidFlags[0] = 0.0;
    EXPECT_EQ(r.ValidShareText(), "87,5%");
    FormatSettings = saved;
}

// --- scoring against the data file ---

namespace {

// Scale keys of the pairs in STATEMENT_ID order (db/data_content_statements.sql):
//  1 A-D   2 H-F   3 B-E   4 I-A   5 D-H   6 E-C   7 A-B   8 F-D   9 C-I  10 H-A
// 11 F-E  12 B-C  13 D-I  14 E-H  15 C-F  16 I-B  17 D-E  18 A-C  19 H-B  20 F-I
// 21 E-A  22 B-D  23 C-H  24 A-F  25 I-E  26 D-C  27 F-B  28 H-I
// Scales 0, 3, 5 and 6 stand first four times and second three times; scales
// 1, 2, 4 and 7 stand first three times and second four times.
// Norms of every scale: sten 1 = 0-7, 2 = 8-9, 3 = 10-12, 4 = 13-15,
// 5 = 16-17, 6 = 18-19, 7 = 20-22, 8 = 23-25, 9 = 26-27, 10 = 28-35.
struct Scored {
    const char* Name;
    AnsiString Answers;
    Scores Raw;
    Scores Stens;
    Flags Valid;
    const char* Type;
};

const Scored kScored[] = {
    // Four items of 5 and three of 0 (or the reverse) on every scale: 12
    // divergent pairs each, so nothing is valid.
    {"all fives",
     AnsiString(28, '5'),
     {20, 15, 15, 20, 15, 20, 20, 15},
     {7, 4, 4, 7, 4, 7, 7, 4},
     {},
     "type4"},
    {"all zeros",
     AnsiString(28, '0'),
     {15, 20, 20, 15, 20, 15, 15, 20},
     {4, 7, 7, 4, 7, 4, 4, 7},
     {},
     "type4"},
    // 4 x 3 + 3 x 2 = 18 and 3 x 3 + 4 x 2 = 17; items differ by 1 at most.
    {"all threes",
     AnsiString(28, '3'),
     {18, 17, 17, 18, 17, 18, 18, 17},
     {6, 5, 5, 6, 5, 6, 6, 5},
     kAllValid,
     "type4"},
    // 4 to a motivator (B C E F H) against a hygiene factor (A D I), 3 to
    // the first statement otherwise: motivators 3 x 4 + 10 = 22, hygiene
    // factors 5 x 1 + 5 = 10.
    {"motivators lead",
     "3333131444333331113444311134",
     {10, 22, 22, 10, 22, 22, 22, 10},
     {3, 7, 7, 3, 7, 7, 7, 3},
     kAllValid,
     "type1"},
    // Items per scale, in pair order, and divergent pairs:
    // A 4 0 3 3 3 4 3 = 20, 2 (4-0 twice)    B 5 2 3 2 5 4 5 = 26, 0
    // C 2 0 2 4 2 3 5 = 18, 2 (0-4, 0-5)     D 1 1 2 1 1 1 0 = 7, 0
    // E 0 3 3 3 4 1 1 = 15, 1                F 4 3 2 1 5 2 0 = 17, 3: invalid
    // H 1 4 2 2 0 2 1 = 12, 1                I 5 5 4 3 0 4 4 = 25, 5: invalid
    // Leading valid scales A and B only.
    {"mixed, two invalid",
     "4155133302231343130514334001",
     {20, 26, 18, 7, 15, 17, 12, 25},
     {7, 9, 6, 1, 4, 5, 3, 8},
     {true, true, true, true, true, false, true, false},
     "type3"},
};

} // namespace

class CalcUnitTest : public CoreFixture {};

TEST_F(CalcUnitTest, ScoresAnswerStrings) {
    for (const auto& c : kScored) {
        SCOPED_TRACE(c.Name);
        TTestResult r;
        r.SetAnswers(c.Answers);
        EXPECT_EQ(r.Answers, c.Answers);
        ASSERT_EQ(r.Points.size(), 56u);
        int valid = 0;
        for (int s = 0; s < ScaleCount; ++s) {
            EXPECT_EQ(r.GetRawScore(s), c.Raw[s]) << "scale " << s;
            EXPECT_EQ(r.GetSten(s), c.Stens[s]) << "scale " << s;
            EXPECT_EQ(r.IsScaleValid(s), c.Valid[s]) << "scale " << s;
            EXPECT_EQ(r.ScaleItems[s].size(), 7u);
            valid += c.Valid[s];
        }
        EXPECT_EQ(r.ValidScaleCount(), valid);
        EXPECT_EQ(r.GetProfileType(), c.Type);
    }
}

TEST_F(CalcUnitTest, RefusedAnswersScoreNothing) {
    TTestResult r;
    r.SetAnswers(AnsiString(28, '3'));
    const auto raw = r.RawScores;
    const auto stens = r.Stens;
    const auto valid = r.ValidFlags;
    struct Case {
        AnsiString Answers;
        const char* Mentions;
    } cases[] = {
        {AnsiString(27, '5'), "27"},
        {AnsiString(29, '5'), "29"},
        {"6" + AnsiString(27, '5'), "6"},
        {AnsiString(27, '5') + "x", "x"},
        {AnsiString(13, '5') + " " + AnsiString(14, '5'), "14"},
        {AnsiString(13, '5') + "-" + AnsiString(14, '5'), "-"},
    };
    for (const auto& c : cases) {
        try {
            r.SetAnswers(c.Answers);
            ADD_FAILURE() << "accepted " << c.Answers;
        } catch (const EConvertError& e) {
            EXPECT_NE(e.Message.find(c.Mentions), AnsiString::npos) << AnsiToUtf8(e.Message);
        }
        EXPECT_EQ(r.Answers, AnsiString(28, '3'));
        EXPECT_EQ(r.RawScores, raw);
        EXPECT_EQ(r.Stens, stens);
        EXPECT_EQ(r.ValidFlags, valid);
    }
    // An empty string changes nothing either, and raises nothing.
    r.SetAnswers("");
    EXPECT_EQ(r.Answers, AnsiString(28, '3'));
    EXPECT_EQ(r.RawScores, raw);

    // Nor do norms that cannot be read: they are read at the first look-up
    // after the module connects.
    DM->DataModuleCreate();
    DM->StatementKeys();
    DM->Data_IBDatabase->Close();
    EXPECT_THROW(r.SetAnswers(AnsiString(28, '5')), Exception);
    EXPECT_EQ(r.Answers, AnsiString(28, '3'));
    EXPECT_EQ(r.RawScores, raw);
    EXPECT_EQ(r.Stens, stens);
    EXPECT_EQ(r.ScaleItems[0], (std::vector<double>{3, 2, 3, 2, 3, 2, 3}));
}

TEST_F(CalcUnitTest, ScoringLeavesARunningQuestionnaireWhereItWas) {
    TQuestions q;
    q.Next();
    q.Next();
    ASSERT_EQ(q.Number, 3);
    {
        TTestResult r;
        r.SetAnswers(AnsiString(28, '4'));
        EXPECT_EQ(r.GetRawScore(0), 19); // 4 x 4 + 3 x 1
    }
    EXPECT_TRUE(DM->Statements_IBQuery->Active());
    ASSERT_TRUE(q.Next());
    EXPECT_EQ(q.Number, 4);
    EXPECT_EQ(q.NumStatement, 4);
    EXPECT_EQ(q.Statement1, "Для меня важны хорошие отношения с коллегами"_cp);
}

// --- reports ---

namespace {

// A placeholder is a name between two dollar signs.
bool HasPlaceholder(const AnsiString& Text) {
    return std::regex_search(Text, std::regex("\\$[A-Za-z]+\\$"));
}

TUser Testee() {
    TUser u;
    u.FIO = "<b>Иванов & Ко</b> $Job$"_cp;
    u.AGE = 41;
    u.POSIT = "Инженер"_cp;
    u.Seniority = 12.5;
    u.OrgSeniority = 3.25;
    u.Education = "Высшее"_cp;
    u.Job = "Завод \"Прогресс\""_cp;
    u.Spec = "Технолог"_cp;
    u.isworkforspec = 1;
    return u;
}

TTestData TestOf(int Seconds, TDateTime When) {
    TTestData t;
    t.DATETEST = When;
    t.TESTDURATION = Seconds;
    return t;
}

const AnsiString kAnxiety =
    "<b>Испытуемый характеризуется повышенной реактивной тревожностью в ситуации диагностики.</b><br><br>"_cp;

} // namespace

TEST_F(CalcUnitTest, ReportOfATestWithInvalidScales) {
    TTestResult r;
    r.SetAnswers("4155133302231343130514334001");
    AnsiString report;
    r.BuildReport(Testee(), TestOf(1501, EncodeDate(2024, 3, 15) + EncodeTime(10, 30, 0, 0)), "/charts/",
                  report);

    EXPECT_FALSE(HasPlaceholder(report));
    EXPECT_TRUE(Has(report, "\">&lt;b&gt;Иванов &amp; Ко&lt;/b&gt; &#36;Job&#36;</td>"_cp));
    EXPECT_FALSE(Has(report, "<b>Иванов"_cp));
    EXPECT_TRUE(Has(report, "<td>41</td>"));
    EXPECT_TRUE(Has(report, "<td>Инженер</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>12.5</td>"));
    EXPECT_TRUE(Has(report, "<td>3.25</td>"));
    EXPECT_TRUE(Has(report, "<td>Высшее</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>Завод &quot;Прогресс&quot;</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>Технолог</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>Да</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>15.03.2024 10:30:00</td>"));
    EXPECT_TRUE(Has(report, kAnxiety));
    EXPECT_TRUE(Has(report, "<b>75.0%</b>"));
    EXPECT_TRUE(Has(report, "<b>Средняя</b>"_cp));
    EXPECT_TRUE(Has(report, "ответами:</b></p>\n<ul><li>"_cp + ScaleNames[5] + "</li><li>" + ScaleNames[7] +
                                "</li></ul>\n<p>"));
    EXPECT_TRUE(Has(report, "ГРАФИЧЕСКИЙ ПРОФИЛЬ</P></h6><br> <p align=\"center\"><img "
                            "src=\"/charts/TmpLuvChart.bmp\"/></p><br>"_cp));
    // Leading by falling sten: B (9), A (7); the invalid I (8) is left out.
    EXPECT_TRUE(Has(report, "<ul>" + Item(1, 9) + Item(0, 7) + "</ul>"));
    EXPECT_TRUE(Has(report, "<ul>" + Item(2, 6) + "</ul>")); // F (5) is invalid
    EXPECT_TRUE(Has(report, "<ul><li><b>Подавляемые:</b></li><br><ul>"_cp + Item(6, 3) + Item(4, 4) +
                                "</ul><li><b>Вытесняемые:</b></li><br><ul>"_cp + Item(3, 1) + "</ul></ul>"));
    // The invalid F and I are listed once, among the contradictory scales.
    EXPECT_EQ(ItemsNaming(report, 5), 1);
    EXPECT_EQ(ItemsNaming(report, 7), 1);
    AnsiString type3;
    DM->GetHtmlTemplate("type3", type3);
    ASSERT_FALSE(type3.empty());
    EXPECT_TRUE(Has(report, type3));
    AnsiString norms;
    DM->GetHtmlTemplate("norms", norms);
    ASSERT_FALSE(norms.empty());
    EXPECT_TRUE(Has(report, norms));
}

TEST_F(CalcUnitTest, ReportWithoutValidScales) {
    TTestResult r;
    r.SetAnswers(AnsiString(28, '5'));
    TUser u = Testee();
    u.FIO = "Петров"_cp;
    u.AGE = -1;
    u.isworkforspec = 0;
    AnsiString report;
    r.BuildReport(u, TestOf(1500, EncodeDate(2024, 3, 15)), "/charts/", report);

    EXPECT_FALSE(HasPlaceholder(report));
    EXPECT_TRUE(Has(report, "Возраст, лет</b></td><td></td>"_cp));
    EXPECT_TRUE(Has(report, "<td>Нет</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>15.03.2024</td>"));
    EXPECT_FALSE(Has(report, kAnxiety));
    EXPECT_TRUE(Has(report, "<b>0.0%</b>"));
    EXPECT_TRUE(Has(report, "<b>Сниженная</b>"_cp));
    EXPECT_FALSE(Has(report, "TmpLuvChart"));
    AnsiString bad = "<ul>";
    for (int s = 0; s < ScaleCount; ++s) {
        bad += "<li>" + ScaleNames[s] + "</li>";
        EXPECT_EQ(ItemsNaming(report, s), 1) << "scale " << s << " is listed once";
    }
    EXPECT_TRUE(Has(report, "ответами:</b></p>\n"_cp + bad + "</ul>\n<p>"));
    // Leading, middle and low lists are all empty, and say so outside a list.
    EXPECT_EQ(Occurrences(report, "</p>\nНет\n"_cp), 3);
    EXPECT_FALSE(Has(report, "<ul>Нет"_cp));
    // Invalid scales are not low ones: the type that says no motive leads
    // does not apply.
    AnsiString type4;
    DM->GetHtmlTemplate("type4", type4);
    EXPECT_FALSE(Has(report, type4));
    EXPECT_TRUE(Has(report,
                    "<p>Тип мотивационного профиля не определяется: для этого нужно не менее пяти шкал "
                    "с достоверными данными, а их 0.</p>"_cp));
}

TEST_F(CalcUnitTest, ReportWithEveryScaleValid) {
    TTestResult r;
    r.SetAnswers("3333131444333331113444311134");
    TUser u = Testee();
    u.isworkforspec = 7;
    AnsiString report;
    r.BuildReport(u, TestOf(60, EncodeDate(2024, 3, 15)), "/charts/", report);
    EXPECT_FALSE(HasPlaceholder(report));
    EXPECT_TRUE(Has(report, "Работает по специальности</b></td><td></td>"_cp));
    EXPECT_TRUE(Has(report, "<b>100.0%</b>"));
    EXPECT_TRUE(Has(report, "<b>Очень высокая</b>"_cp));
    EXPECT_TRUE(Has(report, "ответами:</b></p>\nНет\n"_cp)); // $BadScales$ without its own list
    EXPECT_TRUE(
        Has(report, "<ul>" + Item(1, 7) + Item(2, 7) + Item(4, 7) + Item(5, 7) + Item(6, 7) + "</ul>"));
    EXPECT_TRUE(Has(report, "<ul><li><b>Подавляемые:</b></li><br><ul>"_cp + Item(0, 3) + Item(3, 3) +
                                Item(7, 3) + "</ul></ul>"));
    EXPECT_EQ(report.find("Вытесняемые:"_cp), AnsiString::npos);
    AnsiString type1;
    DM->GetHtmlTemplate("type1", type1);
    EXPECT_TRUE(Has(report, type1));
}

TEST_F(CalcUnitTest, ChartBlockNeedsFiveValidScales) {
    struct Case {
        const char* Answers;
        int Valid;
        const char* Share;
        int Level;
        bool Chart;
    } cases[] = {
        // Valid A C D E; B F H I have 4, 6, 8 and 4 divergent pairs.
        {"1513530331024201134540011320", 4, "50.0%", 3, false},
        // Valid A C F H I; B D E have 4, 3 and 4.
        {"4223000145104224314341315121", 5, "62.5%", 3, true},
        // Only A is invalid, with 7.
        {"4135023224352255054103214233", 7, "87.5%", 1, true},
    };
    for (const auto& c : cases) {
        TTestResult r;
        r.SetAnswers(c.Answers);
        ASSERT_EQ(r.ValidScaleCount(), c.Valid);
        AnsiString report;
        r.BuildReport(Testee(), TestOf(0, 45000), "/tmp/x&y/", report);
        EXPECT_TRUE(Has(report, AnsiString("<b>") + c.Share + "</b>")) << c.Valid;
        EXPECT_TRUE(Has(report, "<b>" + ReliabilityLevels[c.Level] + "</b>")) << c.Valid;
        EXPECT_EQ(Has(report, "<img src=\"/tmp/x&amp;y/TmpLuvChart.bmp\"/>"), c.Chart) << c.Valid;
        // The profile type needs as many valid scales as the chart.
        AnsiString type;
        DM->GetHtmlTemplate(r.GetProfileType(), type);
        EXPECT_EQ(Has(report, type), c.Chart) << c.Valid;
        EXPECT_EQ(Has(report, "Тип мотивационного профиля не определяется"_cp), !c.Chart) << c.Valid;
    }
}

TEST_F(CalcUnitTest, DynamicsReportShowsTheDynamicsChart) {
    AnsiString report = "old";
    BuildDynamicsReport(Testee(), "/charts/", report);
    EXPECT_TRUE(Has(report, "<p align=\"center\"><img src=\"/charts/TmpLuvDynChart.bmp\"/></p>"));
    EXPECT_TRUE(Has(report, "ДИНАМИКА ТРУДОВОЙ МОТИВАЦИИ"_cp));
    AnsiString norms;
    DM->GetHtmlTemplate("norms", norms);
    EXPECT_TRUE(Has(report, norms)) << "the stens rest on provisional norms";
    EXPECT_FALSE(HasPlaceholder(report));
    EXPECT_FALSE(Has(report, "Иванов"_cp));
}

TEST_F(CalcUnitTest, ReportsFollowTheTemplatesOfTheirConnection) {
    AnsiString before;
    BuildDynamicsReport(Testee(), "/charts/", before);
    TIBQuery change(nullptr);
    change.SetDatabase(DM->Data_IBDatabase);
    change.SetSQL("update HTMLTEMPLATES set TEMPLATE = '$norms$|$GRAPHPR$|$Nope$' where TEMPLATE_ID = 'dyn'");
    change.ExecQuery();
    DM->Data_IBTransaction->Commit();
    AnsiString report;
    BuildDynamicsReport(Testee(), "/charts/", report);
    EXPECT_EQ(report, before) << "the templates of one connection are read once";

    DM->DataModuleCreate();
    BuildDynamicsReport(Testee(), "/other/", report);
    AnsiString norms;
    DM->GetHtmlTemplate("norms", norms);
    EXPECT_EQ(report, norms + "|<img src=\"/other/TmpLuvDynChart.bmp\"/>|$Nope$");
}

TEST(CalcUnit, TempFolderEndsWithASeparator) {
    AnsiString folder;
    GetTempFolder(folder);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(GetTempFolder(), folder);
}

TEST(CalcUnit, TempFolderThatIsNotThereIsAnError) {
    SetTempPathOverride("/nonexistent/luvora/");
    AnsiString folder = "kept";
    EXPECT_THROW(GetTempFolder(folder), Exception);
    EXPECT_EQ(folder, "kept");
    SetTempPathOverride("");
}
