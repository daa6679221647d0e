// Group scoring: the team data, the share and level of valid respondents,
// missing scores, and the escaped group report.
#include "core/CalcGroup_Unit.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "ReportItems.h"

namespace {

AnsiString Repeat(const AnsiString& Text, int Count) {
    AnsiString out;
    for (int i = 0; i < Count; ++i)
        out += Text;
    return out;
}

TTeam Team(int Tested, const AnsiString& Data, int Employees) {
    TTeam t;
    t.JOB = "Завод"_cp;
    t.DEPARTMENT = "Цех №2"_cp;
    t.NUMBEROFTESTED = Tested;
    t.NUMBEROFEMPLOYES = Employees;
    t.DATETEST = EncodeDate(2023, 11, 2);
    t.DATA = Data;
    return t;
}

const AnsiString kComplete = "17/17/17/17/17/17/17/17/";
const AnsiString kEmpty = "////////";

} // namespace

// --- parsing and the pure helpers ---

TEST(CalcGroupUnit, ParseTeamDataKeepsEmptyValuesInPlace) {
    TSimpleArray members(2, std::vector<int32_t>(8, 99));
    ParseTeamData("12//9/1/2/3/4/5/6/", members);
    EXPECT_EQ(members[0], (std::vector<int32_t>{12, -1, 9, 1, 2, 3, 4, 5}));
    // The ninth value starts the second respondent; the rest has no value.
    EXPECT_EQ(members[1], (std::vector<int32_t>{6, 99, 99, 99, 99, 99, 99, 99}));

    // Values beyond the rows are ignored; text after the last "/" is none.
    TSimpleArray one(1, std::vector<int32_t>(8, 0));
    ParseTeamData(Repeat("3/", 20) + "7", one);
    EXPECT_EQ(one[0], std::vector<int32_t>(8, 3));

    TSimpleArray none;
    ParseTeamData("1/2/", none);
    EXPECT_TRUE(none.empty());

    TSimpleArray bad(1, std::vector<int32_t>(8, 0));
    EXPECT_THROW(ParseTeamData("1/x/", bad), EConvertError);
}

TEST(CalcGroupUnit, GroupReliabilityAtEachBoundary) {
    struct Case {
        int Percent;
        int Level; // -1: the text stays as it was
    } cases[] = {{101, -1}, {100, 0}, {91, 0}, {90, 1}, {84, 1}, {83, 2},
                 {68, 2},   {67, 3},  {50, 3}, {49, 4}, {0, 4},  {-1, -1}};
    for (const auto& c : cases) {
        AnsiString text = "before";
        GroupValidityLevelText(c.Percent, text);
        EXPECT_EQ(text, c.Level == -1 ? AnsiString("before") : GroupReliabilityLevels[c.Level]) << c.Percent;
    }
}

TEST(CalcGroupUnit, ScaleFilledUpToHalfMissing) {
    // Ten respondents; scale 0 lacks 5 scores, scale 1 lacks 6.
    TGroupTestResult g;
    g.Members.assign(10, std::vector<int32_t>(8, 17));
    for (int i = 0; i < 5; ++i)
        g.Members[i][0] = -1;
    for (int i = 0; i < 6; ++i)
        g.Members[i][1] = -1;
    EXPECT_TRUE(g.IsScaleFilled(0));
    EXPECT_FALSE(g.IsScaleFilled(1));
    EXPECT_TRUE(g.IsScaleFilled(2));
    g.Members.clear();
    EXPECT_TRUE(g.IsScaleFilled(1));

    // A row too short for a scale lacks its score: two of three are missing.
    g.Members = {{17}, {17}, std::vector<int32_t>(8, 17)};
    EXPECT_TRUE(g.IsScaleFilled(0));
    EXPECT_FALSE(g.IsScaleFilled(1));
    EXPECT_FALSE(g.IsScaleFilled(7));
}

// --- scoring and the report against the data file ---

class CalcGroupUnitTest : public CoreFixture {};

