// Scoring of a group testing: the mean raw score of each scale over the
// respondents who have one, its sten, the respondents whose protocol lacks
// too many scores, and the group report.
#pragma once

#include "core/Calc_Unit.h"

using TSimpleArray = std::vector<std::vector<int32_t>>;

// Fills the prepared rows of Members from a DATA text: value 8i + j goes to
// Members[i][j], -1 for an empty value. Values beyond the rows are ignored,
// entries without a value are left as they are. A value that is neither
// empty nor a decimal integer raises EConvertError.
void ParseTeamData(const AnsiString& Data, TSimpleArray& Members);

// The group reliability text of a whole-number percentage 0..100; any other
// value leaves Text as it was.
void GroupValidityLevelText(int32_t Percent, AnsiString& Text);

class TGroupTestResult : public TTestResult {
public:
    TGroupTestResult();
    ~TGroupTestResult() override;

    // Scores a group entry; an empty DATA changes nothing.
    void SetTeam(const TTeam& ATeam);
    // False when more than half of the respondents lack the scale's score.
    bool IsScaleFilled(int32_t Scale) const;
    // The report of the group from the template "grcon".
    void BuildGroupReport(const AnsiString& ChartFolder, AnsiString& Report);

    TTeam Team;
    // Respondents with more than 3 missing scores.
    int32_t NonValidCount = 0;
    // NUMBEROFTESTED rows of 8 raw scores; -1 = missing.
    TSimpleArray Members;

protected:
    void ComputeGroupScores();
    static int32_t CountMissing(const std::vector<int32_t>& Row);
};
