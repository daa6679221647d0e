// Preparing the style-usage record and the marks and renumbering it
// answers for one index.
#include "richtext/engine/items/RVStyleUsage.h"

#include "richtext/engine/style/RVStyle.h"

void TRVStyleUsageInfo::Prepare(TRVStyle& RVStyle) {
    if (Prepared) return;
    Prepared = true;
    TextStyles.Fill(ExamineTextStyles ? 0 : 1, RVStyle.TextStyles().Count());
    ParaStyles.Fill(ExamineParaStyles ? 0 : 1, RVStyle.ParaStyles().Count());
    ListStyles.Fill(ExamineListStyles ? 0 : 1, RVStyle.ListStyles().Count());
    if (ExamineTextStyles && RVStyle.DefUnicodeStyle >= 0) {
        if (RVStyle.DefUnicodeStyle < TextStyles.Count())
            TextStyles.SetItem(RVStyle.DefUnicodeStyle, 1);
        else
            RVStyle.DefUnicodeStyle = -1;
    }
    auto markStandard = [](bool Examine, TCustomRVInfos& Styles, TRVIntegerList& Marks) {
        if (!Examine) return;
        for (int i = 0; i < Styles.Count(); ++i)
            if (Styles.InfoItems(i)->Standard) Marks.SetItem(i, 1);
    };
    markStandard(ExamineTextStyles, RVStyle.TextStyles(), TextStyles);
    markStandard(ExamineParaStyles, RVStyle.ParaStyles(), ParaStyles);
    markStandard(ExamineListStyles, RVStyle.ListStyles(), ListStyles);
}

void TRVStyleUsageInfo::Mark(TRVIntegerList& Marks, int Index) {
    if (Index >= 0 && Index < Marks.Count()) Marks.SetItem(Index, 1);
}

int TRVStyleUsageInfo::Renumbered(const TRVIntegerList& Marks, int Index) {
    if (Index < 0 || Index >= Marks.Count()) return Index;
    return Index + 1 - Marks[Index];
}
