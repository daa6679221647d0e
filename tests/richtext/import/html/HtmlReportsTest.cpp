// The reports that the testing core builds from the data file's templates,
// for tests of every profile type, a group and a testee's dynamics, import
// without a warning and hold the text that Qt's text document reads from
// the same HTML.
#include <QTextDocument>

#include <random>
#include <set>

#include "HtmlTestSupport.h"
#include "core/CalcGroup_Unit.h"
#include "core/Calc_Unit.h"
#include "core/CoreFixture.h"
#include "platform/rtl/SysUtils.h"

namespace {

class HtmlReports : public CoreFixture {
protected:
    // The chart bitmaps the reports name, at the size the results window
    // renders them.
    void SetUp() override {
        CoreFixture::SetUp();
        WriteBmp(Folder.Path() + "TmpLuvChart.bmp", 630, 504);
        WriteBmp(Folder.Path() + "TmpLuvDynChart.bmp", 630, 504);
    }

    // Imports Report and compares its text with Qt's, white space aside.
    void CheckReport(const AnsiString& Report, const std::string& Name) {
        SCOPED_TRACE(Name);
        TRVHtmlReadResult r = ReadHtmlDocument(Report);
        ASSERT_EQ(r.Error, "");
        EXPECT_EQ(CheckHtmlDocumentInvariants(*r.Document), "");
        for (const AnsiString& warning : r.Warnings)
            ADD_FAILURE() << AnsiToUtf8(0, warning);
        std::u16string ours;
        r.Document->EnumItems([&ours](TCustomRVData& Data, int ItemNo, bool&) {
            if (Data.GetItem(ItemNo)->StyleNo >= 0)
                ours += Utf8ToWide(AnsiToUtf8(0, Data.GetItemTextAnsi(ItemNo)));
        });
        QTextDocument qt;
        qt.setHtml(QString::fromStdString(AnsiToUtf8(0, Report)));
        std::u16string theirs = qt.toPlainText().toStdU16String();
        auto strip = [](std::u16string Text) {
            std::erase_if(Text, [](char16_t c) {
                return c <= u' ' || c == u'\u00A0' || c == u'\uFFFC' || c == u'\u2028';
            });
            return Text;
        };
        EXPECT_EQ(WideToUtf8(strip(ours)), WideToUtf8(strip(theirs)));
        int pictures = 0;
        r.Document->EnumItems([&pictures](TCustomRVData& Data, int ItemNo, bool&) {
            if (auto* p = dynamic_cast<TRVGraphicItemInfo*>(Data.GetItem(ItemNo));
                p && p->Image->Width() == 630)
                ++pictures;
        });
        EXPECT_EQ(pictures, Has(Report, ".bmp") ? 1 : 0);
    }

    static bool Has(const AnsiString& Text, const char* Part) { return Text.find(Part) != AnsiString::npos; }
};

TUser Testee() {
    TUser u;
    u.FIO = "Иванов Иван & <Ко>"_cp;
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

} // namespace

TEST_F(HtmlReports, TestReportsOfEveryProfileTypeImport) {
    // A test where the motivators lead, the same answers the other way
    // round, then answers drawn until every profile type and a report
    // without a chart have been seen.
    std::vector<AnsiString> candidates = {"3333131444333331113444311134"};
    candidates.push_back(candidates[0]);
    for (char& c : candidates[1])
        c = char('0' + '5' - c);
    std::mt19937 random(7);
    for (int draw = 0; draw < 400; ++draw) {
        AnsiString answers;
        for (int i = 0; i < 28; ++i)
            answers += char('0' + random() % 6);
        candidates.push_back(answers);
    }
    std::set<std::string> seen;
    for (const AnsiString& answers : candidates) {
        if (seen.size() == 5) break;
        TTestResult r;
        r.SetAnswers(answers);
        std::string kind = r.ValidScaleCount() < 5 ? "no chart" : std::string(r.GetProfileType());
        if (!seen.insert(kind).second) continue;
        TTestData t;
        t.DATETEST = EncodeDate(2024, 3, 15);
        t.TESTDURATION = 1501;
        AnsiString report;
        r.BuildReport(Testee(), t, Folder.Path(), report);
        CheckReport(report, kind + " " + answers);
    }
    EXPECT_EQ(seen, (std::set<std::string>{"no chart", "type1", "type2", "type3", "type4"}));
}

TEST_F(HtmlReports, GroupAndDynamicsReportsImport) {
    TGroupTestResult g;
    TTeam team;
    team.JOB = "Завод"_cp;
    team.DEPARTMENT = "Цех №2"_cp;
    team.NUMBEROFTESTED = 4;
    team.NUMBEROFEMPLOYES = 6;
    team.DATETEST = EncodeDate(2023, 11, 2);
    team.DATA = "20/15/22/10/18/25/8/12/22//24/12/20/27/9/14///30//16//5/10/18///14/17/26//9/";
    g.SetTeam(team);
    AnsiString report;
    g.BuildGroupReport(Folder.Path(), report);
    CheckReport(report, "group");
    BuildDynamicsReport(Testee(), Folder.Path(), report);
    CheckReport(report, "dynamics");
}
