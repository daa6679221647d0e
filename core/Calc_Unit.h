// Scoring of one test: the answer digits become the points of every
// statement, the raw score, validity and sten of each of the eight scales,
// and the profile type; and the report HTML of a test and of a testee's
// dynamics, built from the templates of the data file.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <set>
#include <string_view>
#include <vector>

#include "core/DataMod.h"
#include "core/uConsts.h"
#include "platform/rtl/StringLists.h"

using TIndexes = std::vector<int32_t>;

// Points of every statement: 2 entries per answer digit d, d for the first
// statement of the pair and 5 - d for the second. Points is resized to fit.
// A character other than "0".."5" raises EConvertError and leaves Points as
// it was.
void ExpandAnswers(const AnsiString& Answers, TIndexes& Points);

// Appends to List the runs of Text between delimiters; runs of delimiters
// and delimiters at either end give no empty token.
void SplitString(const AnsiString& Text, const std::set<char>& Delimiters, TStrings& List);

// Text made safe to stand inside HTML, as text or as an attribute value.
// "$" is written as a character reference too, so a value never looks like
// a placeholder.
AnsiString HtmlEscape(const AnsiString& Text);

// Years of service as the reports write them: the text of FloatToStr, made
// at once for whole hundredths of a year, which seniorities are.
AnsiString SeniorityText(double Years);

// A placeholder of a report template, its name without the dollar signs,
// and the text that takes its place.
struct TPlaceholder {
    std::string_view Name;
    std::string_view Value;
};

// Where the placeholders of one template stand, found once in one pass over
// the template: the text before each, and which entry of the placeholder list
// takes its place. A report builder keeps one for its template and hands it
// the same names, in the same order, every time.
class TTemplatePlan {
public:
    // Template with every "$Name$" of Placeholders, its name in any case,
    // replaced by its value: values are inserted as they are met and never
    // searched again, and all other text, "$" included, stays as it is. The
    // placeholders are found again only for another template or Version
    // (the data module's templates read again).
    AnsiString Fill(const AnsiString& Template, uint64_t Version,
                    std::initializer_list<TPlaceholder> Placeholders);

private:
    struct TPiece {
        std::size_t From, Length; // text of the template, as it is
        std::size_t Value;        // the placeholder after it; npos for none
    };
    void Find(const AnsiString& Template, std::initializer_list<TPlaceholder> Placeholders);

    const AnsiString* FTemplate = nullptr;
    uint64_t FVersion = 0;
    std::size_t FNames = 0;
    std::vector<TPiece> FPieces;
};

// The same with the placeholders found afresh.
AnsiString FillPlaceholders(const AnsiString& Template, std::initializer_list<TPlaceholder> Placeholders);

class TTestResult : public TObject {
public:
    TTestResult();
    ~TTestResult() override;

    // Scores an answer string: one digit "0".."5" per statement pair, in
    // STATEMENT_ID order. An empty string changes nothing. A string of
    // another length than the number of pairs, or with another character,
    // raises EConvertError and leaves the earlier results as they were.
    void SetAnswers(const AnsiString& A);

    // Scale is 0..7; another one raises Exception.
    int32_t GetRawScore(int32_t Scale) const;
    // -1 when the norms have no band for the raw score.
    int32_t GetSten(int32_t Scale) const;
    bool IsScaleValid(int32_t Scale) const;
    // True when the scale has a sten from 1 to 10.
    bool HasSten(int32_t Scale) const;

    int32_t ValidScaleCount() const;
    // Appends, in scale order, the valid scales whose sten lies in Lo..Hi.
    void ScalesInStenRange(int32_t Lo, int32_t Hi, TIndexes& List) const;
    // Exchange sorts in place; equal stens may change their order.
    void SortByStenDescending(TIndexes& List) const;
    void SortByStenAscending(TIndexes& List) const;
    // "type1".."type4", the name of the template holding the type's text.
    AnsiString GetProfileType() const;
    // The share of valid scales, such as "87.5%" with the locale's separator.
    AnsiString ValidShareText() const;
    AnsiString ReliabilityLevelText() const;

    // The report of one test from the template "concl"; the result must
    // already hold the test's answers. ChartFolder ends with a separator.
    void BuildReport(const TUser& User, const TTestData& TestData, const AnsiString& ChartFolder,
                     AnsiString& Report);

    AnsiString Answers;
    TIndexes Points;
    std::array<double, ScaleCount> RawScores{};
    std::array<double, ScaleCount> Stens{};
    std::array<double, ScaleCount> ValidFlags{};
    // The points each scale received, in statement order.
    std::vector<std::vector<double>> ScaleItems;

protected:
    // The points each scale receives, in statement order.
    static std::vector<std::vector<double>> DistributeAnswers(const TIndexes& Points);
    static double RawScore(const std::vector<double>& Items);
    static int32_t CountDivergentPairs(const std::vector<double>& Items);

    // Report pieces shared with the group report.
    static void CheckScale(int32_t Scale);
    // Items inside a list, or "Нет" for none: the word stands where the
    // markup allows text, never inside a list without an item.
    static AnsiString ListOrNone(const AnsiString& Items);
    // Valid scales with a sten: those the lists and the profile type take.
    int32_t InterpretedScaleCount() const;
    // A scale's list item: its name and, WithInterpretation, the text of its
    // sten.
    void AppendScaleItem(AnsiString& Out, int32_t Scale, bool WithInterpretation) const;
    // The lists of the reports; Scratch is room for scale numbers that one
    // report lends every list.
    AnsiString LeadingScalesText(TIndexes& Scratch) const;
    AnsiString LowScalesText(TIndexes& Scratch) const;
    AnsiString MiddleScalesText(TIndexes& Scratch) const;
    // The chart block of ChartFolder; the text stays until the next call.
    static std::string_view ChartBlock(const AnsiString& ChartFolder);
    // The text of the profile type; a sentence saying it is not determined
    // when too few scales can be interpreted.
    std::string_view ProfileTypeText(TIndexes& Scratch) const;
    // The name of the profile type, its leading scales left in Leading.
    const char* ProfileTypeName(TIndexes& Leading) const;
    // A template's text, kept by the data module until it connects again;
    // empty when there is no such template.
    static std::string_view TemplateText(const AnsiString& Name);
};

// The report of a testee's dynamics from the template "dyn"; the testee
// gives no text.
void BuildDynamicsReport(const TUser& User, const AnsiString& ChartFolder, AnsiString& Report);

// The folder of the chart bitmaps: the system temporary folder, with its
// trailing separator. Raises Exception, leaving Folder as it was, when the
// folder cannot be made.
void GetTempFolder(AnsiString& Folder);
AnsiString GetTempFolder();
