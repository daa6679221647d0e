// Finding the styles a document uses: the items' own marks, then the
// styles that used styles refer to; and renumbering the items afterwards.
#include <functional>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVStyleUsage.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// From every style marked used, marks the styles its references reach,
// each style followed once; a reference outside the collection is cleared.
void MarkReferenced(TRVIntegerList& Marks, const std::function<std::vector<int32_t*>(int)>& References) {
    int count = Marks.Count();
    std::vector<bool> visited(std::size_t(count), false);
    std::vector<int> pending;
    for (int i = 0; i < count; ++i)
        if (Marks[i]) {
            visited[std::size_t(i)] = true;
            pending.push_back(i);
        }
    while (!pending.empty()) {
        int i = pending.back();
        pending.pop_back();
        for (int32_t* ref : References(i)) {
            if (*ref < 0) continue;
            if (*ref >= count) {
                *ref = -1;
                continue;
            }
            Marks.SetItem(*ref, 1);
            if (!visited[std::size_t(*ref)]) {
                visited[std::size_t(*ref)] = true;
                pending.push_back(*ref);
            }
        }
    }
}

} // namespace

void TCustomRVData::MarkUsedStyles(TRVStyleUsageInfo& Usage) {
    TRVStyle* style = GetRVStyle();
    if (!style) return;
    Usage.Prepare(*style);
    MarkItemsUsedStyles(Usage);
    TParaInfos& paras = style->ParaStyles();
    TFontInfos& texts = style->TextStyles();
    if (Usage.ExamineParaStyles)
        MarkReferenced(Usage.ParaStyles, [&](int i) {
            TParaInfo* p = paras.GetItem(i);
            return std::vector<int32_t*>{&p->BaseStyleNo, &p->NextParaNo};
        });
    if (Usage.ExamineTextStyles) {
        for (int i = 0; i < Usage.ParaStyles.Count() && i < paras.Count(); ++i)
            if (Usage.ParaStyles[i]) TRVStyleUsageInfo::Mark(Usage.TextStyles, paras.GetItem(i)->DefStyleNo);
        if (style->DefUnicodeStyle >= 0) {
            if (style->DefUnicodeStyle < Usage.TextStyles.Count())
                Usage.TextStyles.SetItem(style->DefUnicodeStyle, 1);
            else
                style->DefUnicodeStyle = -1;
        }
        MarkReferenced(Usage.TextStyles, [&](int i) {
            TFontInfo* t = texts.GetItem(i);
            return std::vector<int32_t*>{&t->BaseStyleNo, &t->NextStyleNo};
        });
    }
    if (Usage.ExamineListStyles)
        MarkReferenced(Usage.ListStyles, [&](int i) {
            return std::vector<int32_t*>{&style->ListStyles().GetItem(i)->BaseStyleNo};
        });
}

void TCustomRVData::MarkItemsUsedStyles(TRVStyleUsageInfo& Usage) const {
    for (int i = 0; i < ItemCount(); ++i)
        LiveItem(i).MarkUsedStyles(Usage);
}

void TCustomRVData::RenumberItemsStyles(const TRVStyleUsageInfo& Usage) {
    for (int i = 0; i < ItemCount(); ++i)
        LiveItem(i).RenumberStyles(Usage);
}