// Four respondents (norms as in db/data_content_stens.sql: sten 1 = 0-7,
// 2 = 8-9, 3 = 10-12, 4 = 13-15, 5 = 16-17, 6 = 18-19, 7 = 20-22, 8 = 23-25,
// 9 = 26-27, 10 = 28-35):
//          A   B   C   D   E   F   H   I
//   R1    20  15  22  10  18  25   8  12
//   R2    22   -  24  12  20  27   9  14
//   R3     -   -  30   -  16   -   5  10   4 missing: not valid
//   R4    18   -   -  14  17  26   -   9   3 missing: still valid
// Means over those who have a score, rounded up:
//   A 60/3 = 20 (7)   B 15/1 = 15 (4)   C 76/3 = 25.3 -> 26 (9)   D 36/3 = 12 (3)
//   E 71/4 = 17.75 -> 18 (6)   F 78/3 = 26 (9)   H 22/3 = 7.3 -> 8 (2)   I 45/4 = 11.25 -> 12 (3)
// B lacks 3 of 4 scores: not filled. Valid protocols 3 of 6 employees: 50%.
const AnsiString kFourRespondents = "20/15/22/10/18/25/8/12/"
                                    "22//24/12/20/27/9/14/"
                                    "//30//16//5/10/"
                                    "18///14/17/26//9/";

TEST_F(CalcGroupUnitTest, ScoresAGroupWithInvalidRespondents) {
    TGroupTestResult g;
    g.SetTeam(Team(4, kFourRespondents, 6));
    const int raw[] = {20, 15, 26, 12, 18, 26, 8, 12};
    const int stens[] = {7, 4, 9, 3, 6, 9, 2, 3};
    for (int s = 0; s < ScaleCount; ++s) {
        EXPECT_EQ(g.GetRawScore(s), raw[s]) << s;
        EXPECT_EQ(g.GetSten(s), stens[s]) << s;
        EXPECT_EQ(g.IsScaleFilled(s), s != 1) << s;
        EXPECT_EQ(g.IsScaleValid(s), s != 1) << "only a filled scale is interpreted: " << s;
    }
    EXPECT_EQ(g.NonValidCount, 1);
    EXPECT_EQ(g.Members.size(), 4u);
    EXPECT_EQ(g.GetProfileType(), "type3"); // leading A, C, F

    AnsiString report;
    g.BuildGroupReport("/charts/", report);
    EXPECT_FALSE(Has(report, "$"));
    EXPECT_TRUE(Has(report, "<td width=\"45%\">Завод</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>Цех №2</td>"_cp));
    EXPECT_TRUE(Has(report, "чел.</b></td><td>6</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>4</td>"));
    EXPECT_TRUE(Has(report, "<td>02.11.2023</td>"));
    EXPECT_TRUE(Has(report, "шкал), чел.</b></td><td width=\"45%\">1</td>"_cp));
    EXPECT_TRUE(Has(report, "подразделения, %</b></td><td>50</td>"_cp));
    EXPECT_TRUE(Has(report, "<td>Сниженный</td>"_cp));
    EXPECT_TRUE(Has(report, "<img src=\"/charts/TmpLuvChart.bmp\"/>"));
    // C and F (9) before A (7): the exchange sort moves F ahead of A.
    EXPECT_TRUE(Has(report, "<ul>" + Item(2, 9) + Item(5, 9) + Item(0, 7) + "</ul>"));
    EXPECT_TRUE(Has(report, "<ul>" + Item(4, 6) + "</ul>"));
    // Suppressed D and I (3); displaced H (2). B (4) lacks data and is listed
    // once, as such.
    EXPECT_TRUE(Has(report, "<ul><li><b>Подавляемые:</b></li><br><ul>"_cp + Item(3, 3) + Item(7, 3) +
                                "</ul><li><b>Вытесняемые:</b></li><br><ul>"_cp + Item(6, 2) + "</ul></ul>"));
    EXPECT_TRUE(Has(report, "<ul>" + BareItem(1) + "</ul>"));
    EXPECT_EQ(ItemsNaming(report, 1), 1);
    AnsiString type3, norms;
    DM->GetHtmlTemplate("type3", type3);
    EXPECT_TRUE(Has(report, type3));
    DM->GetHtmlTemplate("norms", norms);
    EXPECT_TRUE(Has(report, norms)) << "the stens rest on provisional norms";
}

