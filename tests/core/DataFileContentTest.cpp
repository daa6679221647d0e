// The reference data that the data file must hold: statement pairs keyed to
// the eight scales, sten norms for every reachable raw score, and the report
// templates with the placeholders the report builders fill in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/IBQuery.h"
#include "platform/rtl/SysUtils.h"
#include "support/TestSupport.h"

namespace {

constexpr int ScaleCount = 8;
constexpr int MaxRawScore = 35; // 7 statements a scale, 5 points at most each

class DataFileContentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CreateFreshDatabases(Folder.Path()));
        Db = std::make_unique<TIBDatabase>(nullptr);
        Db->DatabaseName = Folder.Path() + "Luvora_Data.FDB";
        Db->Params = {"user_name=SYSDBA", "password=plumbdove"};
        Db->Open();
        Tr = std::make_unique<TIBTransaction>(nullptr);
        Tr->SetDefaultDatabase(Db.get());
        Tr->Params = {"read_committed", "rec_version", "nowait", "read"};
        Q = std::make_unique<TIBQuery>(nullptr);
        Q->SetDatabase(Db.get());
        Q->SetTransaction(Tr.get());
    }

    void TearDown() override {
        Q.reset();
        if (Tr && Tr->InTransaction()) Tr->Commit();
        Tr.reset();
        if (Db) Db->Close();
    }

    void Open(const AnsiString& Sql) {
        Q->Close();
        Q->SetSQL(Sql);
        Q->Open();
    }

    TTempFolder Folder;
    std::unique_ptr<TIBDatabase> Db;
    std::unique_ptr<TIBTransaction> Tr;
    std::unique_ptr<TIBQuery> Q;
};

struct TPair {
    int Num;
    AnsiString First, Second;
    int Key1, Key2;
};

AnsiString Trimmed(const AnsiString& S) {
    auto b = S.find_first_not_of(" \t\r\n");
    if (b == AnsiString::npos) return {};
    return S.substr(b, S.find_last_not_of(" \t\r\n") - b + 1);
}

TEST_F(DataFileContentTest, StatementPairsCompareEveryTwoScalesOnce) {
    Open("select * from STATEMENTS order by STATEMENT_ID");
    std::vector<TPair> pairs;
    for (Q->First(); !Q->Eof(); Q->Next())
        pairs.push_back({Q->FieldByName("NUM_STATEMENT").AsInteger(), Q->FieldByName("STATEMENT").AsString(),
                         Q->FieldByName("STATEMENT2").AsString(), Q->FieldByName("KEY_STATEMENT").AsInteger(),
                         Q->FieldByName("KEY_STATEMENT2").AsInteger()});
    ASSERT_EQ(pairs.size(), 28u);

    std::set<std::pair<int, int>> compared;
    std::map<int, int> keyed, first;
    std::set<AnsiString> texts;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const TPair& p = pairs[i];
        SCOPED_TRACE("pair " + std::to_string(i + 1));
        EXPECT_EQ(p.Num, int(i) + 1) << "the numbers shown run 1 to 28 in statement order";
        ASSERT_GE(p.Key1, 0);
        ASSERT_LT(p.Key1, ScaleCount);
        ASSERT_GE(p.Key2, 0);
        ASSERT_LT(p.Key2, ScaleCount);
        EXPECT_NE(p.Key1, p.Key2);
        EXPECT_TRUE(compared.insert(std::minmax(p.Key1, p.Key2)).second) << "scales compared twice";
        ++keyed[p.Key1];
        ++keyed[p.Key2];
        ++first[p.Key1];
        for (const AnsiString& text : {p.First, p.Second}) {
            EXPECT_EQ(Trimmed(text), text);
            EXPECT_GT(text.size(), 20u);
            // A '?' is what a character lost in the code page turns into.
            EXPECT_EQ(text.find('?'), AnsiString::npos) << text;
            // The questionnaire ends each statement with its full stop.
            EXPECT_NE(text.back(), '.') << AnsiToUtf8(text);
            EXPECT_TRUE(texts.insert(text).second) << "statement used twice: " << AnsiToUtf8(text);
        }
        if (i > 0) {
            const TPair& prev = pairs[i - 1];
            EXPECT_TRUE(p.Key1 != prev.Key1 && p.Key1 != prev.Key2 && p.Key2 != prev.Key1 &&
                        p.Key2 != prev.Key2)
                << "a scale comes up in two consecutive pairs";
        }
    }
    EXPECT_EQ(compared.size(), 28u);
    for (int s = 0; s < ScaleCount; ++s) {
        EXPECT_EQ(keyed[s], 7) << "scale " << s;
        EXPECT_TRUE(first[s] == 3 || first[s] == 4)
            << "scale " << s << " stands first " << first[s] << " times";
    }
    // Stored as code page 1251, as the program reads it.
    EXPECT_EQ(pairs[0].First.substr(0, 9), "Мне важно"_cp);
}

