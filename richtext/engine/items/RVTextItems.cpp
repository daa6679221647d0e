// Text, break and tab items: their queries, copying, style usage and plain
// text.
#include "richtext/engine/items/RVTextItems.h"

#include <algorithm>

#include "richtext/engine/items/RVStyleUsage.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- text

bool TRVTextItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    switch (Query) {
    case iqxHyperlink:
    case iqxFocusable:
    case iqxFocusRectangle:
    case iqxHoverSensitive: {
        if (!RVStyle) return false;
        int styleNo = GetActualStyleNo(RVStyle);
        bool jump = RVStyle->TextStyles().GetItem(styleNo)->Jump;
        return Query == iqxHoverSensitive ? jump && RVStyle->GetHoverSensitive(styleNo) : jump;
    }
    default:
        return TCustomRVItemInfo::GetBoolValueEx(Query, RVStyle);
    }
}

void TRVTextItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TCustomRVItemInfo::MarkUsedStyles(Usage);
    if (StyleNo != rvsDefStyle) TRVStyleUsageInfo::Mark(Usage.TextStyles, StyleNo);
}

void TRVTextItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    TCustomRVItemInfo::RenumberStyles(Usage);
    if (StyleNo != rvsDefStyle) StyleNo = TRVStyleUsageInfo::Renumbered(Usage.TextStyles, StyleNo);
}

// ---------------------------------------------------------------- break

TRVBreakItemInfo::TRVBreakItemInfo(TCustomRVData* RVData) : TRVFullLineItemInfo(RVData) {
    StyleNo = rvsBreak;
}

std::unique_ptr<TRVBreakItemInfo> TRVBreakItemInfo::CreateEx(TCustomRVData* RVData, uint8_t ALineWidth,
                                                             TRVBreakStyle AStyle, TColor AColor) {
    auto item = std::make_unique<TRVBreakItemInfo>(RVData);
    item->LineWidth = ALineWidth;
    item->BreakStyle = AStyle;
    item->Color = AColor;
    return item;
}

void TRVBreakItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVBreakItemInfo*>(&Source)) {
        LineWidth = src->LineWidth;
        BreakStyle = src->BreakStyle;
        Color = src->Color;
    }
    TRVFullLineItemInfo::AssignProperties(Source);
}

bool TRVBreakItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    return Query != iqxPrintViaBitmap && TRVFullLineItemInfo::GetBoolValueEx(Query, RVStyle);
}

AnsiString TRVBreakItemInfo::AsText(int ALineWidth, TCustomRVData*, const AnsiString&, const AnsiString&,
                                    bool, bool) const {
    return StringOfChar(LineWidth < 2 ? '-' : '=', std::max(ALineWidth, 1));
}

// ---------------------------------------------------------------- tab

TRVTabItemInfo::TRVTabItemInfo(TCustomRVData* RVData) : TRVRectItemInfo(RVData) {
    StyleNo = rvsTab;
}

int TRVTabItemInfo::GetActualTextStyleNo(TRVStyle* RVStyle) const {
    if (TextStyleNo != rvsDefStyle) return TextStyleNo;
    if (!RVStyle) return 0;
    int def = RVStyle->ParaStyles().GetItem(ParaNo)->DefStyleNo;
    return def < 0 ? 0 : def;
}

// A copy keeps the text style the tab is measured in.
void TRVTabItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVTabItemInfo*>(&Source)) {
        TextStyleNo = src->TextStyleNo;
        Leader = src->Leader;
    }
    TRVRectItemInfo::AssignProperties(Source);
}

bool TRVTabItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    switch (Query) {
    case iqPaintChangesFont:
    case iqInTextOnlyOutput:
    case iqActsAsText:
        return true;
    default:
        return TRVRectItemInfo::GetBoolValue(Query);
    }
}

bool TRVTabItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    switch (Query) {
    case iqxPrintViaBitmap:
        return false;
    case iqxDeviceSized:
        return true;
    default:
        return TRVRectItemInfo::GetBoolValueEx(Query, RVStyle);
    }
}

AnsiString TRVTabItemInfo::AsText(int, TCustomRVData*, const AnsiString&, const AnsiString&, bool,
                                  bool) const {
    return "\t";
}

void TRVTabItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TRVRectItemInfo::MarkUsedStyles(Usage);
    if (TextStyleNo != rvsDefStyle) TRVStyleUsageInfo::Mark(Usage.TextStyles, TextStyleNo);
}

void TRVTabItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    TRVRectItemInfo::RenumberStyles(Usage);
    if (TextStyleNo != rvsDefStyle)
        TextStyleNo = TRVStyleUsageInfo::Renumbered(Usage.TextStyles, TextStyleNo);
}