TEST_F(CalcGroupUnitTest, ScalesLackingDataAreNotInterpreted) {
    // Four respondents lead on A, D and I; H is high too, but only one of
    // them scored it.
    const AnsiString leadingHygiene = "25/15/15/25/15/15//25/";
    TGroupTestResult g;
    g.SetTeam(Team(4, Repeat(leadingHygiene, 3) + "25/15/15/25/15/15/30/25/", 4));
    EXPECT_FALSE(g.IsScaleFilled(6));
    EXPECT_EQ(g.GetSten(6), 10);
    EXPECT_FALSE(g.IsScaleValid(6));
    EXPECT_EQ(g.GetProfileType(), "type2");
    AnsiString report;
    g.BuildGroupReport("/charts/", report);
    EXPECT_EQ(ItemsNaming(report, 6), 1);
    EXPECT_TRUE(Has(report, "<ul>" + BareItem(6) + "</ul>"));
    EXPECT_TRUE(Has(report, "<ul>" + Item(0, 8) + Item(3, 8) + Item(7, 8) + "</ul>"));

    // With fewer than five scales filled no profile type is named.
    TGroupTestResult sparse;
    sparse.SetTeam(Team(2, Repeat("25/15/15/25/////", 2), 2));
    sparse.BuildGroupReport("/charts/", report);
    EXPECT_TRUE(Has(report,
                    "<p>Тип мотивационного профиля не определяется: для этого нужно не менее пяти шкал "
                    "с достоверными данными, а их 4.</p>"_cp));
    for (int s = 4; s < ScaleCount; ++s)
        EXPECT_EQ(ItemsNaming(report, s), 1) << s;
}

TEST_F(CalcGroupUnitTest, ShareOfValidRespondents) {
    struct Case {
        int Tested;
        int Invalid;
        int Employees;
        const char* Share;
        int Level; // -1: empty
        bool Chart;
    } cases[] = {
        {20, 2, 40, "45", 4, false}, {20, 2, 36, "50", 3, true},
        {11, 0, 20, "55", 3, true}, // exactly 55, not 56
        {7, 0, 10, "70", 2, true},   {21, 0, 25, "84", 1, true},
        {10, 0, 10, "100", 0, true}, {7, 0, 25, "28", 4, false},
        {3, 1, 0, "", -1, false},    {3, 1, -1, "", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Tested << " tested, " << c.Invalid << " invalid, " << c.Employees);
        TGroupTestResult g;
        g.SetTeam(
            Team(c.Tested, Repeat(kComplete, c.Tested - c.Invalid) + Repeat(kEmpty, c.Invalid), c.Employees));
        EXPECT_EQ(g.NonValidCount, c.Invalid);
        AnsiString report;
        g.BuildGroupReport("/charts/", report);
        EXPECT_TRUE(Has(report, "подразделения, %</b></td><td>"_cp + AnsiString(c.Share) + "</td>"));
        EXPECT_TRUE(Has(report, "надежности группового профиля</b></td><td>"_cp +
                                    (c.Level == -1 ? AnsiString() : GroupReliabilityLevels[c.Level]) +
                                    "</td>"));
        EXPECT_EQ(Has(report, "TmpLuvChart.bmp"), c.Chart);
        if (c.Employees == -1) {
            EXPECT_TRUE(Has(report, "подразделения, чел.</b></td><td></td>"_cp));
        }
    }
}