TEST_F(DataFileContentTest, EveryRawScoreOfEveryScaleHasOneSten) {
    // The look-up the scoring runs for each scale.
    Q->SetSQL(
        "select * from STENS\nwhere SCALE = :Scale\nand MIN_VALUE <= :Min_Val\nand MAX_VALUE >= :Max_Val");
    for (int scale = 0; scale < ScaleCount; ++scale) {
        int previous = 1;
        std::set<int> used;
        for (int raw = 0; raw <= MaxRawScore; ++raw) {
            SCOPED_TRACE("scale " + std::to_string(scale) + ", raw score " + std::to_string(raw));
            Q->Close();
            Q->ParamByName("Scale").SetAsInteger(scale);
            Q->ParamByName("Min_Val").SetAsFloat(raw);
            Q->ParamByName("Max_Val").SetAsFloat(raw);
            Q->Open();
            ASSERT_EQ(Q->RecordCount(), 1) << "no band or overlapping bands";
            const int sten = Q->FieldByName("STEN").AsInteger();
            EXPECT_GE(sten, 1);
            EXPECT_LE(sten, 10);
            EXPECT_GE(sten, previous) << "stens fall as the raw score rises";
            previous = sten;
            used.insert(sten);
        }
        EXPECT_EQ(used.size(), 10u) << "scale " << scale << " does not reach every sten";
    }
    Q->Close();
    Open("select count(*) from STENS where MIN_VALUE < 0 or MAX_VALUE > 35");
    EXPECT_EQ(Q->Fields(0).AsInteger(), 0) << "a band lies outside the reachable raw scores";
}

// The placeholders ("$Name$") of a template, lower-cased; Stray collects any
// "$" that does not open a well-formed placeholder.
std::set<AnsiString> Placeholders(const AnsiString& Text, std::vector<AnsiString>& Stray) {
    std::set<AnsiString> names;
    std::size_t pos = 0;
    while ((pos = Text.find('$', pos)) != AnsiString::npos) {
        const std::size_t end = Text.find('$', pos + 1);
        const AnsiString name = end == AnsiString::npos ? AnsiString() : Text.substr(pos + 1, end - pos - 1);
        if (name.empty() ||
            !std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isalpha(c); })) {
            Stray.push_back(Text.substr(pos, 20));
            ++pos;
            continue;
        }
        names.insert(AnsiLowerCase(name));
        pos = end + 1;
    }
    return names;
}

std::set<AnsiString> LowerSet(std::initializer_list<const char*> Names) {
    std::set<AnsiString> out;
    for (const char* n : Names)
        out.insert(AnsiLowerCase(n));
    return out;
}

// Tag names of the markup, lower-cased, closing tags without their slash.
std::set<AnsiString> TagNames(const AnsiString& Text) {
    std::set<AnsiString> tags;
    std::size_t pos = 0;
    while ((pos = Text.find('<', pos)) != AnsiString::npos) {
        std::size_t b = pos + 1;
        if (b < Text.size() && Text[b] == '/') ++b;
        std::size_t e = b;
        while (e < Text.size() && std::isalnum(static_cast<unsigned char>(Text[e])))
            ++e;
        tags.insert(AnsiLowerCase(Text.substr(b, e - b)));
        pos = e;
    }
    return tags;
}

TEST_F(DataFileContentTest, TemplatesHoldTheirPlaceholdersAndPlainMarkupOnly) {
    // Placeholders each report builder fills. The profile-type texts go into
    // the reports after every other placeholder is filled, so they must have
    // none of their own.
    const std::map<AnsiString, std::set<AnsiString>> expected = {
        // The contradictory scales are listed once, under BadScales.
        {"concl", LowerSet({"FIO",     "AGE",     "Pos",    "Sen",     "OrgSen",     "Educ",     "Job",
                            "Spec",    "IsSpec",  "DTest",  "TestDur", "SizeP",      "LevelVal", "BadScales",
                            "GraphPr", "LeadLuv", "LowLuv", "MidLuv",  "TypeLuvora", "Norms"})},
        {"grcon", LowerSet({"Job", "Dep", "NumEmp", "NumTest", "DTest", "CntNonVal", "Valid", "SizeP",
                            "GraphPr", "LeadLuv", "LowLuv", "MidLuv", "WrongLuv", "TypeLuvora", "Norms"})},
        {"dyn", LowerSet({"GraphPr", "Norms"})},
        {"type1", {}},
        {"type2", {}},
        {"type3", {}},
        {"type4", {}},
        {"norms", {}},
    };
    const std::set<AnsiString> plainTags = {"p",  "br",    "b",  "i",  "u",   "font", "h1",
                                            "h2", "h3",    "h4", "h5", "h6",  "ul",   "ol",
                                            "li", "table", "tr", "td", "img", "hr",   "center"};

    Open("select * from HTMLTEMPLATES");
    std::map<AnsiString, AnsiString> templates;
    for (Q->First(); !Q->Eof(); Q->Next())
        templates[Q->FieldByName("TEMPLATE_ID").AsString()] = Q->FieldByName("TEMPLATE").AsString();
    EXPECT_EQ(templates.size(), expected.size());

    for (const auto& [id, names] : expected) {
        SCOPED_TRACE("template " + id);
        auto it = templates.find(id);
        ASSERT_NE(it, templates.end()) << "missing";
        const AnsiString& text = it->second;
        EXPECT_GT(text.size(), id == "norms" ? 100u : 500u);
        std::vector<AnsiString> stray;
        EXPECT_EQ(Placeholders(text, stray), names);
        EXPECT_TRUE(stray.empty()) << "stray '$' at: " << (stray.empty() ? "" : stray.front());
        for (const AnsiString& tag : TagNames(text))
            EXPECT_TRUE(plainTags.count(tag)) << "tag <" << tag << ">";
        EXPECT_EQ(text.find('?'), AnsiString::npos) << "a character lost in the code page";
    }

    // The scale lists bring their own list, or the bare word "Нет", which
    // must not stand inside a list of the template.
    for (const AnsiString id : {"concl", "grcon"}) {
        const AnsiString text = AnsiLowerCase(templates[id]);
        for (const char* list : {"$BadScales$", "$LeadLuv$", "$MidLuv$", "$LowLuv$", "$WrongLuv$"})
            EXPECT_EQ(text.find("<ul>" + AnsiLowerCase(list)), AnsiString::npos) << id << ": " << list;
    }
    EXPECT_NE(templates["concl"].find("ЗАКЛЮЧЕНИЕ"_cp), AnsiString::npos) << "not stored as code page 1251";
}

TEST_F(DataFileContentTest, ReportsSayWhatTheirDataCannotBear) {
    Open("select * from HTMLTEMPLATES");
    std::map<AnsiString, AnsiString> templates;
    for (Q->First(); !Q->Eof(); Q->Next())
        templates[Q->FieldByName("TEMPLATE_ID").AsString()] = Q->FieldByName("TEMPLATE").AsString();
    // The shipped norms are a band table, not norms from a sample.
    EXPECT_NE(templates["norms"].find("Нормы предварительные"_cp), AnsiString::npos);
    // No reliability data stands behind a claim on measurement error.
    const AnsiString& dyn = templates["dyn"];
    EXPECT_EQ(dyn.find("в пределах погрешности"_cp), AnsiString::npos);
    EXPECT_NE(dyn.find("с осторожностью"_cp), AnsiString::npos);

    // A paid leave is a right in law; only an additional one is a benefit.
    Open("select STATEMENT, STATEMENT2 from STATEMENTS");
    const AnsiString additional = "дополнительный "_cp;
    int leaves = 0;
    for (Q->First(); !Q->Eof(); Q->Next())
        for (const char* column : {"STATEMENT", "STATEMENT2"}) {
            const AnsiString text = Q->FieldByName(column).AsString();
            const std::size_t at = text.find("оплачиваемый отпуск"_cp);
            if (at == AnsiString::npos) continue;
            ++leaves;
            EXPECT_TRUE(at >= additional.size() &&
                        text.substr(at - additional.size(), additional.size()) == additional)
                << AnsiToUtf8(text);
        }
    EXPECT_EQ(leaves, 1);
}

} // namespace