TEST_F(CalcGroupUnitTest, MissingScoresAreNoZeros) {
    // Two respondents: A 10 and 13 give 11.5, rounded up to 12; D has 10 and
    // a missing score, so its mean is 10, not 5; nobody scored I.
    TGroupTestResult g;
    g.SetTeam(Team(2, "10/17/17/10/17/17/17//13/17/17//17/17/17//", 2));
    EXPECT_EQ(g.GetRawScore(0), 12);
    EXPECT_EQ(g.GetSten(0), 3);
    EXPECT_EQ(g.GetRawScore(3), 10);
    EXPECT_EQ(g.GetSten(3), 3);
    EXPECT_EQ(g.GetSten(7), -1);
    EXPECT_FALSE(g.HasSten(7));
    EXPECT_FALSE(g.IsScaleFilled(7));
    EXPECT_EQ(g.NonValidCount, 0);
    AnsiString report;
    g.BuildGroupReport("/charts/", report);
    // I is in no sten list, only among the scales lacking data.
    const AnsiString named = "<li><b>" + ScaleNames[7] + ".</b>";
    const std::size_t first = report.find(named);
    ASSERT_NE(first, AnsiString::npos);
    EXPECT_EQ(report.find(named, first + 1), AnsiString::npos);
    EXPECT_TRUE(Has(report, "<ul>" + BareItem(7) + "</ul>"));
}

TEST_F(CalcGroupUnitTest, ShortOrEmptyDataNeverReadsPastTheText) {
    // Three respondents announced, values for one and a half: the rest count
    // as missing, which makes the last two invalid protocols.
    TGroupTestResult g;
    g.SetTeam(Team(3, "20/20/20/20/20/20/20/20/15/15/15/15/", 3));
    EXPECT_EQ(g.NonValidCount, 2);
    EXPECT_EQ(g.GetRawScore(0), 18); // (20 + 15) / 2 = 17.5
    EXPECT_EQ(g.GetRawScore(4), 20);
    EXPECT_FALSE(g.IsScaleFilled(4));

    // No respondents: nothing is divided by zero and nothing has a sten.
    TGroupTestResult none;
    none.SetTeam(Team(0, "1/2/3/", 0));
    for (int s = 0; s < ScaleCount; ++s) {
        EXPECT_EQ(none.GetSten(s), -1);
        EXPECT_TRUE(none.IsScaleFilled(s));
    }
    EXPECT_EQ(none.GetProfileType(), "type4");
    AnsiString report;
    none.BuildGroupReport("/charts/", report);
    EXPECT_FALSE(Has(report, "$"));

    // An empty DATA changes nothing; a bad value raises and changes nothing.
    TGroupTestResult kept;
    kept.SetTeam(Team(1, kComplete, 1));
    kept.SetTeam(Team(5, "", 5));
    EXPECT_EQ(kept.Team.NUMBEROFTESTED, 1);
    EXPECT_THROW(kept.SetTeam(Team(1, "1/a/", 1)), EConvertError);
    EXPECT_EQ(kept.Team.NUMBEROFTESTED, 1);
    EXPECT_EQ(kept.GetRawScore(0), 17);

    // Nor do norms that cannot be read: they are read at the first look-up
    // after the module connects.
    DM->DataModuleCreate();
    DM->Data_IBDatabase->Close();
    EXPECT_THROW(kept.SetTeam(Team(2, kFourRespondents, 4)), Exception);
    EXPECT_EQ(kept.Team.NUMBEROFTESTED, 1);
    EXPECT_EQ(kept.Members.size(), 1u);
    EXPECT_EQ(kept.NonValidCount, 0);
    for (int s = 0; s < ScaleCount; ++s) {
        EXPECT_EQ(kept.GetRawScore(s), 17) << s;
        EXPECT_EQ(kept.GetSten(s), 5) << s;
    }
}

TEST_F(CalcGroupUnitTest, GroupValuesAreEscaped) {
    TTeam t = Team(1, kComplete, 1);
    t.JOB = "ООО \"Рога & Копыта\""_cp;
    t.DEPARTMENT = "<script>$Dep$</script>";
    TGroupTestResult g;
    g.SetTeam(t);
    AnsiString report;
    g.BuildGroupReport("/charts/", report);
    EXPECT_TRUE(Has(report, "ООО &quot;Рога &amp; Копыта&quot;"_cp));
    EXPECT_TRUE(Has(report, "&lt;script&gt;&#36;Dep&#36;&lt;/script&gt;"));
    EXPECT_FALSE(Has(report, "<script>"));
}
